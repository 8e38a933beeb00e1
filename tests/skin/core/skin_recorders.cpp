#include "tests/skin/core/skin_recorders.h"

#include "platform/user/user.h"
#include "skin/core/state/hooked_forms.h"

namespace skin_test {

vcl::TCustomForm* RecordingProvider::Form() const {
    return form_;
}
void RecordingProvider::BuildRegionCuts() {
    form_->log->push_back(form_->Name() + ":cuts");
}
void RecordingProvider::UpdateFormRegion(bool) {
    form_->log->push_back(form_->Name() + ":region");
}

TRecordingForm::TRecordingForm(vcl::TComponent* owner, const std::string& name, Log* log,
                               skin::TsSkinManager* providerManager)
    : vcl::TForm(owner), log(log) {
    SetName(name);
    if (providerManager) {
        provider = std::make_unique<RecordingProvider>(this, providerManager);
        skin::AddHookedControl(this);
    }
}

TRecordingForm::~TRecordingForm() {
    if (provider) skin::RemoveHookedControl(this);
}

void TRecordingForm::WndProc(vcl::TMessage& m) {
    if (m.Msg == win::WM_SETREDRAW) {
        if (onRedraw) onRedraw(m.WParam);
        log->push_back(Name() + ":redraw" + std::to_string(m.WParam));
    }
    if (m.Msg != skin::SM_ALPHACMD) return vcl::TForm::WndProc(m);
    const uint16_t code = skin::SkinCommandCode(m.WParam);
    if (provider && code == skin::SKC_GETPROVIDER) {
        m.Result =
            reinterpret_cast<intptr_t>(static_cast<skin::TsSkinProviderBase*>(provider.get()));
        return;
    }
    if (provider && code == skin::SKC_ISSKINAWARE) {
        m.Result = 1;
        return;
    }
    if (code == skin::SKC_GETPROVIDER || code == skin::SKC_ISSKINAWARE) return;
    if (onCommand) onCommand(code);
    std::string entry = Name() + ":" + std::to_string(code);
    if (expected && m.LParam != reinterpret_cast<intptr_t>(expected) && code <= 3) {
        entry += "@other";
    }
    log->push_back(entry);
}

TRecordingControl::TRecordingControl(vcl::TWinControl* parent, const std::string& name, Log* log)
    : vcl::TWinControl(parent), log(log) {
    SetName(name);
    SetParent(parent);
}

void TRecordingControl::WndProc(vcl::TMessage& m) {
    if (m.Msg != skin::SM_ALPHACMD) return vcl::TWinControl::WndProc(m);
    const uint16_t code = skin::SkinCommandCode(m.WParam);
    if (code == skin::SKC_ISSKINAWARE) {
        m.Result = 1;
        return;
    }
    log->push_back(Name() + ":" + std::to_string(code));
}

RecordingNeighbours::RecordingNeighbours(Log* log) {
    skin::NeighbourServices& n = skin::Neighbours();
    n.ShowSkinnedMessageDlg = [this, log](const std::string& text, skin::TMsgDlgKind kind,
                                          skin::TMsgDlgButtonSet, int) {
        messages.push_back(text);
        log->push_back("message:" + std::to_string(kind));
        return 1;
    };
    n.ShowMessage = [this, log](const std::string& text, skin::TMsgDlgKind kind) {
        messages.push_back(text);
        log->push_back("message:" + std::to_string(kind));
    };
    n.ClearGlows = [log] { log->push_back("glows"); };
    n.IsDwmCompositionEnabled = [this] { return composition; };
}

RecordingNeighbours::~RecordingNeighbours() {
    skin::ResetNeighbourServices();
}

Log Only(const Log& log, const std::string& prefix) {
    Log out;
    for (const std::string& e : log) {
        if (e.starts_with(prefix)) out.push_back(e);
    }
    return out;
}

}  // namespace skin_test
