// The skinned system menu: its items follow the window's own system menu (texts, the
// application's entries) and the form's border style and state; it drops either as the window's
// own menu or as a skinned pop-up.
#include "skin/windows/provider/system_menu.h"

#include <array>
#include <string>

#include "vcl/system/string_list.h"

#include "platform/user/user.h"
#include "skin/core/data/constants.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/provider/skin_provider.h"

namespace skin {

using namespace vcl;

namespace {

constexpr unsigned kFirstSystemCommand = 0xF000;
constexpr int kSkinsPerColumn = 20;
const std::string kSkinSelectItem = "SkinSelectItem";

// The text the window's menu gives an item, without what follows the tab; `found` tells
// whether the item exists.
std::string MenuText(win::HMENU menu, unsigned item, unsigned flags, bool* found) {
    char buf[256] = {};
    const int n = menu ? win::GetMenuStringA(menu, item, buf, sizeof buf, flags) : 0;
    *found = n > 0;
    std::string text(buf, n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

std::string BeforeTab(const std::string& text) {
    return text.substr(0, text.find('\t'));
}

std::string AfterTab(const std::string& text) {
    const auto tab = text.find('\t');
    return tab == std::string::npos ? std::string() : text.substr(tab + 1);
}

// The short-cut a menu text shows after its tab ("Alt+F4"); none when it names none.
TShortCut ShortCutAfterTab(const std::string& text) {
    const std::string keys = AfterTab(text);
    return keys.empty() ? scNone : TextToShortCut(keys);
}

bool IsOneOf(TFormBorderStyle s, std::initializer_list<TFormBorderStyle> set) {
    for (auto x : set)
        if (s == x) return true;
    return false;
}

bool ToolOrDialog(TFormBorderStyle s) {
    return IsOneOf(s, {bsDialog, bsNone, bsSizeToolWin, bsToolWindow});
}

}  // namespace

// ---- TsCustomSysMenu ----

TsCustomSysMenu::TsCustomSysMenu(TComponent* owner) : TPopupMenu(owner) {}

bool TsCustomSysMenu::Iconic() const {
    if (!Form) return false;
    if (Form->HandleAllocated()) return win::IsIconic(Form->Handle());
    return Form->WindowState() == wsMinimized;
}

bool TsCustomSysMenu::Maximized() const {
    if (!Form) return false;
    if (Form->HandleAllocated()) return win::IsZoomed(Form->Handle());
    return Form->WindowState() == wsMaximized;
}

bool TsCustomSysMenu::MDIChild() const {
    return Form && Form->FormStyle() == fsMDIChild;
}

void TsCustomSysMenu::SendCommand(unsigned command) const {
    if (Form && Form->HandleAllocated())
        win::SendMessageA(Form->Handle(), win::WM_SYSCOMMAND, command, 0);
}

TMenuItem* TsCustomSysMenu::AddItem(const std::string& name, unsigned command,
                                    const std::string& fallback, TNotifyEvent click) {
    win::HMENU sys =
        Form && Form->HandleAllocated() ? win::GetSystemMenu(Form->Handle(), win::FALSE) : nullptr;
    bool found = false;
    const std::string text = MenuText(sys, command, win::MF_BYCOMMAND, &found);
    auto* item = new TMenuItem(this);
    item->SetName(name);
    item->SetCaption(found ? BeforeTab(text) : fallback);
    item->SetTag(command);
    if (found) item->SetShortCut(ShortCutAfterTab(text));
    item->OnClick = click;
    Items()->Add(item);
    return item;
}

void TsCustomSysMenu::MakeItems() {
    Items()->Clear();
    ItemRestore = ItemMove = ItemSize = ItemMinimize = ItemMaximize = ItemClose = nullptr;
    ExtItemCount = 0;
    auto line = [this] {
        auto* sep = new TMenuItem(this);
        sep->SetCaption("-");
        Items()->Add(sep);
    };
    ItemRestore =
        AddItem("acIR", win::SC_RESTORE, "Restore", Method(this, &TsCustomSysMenu::RestoreClick));
    ItemMove = AddItem("acIM", win::SC_MOVE, "Move", Method(this, &TsCustomSysMenu::MoveClick));
    ItemSize = AddItem("acIS", win::SC_SIZE, "Size", Method(this, &TsCustomSysMenu::SizeClick));
    ItemMinimize = AddItem("acIN", win::SC_MINIMIZE, "Minimize",
                           Method(this, &TsCustomSysMenu::MinimizeClick));
    ItemMaximize = AddItem("acIX", win::SC_MAXIMIZE, "Maximize",
                           Method(this, &TsCustomSysMenu::MaximizeClick));
    line();

    // The application's own entries of the window's system menu, in its order.
    if (Form && Form->HandleAllocated()) {
        win::HMENU sys = win::GetSystemMenu(Form->Handle(), win::FALSE);
        const int count = sys ? win::GetMenuItemCount(sys) : 0;
        for (int i = 0; i < count; ++i) {
            const unsigned id = win::GetMenuItemID(sys, i);
            if (id >= kFirstSystemCommand) continue;  // system commands, sub-menus (-1)
            bool found = false;
            const std::string text =
                MenuText(sys, static_cast<unsigned>(i), win::MF_BYPOSITION, &found);
            if (!found) continue;  // separators and bitmaps
            auto* item = new TMenuItem(this);
            item->SetCaption(BeforeTab(text));
            item->SetTag(id);
            item->SetShortCut(ShortCutAfterTab(text));
            item->OnClick = Method(this, &TsCustomSysMenu::ExtItemClick);
            Items()->Add(item);
            ++ExtItemCount;
        }
        if (ExtItemCount > 0) line();
    }
    ItemClose = AddItem("acIC", win::SC_CLOSE, "Close", Method(this, &TsCustomSysMenu::CloseClick));
    if (Provider && Provider->MakeSkinMenu) MakeSkinItems();
}

TMenuItem* TsCustomSysMenu::SkinItem() const {
    TMenuItem* first = Items()->Count() > 0 ? Items()->Items(0) : nullptr;
    return first && first->Name() == kSkinSelectItem ? first : nullptr;
}

void TsCustomSysMenu::MakeSkinItems() {
    TsSkinManager* manager = Provider ? Provider->SkinManager() : DefaultManager;
    if (!manager) return;
    TStringList skins;
    std::string first;
    manager->ListAvailableSkins(&skins, slBoth, first);
    if (skins.Count() == 0) return;
    auto* root = new TMenuItem(this);
    root->SetName(kSkinSelectItem);
    root->SetCaption(std::string(LoadConstText(s_AvailSkins)));
    Items()->Insert(0, root);
    auto* line = new TMenuItem(this);
    line->SetCaption("-");
    Items()->Insert(1, line);
    for (int i = 0; i < skins.Count(); ++i) {
        auto* item = new TMenuItem(this);
        item->SetName(kSkinSelectItem + std::to_string(i));
        item->SetCaption(skins[i]);
        item->SetRadioItem(true);
        item->SetChecked(skins[i] == manager->SkinName());
        // Twenty skins a column.
        if (i > 0 && i % kSkinsPerColumn == 0) item->SetBreak(mbBreak);
        item->OnClick = Method(this, &TsCustomSysMenu::SkinItemClick);
        root->Add(item);
    }
}

void TsCustomSysMenu::SkinItemClick(TObject* sender) {
    auto* item = dynamic_cast<TMenuItem*>(sender);
    TsSkinManager* manager = Provider ? Provider->SkinManager() : DefaultManager;
    if (!item || !manager) return;
    std::string name = item->Caption();
    std::erase(name, '&');
    const std::string_view internal = LoadConstText(s_InternalSkin);
    if (const auto at = name.find(internal); !internal.empty() && at != std::string::npos)
        name.resize(at + internal.size());
    manager->SetSkinName(name);
}

bool TsCustomSysMenu::RestoreVisible() const {
    if (MDIChild()) return true;
    if (!Form || ToolOrDialog(Form->BorderStyle())) return false;
    return VisibleClose();
}

bool TsCustomSysMenu::SizeVisible() const {
    if (MDIChild()) return true;
    return Form && !IsOneOf(Form->BorderStyle(), {bsDialog, bsNone, bsToolWindow});
}

bool TsCustomSysMenu::MoveEnabled() const {
    return !Maximized();
}

bool TsCustomSysMenu::SizeEnabled() const {
    if (!Form || Form->BorderStyle() == bsSingle) return false;
    return !Iconic();
}

void TsCustomSysMenu::UpdateItems(bool rebuild) {
    if (rebuild || !ItemClose) MakeItems();
    const std::array<std::pair<TMenuItem*, std::pair<bool, bool>>, 6> rows{{
        {ItemRestore, {RestoreVisible(), EnabledRestore()}},
        {ItemMove, {true, MoveEnabled()}},
        {ItemSize, {SizeVisible(), SizeEnabled()}},
        {ItemMinimize, {VisibleMin(), EnabledMin()}},
        {ItemMaximize, {VisibleMax(), EnabledMax()}},
        {ItemClose, {VisibleClose(), true}},
    }};
    for (const auto& [item, state] : rows) {
        if (!item) continue;
        item->SetVisible(state.first);
        item->SetEnabled(state.second);
    }
}

void TsCustomSysMenu::RestoreClick(TObject*) {
    SendCommand(win::SC_RESTORE);
    UpdateItems();
}

void TsCustomSysMenu::MaximizeClick(TObject*) {
    SendCommand(win::SC_MAXIMIZE);
    UpdateItems();
}

void TsCustomSysMenu::MinimizeClick(TObject*) {
    if (Provider) Provider->MinimizingByButton = true;
    SendCommand(win::SC_MINIMIZE);
    if (Provider) Provider->MinimizingByButton = false;
    UpdateItems();
}

void TsCustomSysMenu::MoveClick(TObject*) {
    SendCommand(win::SC_MOVE);
}

void TsCustomSysMenu::SizeClick(TObject*) {
    SendCommand(win::SC_SIZE);
}

void TsCustomSysMenu::CloseClick(TObject*) {
    SendCommand(win::SC_CLOSE);
}

void TsCustomSysMenu::ExtItemClick(TObject* sender) {
    auto* item = dynamic_cast<TMenuItem*>(sender);
    if (item && Form && Form->HandleAllocated())
        win::PostMessageA(Form->Handle(), win::WM_SYSCOMMAND, static_cast<win::WPARAM>(item->Tag()),
                          0);
}

// ---- TsSystemMenu ----

TsSystemMenu::TsSystemMenu(TsSkinProvider* provider) : TsCustomSysMenu(provider) {
    Provider = provider;
    Form = provider ? provider->Form() : nullptr;
    SetName("SysMenu");
    MakeItems();
}

bool TsSystemMenu::VisibleClose() const {
    if (!Form) return false;
    if (Provider && Provider->SysMenuStyleRemoved) return true;
    if (Form->HandleAllocated())
        return (win::GetWindowLongPtrA(Form->Handle(), win::GWL_STYLE) & win::WS_SYSMENU) != 0;
    return Form->BorderIcons().Contains(biSystemMenu) && Form->BorderStyle() != bsNone;
}

bool TsSystemMenu::VisibleMax() const {
    if (!VisibleClose()) return false;
    if (Iconic() || MDIChild()) return true;
    if (ToolOrDialog(Form->BorderStyle())) return false;
    return Form->BorderIcons().Contains(biMaximize);
}

bool TsSystemMenu::VisibleMin() const {
    if (!VisibleClose()) return false;
    if (Iconic() || MDIChild()) return true;
    if (ToolOrDialog(Form->BorderStyle())) return false;
    return Form->BorderIcons().Contains(biMinimize);
}

bool TsSystemMenu::EnabledMax() const {
    if (!Form) return false;
    if (!MDIChild()) {
        if (Maximized()) return false;
        if (!IsOneOf(Form->BorderStyle(), {bsSingle, bsSizeable})) return false;
    }
    return Form->BorderIcons().Contains(biMaximize);
}

bool TsSystemMenu::EnabledMin() const {
    return Form && Form->BorderIcons().Contains(biMinimize) && !Iconic();
}

bool TsSystemMenu::EnabledRestore() const {
    if (!Form) return false;
    return (Form->BorderIcons().Contains(biMaximize) && (Maximized() || Iconic())) || Iconic();
}

// ---- dropping it ----

void TsSkinProvider::DropSysMenu(int x, int y) {
    if (!form_ || !form_->HandleAllocated()) return;
    if (!SystemMenu) SystemMenu = new TsSystemMenu(this);
    win::HWND h = form_->Handle();
    TsSkinManager* manager = SkinManager();
    if (!manager || !manager->SkinnedPopups()) {
        // The window's own menu, its items enabled by the same rules as the skinned one.
        win::HMENU sys = win::GetSystemMenu(h, win::FALSE);
        if (!sys) return;
        TsSystemMenu& m = *SystemMenu;
        const auto style = win::GetWindowLongPtrA(h, win::GWL_STYLE);
        win::SetWindowLongPtrA(h, win::GWL_STYLE, style & ~win::LONG_PTR(win::WS_VISIBLE));
        const bool iconic = win::IsIconic(h) != win::FALSE;
        const std::array<std::pair<unsigned, bool>, 6> rows{{
            {win::SC_RESTORE, m.RestoreVisible() && m.EnabledRestore()},
            {win::SC_MOVE, m.MoveEnabled() && !iconic},
            {win::SC_SIZE, m.SizeVisible() && m.SizeEnabled()},
            {win::SC_MINIMIZE, m.VisibleMin() && m.EnabledMin()},
            {win::SC_MAXIMIZE, m.VisibleMax() && m.EnabledMax()},
            {win::SC_CLOSE, m.VisibleClose()},
        }};
        for (const auto& [command, on] : rows)
            win::EnableMenuItem(
                sys, command,
                win::MF_BYCOMMAND | (on ? win::MF_ENABLED : win::MF_GRAYED | win::MF_DISABLED));
        win::SetWindowLongPtrA(h, win::GWL_STYLE, style);
        const auto command = static_cast<unsigned>(win::TrackPopupMenu(
            sys, win::TPM_RETURNCMD | win::TPM_RIGHTBUTTON, x, y, 0, h, nullptr));
        if (command && win::IsWindow(h)) win::PostMessageA(h, win::WM_SYSCOMMAND, command, 0);
        return;
    }
    SystemMenu->UpdateItems(false);
    if (MakeSkinMenu) {
        // The list of skins is made anew at every drop, so it always shows what is there now.
        if (TMenuItem* skins = SystemMenu->SkinItem()) {
            skins->Clear();
            skins->Free();
            if (SystemMenu->Items()->Count() > 0 && SystemMenu->Items()->Items(0)->IsLine())
                SystemMenu->Items()->Delete(0);
        }
        SystemMenu->MakeSkinItems();
    }
    if (Neighbours().SetMenuOwnerDraw)
        Neighbours().SetMenuOwnerDraw(manager->SkinableMenus(), SystemMenu, true);
    SystemMenu->Popup(x, y);
}

}  // namespace skin
