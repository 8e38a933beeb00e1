// Menus: TMenuItem trees shown through the windowing layer's menus, as the menu bar of a form
// (TMainMenu) or as a pop-up menu (TPopupMenu).
//
// Every change of an item rebuilds its parent's native menu, so the native menu always shows
// the visible items in order with their captions, check marks, default item and short-cut
// texts. Owner-drawn menus (TMenu::OwnerDraw) let their items measure and paint themselves
// through OnMeasureItem and OnAdvancedDrawItem.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"
#include "vcl/system/component.h"
#include "vcl/controls/controls.h"
#include "vcl/system/delegate.h"
#include "vcl/system/set.h"

namespace vcl {

class TMenu;
class TCustomImageList;

// Where an item starts: in the column of the one before it, or at the top of a new column
// (mbBarBreak with a line between the columns).
enum TMenuBreak : uint8_t { mbNone, mbBreak, mbBarBreak };
// How a pop-up would appear; stored only, since pop-ups here appear at once.
enum TMenuAnimations : uint8_t { maLeftToRight, maRightToLeft, maTopToBottom, maBottomToTop, maNone };
using TMenuAnimation = Set<TMenuAnimations>;

using TShortCut = uint16_t;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
inline constexpr TShortCut scNone = 0;
TShortCut ShortCut(uint16_t key, TShiftState shift);
std::string ShortCutToText(TShortCut shortCut);  // "Ctrl+S", "F1", "Shift+Del"
// The reverse, ignoring case; scNone for a text that names no key.
TShortCut TextToShortCut(const std::string& text);
void ShortCutToKey(TShortCut shortCut, uint16_t& key, TShiftState& shift);

// Bits in the order of the windowing layer's owner-draw state (ODS_) flags.
enum TOwnerDrawStateItem : uint8_t {
    odSelected,
    odGrayed,
    odDisabled,
    odChecked,
    odFocused,
    odDefault,
    odHotLight,
    odInactive,
    odNoAccel,
    odNoFocusRect,
    odReserved1,
    odReserved2,
    odComboBoxEdit
};
using TOwnerDrawState = Set<TOwnerDrawStateItem>;

using TMenuMeasureItemEvent =
    Delegate<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TAdvancedMenuDrawItemEvent =
    Delegate<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State)>;
using TMenuChangeEvent = Delegate<void(TObject* Sender, class TMenuItem* Source, bool Rebuild)>;

class TMenuItem : public TComponent {
public:
    VCL_CLASS_PUBLISHED(TMenuItem, TComponent)

    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);  // "-" makes a separator
    bool IsLine() const { return caption_ == "-"; }
    bool Checked() const { return checked_; }
    void SetChecked(bool on);  // a radio item unchecks the others of its group
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    bool Visible() const { return visible_; }
    void SetVisible(bool on);
    bool Default() const { return default_; }
    void SetDefault(bool on);
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool on);
    uint8_t GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(uint8_t g);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut s);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& h) { hint_ = h; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int i);
    TMenuBreak Break() const { return break_; }
    void SetBreak(TMenuBreak b);
    // The item's own picture, made empty on first use and owned by the item.
    TBitmap* Bitmap();
    void SetBitmap(TBitmap* bitmap);  // a copy
    // Whether the item has a picture of its own (without making one).
    bool HasBitmap() const { return bitmap_ && !bitmap_->Empty(); }

    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const;
    TMenuItem* operator[](int index) const { return Items(index); }
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Delete(int index);        // frees the item
    void Remove(TMenuItem* item);  // takes it out, not freed
    void Clear();                  // frees every sub-item
    int IndexOf(const TMenuItem* item) const;
    TMenuItem* Parent() const { return parent_; }
    int MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }
    TMenuItem* Find(const std::string& caption) const;  // ignoring "&" and case
    TMenu* GetParentMenu() const;

    // The command number the native menu reports for this item.
    uint32_t Command() const { return command_; }
    // The native menu of this item's sub-items (made on demand).
    win::HMENU Handle();

    TNotifyEvent OnClick;
    TMenuMeasureItemEvent OnMeasureItem;
    TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
    virtual void Click();

    // Called by the menu's owner window for owner-drawn items.
    virtual void MeasureItem(TCanvas* canvas, int& width, int& height);
    virtual void AdvancedDrawItem(TCanvas* canvas, const TRect& rect, TOwnerDrawState state);

    // The item a native command number or owner-draw data stands for, when it still exists.
    static TMenuItem* FromCommand(uint32_t command);
    static TMenuItem* FromItemData(uintptr_t data);

