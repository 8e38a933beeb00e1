#include "lists/form_load_save.h"

#include "gateway/form_building.h"
#include "gateway/program_images.h"
#include "platform/os/cp_literal.h"
#include "platform/user/message_box.h"
#include "vcl/system/sysutils.h"

namespace lists {

using gateway::MakeComponent;

namespace {

constexpr int kClientWidth = 264;
constexpr int kGap = 8;

}  // namespace

TformLoadSave::TformLoadSave(vcl::TComponent* owner)
    : vcl::TForm(owner), main_(gateway::TheMainWindow("The list chooser")) {
    using vcl::Rect;
    gateway::SetUpDialog(this, "formLoadSave", "Сохранить список"_cp, kClientWidth, 290);

    List = MakeComponent<skin::TsAlphaListBox>(this, this, "List", Rect(8, 8, 256, 200));
    List->OnClick = {this, &TformLoadSave::ListClick};
    List->OnDblClick = {this, &TformLoadSave::ListDblClick};
    labName = MakeComponent<skin::TsLabel>(this, this, "labName", Rect(8, 206, 256, 222), "Имя"_cp);
    edName = MakeComponent<skin::TsEdit>(this, this, "edName", Rect(8, 222, 256, 243));
    btnOK =
        MakeComponent<skin::TsBitBtn>(this, this, "btnOK", Rect(64, 256, 160, 282), "Сохранить"_cp);
    btnOK->OnClick = {this, &TformLoadSave::btnOKClick};
    btnOK->SetDefault(true);
    btnCancel = MakeComponent<skin::TsBitBtn>(this, this, "btnCancel", Rect(168, 256, 256, 282),
                                              "Отмена"_cp);
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(vcl::mrCancel);
    OnCreate = {this, &TformLoadSave::FormCreate};
}

bool TformLoadSave::Execute(bool isLoad, const std::vector<std::string>& names, std::string& name) {
    Accepted = false;
    IsLoad = isLoad;
    labName->SetVisible(!isLoad);
    edName->SetVisible(!isLoad);
    if (isLoad) {
        SetCaption("Загрузить список"_cp);
        PlaceButtons(List->Top() + List->Height() + kGap);
        btnOK->SetImageIndex(gateway::piLoad);
        btnOK->SetCaption("Загрузить"_cp);
    } else {
        SetCaption("Сохранить список"_cp);
        PlaceButtons((edName->Top() + edName->Height()) / kGap * kGap + 2 * kGap);
        edName->SetText(name);
        btnOK->SetImageIndex(gateway::piSave);
        btnOK->SetCaption("Сохранить"_cp);
    }

    vcl::TStrings* items = List->Items();
    items->BeginUpdate();
    items->Clear();
    int selected = -1;
    for (const std::string& n : names) {
        const int index = items->Add(n);
        if (selected < 0 && vcl::AnsiSameText(n, name)) selected = index;
    }
    items->EndUpdate();
    List->SetItemIndex(selected);
    // A name typed at once goes where it is asked for.
    SetActiveControl(isLoad ? static_cast<vcl::TWinControl*>(List) : edName);

    ShowModal();
    if (!Accepted) return false;
    // Load returns the entry chosen now, never a name left in the hidden field earlier.
    name = vcl::Trim(isLoad ? items->Strings(List->ItemIndex()) : edName->Text());
    return true;
}

void TformLoadSave::PlaceButtons(int top) {
    btnOK->SetTop(top);
    btnCancel->SetTop(top);
    SetClientSize(kClientWidth, top + btnOK->Height() + kGap);
}

// ---- event handlers ----

void TformLoadSave::FormCreate(vcl::TObject*) {
    btnOK->SetImages(main_.AlphaImageList());
}

void TformLoadSave::ListClick(vcl::TObject*) {
    const int index = List->ItemIndex();
    if (index >= 0) edName->SetText(List->Items()->Strings(index));
}

void TformLoadSave::ListDblClick(vcl::TObject*) {
    btnOK->Click();
}

void TformLoadSave::btnOKClick(vcl::TObject*) {
    const bool chosen = IsLoad ? List->ItemIndex() >= 0 : !vcl::Trim(edName->Text()).empty();
    if (!chosen) {
        win::MessageBoxA(Handle(), "Укажите имя."_cp, "Внимание"_cp, win::MB_ICONWARNING);
        return;
    }
    Accepted = true;
    SetModalResult(vcl::mrOk);
}

}  // namespace lists
