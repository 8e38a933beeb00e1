#include "skin/windows/menus/skinned_menus.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/pixels/color_helpers.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/pixels/text_utils.h"
#include "skin/core/paint/mask_geometry.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/state/skin_text.h"
#include "skin/windows/scroll/menu_wnd_adapters.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/image_list.h"

namespace skin {

using namespace vcl;

namespace {

constexpr char kSkinSelectItem[] = "SkinSelectItem";
constexpr char kSysMenuName[] = "SysMenu";
constexpr int kColumnGap = 4;  // the platform's gap between the columns of a pop-up
constexpr double kDisabledFade = 0.4;

// The extra line of the pop-up being prepared, as the manager's event leaves it.
struct ExtraLine {
    std::string Section = "EXTRALINE";
    std::string Text = "Use OnGetExtraLineData event";
    TBitmap* Glyph = nullptr;
};
ExtraLine g_extra;

std::string WithoutAmpersands(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&') {
            if (i + 1 < s.size() && s[i + 1] == '&') out += s[++i];
            continue;
        }
        out += s[i];
    }
    return out;
}

// The visible items of a pop-up, in order.
std::vector<TMenuItem*> VisibleItems(const TMenuItem* parent) {
    std::vector<TMenuItem*> out;
    if (!parent) return out;
    for (int i = 0; i < parent->Count(); ++i)
        if (parent->Items(i)->Visible()) out.push_back(parent->Items(i));
    return out;
}

TMenuItem* FirstItemOf(TMenuItem* item) {
    TMenuItem* parent = item ? item->Parent() : nullptr;
    return parent && parent->Count() > 0 ? parent->Items(0) : item;
}

bool HasBreaks(const TMenuItem* parent) {
    for (TMenuItem* i : VisibleItems(parent))
        if (i->Break() != mbNone) return true;
    return false;
}

TCustomImageList* ImagesOf(const TMenuItem* item) {
    TMenu* menu = item ? item->GetParentMenu() : nullptr;
    return menu ? menu->Images() : nullptr;
}

bool HasImage(TMenuItem* item) {
    TCustomImageList* images = ImagesOf(item);
    return item->HasBitmap() || (images && item->ImageIndex() >= 0 &&
                                 item->ImageIndex() < images->Count());
}

bool IsOurDraw(const TMenuItem* item, TsSkinableMenus* menus) {
    return item->OnAdvancedDrawItem == Method(menus, &TsSkinableMenus::DrawMenuItem) ||
           item->OnAdvancedDrawItem == Method(menus, &TsSkinableMenus::DrawBarItem);
}

bool IsOurMeasure(const TMenuItem* item, TsSkinableMenus* menus) {
    return item->OnMeasureItem == Method(menus, &TsSkinableMenus::MeasureMenuItem) ||
           item->OnMeasureItem == Method(menus, &TsSkinableMenus::MeasureBarItem);
}

void CopyRect(TBitmap* dst, int dx, int dy, const TBitmap* src, int sx, int sy, int w, int h) {
    if (!dst || !src || w <= 0 || h <= 0) return;
    win::BitBlt(dst->Canvas()->Handle(), dx, dy, w, h,
                const_cast<TBitmap*>(src)->Canvas()->Handle(), sx, sy, win::SRCCOPY);
}

void CopyToDC(win::HDC dc, const TRect& r, const TBitmap* src, int sx, int sy) {
    if (!dc || !src || r.Width() <= 0 || r.Height() <= 0) return;
    win::BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(),
                const_cast<TBitmap*>(src)->Canvas()->Handle(), sx, sy, win::SRCCOPY);
}

// The frame widths of a window: where its client area begins.
win::POINT FrameOffset(win::HWND wnd) {
    win::RECT wr{};
    win::POINT origin{0, 0};
    if (!wnd || !win::GetWindowRect(wnd, &wr) || !win::ClientToScreen(wnd, &origin))
        return {3, 3};
    return {origin.x - wr.left, origin.y - wr.top};
}

// --- the pop-up windows' procedure ---

std::map<win::HWND, win::WNDPROC>& HookedWindows() {
    static std::map<win::HWND, win::WNDPROC> windows;
    return windows;
}

TsSkinableMenus* MenusOf() {
    return DefaultManager ? dynamic_cast<TsSkinableMenus*>(DefaultManager->SkinableMenus())
                          : nullptr;
}

void ForgetWindowRecords(win::HWND wnd) {
    auto& records = TsSkinableMenus::Records();
    std::erase_if(records, [wnd](const std::unique_ptr<TacMenuInfo>& r) {
        return r->Wnd == wnd || r->Wnd == nullptr || !win::IsWindow(r->Wnd);
    });
}

void PaintWindowFrame(win::HWND wnd, const TBitmap* bg) {
    win::RECT wr{};
    if (!bg || !win::GetWindowRect(wnd, &wr)) return;
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    if (bg->Width() != w || bg->Height() != h) return;
    const win::POINT f = FrameOffset(wnd);
    win::HDC dc = win::GetWindowDC(wnd);
    if (!dc) return;
    CopyToDC(dc, {0, 0, w, f.y}, bg, 0, 0);
    CopyToDC(dc, {0, h - f.y, w, h}, bg, 0, h - f.y);
    CopyToDC(dc, {0, f.y, f.x, h - f.y}, bg, 0, f.y);
    CopyToDC(dc, {w - f.x, f.y, w, h - f.y}, bg, w - f.x, f.y);
    win::ReleaseDC(wnd, dc);
}

