// The skin library's message box and file dialogs. The box is the system's message box, with
// the class library's dialog kinds and button sets turned into its flags; the dialog hook skins
// it, and places it when a point is asked for. The open and save dialogs are the class
// library's, which the hook skins like any "#32770" dialog.
#pragma once

#include <cstdint>
#include <string>

#include "platform/user/win_types.h"
#include "vcl/controls/dialogs.h"

namespace skin {

// The caption a box of `type` gets when none is given ("" for mtCustom).
const std::string& DefaultDialogCaption(vcl::TMsgDlgType type);
// The message box flags of a kind and a button set: the kind's icon, brought to the front and
// kept on top, and the system's button row closest to the set.
win::UINT MessageBoxFlags(vcl::TMsgDlgType type, vcl::TMsgDlgButtons buttons);

// Shows the box with its top-left corner at screen point (x, y), or where the system puts it
// when both are -1; answers the button pressed (IDOK, IDCANCEL ...; they equal mrOk ...). An
// empty caption is the kind's own. The help context names no page: there is no help system
// behind message boxes here.
int ShowSkinnedMessageBox(const std::string& caption, const std::string& text,
                          vcl::TMsgDlgType type, vcl::TMsgDlgButtons buttons, int helpContext,
                          int x, int y);
// The same with the kind's caption, placed by the system.
int ShowSkinnedMessageDlg(const std::string& text, vcl::TMsgDlgType type,
                          vcl::TMsgDlgButtons buttons, int helpContext);

// How packed archives would be listed; kept for forms that set it, the dialogs list files only.
enum TsZipShowing : uint8_t { zsAsFolder, zsAsFile };

class TsOpenDialog : public vcl::TOpenDialog {
public:
    VCL_CLASS(TsOpenDialog, vcl::TOpenDialog)
    explicit TsOpenDialog(vcl::TComponent* owner) : vcl::TOpenDialog(owner) {}

    TsZipShowing ZipShowing = zsAsFolder;
};

class TsSaveDialog : public vcl::TSaveDialog {
public:
    VCL_CLASS(TsSaveDialog, vcl::TSaveDialog)
    explicit TsSaveDialog(vcl::TComponent* owner) : vcl::TSaveDialog(owner) {}
};

// Fills the message slots of the neighbour services with the skinned box. Idempotent.
void InitMessageDialogs();

}  // namespace skin
