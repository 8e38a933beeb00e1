// Stand-ins for the skinned controls and the window skinning in the skin core's tests: forms
// with and without a skin provider that note the skin commands and redraw switches they hear,
// controls that note the commands broadcast to them, and a table of neighbour services that
// notes what the core asks of them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "vcl/controls/forms.h"

namespace skin_test {

using Log = std::vector<std::string>;

class TRecordingForm;

// A provider whose calls go to the log of its form.
class RecordingProvider : public skin::TsSkinProviderBase {
public:
    RecordingProvider(TRecordingForm* form, skin::TsSkinManager* manager)
        : form_(form), manager_(manager) {}
    vcl::TCustomForm* Form() const override;
    skin::TsSkinManager* SkinManager() const override { return manager_; }
    void BuildRegionCuts() override;
    void UpdateFormRegion(bool repaint) override;

private:
    TRecordingForm* form_;
    skin::TsSkinManager* manager_;
};

// A form that notes "<name>:<code>" for each skin command (and the manager it came with:
// "<name>:1@other" when not `expected`), "<name>:redraw<0|1>" for WM_SETREDRAW. With a
// provider it answers commands 4 and 7 and registers itself as a hooked form. `onCommand` runs
// for each command before it is noted.
class TRecordingForm : public vcl::TForm {
public:
    VCL_CLASS(TRecordingForm, vcl::TForm)
    TRecordingForm(vcl::TComponent* owner, const std::string& name, Log* log,
                   skin::TsSkinManager* providerManager = nullptr);
    ~TRecordingForm() override;
    void WndProc(vcl::TMessage& m) override;

    Log* log;
    std::unique_ptr<RecordingProvider> provider;
    std::function<void(uint16_t code)> onCommand;
    std::function<void(uintptr_t on)> onRedraw;  // before a redraw switch is noted
    skin::TsSkinManager* expected = nullptr;
};

// A control that notes "<name>:<code>" for each skin command it hears.
class TRecordingControl : public vcl::TWinControl {
public:
    VCL_CLASS(TRecordingControl, vcl::TWinControl)
    TRecordingControl(vcl::TWinControl* parent, const std::string& name, Log* log);
    void WndProc(vcl::TMessage& m) override;
    Log* log;
};

// Neighbour services that note "message:<kind>:<text>", "glows", "menus" into `log`, and
// answer `composition` for desktop composition.
struct RecordingNeighbours {
    explicit RecordingNeighbours(Log* log);
    ~RecordingNeighbours();
    std::vector<std::string> messages;  // the texts shown
    bool composition = false;
};

// Every entry of `log` that begins with `prefix`.
Log Only(const Log& log, const std::string& prefix);

}  // namespace skin_test
