// The report that every instance slot is taken, shown as a message box owned by the
// application's hidden window (no form exists yet at that point of the start-up).
#pragma once

#include <string>

#include "lists/startup.h"

namespace lists {

class MessageBoxLimitReporter : public InstanceLimitReporter {
public:
    // `unattended`: no display shows the box, so nobody could answer it; the text then goes to
    // standard error as well, and the box takes its default button at once, so that the
    // program still ends.
    explicit MessageBoxLimitReporter(bool unattended = false) : unattended_(unattended) {}

    void Show(const std::string& text, const std::string& caption, unsigned flags) override;

private:
    bool unattended_;
};

}  // namespace lists
