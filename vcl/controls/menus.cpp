#include "vcl/controls/menus.h"

#include <algorithm>
#include <map>
#include <unordered_set>

#include "platform/gdi/gdi.h"
#include "platform/user/dialog_manager.h"
#include "platform/user/user.h"
#include "vcl/graphics/image_list.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/list.h"
#include "vcl/system/sysutils.h"
#include "vcl/system/util_window.h"

namespace vcl {

namespace {

std::map<uint32_t, TMenuItem*>& Commands() {
    static std::map<uint32_t, TMenuItem*> m;
    return m;
}

std::unordered_set<const TMenuItem*>& LiveItems() {
    static std::unordered_set<const TMenuItem*> s;
    return s;
}

// Command numbers travel in 16 bits; 0 is never used.
uint32_t NewCommand(TMenuItem* item) {
    static uint32_t next = 0x100;
    auto& m = Commands();
    for (uint32_t tries = 0; tries < 0x10000; ++tries) {
        const uint32_t c = next;
        next = next >= 0xFFFF ? 0x100 : next + 1;
        if (!m.count(c)) {
            m[c] = item;
            return c;
        }
    }
    throw EMenuError("Too many menu items");
}

std::string KeyName(uint16_t key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, char(key));
    if (key >= win::VK_F1 && key <= win::VK_F1 + 11) return "F" + IntToStr(key - win::VK_F1 + 1);
    switch (key) {
        case win::VK_BACK:
            return "BkSp";
        case win::VK_TAB:
            return "Tab";
        case win::VK_ESCAPE:
            return "Esc";
        case win::VK_RETURN:
            return "Enter";
        case win::VK_SPACE:
            return "Space";
        case win::VK_PRIOR:
            return "PgUp";
        case win::VK_NEXT:
            return "PgDn";
        case win::VK_END:
            return "End";
        case win::VK_HOME:
            return "Home";
        case win::VK_LEFT:
            return "Left";
        case win::VK_UP:
            return "Up";
        case win::VK_RIGHT:
            return "Right";
        case win::VK_DOWN:
            return "Down";
        case win::VK_INSERT:
            return "Ins";
        case win::VK_DELETE:
            return "Del";
        default:
            return {};
    }
}

std::string StripAmpersands(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&') {
            if (i + 1 < s.size() && s[i + 1] == '&') out += s[++i];
            continue;
        }
        out += s[i];
    }
    return out;
}

}  // namespace

TShortCut ShortCut(uint16_t key, TShiftState shift) {
    TShortCut s = key & 0xFF;
    if (shift.Contains(ssShift)) s |= scShift;
    if (shift.Contains(ssCtrl)) s |= scCtrl;
    if (shift.Contains(ssAlt)) s |= scAlt;
    return s;
}

void ShortCutToKey(TShortCut s, uint16_t& key, TShiftState& shift) {
    key = s & 0xFF;
    shift = {};
    if (s & scShift) shift << ssShift;
    if (s & scCtrl) shift << ssCtrl;
    if (s & scAlt) shift << ssAlt;
}

std::string ShortCutToText(TShortCut s) {
    const std::string name = KeyName(s & 0xFF);
    if (name.empty()) return {};
    std::string out;
    if (s & scShift) out += "Shift+";
    if (s & scCtrl) out += "Ctrl+";
    if (s & scAlt) out += "Alt+";
    return out + name;
}