win::LRESULT MenuWindowProc(win::HWND wnd, win::UINT msg, win::WPARAM wp, win::LPARAM lp) {
    auto& windows = HookedWindows();
    auto it = windows.find(wnd);
    if (it == windows.end()) return win::DefWindowProcA(wnd, msg, wp, lp);
    const win::WNDPROC old = it->second;
    switch (msg) {
        case win::WM_ERASEBKGND: {
            // The items cover the client area; what they leave shows the prepared background.
            TsSkinableMenus* menus = MenusOf();
            TacMenuInfo* rec = menus ? menus->FindMenuItemRecord(nullptr, wnd) : nullptr;
            if (rec && rec->Bmp && wp) {
                win::RECT cr{};
                win::GetClientRect(wnd, &cr);
                const win::POINT f = FrameOffset(wnd);
                CopyToDC(reinterpret_cast<win::HDC>(wp), {0, 0, cr.right, cr.bottom},
                         rec->Bmp.get(), f.x, f.y);
            }
            return 1;
        }
        case win::WM_NCPAINT: {
            TsSkinableMenus* menus = MenusOf();
            TacMenuInfo* rec = menus ? menus->FindMenuItemRecord(nullptr, wnd) : nullptr;
            if (rec && rec->Bmp) PaintWindowFrame(wnd, rec->Bmp.get());
            return 1;
        }
        case win::WM_DESTROY:
            ForgetWindowRecords(wnd);
            return win::CallWindowProcA(old, wnd, msg, wp, lp);
        case win::WM_NCDESTROY: {
            // Our procedure goes first, so a later subclass keeps a working chain.
            if (win::GetWindowLongPtrA(wnd, win::GWLP_WNDPROC) ==
                reinterpret_cast<win::LONG_PTR>(&MenuWindowProc))
                win::SetWindowLongPtrA(wnd, win::GWLP_WNDPROC, reinterpret_cast<win::LONG_PTR>(old));
            windows.erase(wnd);
            if (windows.empty()) SetSkinnedMenuShown(false);
            return win::CallWindowProcA(old, wnd, msg, wp, lp);
        }
        default:
            return win::CallWindowProcA(old, wnd, msg, wp, lp);
    }
}

// --- the main bar's band under each item, kept from the frame painting ---

struct BandPiece {
    win::HWND Wnd;
    TRect R;
    BitmapPtr Bmp;
};

std::vector<BandPiece>& BandPieces() {
    static std::vector<BandPiece> pieces;
    return pieces;
}

BandPiece* FindBandPiece(win::HWND wnd, const TRect& r) {
    for (BandPiece& p : BandPieces())
        if (p.Wnd == wnd && p.R == r) return &p;
    return nullptr;
}

void KeepBandPiece(win::HWND wnd, const TRect& r, TBitmap* cache) {
    auto& pieces = BandPieces();
    std::erase_if(pieces, [wnd, &r](const BandPiece& p) {
        return !win::IsWindow(p.Wnd) || (p.Wnd == wnd && p.R == r);
    });
    BitmapPtr bmp(NewBitmap24(r.Width(), r.Height()));
    CopyRect(bmp.get(), 0, 0, cache, r.Left, r.Top, r.Width(), r.Height());
    pieces.push_back({wnd, r, std::move(bmp)});
}

TsSkinProviderBase* ProviderOfMenu(TMenu* menu) {
    const win::HWND wnd = menu ? menu->WindowHandle() : nullptr;
    if (!wnd || !win::IsWindow(wnd)) return nullptr;
    return reinterpret_cast<TsSkinProviderBase*>(SendSkinCommand(wnd, SKC_GETPROVIDER, 0));
}

}  // namespace

// --- TsSkinableMenus ---

TsSkinableMenus::TsSkinableMenus(TsSkinManager* owner) : TsSkinableMenusBase(owner) {}

TsSkinableMenus::~TsSkinableMenus() {
    // The pop-ups' records belong to the default manager's painter.
    if (MenusOf() == this || MenusOf() == nullptr) ClearMenuItemRecords();
}

std::vector<std::unique_ptr<TacMenuInfo>>& TsSkinableMenus::Records() {
    static std::vector<std::unique_ptr<TacMenuInfo>> records;
    return records;
}

void TsSkinableMenus::ClearMenuItemRecords() {
    Records().clear();
}

bool TsSkinableMenus::Painting() const {
    return Owner && Owner->Active() && Owner->SkinData().Active;
}

int TsSkinableMenus::SkinBorderWidth() {
    if (!Owner) return 0;
    const void* content = &Owner->Skin();
    if (skinBorderWidth_ >= 0 && skinBorderContent_ == content) return skinBorderWidth_;
    skinBorderContent_ = content;
    const int mask = Owner->GetMaskIndexByNames("MAINMENU", "BORDERSMASK");
    if (!Owner->IsValidImgIndex(mask)) return skinBorderWidth_ = 0;
    const int w = Owner->Masks()[size_t(mask)].BorderWidth;
    return skinBorderWidth_ = w < 1 ? 3 : w;
}

TsMenuItemType TsSkinableMenus::ItemType(const TMenuItem* item) {
    const std::string& c = item->Caption();
    if (c == "-") return smDivider;
    if (c.size() >= 2 && c.front() == '-' && c.back() == '-') return smCaption;
    return smNormal;
}

win::SIZE TsSkinableMenus::GetMenuItemGlyphSize(TMenuItem* item) const {
    if (item->HasBitmap()) return {item->Bitmap()->Width(), item->Bitmap()->Height()};
    if (TCustomImageList* images = ImagesOf(item)) return {images->Width(), images->Height()};
    return {16, 16};
}

// --- switching the menus over ---

