// TformLoadSave: the chooser that load and save of a list use. In load mode the operator picks
// one of the stored lists; in save mode he picks one or types a new name. The name field keeps
// its text between uses.
#pragma once

#include <string>
#include <vector>

#include "gateway/main_window_link.h"
#include "skin/controls/buttons.h"
#include "skin/controls/edits.h"
#include "skin/controls/labels.h"
#include "skin/controls/list_boxes.h"
#include "vcl/controls/forms.h"

namespace lists {

class TformLoadSave : public vcl::TForm {
public:
    VCL_CLASS(TformLoadSave, vcl::TForm)
    explicit TformLoadSave(vcl::TComponent* owner);

    // Offers `names` in their order with `name` selected (ignoring case). True when the operator
    // confirmed; `name` then holds the chosen name, trimmed: in load mode the selected entry,
    // in save mode the name field's text.
    bool Execute(bool isLoad, const std::vector<std::string>& names, std::string& name);

    bool IsLoad = false;
    bool Accepted = false;

    // The components, in the order they are made.
    skin::TsAlphaListBox* List;
    skin::TsLabel* labName;
    skin::TsEdit* edName;
    skin::TsBitBtn* btnOK;
    skin::TsBitBtn* btnCancel;

    // Event handlers, bound by name.
    void FormCreate(vcl::TObject* Sender);
    void ListClick(vcl::TObject* Sender);
    void ListDblClick(vcl::TObject* Sender);
    void btnOKClick(vcl::TObject* Sender);

private:
    // Both buttons at `top`, the client area ending 8 pixels below them.
    void PlaceButtons(int top);

    gateway::TMainWindowLink& main_;
};

}  // namespace lists
