// The skinned menus: one painter per skin manager that measures and paints every owner-drawn
// item of the program's menus from the skin, and the pop-up windows that show them.
//
// A pop-up is painted from a background prepared once per pop-up window (the "MENUITEM"
// section, the icon column and the "MAINMENU" border mask over the window's whole size); its
// items are painted over their piece of that background, and the frame strips beside them are
// copied from it to the window. The main menu's bar items paint into the form provider's frame
// image and are copied to the window from there.
//
// Rules:
//  1. An item keeps a handler the application gave it: ours are set only where none is, and
//     only ours are removed when skinning goes.
//  2. A pop-up record lives from the first item painted until its window is destroyed; its
//     background is the window's size, and background pixel (x + fx, y + fy) lies under client
//     point (x, y), (fx, fy) being the window's frame widths.
//  3. A pop-up window is subclassed once; its own procedure is given back when it is destroyed.
//  4. Nothing is painted without an active manager; measuring works without one.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "skin/core/state/neighbour_services.h"
#include "vcl/controls/menus.h"
#include "vcl/graphics/bitmap.h"

namespace skin {

enum TsMenuItemType { smCaption, smDivider, smNormal, smTopLine };

using TsMenuManagerDrawItemEvent =
    vcl::Delegate<void(vcl::TMenuItem* item, vcl::TCanvas* canvas, vcl::TRect rect,
                       TsMenuItemType kind, vcl::TOwnerDrawState state)>;

// The record of one pop-up shown.
struct TacMenuInfo {
    vcl::TMenuItem* FirstItem = nullptr;  // the pop-up's first item
    std::unique_ptr<vcl::TBitmap> Bmp;    // the prepared background
    win::HWND Wnd = nullptr;
    bool HaveExtraLine = false;
};

// The height of a line of menu text: 1.25 times the text height, rounded half to even.
int MenuLineHeight(int textHeight);

class TsSkinableMenus : public TsSkinableMenusBase {
public:
    explicit TsSkinableMenus(TsSkinManager* owner);
    ~TsSkinableMenus() override;

    int Margin = 2;
    vcl::TAlignment Alignment = vcl::taLeftJustify;
    int BevelWidth = 0;
    int BorderWidth = 3;
    int Spacing = 6;
    vcl::TFont* CaptionFont() { return &captionFont_; }
    void SetCaptionFont(const vcl::TFont* font) { captionFont_.Assign(font); }
    TsMenuManagerDrawItemEvent OnDrawItem;
    // The border width of the "MAINMENU" border mask (3 when it gives less than 1, 0 without
    // the mask); looked up once per skin.
    int SkinBorderWidth();

    bool Active() const { return active_; }
    // Switches every menu of the program to (or back from) the skinned painters.
    void SetActive(bool on);
    void UpdateFromManager() override;
    // `menu` is being measured by its form: its items get the painters.
    void HookMenu(vcl::TMenu* menu) override;
    // The painters of one item: the bar's for a top item of a main menu, else the pop-up's
    // (only with skinned pop-ups); with `on` false ours are taken away.
    void HookItem(vcl::TMenuItem* item, bool on);
    // The menu and all its items owner-drawn by us (or back).
    void SetMenuOwnerDraw(vcl::TMenu* menu, bool on);

    // The item events.
    void MeasureMenuItem(vcl::TObject* sender, vcl::TCanvas* canvas, int& width, int& height);
    void DrawMenuItem(vcl::TObject* sender, vcl::TCanvas* canvas, vcl::TRect rect,
                      vcl::TOwnerDrawState state);
    void MeasureBarItem(vcl::TObject* sender, vcl::TCanvas* canvas, int& width, int& height);
    void DrawBarItem(vcl::TObject* sender, vcl::TCanvas* canvas, vcl::TRect rect,
                     vcl::TOwnerDrawState state);

    // The record of `item`'s pop-up, or of the pop-up shown in `wnd` without an item. When it
    // is missing and `width` is not 0, the background is prepared at width x height for `wnd`.
    TacMenuInfo* FindMenuItemRecord(vcl::TMenuItem* item, win::HWND wnd, int width = 0,
                                    int height = 0);
    // Subclasses a pop-up window; with a background, gives it the region of the border mask.
    void HookMenuWindow(win::HWND wnd, vcl::TBitmap* background);
    static void ClearMenuItemRecords();
    static std::vector<std::unique_ptr<TacMenuInfo>>& Records();

    win::SIZE GetMenuItemGlyphSize(vcl::TMenuItem* item) const;
    static TsMenuItemType ItemType(const vcl::TMenuItem* item);
    // The size of the pop-up of `parent`'s items as measured here, frame not included.
    win::SIZE PopupSize(vcl::TMenuItem* parent);

    // The corners the current pop-up's region leaves out, in window coordinates.
    std::vector<vcl::TRect> RegionCuts;

private:
    bool Painting() const;
    void PrepareFont(vcl::TCanvas* canvas, vcl::TMenuItem* item) const;
    int LineHeight(vcl::TCanvas* canvas) const;
    TacMenuInfo* PrepareBackground(vcl::TMenuItem* first, win::HWND wnd, int width, int height);
    void PaintExtraLine(vcl::TBitmap* bmp, vcl::TMenuItem* first);
    bool ExtraLineOn(vcl::TMenuItem* first);
    void PaintFrameStrips(win::HWND wnd, const vcl::TBitmap* bg, vcl::TMenuItem* item,
                          const vcl::TRect& rect) const;
    void PaintDivider(vcl::TBitmap* bmp, const vcl::TBitmap* bg, vcl::TMenuItem* item,
                      win::POINT at, int extra);
    void PaintCaptionItem(vcl::TBitmap* bmp, const vcl::TBitmap* bg, vcl::TMenuItem* item,
                          win::POINT at, int extra);
    void PaintGlyph(vcl::TBitmap* bmp, vcl::TMenuItem* item, bool checked, bool selected,
                    int extra);

    vcl::TFont captionFont_;
    bool active_ = false;
    bool hooking_ = false;
    bool computingExtra_ = false;
    int skinBorderWidth_ = -1;
    const void* skinBorderContent_ = nullptr;  // the skin the cached width belongs to
};

// Fills the menu slots of the neighbour services and the pop-up background lookup of the menu
// windows' adapters. Idempotent.
void InitSkinnedMenus();

}  // namespace skin