namespace {

void HookTree(TsSkinableMenus* menus, TMenuItem* item, bool on) {
    for (int i = 0; i < item->Count(); ++i) {
        TMenuItem* child = item->Items(i);
        menus->HookItem(child, on);
        HookTree(menus, child, on);
    }
}

void WalkComponents(TsSkinableMenus* menus, TComponent* owner, bool on) {
    for (int i = 0; i < owner->ComponentCount(); ++i) {
        TComponent* c = owner->Components(i);
        if (auto* main = dynamic_cast<TMainMenu*>(c)) {
            HookTree(menus, main->Items(), on);
        } else if (auto* popup = dynamic_cast<TPopupMenu*>(c)) {
            menus->SetMenuOwnerDraw(popup, on && menus->Owner->SkinnedPopups());
        } else if (auto* item = dynamic_cast<TMenuItem*>(c)) {
            TMenu* menu = item->GetParentMenu();
            if (!dynamic_cast<TMainMenu*>(menu) || item->Parent() != menu->Items())
                HookTree(menus, item, on);
        }
        WalkComponents(menus, c, on);
    }
}

}  // namespace

void TsSkinableMenus::SetActive(bool on) {
    if (on == active_) return;
    active_ = on;
    if (Owner && Owner->ComponentState().Contains(csDesigning)) return;
    if (TApplication* app = Application()) WalkComponents(this, app, on);
}

void TsSkinableMenus::UpdateFromManager() {
    if (Owner) SetActive(Owner->SkinData().Active);
    skinBorderWidth_ = -1;
    SkinIndex = -1;
}

void TsSkinableMenus::HookMenu(TMenu* menu) {
    if (menu) HookTree(this, menu->Items(), active_);
}

void TsSkinableMenus::HookItem(TMenuItem* item, bool on) {
    if (!item) return;
    TMenu* menu = item->GetParentMenu();
    if (menu && on && !menu->OwnerDraw()) menu->SetOwnerDraw(true);
    if (!on) {
        if (IsOurDraw(item, this)) item->OnAdvancedDrawItem = {};
        if (IsOurMeasure(item, this)) item->OnMeasureItem = {};
        return;
    }
    const bool top = dynamic_cast<TMainMenu*>(menu) && item->Parent() == menu->Items();
    if (top) {
        if (!item->OnAdvancedDrawItem) item->OnAdvancedDrawItem = Method(this, &TsSkinableMenus::DrawBarItem);
        if (!item->OnMeasureItem) item->OnMeasureItem = Method(this, &TsSkinableMenus::MeasureBarItem);
        return;
    }
    if (!Owner || !Owner->SkinnedPopups()) return;
    if (!item->OnAdvancedDrawItem) item->OnAdvancedDrawItem = Method(this, &TsSkinableMenus::DrawMenuItem);
    if (!item->OnMeasureItem) item->OnMeasureItem = Method(this, &TsSkinableMenus::MeasureMenuItem);
}

void TsSkinableMenus::SetMenuOwnerDraw(TMenu* menu, bool on) {
    if (!menu) return;
    menu->SetOwnerDraw(on);
    if (on)
        menu->MenuAnimation << maNone;
    else
        menu->MenuAnimation >> maNone;
    std::vector<TMenuItem*> stack{menu->Items()};
    while (!stack.empty()) {
        TMenuItem* item = stack.back();
        stack.pop_back();
        for (int i = 0; i < item->Count(); ++i) {
            TMenuItem* child = item->Items(i);
            if (on) {
                if (!child->OnAdvancedDrawItem)
                    child->OnAdvancedDrawItem = Method(this, &TsSkinableMenus::DrawMenuItem);
                if (!child->OnMeasureItem)
                    child->OnMeasureItem = Method(this, &TsSkinableMenus::MeasureMenuItem);
            } else {
                if (IsOurDraw(child, this)) child->OnAdvancedDrawItem = {};
                if (IsOurMeasure(child, this)) child->OnMeasureItem = {};
            }
            stack.push_back(child);
        }
    }
}

// --- measuring ---

void TsSkinableMenus::PrepareFont(TCanvas* canvas, TMenuItem* item) const {
    canvas->Font()->Assign(Screen()->MenuFont());
    if (item && item->Default()) canvas->Font()->SetStyle(canvas->Font()->Style() << fsBold);
}

int MenuLineHeight(int textHeight) {
    // Ties go to the even neighbour, as the default rounding of the FPU does.
    return int(std::nearbyint(textHeight * 1.25));
}

int TsSkinableMenus::LineHeight(TCanvas* canvas) const {
    return MenuLineHeight(canvas->TextHeight("W"));
}

bool TsSkinableMenus::ExtraLineOn(TMenuItem* first) {
    TacMenuSupport* support = Owner ? Owner->MenuSupport() : nullptr;
    if (!support || !support->UseExtraLine || !first) return false;
    if (HasBreaks(first->Parent())) return false;
    bool visible = true;
    g_extra = ExtraLine{};
    if (first->Name() != kSkinSelectItem && Owner->OnGetMenuExtraLineData && !computingExtra_) {
        computingExtra_ = true;
        Owner->OnGetMenuExtraLineData(first, g_extra.Section, g_extra.Text, g_extra.Glyph,
                                      visible);
        computingExtra_ = false;
    }
    return visible;
}

void TsSkinableMenus::MeasureMenuItem(TObject* sender, TCanvas* canvas, int& width, int& height) {
    auto* item = dynamic_cast<TMenuItem*>(sender);
    if (!item || !canvas || item->ComponentState().Contains(csDestroying)) return;
    TMenuItem* first = FirstItemOf(item);
    const TacMenuInfo* rec = nullptr;
    for (const auto& r : Records())
        if (r->FirstItem == first) rec = r.get();
    const bool extra = rec ? rec->HaveExtraLine : ExtraLineOn(first);
    PrepareFont(canvas, item);
    const win::SIZE glyph = GetMenuItemGlyphSize(item);
    const TsMenuItemType kind = ItemType(item);
    std::string text;
    if (kind == smCaption) {
        text = "-" + item->Caption() + "-";
    } else if (kind == smNormal) {
        text = item->Caption();
        if (item->ShortCut() != scNone) text += ShortCutToText(item->ShortCut());
    }
    int textWidth = 0;
    if (!text.empty()) {
        TRect r{0, 0, 0, 0};
        CanvasDrawText(canvas, text,
                       win::DT_CALCRECT | win::DT_NOCLIP | win::DT_EXPANDTABS | win::DT_SINGLELINE,
                       r);
        textWidth = r.Width();
    }
    width = glyph.cx * 2 + textWidth + Margin * 3 + Spacing;
    if (extra && Owner && Owner->MenuSupport()) width += Owner->MenuSupport()->ExtraLineWidth;
    switch (kind) {
        case smDivider:
            height = 2;
            break;
        case smCaption:
            height = LineHeight(canvas) + Margin * 2;
            break;
        default:
            height = std::max<int>(LineHeight(canvas), glyph.cy) + Margin * 2;
    }
}

