#include "gateway/form_gsm.h"

#include "gateway/form_building.h"
#include "platform/os/cp_literal.h"
#include "platform/os/files.h"
#include "platform/user/message_box.h"
#include "skin/core/state/common_data.h"

namespace gateway {

namespace {

// The caption above a control.
void Label(skin::TsBoundLabel* label, const std::string& caption) {
    label->SetActive(true);
    label->SetLayout(skin::sclTopLeft);
    label->SetIndent(2);
    label->SetCaption(caption);
}

}  // namespace

TformGSM::TformGSM(vcl::TComponent* owner) : vcl::TForm(owner) {
    using vcl::Rect;
    SetUpDialog(this, "formGSM", "Выбрать GSM-шлюз"_cp, 360, 284);

    cbCOM = MakeComponent<skin::TsComboBox>(this, this, "cbCOM", Rect(8, 26, 200, 47));
    Label(cbCOM->BoundLabel(), "СОМ-порт:"_cp);
    btnTest = MakeComponent<skin::TsBitBtn>(this, this, "btnTest", Rect(232, 8, 352, 48),
                                            "Тест\rсоединения"_cp);
    btnTest->SetWordWrap(true);
    btnTest->OnClick = {this, &TformGSM::btnTestClick};
    memoLog = MakeComponent<skin::TsMemo>(this, this, "memoLog", Rect(8, 74, 352, 240));
    memoLog->SetReadOnly(true);
    memoLog->SetScrollBars(vcl::ssVertical);
    Label(memoLog->BoundLabel(), "Лог АТ-команд:"_cp);
    btnSelect = MakeComponent<skin::TsBitBtn>(this, this, "btnSelect", Rect(176, 250, 260, 276),
                                              "Выбрать"_cp);
    btnSelect->OnClick = {this, &TformGSM::btnSelectClick};
    btnCancel = MakeComponent<skin::TsBitBtn>(this, this, "btnCancel", Rect(268, 250, 352, 276),
                                              "Отмена"_cp);
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(vcl::mrCancel);
}

void TformGSM::Execute(std::string& portName) {
    Selected = false;
    ClearLog();
    FillPortList();
    if (!portName.empty()) cbCOM->SetText(portName);
    ShowModal();
    if (Selected) portName = cbCOM->Text();
}

void TformGSM::FillPortList() {
    if (!os::DirectoryExists(SysClassTty)) return;
    vcl::TStrings* items = cbCOM->Items();
    items->Clear();
    for (const std::string& port : os::ListSerialPorts(SysClassTty))
        items->Add(port);
}

void TformGSM::btnTestClick(vcl::TObject*) {
    RunModemTest(*port_, cbCOM->Text(), *this);
}

void TformGSM::btnSelectClick(vcl::TObject*) {
    Selected = true;
    SetModalResult(vcl::mrOk);
}

void TformGSM::ClearLog() {
    memoLog->Lines()->Clear();
}

void TformGSM::AddLogLine(const std::string& line) {
    memoLog->Lines()->Add(line);
}

void TformGSM::Repaint() {
    vcl::TForm::Repaint();
}

void TformGSM::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    win::MessageBoxA(Handle(), text.c_str(), caption.c_str(), flags);
}

}  // namespace gateway