TShortCut TextToShortCut(const std::string& text) {
    static const std::pair<std::string_view, TShortCut> kModifiers[] = {
        {"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}};
    std::string_view rest = text;
    TShortCut modifiers = 0;
    for (bool found = true; found;) {
        found = false;
        for (const auto& [prefix, bit] : kModifiers)
            if (rest.size() > prefix.size() && SameText(rest.substr(0, prefix.size()), prefix)) {
                modifiers |= bit;
                rest.remove_prefix(prefix.size());
                found = true;
            }
    }
    for (uint16_t key = win::VK_BACK; key <= 0xFF; ++key)
        if (const std::string name = KeyName(key); !name.empty() && SameText(name, rest))
            return static_cast<TShortCut>(key | modifiers);
    return scNone;
}

// --- TMenuItem ---

std::vector<TPropInfo> TMenuItem::Published() {
    return {Property("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption),
            Property("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked),
            Property("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled),
            Property("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible),
            Property("Default", &TMenuItem::Default, &TMenuItem::SetDefault),
            Property("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem),
            Property("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex),
            Property("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut),
            Property("Hint", &TMenuItem::Hint, &TMenuItem::SetHint),
            Property("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex),
            Property("Break", &TMenuItem::Break, &TMenuItem::SetBreak)};
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(NewCommand(this)) {
    LiveItems().insert(this);
}

TMenuItem::~TMenuItem() {
    LiveItems().erase(this);
    Commands().erase(command_);
    if (parent_) parent_->Remove(this);
    while (!items_.empty()) {
        TMenuItem* i = items_.back();
        items_.pop_back();
        i->parent_ = nullptr;
        i->Free();
    }
    if (handle_) win::DestroyMenu(handle_);
}

TMenuItem* TMenuItem::FromCommand(uint32_t command) {
    auto it = Commands().find(command);
    return it == Commands().end() ? nullptr : it->second;
}

TMenuItem* TMenuItem::FromItemData(uintptr_t data) {
    auto* item = reinterpret_cast<TMenuItem*>(data);
    return LiveItems().count(item) ? item : nullptr;
}

TMenuItem* TMenuItem::Items(int index) const {
    if (index < 0 || index >= Count()) ListIndexError(index);
    return items_[index];
}

void TMenuItem::Add(TMenuItem* item) {
    Insert(Count(), item);
}

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item) return;
    if (item->parent_) throw EMenuError("Menu inserted twice");
    if (index < 0 || index > Count()) ListIndexError(index);
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    RebuildHandle();    // this item's own list changed
    MenuChanged(true);  // and its parent may now show it as a submenu
}

void TMenuItem::Delete(int index) {
    Items(index)->Free();
}

void TMenuItem::Remove(TMenuItem* item) {
    const int i = IndexOf(item);
    if (i < 0) throw EMenuError("Sub-menu is not in menu");
    items_.erase(items_.begin() + i);
    item->parent_ = nullptr;
    RebuildHandle();
    MenuChanged(true);
}

void TMenuItem::Clear() {
    while (!items_.empty())
        items_.back()->Free();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TMenuItem* TMenuItem::Find(const std::string& caption) const {
    const std::string want = StripAmpersands(caption);
    for (TMenuItem* i : items_)
        if (AnsiSameText(StripAmpersands(i->caption_), want)) return i;
    return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* i = this;
    while (i->parent_)
        i = i->parent_;
    return i->menu_;
}

void TMenuItem::SetCaption(const std::string& c) {
    if (c == caption_) return;
    caption_ = c;
    MenuChanged(true);
}

void TMenuItem::SetChecked(bool on) {
    if (on == checked_) return;
    checked_ = on;
    if (on && radioItem_ && parent_)
        for (TMenuItem* i : parent_->items_)
            if (i != this && i->radioItem_ && i->groupIndex_ == groupIndex_) i->checked_ = false;
    MenuChanged(true);
}

void TMenuItem::SetEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    MenuChanged(true);
}

void TMenuItem::SetVisible(bool on) {
    if (on == visible_) return;
    visible_ = on;
    MenuChanged(true);
}

void TMenuItem::SetDefault(bool on) {
    if (on == default_) return;
    if (on && parent_)
        for (TMenuItem* i : parent_->items_)
            i->default_ = false;
    default_ = on;
    MenuChanged(true);
}

void TMenuItem::SetRadioItem(bool on) {
    if (on == radioItem_) return;
    radioItem_ = on;
    MenuChanged(true);
}

void TMenuItem::SetGroupIndex(uint8_t g) {
    if (g == groupIndex_) return;
    groupIndex_ = g;
    MenuChanged(false);
}

void TMenuItem::SetShortCut(TShortCut s) {
    if (s == shortCut_) return;
    shortCut_ = s;
    MenuChanged(true);
}

void TMenuItem::SetImageIndex(int i) {
    if (i == imageIndex_) return;
    imageIndex_ = i;
    MenuChanged(true);
}

void TMenuItem::SetBreak(TMenuBreak b) {
    if (b == break_) return;
    break_ = b;
    MenuChanged(true);
}

TBitmap* TMenuItem::Bitmap() {
    if (!bitmap_) bitmap_ = std::make_unique<TBitmap>();
    return bitmap_.get();
}

void TMenuItem::SetBitmap(TBitmap* bitmap) {
    if (bitmap)
        Bitmap()->Assign(bitmap);
    else
        bitmap_.reset();
    MenuChanged(true);
}

win::HMENU TMenuItem::Handle() {
    if (!handle_) {
        const bool bar = menu_ && !menu_->IsRootPopup();
        handle_ = bar ? win::CreateMenu() : win::CreatePopupMenu();
        if (!handle_) throw EOutOfResources("Out of system resources");
        RebuildHandle();
    }
    return handle_;
}

void TMenuItem::RebuildHandle() {
    if (!handle_) return;
    while (win::GetMenuItemCount(handle_) > 0)
        win::RemoveMenu(handle_, 0, win::MF_BYPOSITION);
    TMenu* menu = GetParentMenu();
    const bool ownerDraw = menu && menu->OwnerDraw();
    for (TMenuItem* i : items_) {
        if (!i->visible_) continue;
        win::MENUITEMINFOA mi;
        mi.fMask = win::MIIM_FTYPE | win::MIIM_STATE | win::MIIM_ID | win::MIIM_DATA |
                   win::MIIM_SUBMENU | win::MIIM_STRING;
        std::string text = i->caption_;
        if (i->shortCut_ && !i->items_.size()) {
            const std::string sc = ShortCutToText(i->shortCut_);
            if (!sc.empty()) text += "\t" + sc;
        }
        mi.fType = i->IsLine() ? win::MFT_SEPARATOR : win::MFT_STRING;
        if (i->radioItem_) mi.fType |= win::MFT_RADIOCHECK;
        if (i->break_ == mbBreak) mi.fType |= win::MFT_MENUBREAK;
        if (i->break_ == mbBarBreak) mi.fType |= win::MFT_MENUBARBREAK;
        if (ownerDraw) mi.fType |= win::MFT_OWNERDRAW;
        mi.fState = (i->checked_ ? win::MFS_CHECKED : 0) | (i->enabled_ ? 0 : win::MFS_GRAYED) |
                    (i->default_ ? win::MFS_DEFAULT : 0);
        mi.wID = i->command_;
        mi.dwItemData = reinterpret_cast<win::ULONG_PTR>(i);
        mi.hSubMenu = i->items_.empty() ? nullptr : i->Handle();
        mi.dwTypeData = text.data();
        mi.cch = static_cast<win::UINT>(text.size());
        win::InsertMenuItemA(handle_, static_cast<win::UINT>(win::GetMenuItemCount(handle_)),
                             win::TRUE, &mi);
    }
}

void TMenuItem::MenuChanged(bool rebuild) {
    TMenuItem* p = parent_ ? parent_ : this;
    if (rebuild) p->RebuildHandle();
    if (TMenu* m = GetParentMenu()) m->MenuChanged(this, rebuild);
}

void TMenuItem::Click() {
    if (!enabled_) return;
    OnClick(this);
}

void TMenuItem::MeasureItem(TCanvas* canvas, int& width, int& height) {
    if (OnMeasureItem) {
        OnMeasureItem(this, canvas, width, height);
        return;
    }
    if (IsLine()) {
        height = 9;
        width = 10;
        return;
    }
    std::string text = StripAmpersands(caption_);
    if (shortCut_) text += "    " + ShortCutToText(shortCut_);
    const win::SIZE s = canvas->TextExtent(text);
    width = s.cx + 32;
    height = std::max<int>(s.cy + 6, 19);
}

void TMenuItem::AdvancedDrawItem(TCanvas* canvas, const TRect& rect, TOwnerDrawState state) {
    if (OnAdvancedDrawItem) {
        OnAdvancedDrawItem(this, canvas, rect, state);
        return;
    }
    DefaultDrawItem(canvas, rect, state);
}

// The classic look of an item that no handler paints.
void TMenuItem::DefaultDrawItem(TCanvas* canvas, const TRect& r, TOwnerDrawState state) {
    const bool selected = state.Contains(odSelected);
    canvas->Brush()->SetColor(selected ? clHighlight : clMenu);
    canvas->FillRect(r);
    if (IsLine()) {
        const int y = (r.Top + r.Bottom) / 2;
        canvas->Pen()->SetColor(clBtnShadow);
        canvas->MoveTo(r.Left + 2, y - 1);
        canvas->LineTo(r.Right - 2, y - 1);
        canvas->Pen()->SetColor(clBtnHighlight);
        canvas->MoveTo(r.Left + 2, y);
        canvas->LineTo(r.Right - 2, y);
        return;
    }
    canvas->Brush()->SetStyle(bsClear);
    canvas->Font()->SetColor(!enabled_ ? clGrayText : selected ? clHighlightText : clMenuText);
    if (default_) canvas->Font()->SetStyle({fsBold});
    const std::string text = StripAmpersands(caption_);
    const int th = canvas->TextHeight(text.empty() ? "W" : text);
    const int y = r.Top + (r.Height() - th) / 2;
    if (checked_) canvas->TextOut(r.Left + 4, y, radioItem_ ? "\x95" : "v");
    canvas->TextOut(r.Left + 20, y, text);
    if (shortCut_) {
        const std::string sc = ShortCutToText(shortCut_);
        canvas->TextOut(r.Right - canvas->TextWidth(sc) - 8, y, sc);
    }
}

// --- TMenu ---

std::vector<TPropInfo> TMenu::Published() {
    return {Property("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw)};
}

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) {
    items_->menu_ = this;
}

TMenu::~TMenu() {
    items_->Free();
}

void TMenu::SetOwnerDraw(bool on) {
    if (on == ownerDraw_) return;
    ownerDraw_ = on;
    // Every native menu of the tree shows its items again with the new type.
    std::vector<TMenuItem*> stack{items_};
    while (!stack.empty()) {
        TMenuItem* i = stack.back();
        stack.pop_back();
        i->RebuildHandle();
        for (TMenuItem* c : i->items_)
            stack.push_back(c);
    }
    MenuChanged(nullptr, true);
}

void TMenu::SetImages(TCustomImageList* images) {
    if (images == images_) return;
    if (images_) images_->RemoveFreeNotification(this);
    images_ = images;
    if (images_) images_->FreeNotification(this);
    MenuChanged(nullptr, true);
}

void TMenu::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == images_) images_ = nullptr;
}

void TMenu::SetWindowHandle(win::HWND h) {
    window_ = h;
}

TMenuItem* TMenu::FindItem(uint32_t command) const {
    TMenuItem* i = TMenuItem::FromCommand(command);
    return i && i->GetParentMenu() == this ? i : nullptr;
}

bool TMenu::DispatchCommand(uint32_t command) {
    TMenuItem* i = FindItem(command);
    if (!i) return false;
    i->Click();
    return true;
}

bool TMenu::IsShortCut(TShortCut shortCut) {
    if (!shortCut) return false;
    std::vector<TMenuItem*> stack{items_};
    while (!stack.empty()) {
        TMenuItem* i = stack.back();
        stack.pop_back();
        if (i != items_ && i->ShortCut() == shortCut && i->Enabled() && i->Visible()) {
            i->Click();
            return true;
        }
        for (TMenuItem* c : i->items_)
            stack.push_back(c);
    }
    return false;
}

void TMenu::MenuChanged(TMenuItem* source, bool rebuild) {
    OnChange(this, source, rebuild);
}

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) {}

void TMainMenu::MenuChanged(TMenuItem* source, bool rebuild) {
    TMenu::MenuChanged(source, rebuild);
    if (win::HWND w = WindowHandle()) {
        win::DrawMenuBar(w);
        if (TWinControl* form = FindControl(w)) form->Perform(CM_MENUCHANGED);
    }
}

// --- TPopupMenu ---

namespace {

// The owner-draw messages of menu items, for the window that shows the menu.
bool MenuOwnerDrawMessage(TMessage& m) {
    switch (m.Msg) {
        case win::WM_MEASUREITEM: {
            auto* mis = reinterpret_cast<win::MEASUREITEMSTRUCT*>(m.LParam);
            if (!mis || mis->CtlType != win::ODT_MENU) return false;
            TMenuItem* item = TMenuItem::FromItemData(mis->itemData);
            if (!item) return false;
            // A memory DC measures as the screen's does; opening the screen's own DC would
            // compose the whole screen once per item.
            TCanvas canvas;
            win::HDC dc = win::CreateCompatibleDC(nullptr);
            canvas.SetHandle(dc);
            int w = static_cast<int>(mis->itemWidth), h = static_cast<int>(mis->itemHeight);
            item->MeasureItem(&canvas, w, h);
            canvas.SetHandle(nullptr);
            win::DeleteDC(dc);
            mis->itemWidth = static_cast<win::UINT>(std::max(w, 0));
            mis->itemHeight = static_cast<win::UINT>(std::max(h, 0));
            m.Result = 1;
            return true;
        }
        case win::WM_DRAWITEM: {
            auto* dis = reinterpret_cast<win::DRAWITEMSTRUCT*>(m.LParam);
            if (!dis || dis->CtlType != win::ODT_MENU) return false;
            TMenuItem* item = TMenuItem::FromItemData(dis->itemData);
            if (!item) return false;
            TCanvas canvas;
            canvas.SetHandle(dis->hDC);
            const int saved = win::SaveDC(dis->hDC);
            item->AdvancedDrawItem(&canvas, dis->rcItem,
                                   TOwnerDrawState(dis->itemState & 0x1FFF, 0));
            canvas.SetHandle(nullptr);
            win::RestoreDC(dis->hDC, saved);
            m.Result = 1;
            return true;
        }
        default:
            return false;
    }
}

win::HWND gPopupList = nullptr;

void PopupListProc(TMessage& m) {
    if (!MenuOwnerDrawMessage(m)) DefaultUtilWindowProc(gPopupList, m);
}

}  // namespace

win::HWND PopupListWindow() {
    if (gPopupList && win::IsWindow(gPopupList)) return gPopupList;
    gPopupList = AllocateHWnd(TWndMethod::FromCallable(PopupListProc));
    return gPopupList;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

win::HWND TPopupMenu::WindowHandle() const {
    return PopupListWindow();
}

void TPopupMenu::SetPopupComponent(TComponent* c) {
    if (popupComponent_ == c) return;
    if (popupComponent_) popupComponent_->RemoveFreeNotification(this);
    popupComponent_ = c;
    if (c) c->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* c, TOperation op) {
    TMenu::Notification(c, op);
    if (op == opRemove && c == popupComponent_) popupComponent_ = nullptr;
}

void TPopupMenu::Popup(int x, int y) {
    OnPopup(this);
    win::UINT flags = win::TPM_RETURNCMD | win::TPM_LEFTBUTTON;
    if (Alignment == paRight) flags |= win::TPM_RIGHTALIGN;
    if (Alignment == paCenter) flags |= win::TPM_CENTERALIGN;
    const auto command = static_cast<uint32_t>(
        win::TrackPopupMenu(Handle(), flags, x, y, 0, PopupListWindow(), nullptr));
    if (command) DispatchCommand(command);
}

}  // namespace vcl
