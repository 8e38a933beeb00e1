// TformList: the list manager. It shows every stored list with the count of its numbers and of
// those already processed, and renames or deletes lists. A list in use by a mailing run can be
// neither renamed nor deleted; that is asked again inside the transaction of each, since a run
// may take the list while the input box or question is open.
//
// Rules:
//  R1. Names stay unique ignoring case: a rename to a name another list holds is refused, and
//      the check and the change run in one transaction, so two copies cannot both take a name.
//  R2. A list is deleted whole or not at all (values, numbers and the List row in one
//      transaction); one that another copy deleted meanwhile is left alone.
//  R3. The name of the list open in the editor follows a rename, and deleting that list is
//      reported to the caller, so the editor never saves under a name it no longer owns.
//  R4. No write lock is held while a question or message is shown.
#pragma once

#include <string>

#include "gateway/main_window_link.h"
#include "skin/controls/buttons.h"
#include "skin/controls/list_view.h"
#include "vcl/controls/forms.h"

namespace lists {

// The background of every second row of the manager's list.
inline constexpr vcl::TColor kOddRowColor = 0xFFEEEE;  // RGB(238, 238, 255)

class TformList : public vcl::TForm {
public:
    VCL_CLASS(TformList, vcl::TForm)
    explicit TformList(vcl::TComponent* owner);

    // Shows the manager; `currentName` is the list open in the editor. True when that list was
    // deleted. When it was renamed, `currentName` holds its new name afterwards.
    bool Execute(std::string& currentName);

    std::string CurrentName;
    bool Changed = false;

    // The components, in the order they are made.
    skin::TsListView* lvList;
    skin::TsBitBtn* btnRename;
    skin::TsBitBtn* btnDel;
    skin::TsBitBtn* btnClose;

    void FillListView();

    // Event handlers, bound by name.
    void FormCreate(vcl::TObject* Sender);
    void lvListCustomDrawItem(vcl::TCustomListView* Sender, vcl::TListItem* Item,
                              vcl::TCustomDrawState State, bool& DefaultDraw);
    void btnRenameClick(vcl::TObject* Sender);
    void btnDelClick(vcl::TObject* Sender);

private:
    // The selected list's name, or empty when none is selected.
    std::string SelectedName() const;
    // True, after the warning, when the list is in use by a mailing run.
    bool RefuseActive(const std::string& name);
    void Message(const std::string& text, const std::string& caption, unsigned flags);

    gateway::TMainWindowLink& main_;
};

}  // namespace lists