win::SIZE TsSkinableMenus::PopupSize(TMenuItem* parent) {
    BitmapPtr work(NewBitmap24(1, 1));
    int width = 0, height = 0, columnWidth = 0, columnHeight = 0;
    for (TMenuItem* item : VisibleItems(parent)) {
        if (item->Break() != mbNone && columnHeight > 0) {
            width += columnWidth + 12 + kColumnGap;
            height = std::max(height, columnHeight);
            columnWidth = columnHeight = 0;
        }
        int w = 0, h = 0;
        // An application's own measuring counts; the others are measured as ours would.
        if (item->OnMeasureItem)
            item->MeasureItem(work->Canvas(), w, h);
        else
            MeasureMenuItem(item, work->Canvas(), w, h);
        columnWidth = std::max(columnWidth, w);
        columnHeight += h;
    }
    width += columnWidth + 12;
    height = std::max(height, columnHeight);
    return {width, height};
}

// --- the pop-up's background ---

TacMenuInfo* TsSkinableMenus::FindMenuItemRecord(TMenuItem* item, win::HWND wnd, int width,
                                                 int height) {
    TMenuItem* first = item ? FirstItemOf(item) : nullptr;
    for (const auto& r : Records()) {
        if (item ? r->FirstItem == first : (wnd && r->Wnd == wnd)) {
            // A window shown anew for the same pop-up, or of another size: prepared again.
            const bool stale = width > 0 && r->Bmp &&
                               (r->Bmp->Width() != width || r->Bmp->Height() != height ||
                                (wnd && r->Wnd != wnd));
            if (!stale) return r.get();
            const TacMenuInfo* gone = r.get();
            std::erase_if(Records(), [gone](const auto& x) { return x.get() == gone; });
            break;
        }
    }
    if (width <= 0 || !first) return nullptr;
    return PrepareBackground(first, wnd, width, height);
}

TacMenuInfo* TsSkinableMenus::PrepareBackground(TMenuItem* first, win::HWND wnd, int width,
                                                int height) {
    if (!Owner || !BitmapSizeFits(width, height) || width <= 0 || height <= 0) return nullptr;
    auto rec = std::make_unique<TacMenuInfo>();
    rec->FirstItem = first;
    rec->Wnd = wnd;
    rec->HaveExtraLine = ExtraLineOn(first);
    rec->Bmp.reset(NewBitmap24(width, height));
    TBitmap* bmp = rec->Bmp.get();
    const TRect whole{0, 0, width, height};
    const int item = Owner->GetSkinIndex("MENUITEM");
    PaintSkinBackground(item, "MENUITEM", EmptyCacheInfo, 0, whole, {0, 0}, bmp, Owner, -1, -1,
                        kTransparentKey);

    const int extra = rec->HaveExtraLine ? Owner->MenuSupport()->ExtraLineWidth : 0;
    const int border = SkinBorderWidth();
    const std::string& icoLine = Owner->MenuSupport()->IcoLineSkin;
    const int ico = icoLine.empty() ? -1 : Owner->GetSkinIndex(icoLine);
    if (ico >= 0) {
        const int glyph = GetMenuItemGlyphSize(first).cx;
        const TRect strip{border + extra, border, border + extra + glyph + border + Margin * 2,
                          height - border};
        if (strip.Right > strip.Left && strip.Bottom > strip.Top)
            PaintMaskWithBorders(ico, icoLine, EmptyCacheInfo, true, 0, strip, {0, 0}, bmp, Owner,
                                 -1, -1);
    }

    RegionCuts.clear();
    const int mask = Owner->GetMaskIndexByNames("MAINMENU", "BORDERSMASK");
    if (Owner->IsValidImgIndex(mask)) {
        const TsMaskData& m = Owner->Masks()[size_t(mask)];
        const PixelView self = ViewOf(bmp);
        PaintMaskIntoRect(bmp, whole, false, MakeCacheInfo(&self, 0, 0), m, 0, true);
        MaskFrame f;
        if (ReadMaskFrame(m, f)) {
            const MaskCorners corners{f.R, f.Count, f.Type, f.WL, f.WT, f.WR, f.WB};
            GetMaskRegionCuts(RegionCuts, f.Src, corners, width, false, 0);
            GetMaskRegionCuts(RegionCuts, f.Src, corners, width, true, height - f.WB);
        }
    } else {
        // A skin without a frame for menus: a line of half the text colour keeps the pop-up
        // apart from the window under it.
        const int frame = Owner->GetSkinIndex("MAINMENU") >= 0 ? Owner->GetSkinIndex("MAINMENU")
                                                                : item;
        if (frame >= 0) {
            const TsGeneralData& s = Owner->Sections()[size_t(frame)];
            const TColor line = BlendTwoColors(s.FontColor, s.Color, 0.5);
            TCanvas* c = bmp->Canvas();
            c->Brush()->SetColor(line);
            c->FrameRect(whole);
        }
    }
    if (rec->HaveExtraLine) PaintExtraLine(bmp, first);

    Records().push_back(std::move(rec));
    TacMenuInfo* stored = Records().back().get();
    // The menu windows' adapters draw their windows skinned from now on.
    SetSkinnedMenuShown(true);
    if (wnd) HookMenuWindow(wnd, stored->Bmp.get());
    return stored;
}

