// The grid's in-place editor: opening and closing it, keeping it over the current cell, and
// the keys and text it shares with the grid.
#include "platform/user/user.h"
#include "vcl/controls/grids.h"

namespace vcl {

// ---- the editor ----

TInplaceEdit::TInplaceEdit(TCustomGrid* grid) : TCustomEdit(grid), grid_(grid) {
    SetVisible(false);
    SetTabStop(false);
    SetBorderStyle(bsNone);
}

void TInplaceEdit::CreateParams(TCreateParams& p) {
    TCustomEdit::CreateParams(p);
    p.Style &= ~win::WS_TABSTOP;
}

bool TInplaceEdit::DoKeyDown(uint16_t& key, TShiftState shift) {
    if (TCustomEdit::DoKeyDown(key, shift)) return true;
    bool grids = false;
    switch (key) {
        case win::VK_UP:
        case win::VK_DOWN:
        case win::VK_ESCAPE:
            grids = true;
            break;
        case win::VK_LEFT:
        case win::VK_RIGHT: {
            // At the start (or end) of the text, with nothing or everything selected.
            const int start = SelStart(), end = start + SelLength();
            const int length = static_cast<int>(GetText().size());
            grids = key == win::VK_LEFT ? start == 0 && (end == 0 || end == length)
                                        : (start == 0 || end == start) && end == length;
            break;
        }
        default:
            break;
    }
    if (!grids) return false;
    grid_->EditorKeyDown(key, shift);
    key = 0;
    return true;
}

bool TInplaceEdit::DoKeyPress(char& key) {
    if (TCustomEdit::DoKeyPress(key)) return true;
    grid_->EditorKeyPress(key);
    if (key == '\r' || key == '\x1b' || key == '\t') key = 0;
    return key == 0;
}

void TInplaceEdit::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case win::WM_GETDLGCODE:
            // Enter and Escape belong to the grid, not to the form's default and cancel buttons.
            TCustomEdit::Dispatch(m);
            m.Result |= win::DLGC_WANTALLKEYS;
            return;
        case win::WM_KILLFOCUS: {
            // The focus going to another control of the form ends the editing; a message box
            // or another program taking it does not.
            TCustomEdit::Dispatch(m);
            auto* to = reinterpret_cast<win::HWND>(m.WParam);
            if (ComponentState().Contains(csDestroying) ||
                grid_->ComponentState().Contains(csDestroying) || !to || !grid_->HandleAllocated())
                return;
            if (to != grid_->Handle() &&
                win::GetAncestor(to, win::GA_ROOT) == win::GetAncestor(Handle(), win::GA_ROOT))
                grid_->SetEditorMode(false);
            return;
        }
        default:
            TCustomEdit::Dispatch(m);
            return;
    }
}

void TInplaceEdit::Change() {
    TCustomEdit::Change();
    grid_->EditorChanged(GetText());
}

// ---- the grid's side ----

bool TCustomGrid::CanEditShow() const {
    return options_.Contains(goEditing) && HandleAllocated() && sizingCol_ < 0 &&
           !CellRect(current_.X, current_.Y).IsEmpty();
}

void TCustomGrid::SetEditorMode(bool on) {
    if (on == editorMode_) return;
    if (on && !CanEditShow()) return;
    editorMode_ = on;
    if (on)
        ShowEditor();
    else
        HideEditor();
}

void TCustomGrid::ShowEditor() {
    if (!editor_) {
        editor_ = New<TInplaceEdit>(this);
        editor_->SetParent(this);
    }
    editCell_ = current_;
    editorOriginal_ = GetEditText(current_.X, current_.Y);
    editUpdating_ = true;
    editor_->SetText(editorOriginal_);
    editUpdating_ = false;
    const TRect r = CellRect(current_.X, current_.Y);
    editor_->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    editor_->Show();
    editor_->SelectAll();
    if (Focused()) editor_->SetFocus();
    InvalidateCell(current_.X, current_.Y);
}

void TCustomGrid::HideEditor() {
    if (!editor_ || !editor_->Visible()) return;
    const bool hadFocus = editor_->Focused();
    editor_->Hide();
    if (hadFocus && CanFocus()) SetFocus();
    InvalidateCell(editCell_.X, editCell_.Y);
}

// The current cell moved, or the cells moved on screen: the editor goes with the cell, and
// closes when the cell leaves the screen.
void TCustomGrid::UpdateEditor() {
    if (!editorMode_ || !editor_) return;
    if (!CanEditShow()) {
        SetEditorMode(false);
        return;
    }
    if (!(editCell_ == current_)) {
        const bool focused = editor_->Focused();
        editCell_ = current_;
        editorOriginal_ = GetEditText(current_.X, current_.Y);
        editUpdating_ = true;
        editor_->SetText(editorOriginal_);
        editUpdating_ = false;
        editor_->SelectAll();
        if (focused) editor_->SetFocus();
    }
    const TRect r = CellRect(current_.X, current_.Y);
    editor_->SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

void TCustomGrid::InvalidateEditor() {
    if (!editorMode_ || !editor_ || editUpdating_) return;
    editorOriginal_ = GetEditText(editCell_.X, editCell_.Y);
    editUpdating_ = true;
    editor_->SetText(editorOriginal_);
    editUpdating_ = false;
    editor_->SelectAll();
}

void TCustomGrid::TypeIntoEditor(char key) {
    if (editor_) editor_->Perform(win::WM_CHAR, static_cast<unsigned char>(key), 0);
}

void TCustomGrid::EditorChanged(const std::string& text) {
    if (editUpdating_ || !editorMode_) return;
    editUpdating_ = true;
    try {
        SetEditText(editCell_.X, editCell_.Y, text);
    } catch (...) {
        editUpdating_ = false;
        throw;
    }
    editUpdating_ = false;
}

// Keys the editor hands over: OnKeyDown sees them first; Escape puts the text back as it was
// when the editor opened and closes it.
void TCustomGrid::EditorKeyDown(uint16_t& key, TShiftState shift) {
    OnKeyDown(this, key, shift);
    if (key == 0) return;
    if (key == win::VK_ESCAPE) {
        if (editor_ && editor_->GetText() != editorOriginal_) editor_->SetText(editorOriginal_);
        SetEditorMode(false);
        key = 0;
        return;
    }
    GridKeyDown(key, shift);
}

void TCustomGrid::EditorKeyPress(char& key) {
    OnKeyPress(this, key);
    if (key != 0) GridKeyPress(key);
}

void TCustomGrid::Notification(TComponent* component, TOperation operation) {
    if (operation == opRemove && component == editor_) {
        editor_ = nullptr;
        editorMode_ = false;
    }
    TCustomControl::Notification(component, operation);
}

std::string TCustomGrid::GetEditText(int, int) {
    return {};
}

void TCustomGrid::SetEditText(int, int, const std::string&) {}

}  // namespace vcl
