#include "vcl/controls/combo_box.h"

#include <algorithm>

#include "platform/controls/combo_box_control.h"
#include "platform/controls/edit_control.h"
#include "platform/gdi/gdi.h"
#include "platform/os/clock.h"
#include "platform/user/user.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/string_list.h"
#include "vcl/system/window_exceptions.h"

namespace vcl {

// --- TComboBoxStrings ---

intptr_t TComboBoxStrings::Send(uint32_t msg, uintptr_t wParam, intptr_t lParam) const {
    return win::SendMessageA(combo_->Handle(), msg, wParam, lParam);
}

int TComboBoxStrings::Count() const {
    return static_cast<int>(Send(win::CB_GETCOUNT));
}

std::string TComboBoxStrings::Get(int index) const {
    const intptr_t n = Send(win::CB_GETLBTEXTLEN, static_cast<uintptr_t>(index));
    if (n == win::CB_ERR) IndexError(index);
    std::string s(static_cast<std::size_t>(n) + 1, '\0');
    const intptr_t got = Send(win::CB_GETLBTEXT, static_cast<uintptr_t>(index),
                              reinterpret_cast<intptr_t>(s.data()));
    s.resize(static_cast<std::size_t>(std::max<intptr_t>(got, 0)));
    return s;
}

TObject* TComboBoxStrings::GetObject(int index) const {
    if (index < 0 || index >= Count()) IndexError(index);
    return reinterpret_cast<TObject*>(Send(win::CB_GETITEMDATA, static_cast<uintptr_t>(index)));
}

void TComboBoxStrings::PutObject(int index, TObject* object) {
    if (Send(win::CB_SETITEMDATA, static_cast<uintptr_t>(index),
             reinterpret_cast<intptr_t>(object)) == win::CB_ERR)
        IndexError(index);
}

void TComboBoxStrings::Insert(int index, const std::string& s) {
    if (Send(win::CB_INSERTSTRING, static_cast<uintptr_t>(index),
             reinterpret_cast<intptr_t>(s.c_str())) < 0)
        throw EOutOfResources("Unable to insert a line");
}

int TComboBoxStrings::Add(const std::string& s) {
    const intptr_t i = Send(win::CB_ADDSTRING, 0, reinterpret_cast<intptr_t>(s.c_str()));
    if (i < 0) throw EOutOfResources("Unable to insert a line");
    return static_cast<int>(i);
}

void TComboBoxStrings::Delete(int index) {
    if (Send(win::CB_DELETESTRING, static_cast<uintptr_t>(index)) == win::CB_ERR) IndexError(index);
}

void TComboBoxStrings::Clear() {
    Send(win::CB_RESETCONTENT);
}

int TComboBoxStrings::IndexOf(std::string_view s) const {
    const std::string text(s);
    return static_cast<int>(Send(win::CB_FINDSTRINGEXACT, static_cast<uintptr_t>(-1),
                                 reinterpret_cast<intptr_t>(text.c_str())));
}

void TComboBoxStrings::SetUpdateState(bool updating) {
    Send(win::WM_SETREDRAW, updating ? 0 : 1);
    if (!updating) combo_->Invalidate();
}

// --- TCustomComboBox ---

std::vector<TPropInfo> TCustomComboBox::Published() {
    return {
        Property("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle),
        Property("ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex),
        Property("DropDownCount", &TCustomComboBox::DropDownCount,
                 &TCustomComboBox::SetDropDownCount),
        Property("ItemHeight", &TCustomComboBox::ItemHeight, &TCustomComboBox::SetItemHeight),
        Property("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted),
        Property("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength),
        Property("AutoComplete", &TCustomComboBox::AutoComplete, &TCustomComboBox::SetAutoComplete),
        Property("AutoCompleteDelay", &TCustomComboBox::AutoCompleteDelay,
                 &TCustomComboBox::SetAutoCompleteDelay)};
}

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TWinControl(owner), items_(new TComboBoxStrings(this)), canvas_(new TControlCanvas(this)) {
    ControlStyle = {csSetCaption, csDoubleClicks, csFixedHeight, csReflector};
    SetTabStop(true);
    SetParentColor(false);
    SetBounds(0, 0, 145, 21);
}

TCustomComboBox::~TCustomComboBox() {
    delete canvas_;
    delete saved_;
    delete items_;
}

void TCustomComboBox::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    CreateSubClass(p, "ComboBox");
    static constexpr uint32_t kStyles[] = {win::CBS_DROPDOWN, win::CBS_SIMPLE,
                                           win::CBS_DROPDOWNLIST,
                                           win::CBS_DROPDOWNLIST | win::CBS_OWNERDRAWFIXED,
                                           win::CBS_DROPDOWNLIST | win::CBS_OWNERDRAWVARIABLE};
    p.Style |= kStyles[style_] | win::WS_VSCROLL | win::CBS_HASSTRINGS | win::CBS_AUTOHSCROLL;
    if (sorted_) p.Style |= win::CBS_SORT;
    if (charCase_ == ecUpperCase) p.Style |= win::CBS_UPPERCASE;
    if (charCase_ == ecLowerCase) p.Style |= win::CBS_LOWERCASE;
}

namespace {

// Where the edit's procedure under the class library's was kept.
constexpr const char* kEditProcProp = "TCustomComboBox.EditProc";

}  // namespace

win::LRESULT TCustomComboBox::StaticEditProc(win::HWND hwnd, win::UINT msg, win::WPARAM wParam,
                                             win::LPARAM lParam) {
    auto next = reinterpret_cast<win::WNDPROC>(win::GetPropA(hwnd, kEditProcProp));
    auto* combo = dynamic_cast<TCustomComboBox*>(FindControl(win::GetParent(hwnd)));
    TMessage m{msg, wParam, lParam, 0};
    if (combo && combo->editHandle_ == hwnd) {
        try {
            combo->EditWndProc(m);
        } catch (...) {
            HandleWindowException(std::current_exception());
        }
    } else {
        m.Result = next ? win::CallWindowProcA(next, hwnd, msg, wParam, lParam)
                        : win::DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    // The last message: the procedures below have had it, the edit's own freeing its state.
    if (msg == win::WM_NCDESTROY) {
        win::RemovePropA(hwnd, kEditProcProp);
        if (combo && combo->editHandle_ == hwnd) combo->editHandle_ = nullptr;
    }
    return m.Result;
}

void TCustomComboBox::DefaultEditHandler(TMessage& m) {
    auto next = reinterpret_cast<win::WNDPROC>(win::GetPropA(editHandle_, kEditProcProp));
    m.Result = next ? win::CallWindowProcA(next, editHandle_, m.Msg, m.WParam, m.LParam)
                    : win::DefWindowProcA(editHandle_, m.Msg, m.WParam, m.LParam);
}

void TCustomComboBox::EditWndProc(TMessage& m) {
    switch (m.Msg) {
        case win::WM_SETFOCUS:
            SetFocusedControl(this);
            break;
        case win::WM_KEYDOWN:
        case win::WM_SYSKEYDOWN: {
            auto key = static_cast<uint16_t>(m.WParam);
            if (DoKeyDown(key, KeyDataToShiftState(m.LParam))) return;
            m.WParam = key;
            break;
        }
        case win::WM_KEYUP:
        case win::WM_SYSKEYUP: {
            auto key = static_cast<uint16_t>(m.WParam);
            if (DoKeyUp(key, KeyDataToShiftState(m.LParam))) return;
            m.WParam = key;
            break;
        }
        case win::WM_CHAR: {
            char c = static_cast<char>(m.WParam);
            if (DoKeyPress(c)) return;
            m.WParam = static_cast<unsigned char>(c);
            break;
        }
        default:
            break;
    }
    DefaultEditHandler(m);
}

bool TCustomComboBox::Focused() {
    const win::HWND f = win::GetFocus();
    return f && (f == editHandle_ || (HandleAllocated() && f == Handle()));
}

void TCustomComboBox::CreateWnd() {
    TWinControl::CreateWnd();
    editHandle_ = nullptr;
    if (style_ == csDropDown || style_ == csSimple) {
        if (win::HWND edit = win::FindWindowExA(Handle(), nullptr, "Edit", nullptr)) {
            const auto old = win::SetWindowLongPtrA(
                edit, win::GWL_WNDPROC, reinterpret_cast<win::LONG_PTR>(&StaticEditProc));
            win::SetPropA(edit, kEditProcProp, reinterpret_cast<win::HANDLE>(old));
            editHandle_ = edit;
        }
    }
    win::SendMessageA(Handle(), win::CB_LIMITTEXT, static_cast<win::WPARAM>(maxLength_), 0);
    if (saved_) {
        items_->Assign(saved_);
        delete saved_;
        saved_ = nullptr;
        SetItemIndex(savedIndex_);
    }
}

void TCustomComboBox::DestroyWnd() {
    if (HandleAllocated() && items_->Count() > 0) {
        delete saved_;
        saved_ = new TStringList;
        saved_->Assign(items_);
        savedIndex_ = ItemIndex();
    }
    TWinControl::DestroyWnd();
}

void TCustomComboBox::SetBounds(int left, int top, int width, int height) {
    TWinControl::SetBounds(left, top, width, height);
    // The native box keeps its own height: take the one it chose.
    if (HandleAllocated()) UpdateBounds();
}

void TCustomComboBox::Clear() {
    items_->Clear();
    SetText("");
}

int TCustomComboBox::ItemIndex() const {
    if (!HandleAllocated()) return saved_ ? savedIndex_ : -1;
    return static_cast<int>(
        win::SendMessageA(const_cast<TCustomComboBox*>(this)->Handle(), win::CB_GETCURSEL, 0, 0));
}

void TCustomComboBox::SetItemIndex(int index) {
    if (ItemIndex() != index) win::SendMessageA(Handle(), win::CB_SETCURSEL, index, 0);
}

void TCustomComboBox::SetStyle(TComboBoxStyle style) {
    if (style == style_) return;
    style_ = style;
    RecreateWnd();
}

void TCustomComboBox::SetDropDownCount(int count) {
    dropDownCount_ = count;
}

int TCustomComboBox::ItemHeight() const {
    if (style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable || !HandleAllocated())
        return itemHeight_;
    return static_cast<int>(win::SendMessageA(const_cast<TCustomComboBox*>(this)->Handle(),
                                              win::CB_GETITEMHEIGHT, 0, 0));
}

void TCustomComboBox::SetItemHeight(int height) {
    if (height <= 0 || height == itemHeight_) return;
    itemHeight_ = height;
    if (style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable) RecreateWnd();
}

void TCustomComboBox::SetSorted(bool on) {
    if (on == sorted_) return;
    sorted_ = on;
    RecreateWnd();
}

void TCustomComboBox::SetCharCase(TEditCharCase c) {
    if (c == charCase_) return;
    charCase_ = c;
    RecreateWnd();
}

void TCustomComboBox::SetMaxLength(int length) {
    maxLength_ = std::max(0, length);
    if (HandleAllocated())
        win::SendMessageA(Handle(), win::CB_LIMITTEXT, static_cast<win::WPARAM>(maxLength_), 0);
}

bool TCustomComboBox::DroppedDown() const {
    return HandleAllocated() && win::SendMessageA(const_cast<TCustomComboBox*>(this)->Handle(),
                                                  win::CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool on) {
    win::SendMessageA(Handle(), win::CB_SHOWDROPDOWN, on ? 1 : 0, 0);
}

void TCustomComboBox::AdjustDropDown() {
    const int rows = std::max(1, std::min(items_->Count(), dropDownCount_));
    win::SetWindowPos(Handle(), nullptr, 0, 0, Width(), ItemHeight() * rows + Height() + 2,
                      win::SWP_NOMOVE | win::SWP_NOZORDER | win::SWP_NOACTIVATE);
}

void TCustomComboBox::Change() {
    Changed();
    OnChange(this);
}

void TCustomComboBox::Select() {
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

void TCustomComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
    if (OnDrawItem) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    canvas_->FillRect(rect);
    if (index >= 0) canvas_->TextOut(rect.Left + 2, rect.Top, items_->Get(index));
}

void TCustomComboBox::MeasureItem(int index, int& height) {
    OnMeasureItem(this, index, height);
}

void TCustomComboBox::DrawItemMessage(TMessage& m) {
    const auto* dis = reinterpret_cast<const win::DRAWITEMSTRUCT*>(m.LParam);
    const TOwnerDrawState state(dis->itemState & 0x1FFF, 0);
    const int index = static_cast<int>(dis->itemID);
    TPaintDCLease lease(canvas_, dis->hDC);
    canvas_->SetFont(Font());
    canvas_->Brush()->SetColor(Color());
    if (index >= 0 && state.Contains(odSelected)) {
        canvas_->Brush()->SetColor(clHighlight);
        canvas_->Font()->SetColor(clHighlightText);
    }
    if (index >= 0)
        DrawItem(index, dis->rcItem, state);
    else
        canvas_->FillRect(dis->rcItem);
    if (state.Contains(odFocused)) canvas_->DrawFocusRect(dis->rcItem);
    m.Result = 1;
}

void TCustomComboBox::MeasureItemMessage(TMessage& m) {
    auto* mis = reinterpret_cast<win::MEASUREITEMSTRUCT*>(m.LParam);
    int height = itemHeight_;
    if (style_ == csOwnerDrawVariable && static_cast<int>(mis->itemID) >= 0)
        MeasureItem(static_cast<int>(mis->itemID), height);
    mis->itemHeight = static_cast<win::UINT>(std::max(1, height));
    m.Result = 1;
}

void TCustomComboBox::Command(uint16_t code) {
    switch (code) {
        case win::CBN_EDITCHANGE:
            Change();
            break;
        case win::CBN_SELCHANGE:
            Click();
            Select();
            break;
        case win::CBN_DROPDOWN:
            DropDown();
            AdjustDropDown();
            break;
        case win::CBN_CLOSEUP:
            CloseUp();
            break;
        case win::CBN_DBLCLK:
            OnDblClick(this);
            break;
        default:
            break;
    }
}

void TCustomComboBox::WndProc(TMessage& m) {
    switch (m.Msg) {
        case win::WM_CTLCOLOREDIT:
        case win::WM_CTLCOLORLISTBOX:
        case win::WM_CTLCOLORSTATIC: {
            // The field and the list take the box's own colours.
            auto dc = reinterpret_cast<win::HDC>(m.WParam);
            win::SetTextColor(dc, ColorToRGB(Font()->Color()));
            win::SetBkColor(dc, ColorToRGB(Color()));
            Brush()->SetColor(Color());
            m.Result = reinterpret_cast<intptr_t>(Brush()->Handle());
            return;
        }
        default:
            TWinControl::WndProc(m);
            return;
    }
}

void TCustomComboBox::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case CN_COMMAND:
            Command(m.WParamHi());
            return;
        case CN_DRAWITEM:
            DrawItemMessage(m);
            return;
        case CN_MEASUREITEM:
            MeasureItemMessage(m);
            return;
        default:
            TWinControl::Dispatch(m);
            return;
    }
}

// The typed letters pick the item they begin; a pause starts a new prefix.
bool TCustomComboBox::SelectItem(const std::string& prefix) {
    const intptr_t i = win::SendMessageA(Handle(), win::CB_FINDSTRING, static_cast<uintptr_t>(-1),
                                         reinterpret_cast<intptr_t>(prefix.c_str()));
    if (i == win::CB_ERR) return false;
    if (i != ItemIndex()) {
        SetItemIndex(static_cast<int>(i));
        Click();
        Select();
    }
    return true;
}

// An edit's text completes to the first item it begins, the added part selected.
void TCustomComboBox::Complete(char key) {
    if (!editHandle_) return;
    win::DWORD from = 0, to = 0;
    win::SendMessageA(editHandle_, win::EM_GETSEL, reinterpret_cast<win::WPARAM>(&from),
                      reinterpret_cast<win::LPARAM>(&to));
    const std::string text = Text();
    if (to != text.size()) return;  // typing inside the text: no completion
    const std::string prefix = text.substr(0, std::min<std::size_t>(from, text.size())) + key;
    const intptr_t i = win::SendMessageA(Handle(), win::CB_FINDSTRING, static_cast<uintptr_t>(-1),
                                         reinterpret_cast<intptr_t>(prefix.c_str()));
    if (i == win::CB_ERR) return;
    const std::string item = items_->Get(static_cast<int>(i));
    const bool changed = i != ItemIndex();
    win::SendMessageA(Handle(), win::CB_SETCURSEL, static_cast<uintptr_t>(i), 0);
    SetText(prefix + item.substr(prefix.size()));
    win::SendMessageA(Handle(), win::CB_SETEDITSEL, 0,
                      static_cast<intptr_t>(win::MAKELPARAM(prefix.size(), 0xFFFF)));
    Change();
    if (changed) {
        Click();
        Select();
    }
}

bool TCustomComboBox::DoKeyPress(char& key) {
    if (TWinControl::DoKeyPress(key)) return true;
    if (!autoComplete_) return false;
    if (style_ == csDropDown || style_ == csSimple) {
        if (static_cast<unsigned char>(key) < 0x20) return false;
        const std::string before = Text();
        Complete(key);
        if (Text() != before) key = 0;
        return key == 0;
    }
    const auto ch = static_cast<unsigned char>(key);
    const uint32_t now = os::GetTickCount();
    if (os::TickDiff(typedAt_, now) >= autoCompleteDelay_) typed_.clear();
    typedAt_ = now;
    if (ch == '\b') {
        if (!typed_.empty()) typed_.pop_back();
        key = 0;
        return true;
    }
    if (ch < 0x20) return false;
    if (SelectItem(typed_ + static_cast<char>(ch))) {
        typed_ += static_cast<char>(ch);
        key = 0;
        return true;
    }
    return false;
}

}  // namespace vcl