void TsSkinableMenus::PaintExtraLine(TBitmap* bmp, TMenuItem* /*first*/) {
    const int w = Owner->MenuSupport()->ExtraLineWidth;
    const int border = SkinBorderWidth();
    const TRect strip{border, border, border + w, bmp->Height() - border};
    if (strip.Width() <= 0 || strip.Height() <= 0) return;
    const int section = Owner->GetSkinIndex(g_extra.Section);
    if (section >= 0)
        PaintMaskWithBorders(section, g_extra.Section, EmptyCacheInfo, true, 0, strip, {0, 0}, bmp,
                             Owner, -1, -1);
    int bottom = strip.Bottom - 12;
    if (g_extra.Glyph && !g_extra.Glyph->Empty()) {
        const int gx = strip.Left + (w - g_extra.Glyph->Width()) / 2;
        bmp->Canvas()->Draw(gx, strip.Bottom - g_extra.Glyph->Height() - 8, g_extra.Glyph);
        bottom = strip.Bottom - g_extra.Glyph->Height() - 20;
    }
    // The text runs bottom-up, centred across the strip.
    TFont* font = Owner->MenuSupport()->ExtraLineFont;
    win::LOGFONTA lf{};
    lf.lfHeight = font->Height();
    lf.lfWeight = 400;
    lf.lfEscapement = lf.lfOrientation = 900;
    lf.lfItalic = font->Style().Contains(fsItalic);
    lf.lfUnderline = font->Style().Contains(fsUnderline);
    lf.lfStrikeOut = font->Style().Contains(fsStrikeOut);
    std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", font->Name().c_str());
    win::HFONT f = win::CreateFontIndirectA(&lf);
    const win::HDC dc = bmp->Canvas()->Handle();
    const win::HGDIOBJ old = win::SelectObject(dc, f);
    win::SetBkMode(dc, win::TRANSPARENT);
    win::SetTextColor(dc, section >= 0 ? Owner->Sections()[size_t(section)].FontColor : 0);
    win::SIZE ts{};
    win::GetTextExtentPoint32A(dc, g_extra.Text.c_str(), int(g_extra.Text.size()), &ts);
    win::TextOutA(dc, strip.Left + (w - ts.cy) / 2, bottom, g_extra.Text.c_str(),
                  int(g_extra.Text.size()));
    win::SelectObject(dc, old);
    win::DeleteObject(f);
}

void TsSkinableMenus::HookMenuWindow(win::HWND wnd, TBitmap* background) {
    if (hooking_ || !wnd || !win::IsWindow(wnd)) return;
    hooking_ = true;
    auto& windows = HookedWindows();
    if (!windows.count(wnd)) {
        const auto old = win::SetWindowLongPtrA(wnd, win::GWLP_WNDPROC,
                                                reinterpret_cast<win::LONG_PTR>(&MenuWindowProc));
        windows[wnd] = reinterpret_cast<win::WNDPROC>(old);
    }
    if (background && SendSkinCommand(wnd, SKC_SETBGCHANGED, 0) == 0) {
        SendSkinCommand(wnd, SKC_MENUSKINNED, 0);
        win::RECT wr{};
        win::GetWindowRect(wnd, &wr);
        win::HRGN region = win::CreateRectRgn(0, 0, wr.right - wr.left, wr.bottom - wr.top);
        auto cut = [region](const TRect& r) {
            win::HRGN piece = win::CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
            win::CombineRgn(region, region, piece, win::RGN_DIFF);
            win::DeleteObject(piece);
        };
        if (RegionCuts.empty())
            cut({0, 0, 1, 1});
        else
            for (const TRect& r : RegionCuts)
                cut(r);
        win::SetWindowRgn(wnd, region, win::TRUE);
    }
    hooking_ = false;
}

// --- painting pop-up items ---

void TsSkinableMenus::PaintFrameStrips(win::HWND wnd, const TBitmap* bg, TMenuItem* item,
                                       const TRect& rect) const {
    win::RECT wr{};
    if (!win::GetWindowRect(wnd, &wr)) return;
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    const win::POINT f = FrameOffset(wnd);
    const std::vector<TMenuItem*> items = VisibleItems(item->Parent());
    win::HDC dc = win::GetWindowDC(wnd);
    if (!dc) return;
    if (!items.empty() && items.front() == item) CopyToDC(dc, {0, 0, w, f.y}, bg, 0, 0);
    if (!items.empty() && items.back() == item) CopyToDC(dc, {0, h - f.y, w, h}, bg, 0, h - f.y);
    const int top = rect.Top + f.y, bottom = rect.Bottom + f.y;
    CopyToDC(dc, {0, top, f.x, bottom}, bg, 0, top);
    CopyToDC(dc, {w - f.x, top, w, bottom}, bg, w - f.x, top);
    win::ReleaseDC(wnd, dc);
}

