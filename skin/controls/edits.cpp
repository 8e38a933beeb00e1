#include "skin/controls/edits.h"

#include "platform/controls/edit_control.h"
#include "platform/user/user.h"

namespace skin {

using namespace vcl;

// --- TsEdit ---

std::vector<TPropInfo> TsEdit::Published() {
    return EditSkinProperties<TsEdit>();
}

TsEdit::TsEdit(TComponent* owner) : TEdit(owner), skin_(this, 3) {}

TsEdit::~TsEdit() = default;

void TsEdit::AfterConstruction() {
    TEdit::AfterConstruction();
    SkinData()->Loaded();
}

void TsEdit::Loaded() {
    TEdit::Loaded();
    SkinData()->Loaded();
}

void TsEdit::WndProc(TMessage& m) {
    skin_.Before(m);
    TEdit::WndProc(m);
    skin_.After(m);
}

void TsEdit::SetParent(TWinControl* parent) {
    TEdit::SetParent(parent);
    skin_.Placed();
}

void TsEdit::SetBounds(int left, int top, int width, int height) {
    TEdit::SetBounds(left, top, width, height);
    skin_.Placed();
}

// --- TsMaskEdit ---

std::vector<TPropInfo> TsMaskEdit::Published() {
    return EditSkinProperties<TsMaskEdit>();
}

TsMaskEdit::TsMaskEdit(TComponent* owner) : TMaskEdit(owner), skin_(this, 3, "EDIT") {
    ControlStyle >> csSetCaption;
}

TsMaskEdit::~TsMaskEdit() = default;

void TsMaskEdit::AfterConstruction() {
    TMaskEdit::AfterConstruction();
    SkinData()->Loaded();
}

void TsMaskEdit::Loaded() {
    TMaskEdit::Loaded();
    SkinData()->Loaded();
}

void TsMaskEdit::WndProc(TMessage& m) {
    skin_.Before(m);
    TMaskEdit::WndProc(m);
    skin_.After(m);
}

void TsMaskEdit::SetParent(TWinControl* parent) {
    TMaskEdit::SetParent(parent);
    skin_.Placed();
}

void TsMaskEdit::SetBounds(int left, int top, int width, int height) {
    TMaskEdit::SetBounds(left, top, width, height);
    skin_.Placed();
}

// --- TsMemo ---

std::vector<TPropInfo> TsMemo::Published() {
    return EditSkinProperties<TsMemo>();
}

TsMemo::TsMemo(TComponent* owner) : TMemo(owner), skin_(this, 7, "EDIT") {
    ControlStyle >> csOpaque;
}

TsMemo::~TsMemo() = default;

void TsMemo::AfterConstruction() {
    TMemo::AfterConstruction();
    SkinData()->Loaded();
}

void TsMemo::Loaded() {
    TMemo::Loaded();
    SkinData()->Loaded();
}

void TsMemo::WndProc(TMessage& m) {
    skin_.Before(m);
    TMemo::WndProc(m);
    if (m.Msg == win::EM_SETSEL) OnScrollCaret(this);
    if (m.Msg == win::WM_VSCROLL) OnVScroll(this);
    skin_.After(m);
}

void TsMemo::SetParent(TWinControl* parent) {
    TMemo::SetParent(parent);
    skin_.Placed();
}

void TsMemo::SetBounds(int left, int top, int width, int height) {
    TMemo::SetBounds(left, top, width, height);
    skin_.Placed();
}

}  // namespace skin
