#include "vcl/controls/mask_edit.h"

#include <algorithm>

#include "platform/controls/edit_control.h"
#include "platform/user/message_box.h"
#include "platform/user/user.h"

namespace vcl {

std::vector<TPropInfo> TCustomMaskEdit::Published() {
    return {Property("EditMask", &TCustomMaskEdit::EditMask, &TCustomMaskEdit::SetEditMask)};
}

std::string TCustomMaskEdit::EditText() const {
    return TCustomEdit::GetText();
}

void TCustomMaskEdit::SetEditText(const std::string& text) {
    if (text == EditText()) return;
    Perform(win::WM_SETTEXT, 0, reinterpret_cast<intptr_t>(text.c_str()));
    Perform(CM_TEXTCHANGED);
}

std::string TCustomMaskEdit::GetText() const {
    return IsMasked() ? mask_.TextOf(EditText()) : TCustomEdit::GetText();
}

void TCustomMaskEdit::SetText(const std::string& text) {
    if (IsMasked())
        SetEditText(mask_.EditTextOf(text));
    else
        TCustomEdit::SetText(text);
}

void TCustomMaskEdit::SetEditMask(const std::string& mask) {
    if (mask == maskText_) return;
    const std::string text = GetText();
    maskText_ = mask;
    mask_ = MaskPattern(mask);
    if (HandleAllocated())
        win::SendMessageA(Handle(), win::EM_LIMITTEXT,
                          IsMasked() ? mask_.Size() : static_cast<std::size_t>(MaxLength()), 0);
    SetEditText(IsMasked() ? mask_.EditTextOf(text) : text);
}

void TCustomMaskEdit::CreateWnd() {
    TCustomEdit::CreateWnd();
    if (IsMasked()) win::SendMessageA(Handle(), win::EM_LIMITTEXT, mask_.Size(), 0);
}

// The window's text is the edit text, literals and blanks included: that is what comes back.
void TCustomMaskEdit::DestroyWnd() {
    const std::string keep = EditText();
    TCustomEdit::DestroyWnd();
    SetTextBuf(keep);
}

TCustomMaskEdit::Selection TCustomMaskEdit::GetSel() {
    win::DWORD start = 0, end = 0;
    win::SendMessageA(Handle(), win::EM_GETSEL, reinterpret_cast<win::WPARAM>(&start),
                      reinterpret_cast<win::LPARAM>(&end));
    return {start, end};
}

void TCustomMaskEdit::SetCaret(std::size_t pos) {
    win::SendMessageA(Handle(), win::EM_SETSEL, pos, static_cast<win::LPARAM>(pos));
}

void TCustomMaskEdit::Put(std::size_t pos, const std::string& s) {
    win::SendMessageA(Handle(), win::EM_SETSEL, pos, static_cast<win::LPARAM>(pos + s.size()));
    win::SendMessageA(Handle(), win::EM_REPLACESEL, 0, reinterpret_cast<win::LPARAM>(s.c_str()));
}

void TCustomMaskEdit::Blank(std::size_t from, std::size_t to) {
    to = std::min(to, mask_.Size());
    if (from >= to) return;
    std::string s(to - from, mask_.Blank());
    for (std::size_t i = from; i < to; ++i)
        if (!mask_.IsInput(i)) s[i - from] = mask_.Literal(i);
    Put(from, s);
}

void TCustomMaskEdit::Input(char c) {
    const Selection sel = GetSel();
    if (sel.end > sel.start) Blank(sel.start, sel.end);
    const std::size_t p = mask_.NextInput(sel.start);
    if (const char a = mask_.Accept(p, c)) {
        Put(p, std::string(1, a));
        SetCaret(mask_.NextInput(p + 1));
        return;
    }
    // A literal typed just after the caret passed it is taken as said; typed ahead of its
    // place, it moves the caret past it.
    if (sel.start > 0 && !mask_.IsInput(sel.start - 1) && mask_.Literal(sel.start - 1) == c)
        return;
    std::size_t q = sel.start;
    while (mask_.IsInput(q))
        ++q;
    if (q < mask_.Size() && mask_.Literal(q) == c) {
        SetCaret(mask_.NextInput(q + 1));
        return;
    }
    win::MessageBeep(0);
}

void TCustomMaskEdit::Erase(bool back) {
    const Selection sel = GetSel();
    if (sel.end > sel.start) {
        Blank(sel.start, sel.end);
        SetCaret(sel.start);
        return;
    }
    const std::size_t p = back ? mask_.PrevInput(sel.start) : mask_.NextInput(sel.start);
    if (p >= mask_.Size()) return;  // npos too
    Blank(p, p + 1);
    SetCaret(p);
}

bool TCustomMaskEdit::DoKeyDown(uint16_t& key, TShiftState shift) {
    if (TCustomEdit::DoKeyDown(key, shift)) return true;
    if (!IsMasked() || shift.Contains(ssShift) || shift.Contains(ssCtrl)) return false;
    switch (key) {
        case win::VK_DELETE:
            if (ReadOnly()) return false;
            Erase(false);
            break;
        case win::VK_LEFT: {
            const Selection sel = GetSel();
            const std::size_t p = mask_.PrevInput(sel.start);
            if (sel.end > sel.start)
                SetCaret(sel.start);
            else if (p != std::string::npos)
                SetCaret(p);
            break;
        }
        case win::VK_RIGHT: {
            const Selection sel = GetSel();
            SetCaret(sel.end > sel.start ? sel.end : mask_.NextInput(sel.start + 1));
            break;
        }
        default:
            return false;
    }
    key = 0;
    return true;
}

bool TCustomMaskEdit::DoKeyPress(char& key) {
    if (TCustomEdit::DoKeyPress(key)) return true;
    if (!IsMasked() || ReadOnly()) return false;
    if (key == '\b')
        Erase(true);
    else if (static_cast<unsigned char>(key) >= 0x20)
        Input(key);
    else
        return false;  // the clipboard keys and the like
    key = 0;
    return true;
}

void TCustomMaskEdit::Dispatch(TMessage& m) {
    if (IsMasked() && !ReadOnly()) {
        switch (m.Msg) {
            case win::WM_CUT:
                Perform(win::WM_COPY);
                [[fallthrough]];
            case win::WM_CLEAR: {
                const Selection sel = GetSel();
                Blank(sel.start, sel.end);
                SetCaret(sel.start);
                return;
            }
            case win::WM_PASTE:
                for (char c : win::GetClipboardText(Handle()))
                    if (static_cast<unsigned char>(c) >= 0x20) Input(c);
                return;
            default:
                break;
        }
    }
    TCustomEdit::Dispatch(m);
}

}  // namespace vcl