void TsSkinableMenus::PaintGlyph(TBitmap* bmp, TMenuItem* item, bool checked, bool selected,
                                 int extra) {
    const int h = bmp->Height();
    const PixelView self = ViewOf(bmp);
    if (checked && !HasImage(item)) {
        int mask = -1;
        if (item->RadioItem()) mask = Owner->GetMaskIndexByNames("GLOBALINFO", "RADIOCHECKED");
        if (!Owner->IsValidImgIndex(mask)) mask = Owner->GetMaskIndexByNames("GLOBALINFO", "CHECK");
        if (!Owner->IsValidImgIndex(mask))
            mask = Owner->GetMaskIndexByNames("GLOBALINFO", "BOXCHECKED");
        if (Owner->IsValidImgIndex(mask)) {
            const win::SIZE s = Owner->GetMaskStateSize(mask);
            BlendMaskRegion(bmp, {extra + Margin, (h - s.cy) / 2}, 0, 1,
                            Owner->Masks()[size_t(mask)], MakeCacheInfo(&self, 0, 0));
        }
        return;
    }
    TMenu* menu = item->GetParentMenu();
    if (!HasImage(item)) {
        if (!menu || menu->Name() != kSysMenuName) return;
        // The system menu's commands wear the window-button glyphs.
        const char* glyph = nullptr;
        switch (unsigned(item->Tag())) {
            case win::SC_MINIMIZE:
                glyph = "0";
                break;
            case win::SC_MAXIMIZE:
                glyph = "1";
                break;
            case win::SC_RESTORE:
                glyph = "2";
                break;
            case win::SC_CLOSE:
                glyph = "r";
                break;
            default:
                return;
        }
        TCanvas* c = bmp->Canvas();
        c->Font()->SetName("Webdings");
        c->Font()->SetStyle({});
        c->Font()->SetHeight(-GetMenuItemGlyphSize(item).cy + 2);
        const int section = Owner->GetSkinIndex("MENUITEM");
        if (section >= 0) {
            const TsGeneralData& s = Owner->Sections()[size_t(section)];
            c->Font()->SetColor(selected ? s.HotFontColor : s.FontColor);
        }
        c->Brush()->SetStyle(bsClear);
        c->TextOut(extra + 4, (h - c->TextHeight(glyph)) / 2, glyph);
        return;
    }
    const win::SIZE g = GetMenuItemGlyphSize(item);
    const int x = extra + Margin, y = (h - g.cy) / 2;
    if (checked) {
        const int button = Owner->GetSkinIndex("SPEEDBUTTON_SMALL");
        if (button >= 0)
            PaintMaskWithBorders(button, "SPEEDBUTTON_SMALL", MakeCacheInfo(&self, 0, 0), true, 2,
                                 {x - 1, y - 1, x + g.cx + 1, y + g.cy + 1}, {0, 0}, bmp, Owner,
                                 -1, -1);
    }
    if (item->HasBitmap()) {
        TBitmap* pic = item->Bitmap();
        pic->SetTransparent(true);
        bmp->Canvas()->Draw(x, y, pic);
    } else if (TCustomImageList* images = ImagesOf(item)) {
        images->Draw(bmp->Canvas(), x, y, item->ImageIndex(), item->Enabled());
    }
}

void TsSkinableMenus::PaintDivider(TBitmap* bmp, const TBitmap* bg, TMenuItem* item, win::POINT at,
                                   int extra) {
    const int w = bmp->Width(), h = bmp->Height();
    const int glyph = GetMenuItemGlyphSize(item).cx;
    const int start = std::max(Margin + glyph + Spacing + extra, glyph + 2);
    const TRect line{start, 0, w - Margin * 2 - Spacing, h};
    const int section = Owner->GetSkinIndex("DIVIDERV");
    const int mask = section >= 0 ? Owner->Sections()[size_t(section)].BordersMask : -1;
    if (line.Width() <= 0) return;
    if (Owner->IsValidImgIndex(mask)) {
        const PixelView back = ViewOf(const_cast<TBitmap*>(bg));
        PaintMaskIntoRect(bmp, line, true, MakeCacheInfo(&back, at.x, at.y),
                          Owner->Masks()[size_t(mask)], 0, true);
        return;
    }
    int width = 1;
    Draw3DFrame(bmp->Canvas()->Handle(), {line.Left, h / 2 - 1, line.Right, h / 2 + 1},
                TColor(0x808080), TColor(0xFFFFFF), width);
}

void TsSkinableMenus::PaintCaptionItem(TBitmap* bmp, const TBitmap* bg, TMenuItem* item,
                                       win::POINT at, int extra) {
    const int w = bmp->Width(), h = bmp->Height();
    const int toolbar = Owner->GetSkinIndex("TOOLBAR");
    const PixelView back = ViewOf(const_cast<TBitmap*>(bg));
    const TRect r{extra + 1, 1, w - 1, h - 1};
    if (toolbar >= 0 && r.Width() > 0 && r.Height() > 0)
        PaintMaskWithBorders(toolbar, "TOOLBAR", MakeCacheInfo(&back, at.x, at.y), true, 0, r,
                             {0, 0}, bmp, Owner, -1, -1);
    // The first word between the dashes.
    std::string text = item->Caption();
    const size_t begin = text.find_first_not_of('-');
    text = begin == std::string::npos ? std::string() : text.substr(begin);
    text = text.substr(0, text.find('-'));
    TCanvas* c = bmp->Canvas();
    c->Font()->Assign(&captionFont_);
    TRect tr = r;
    DrawSectionText(c, text, true, Owner, 0, toolbar,
                    win::DT_CENTER | win::DT_VCENTER | win::DT_SINGLELINE | win::DT_HIDEPREFIX, tr);
}

