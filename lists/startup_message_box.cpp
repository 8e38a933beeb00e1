#include "lists/startup_message_box.h"

#include "platform/user/input.h"
#include "platform/user/message_box.h"
#include "platform/user/styles.h"
#include "vcl/controls/forms.h"

namespace lists {

void MessageBoxLimitReporter::Show(const std::string& text, const std::string& caption,
                                   unsigned flags) {
    if (unattended_) {
        StderrLimitReporter().Show(text, caption, flags);
        // Enter, waiting for the box's own loop: it presses the default button.
        win::QueueKeyEvent({win::VK_RETURN, true, '\r'});
        win::QueueKeyEvent({win::VK_RETURN, false, 0});
    }
    win::MessageBoxA(vcl::Application()->Handle(), text.c_str(), caption.c_str(), flags);
}

}  // namespace lists