protected:
    friend class TMenu;
    void MenuChanged(bool rebuild);
    void RebuildHandle();
    void DefaultDrawItem(TCanvas* canvas, const TRect& rect, TOwnerDrawState state);

private:
    std::string caption_;
    bool checked_ = false, enabled_ = true, visible_ = true, default_ = false;
    bool radioItem_ = false;
    uint8_t groupIndex_ = 0;
    TShortCut shortCut_ = 0;
    std::string hint_;
    int imageIndex_ = -1;
    TMenuBreak break_ = mbNone;
    std::unique_ptr<TBitmap> bitmap_;
    std::vector<TMenuItem*> items_;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr;  // set on the root item of a menu
    uint32_t command_;
    win::HMENU handle_ = nullptr;
};

class TMenu : public TComponent {
public:
    VCL_CLASS_PUBLISHED(TMenu, TComponent)

    explicit TMenu(TComponent* owner);
    ~TMenu() override;

    TMenuItem* Items() const { return items_; }
    win::HMENU Handle() { return items_->Handle(); }
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool on);
    // The pictures of the items' ImageIndex; not owned (cleared when the list goes).
    TCustomImageList* Images() const { return images_; }
    void SetImages(TCustomImageList* images);
    TMenuAnimation MenuAnimation;
    void Notification(TComponent* component, TOperation operation) override;
    // The window that shows this menu and receives its owner-draw and command messages.
    virtual win::HWND WindowHandle() const { return window_; }
    void SetWindowHandle(win::HWND h);
    // Runs the item with this command number; false when it is not one of this menu's.
    bool DispatchCommand(uint32_t command);
    // Runs the enabled item with this short-cut; false when none has it.
    bool IsShortCut(TShortCut shortCut);
    TMenuItem* FindItem(uint32_t command) const;

    TMenuChangeEvent OnChange;

protected:
    friend class TMenuItem;
    virtual void MenuChanged(TMenuItem* source, bool rebuild);
    virtual bool IsRootPopup() const { return true; }

private:
    TMenuItem* items_;
    TCustomImageList* images_ = nullptr;
    bool ownerDraw_ = false;
    win::HWND window_ = nullptr;
};

class TMainMenu : public TMenu {
public:
    VCL_CLASS(TMainMenu, TMenu)
    explicit TMainMenu(TComponent* owner);

protected:
    void MenuChanged(TMenuItem* source, bool rebuild) override;
    bool IsRootPopup() const override { return false; }
};

enum TPopupAlignment : uint8_t { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
public:
    VCL_CLASS(TPopupMenu, TMenu)
    explicit TPopupMenu(TComponent* owner);

    // Shows the menu at a screen point and runs the chosen item; returns when the menu closed.
    virtual void Popup(int x, int y);
    TComponent* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TComponent* c);
    void Notification(TComponent* component, TOperation operation) override;
    win::HWND WindowHandle() const override;

    bool AutoPopup = true;
    TPopupAlignment Alignment = paLeft;
    TNotifyEvent OnPopup;

private:
    TComponent* popupComponent_ = nullptr;
};

// The hidden window that owns pop-up menus while they are shown.
win::HWND PopupListWindow();

}  // namespace vcl