void TsSkinableMenus::DrawMenuItem(TObject* sender, TCanvas* canvas, TRect rect,
                                   TOwnerDrawState state) {
    auto* item = dynamic_cast<TMenuItem*>(sender);
    if (!item || !canvas || !Painting() || !canvas->Handle()) return;
    const int w = rect.Width(), h = rect.Height();
    if (w <= 0 || h <= 0 || !BitmapSizeFits(w, h)) return;

    win::HWND wnd = win::WindowFromDC(canvas->Handle());
    if (wnd && (!win::IsWindow(wnd) || wnd == win::GetDesktopWindow())) wnd = nullptr;
    win::RECT wr{};
    TacMenuInfo* rec = nullptr;
    if (wnd && win::GetWindowRect(wnd, &wr)) {
        rec = FindMenuItemRecord(item, wnd, wr.right - wr.left, wr.bottom - wr.top);
    } else {
        // Without a window the pop-up's size is measured, once for its record.
        wnd = nullptr;
        rec = FindMenuItemRecord(item, nullptr);
        // An item grown past the background since it was prepared makes it anew.
        if (rec && rec->Bmp &&
            (rect.Right + BorderWidth * 2 > rec->Bmp->Width() ||
             rect.Bottom + BorderWidth * 2 > rec->Bmp->Height()))
            rec = nullptr;
        if (!rec) {
            const win::SIZE size = PopupSize(item->Parent());
            rec = FindMenuItemRecord(item, nullptr, size.cx + BorderWidth * 2,
                                     size.cy + BorderWidth * 2);
        }
    }
    if (!rec || !rec->Bmp) return;
    const TBitmap* bg = rec->Bmp.get();
    const win::POINT f = wnd ? FrameOffset(wnd) : win::POINT{BorderWidth, BorderWidth};
    if (wnd) PaintFrameStrips(wnd, bg, item, rect);

    if (!wnd) {
        // A pop-up painted where its window is not known: the application window hooks the
        // window under the item once the menu shows. The pop-up's menu handle travels, not the
        // item: the menu may be freed before the message is read, and a handle is never reused.
        TApplication* app = Application();
        TMenuItem* parent = item->Parent();
        win::MSG queued{};
        if (app && app->Handle() && parent &&
            !win::PeekMessageA(&queued, app->Handle(), WM_MENUITEMPOPUP, WM_MENUITEMPOPUP,
                               win::PM_NOREMOVE))
            win::PostMessageA(app->Handle(), WM_MENUITEMPOPUP, 0,
                              reinterpret_cast<win::LPARAM>(parent->Handle()));
    }

    const int extra = rec->HaveExtraLine ? Owner->MenuSupport()->ExtraLineWidth : 0;
    const TsMenuItemType kind = ItemType(item);
    const win::POINT at{rect.Left + f.x, rect.Top + f.y};
    BitmapPtr bmp(NewBitmap24(w, h));
    CopyRect(bmp.get(), 0, 0, bg, at.x, at.y, w, h);
    const PixelView back = ViewOf(const_cast<TBitmap*>(bg));
    // What a disabled item fades toward: its own background as painted, not the pop-up's
    // (whose glyph column is darker than the item over it).
    BitmapPtr plain;

    if (kind == smNormal) {
        // The gaps of the columns show the background.
        const std::vector<TMenuItem*> items = VisibleItems(item->Parent());
        const auto pos = std::find(items.begin(), items.end(), item);
        const int inner = bg->Height() - f.y * 2;
        if (pos != items.end()) {
            const bool lastOfColumn =
                (pos + 1 != items.end() && (*(pos + 1))->Break() != mbNone) ||
                (pos + 1 == items.end() && inner > rect.Bottom);
            if (lastOfColumn)
                CopyToDC(canvas->Handle(), {rect.Left, rect.Bottom, rect.Right, inner}, bg,
                         at.x, rect.Bottom + f.y);
            if (item->Break() != mbNone && pos != items.begin())
                CopyToDC(canvas->Handle(), {rect.Left - kColumnGap, 0, rect.Left, inner}, bg,
                         at.x - kColumnGap, f.y);
        }
        const bool hot = item->Enabled() && state.Contains(odSelected);
        const int section = Owner->GetSkinIndex("MENUITEM");
        if (section >= 0 && w > extra)
            PaintMaskWithBorders(section, "MENUITEM", MakeCacheInfo(&back, at.x, at.y), true,
                                 hot ? 1 : 0, {extra, 0, w, h}, {0, 0}, bmp.get(), Owner, -1, -1);
        if (!item->Enabled()) {
            plain.reset(NewBitmap24(w, h));
            CopyRect(plain.get(), 0, 0, bmp.get(), 0, 0, w, h);
        }
        PaintGlyph(bmp.get(), item, state.Contains(odChecked), hot, extra);

        const win::SIZE glyph = GetMenuItemGlyphSize(item);
        TCanvas* c = bmp->Canvas();
        PrepareFont(c, item);
        std::string text = item->Caption();
        uint32_t flags = win::DT_VCENTER | win::DT_SINGLELINE | win::DT_EXPANDTABS | win::DT_NOCLIP;
        if (!text.empty() && text[0] == '\b') {
            text = text.substr(1) + "      ";
            flags |= win::DT_RIGHT;
        } else if (Alignment == taRightJustify) {
            flags |= win::DT_RIGHT;
        } else if (Alignment == taCenter) {
            flags |= win::DT_CENTER;
        }
        if (state.Contains(odNoAccel)) flags |= win::DT_HIDEPREFIX;
        const bool hotText = item->Enabled() && (state.Contains(odSelected) ||
                                                 state.Contains(odHotLight));
        TRect tr{extra + glyph.cx + Margin * 2 + Spacing, 0, w, h};
        DrawSectionText(c, text, true, Owner, hotText ? 1 : 0, section, flags, tr);
        if (item->ShortCut() != scNone) {
            const std::string keys = ShortCutToText(item->ShortCut());
            const int kw = c->TextWidth(keys);
            TRect kr{w - kw - 8, 0, w, h};
            DrawSectionText(c, keys, true, Owner, hotText ? 1 : 0, section,
                            win::DT_SINGLELINE | win::DT_VCENTER, kr);
        }
    } else if (kind == smDivider) {
        PaintDivider(bmp.get(), bg, item, at, extra);
    } else {
        PaintCaptionItem(bmp.get(), bg, item, at, extra);
    }

    if (OnDrawItem) OnDrawItem(item, bmp->Canvas(), TRect{0, 0, w, h}, kind, state);

    if (plain) {
        // Faded from the glyph column on.
        const int from = std::min(extra, w);
        BlendBitmapTransparent(ViewOf(bmp.get()), from, 0, ViewOf(plain.get()),
                               {from, 0, w - 1, h - 1}, kDisabledFade, kTransparentKey);
    }
    CopyToDC(canvas->Handle(), rect, bmp.get(), 0, 0);
}

// --- the main bar ---

