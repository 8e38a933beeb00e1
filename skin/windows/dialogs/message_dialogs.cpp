#include "skin/windows/dialogs/message_dialogs.h"

#include <array>

#include "platform/user/message_box.h"
#include "platform/user/user.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/windows/dialogs/dialog_hook.h"
#include "vcl/controls/forms.h"

namespace skin {

namespace {

vcl::TMsgDlgType TypeOfKind(TMsgDlgKind kind) {
    return kind >= mdWarning && kind <= mdConfirmation ? vcl::TMsgDlgType(kind) : vcl::mtCustom;
}

vcl::TMsgDlgButtons ButtonsOfSet(TMsgDlgButtonSet set) {
    switch (set) {
        case mbOKCancel:
            return {vcl::mbOK, vcl::mbCancel};
        case mbYesNo:
            return {vcl::mbYes, vcl::mbNo};
        case mbYesNoCancel:
            return {vcl::mbYes, vcl::mbNo, vcl::mbCancel};
        default:
            return {vcl::mbOK};
    }
}

}  // namespace

const std::string& DefaultDialogCaption(vcl::TMsgDlgType type) {
    static const std::array<std::string, 5> kCaptions = {"Warning", "Error", "Information",
                                                         "Confirm", ""};
    return kCaptions[type <= vcl::mtCustom ? type : vcl::mtCustom];
}

win::UINT MessageBoxFlags(vcl::TMsgDlgType type, vcl::TMsgDlgButtons buttons) {
    static const std::array<win::UINT, 5> kIcons = {win::MB_ICONEXCLAMATION, win::MB_ICONHAND,
                                                    win::MB_ICONASTERISK, win::MB_ICONQUESTION, 0};
    win::UINT flags = kIcons[type <= vcl::mtCustom ? type : vcl::mtCustom] | win::MB_SETFOREGROUND |
                      win::MB_TOPMOST;
    auto has = [&](vcl::TMsgDlgBtn b) { return buttons.Contains(b); };
    if (has(vcl::mbOK)) {
        flags |= has(vcl::mbCancel) ? win::MB_OKCANCEL : win::MB_OK;
    } else if (has(vcl::mbAbort) || has(vcl::mbIgnore)) {
        flags |= win::MB_ABORTRETRYIGNORE;
    } else if (has(vcl::mbYes) || has(vcl::mbNo)) {
        flags |= has(vcl::mbCancel) ? win::MB_YESNOCANCEL : win::MB_YESNO;
    } else if (has(vcl::mbRetry)) {
        flags |= win::MB_RETRYCANCEL;
    }
    if (has(vcl::mbHelp)) flags |= win::MB_HELP;
    return flags;
}

int ShowSkinnedMessageBox(const std::string& caption, const std::string& text,
                          vcl::TMsgDlgType type, vcl::TMsgDlgButtons buttons, int helpContext,
                          int x, int y) {
    (void)helpContext;
    const win::UINT flags = MessageBoxFlags(type, buttons);
    const std::string& title = caption.empty() ? DefaultDialogCaption(type) : caption;
    // The hook reads the point when it attaches the box.
    TDialogPlacement placement(x, y);
    vcl::TApplication* app = vcl::Application();
    app->ModalStarted();
    int result = 0;
    try {
        if (win::GetActiveWindow() == nullptr)
            result = win::MessageBoxA(app->Handle(), text.c_str(), title.c_str(), flags);
        else
            result = app->MessageBox(text, title, flags);
    } catch (...) {
        app->ModalFinished();
        throw;
    }
    app->ModalFinished();
    return result;
}

int ShowSkinnedMessageDlg(const std::string& text, vcl::TMsgDlgType type,
                          vcl::TMsgDlgButtons buttons, int helpContext) {
    return ShowSkinnedMessageBox("", text, type, buttons, helpContext, -1, -1);
}

void InitMessageDialogs() {
    NeighbourServices& s = Neighbours();
    s.ShowSkinnedMessageDlg = [](const std::string& text, TMsgDlgKind kind, TMsgDlgButtonSet set,
                                 int helpContext) {
        return ShowSkinnedMessageDlg(text, TypeOfKind(kind), ButtonsOfSet(set), helpContext);
    };
    s.ShowMessage = [](const std::string& text, TMsgDlgKind kind) {
        ShowSkinnedMessageDlg(text, TypeOfKind(kind), {vcl::mbOK}, 0);
    };
}

}  // namespace skin