void TsSkinableMenus::MeasureBarItem(TObject* sender, TCanvas* canvas, int& width, int& height) {
    auto* item = dynamic_cast<TMenuItem*>(sender);
    if (!item || !canvas) return;
    PrepareFont(canvas, item);
    width = canvas->TextWidth(WithoutAmpersands(item->Caption())) + Spacing * 2;
    if (HasImage(item)) width += GetMenuItemGlyphSize(item).cx + 6;
    height = win::GetSystemMetrics(win::SM_CYMENU) - 1;
}

void TsSkinableMenus::DrawBarItem(TObject* sender, TCanvas* canvas, TRect rect,
                                  TOwnerDrawState state) {
    auto* item = dynamic_cast<TMenuItem*>(sender);
    if (!item || !canvas || !Painting() || !canvas->Handle()) return;
    const int w = rect.Width(), h = rect.Height();
    if (w <= 0 || h <= 0 || !BitmapSizeFits(w, h)) return;
    TMenu* menu = item->GetParentMenu();
    TsSkinProviderBase* provider = ProviderOfMenu(menu);
    TsCommonData* data = provider ? provider->SkinData() : nullptr;
    TBitmap* cache = data ? data->CacheBmp() : nullptr;
    const win::HWND form = menu ? menu->WindowHandle() : nullptr;
    if (!cache) return;
    const bool intoCache = canvas == cache->Canvas();

    // The native item tells the selection when the frame painting asks.
    bool hot = state.Contains(odSelected) || state.Contains(odHotLight);
    if (intoCache) {
        const win::HMENU bar = win::GetMenu(form);
        const std::vector<TMenuItem*> items = VisibleItems(menu->Items());
        const auto pos = std::find(items.begin(), items.end(), item);
        if (bar && pos != items.end())
            hot = (win::GetMenuState(bar, win::UINT(pos - items.begin()), win::MF_BYPOSITION) &
                   win::MF_HILITE) != 0;
        // The band under the item is fresh now: kept for the repaints while tracking.
        if (rect.Left >= 0 && rect.Top >= 0 && rect.Right <= cache->Width() &&
            rect.Bottom <= cache->Height())
            KeepBandPiece(form, rect, cache);
    }
    BandPiece* band = FindBandPiece(form, rect);
    if (!band) {
        // Drawn by the frame's own painting, outside the cache: nothing to draw into.
        if (intoCache) return;
        // Nothing kept for this place: the whole frame is painted anew, this item with it.
        data->CacheStale = true;
        provider->PaintFrame();
        if (!(band = FindBandPiece(form, rect))) return;
    }
    BitmapPtr bmp(NewBitmap24(w, h));
    CopyRect(bmp.get(), 0, 0, band->Bmp.get(), 0, 0, w, h);
    const PixelView back = ViewOf(band->Bmp.get());
    const int section = Owner->GetSkinIndex("MENUITEM");
    if (hot && section >= 0)
        PaintMaskWithBorders(section, "MENUITEM", MakeCacheInfo(&back, 0, 0), true, 1,
                             {0, 0, w, h}, {0, 0}, bmp.get(), Owner, -1, -1);
    TRect tr{0, 0, w, h};
    if (HasImage(item)) {
        const win::SIZE g = GetMenuItemGlyphSize(item);
        const int y = (h - g.cy) / 2;
        if (item->HasBitmap())
            bmp->Canvas()->Draw(3, y, item->Bitmap());
        else if (TCustomImageList* images = ImagesOf(item))
            images->Draw(bmp->Canvas(), 3, y, item->ImageIndex(), item->Enabled());
        tr.Left = 3 + g.cx;
    }
    TCanvas* c = bmp->Canvas();
    PrepareFont(c, item);
    const int line = Owner->GetSkinIndex("MENULINE");
    const int textSection = hot || line < 0 ? section : line;
    uint32_t flags = win::DT_CENTER | win::DT_VCENTER | win::DT_SINGLELINE;
    if (state.Contains(odNoAccel)) flags |= win::DT_HIDEPREFIX;
    DrawSectionText(c, item->Caption(), item->Enabled(), Owner, hot ? 1 : 0, textSection, flags,
                    tr);
    CopyRect(cache, rect.Left, rect.Top, bmp.get(), 0, 0, w, h);
    if (!intoCache) CopyToDC(canvas->Handle(), rect, bmp.get(), 0, 0);
}

// --- start-up ---

void InitSkinnedMenus() {
    NeighbourServices& n = Neighbours();
    n.CreateSkinableMenus = [](TsSkinManager* owner) -> std::unique_ptr<TsSkinableMenusBase> {
        return std::make_unique<TsSkinableMenus>(owner);
    };
    n.SetMenuOwnerDraw = [](TsSkinableMenusBase* menus, TMenu* menu, bool on) {
        if (auto* m = dynamic_cast<TsSkinableMenus*>(menus)) m->SetMenuOwnerDraw(menu, on);
    };
    n.FindMenuItemRecord = [](TsSkinableMenusBase* menus, TMenuItem* item,
                              win::HWND wnd) -> void* {
        auto* m = dynamic_cast<TsSkinableMenus*>(menus);
        return m ? m->FindMenuItemRecord(item, wnd) : nullptr;
    };
    n.HookMenuWindow = [](TsSkinableMenusBase* menus, win::HWND wnd, void* record) {
        auto* m = dynamic_cast<TsSkinableMenus*>(menus);
        auto* rec = static_cast<TacMenuInfo*>(record);
        if (m) m->HookMenuWindow(wnd, rec ? rec->Bmp.get() : nullptr);
    };
    SetPopupBackgroundLookup([](win::HWND wnd) -> TBitmap* {
        for (const auto& r : TsSkinableMenus::Records())
            if (r->Wnd == wnd) return r->Bmp.get();
        return nullptr;
    });
}

}  // namespace skin
