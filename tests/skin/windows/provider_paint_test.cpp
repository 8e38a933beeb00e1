// The skinned frame as the provider paints it into its cache and onto the window, and the title
// buttons' states and fading on the fake clock.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/pixels/fast_pixels.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/state/system_utils.h"
#include "tests/skin/windows/provider_fixture.h"

namespace skin::testing {
namespace {

using vcl::TForm;
using vcl::TRect;

class ProviderPaintTest : public ProviderTest {
protected:
    TForm* Synthetic(FormShape shape = {}, const SynthSkin& skin = {}) {
        UseSynthetic(skin);
        TForm* f = MakeForm(shape);
        f->SetCaption("");
        return f;
    }
    // The frame cache rebuilt now.
    vcl::TBitmap* Rebuild() {
        provider->SkinData()->CacheStale = true;
        provider->PaintFrame();
        return provider->SkinData()->CacheBmp();
    }
    win::COLORREF Px(int x, int y) {
        return win::GetPixel(provider->SkinData()->CacheBmp()->Canvas()->Handle(), x, y);
    }
    // The smallest rectangle holding every pixel of the caption band that differs from `before`.
    TRect InkBox(vcl::TBitmap* before, int bandBottom) {
        TRect box{1 << 20, 1 << 20, -1, -1};
        const win::HDC a = before->Canvas()->Handle();
        for (int y = 0; y < bandBottom; ++y)
            for (int x = 0; x < before->Width(); ++x)
                if (win::GetPixel(a, x, y) != Px(x, y)) {
                    box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                           std::max(box.Bottom, y + 1)};
                }
        return box;
    }
    std::unique_ptr<vcl::TBitmap> CacheCopy() {
        vcl::TBitmap* c = provider->SkinData()->CacheBmp();
        std::unique_ptr<vcl::TBitmap> copy(NewBitmap24(c->Width(), c->Height()));
        win::BitBlt(copy->Canvas()->Handle(), 0, 0, c->Width(), c->Height(), c->Canvas()->Handle(),
                    0, 0, win::SRCCOPY);
        return copy;
    }
    int CaptionBottom() {
        return SysBorderWidthNoExt(provider->Form()->Handle(), nullptr, true) +
               provider->CaptionHeight(true);
    }
    void Tick() {
        clock_.Advance(12);
        Pump();
    }
};

// The half-and-half mix of the inactive look, channel by channel.
win::COLORREF Half(win::COLORREF s, win::COLORREF d) {
    win::COLORREF r = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = int(s >> shift & 0xFF), b = int(d >> shift & 0xFF);
        r |= win::COLORREF(int(std::nearbyint(a - (a - b) * 0.5))) << shift;
    }
    return r;
}

// Within the smoothing of a letter's stem: every channel at most 8 off.
bool Near(win::COLORREF a, win::COLORREF b) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > 8) return false;
    return true;
}

TEST_F(ProviderPaintTest, FramePiecesComeFromTheirMasksInBothStates) {
    TForm* f = Synthetic();
    const int w = provider->FormWidth(), h = f->Height();
    for (int state : {1, 0}) {
        provider->FormActive = state == 1;
        Rebuild();
        struct Case {
            const char* piece;
            int x, y, mask, index;
        } cases[] = {
            {"caption top-left", 4, 4, kSynTitle, 0},
            {"caption top", w / 2, 1, kSynTitle, 1},
            {"caption top-right", w - 5, 4, kSynTitle, 2},
            {"frame left", 1, h / 2, kSynForm, 3},
            {"frame right", w - 2, h / 2, kSynForm, 5},
            {"frame bottom-left", 4, h - 5, kSynForm, 6},
            {"frame bottom", w / 2, h - 2, kSynForm, 7},
            {"frame bottom-right", w - 5, h - 5, kSynForm, 8},
        };
        for (const Case& c : cases)
            EXPECT_EQ(PieceColour(c.mask, state, c.index), Px(c.x, c.y)) << c.piece << " " << state;
        EXPECT_EQ(provider->FormColor(),
                  Px(provider->ClientOffsetX() + 5, provider->ClientOffsetY() + 5));
        // What reaches the screen is the cache.
        win::RedrawWindow(f->Handle(), nullptr, nullptr,
                          win::RDW_FRAME | win::RDW_INVALIDATE | win::RDW_UPDATENOW);
        for (const Case& c : {cases[1], cases[3], cases[6]})
            EXPECT_EQ(Px(c.x, c.y), WindowPixel(f->Handle(), c.x, c.y)) << "screen, " << c.piece;
    }
}

TEST_F(ProviderPaintTest, CaptionGradientRowsFollowTheTitleSection) {
    TForm* f = MakeForm({});
    f->SetCaption("");
    vcl::TBitmap* cache = Rebuild();
    const int tc = CaptionBottom();
    // The title section alone, painted on a band of the same size.
    std::unique_ptr<vcl::TBitmap> band(NewBitmap24(cache->Width(), tc));
    const int title = manager->GetSkinIndex("FORMTITLE");
    PaintMaskWithBorders(title, "FORMTITLE", EmptyCacheInfo, true, 1, {0, 0, cache->Width(), tc},
                         {0, 0}, band.get(), manager.get(), -1, -1);
    const int x = cache->Width() / 2;  // no text, icon or button there
    for (int y = 0; y < tc; ++y)
        EXPECT_EQ(win::GetPixel(band->Canvas()->Handle(), x, y), Px(x, y)) << "row " << y;
    EXPECT_NE(Px(x, 2), Px(x, tc - 3)) << "the rows make a gradient";
}

TEST_F(ProviderPaintTest, CloseGlyphShowsItsStateAndTheInactiveLook) {
    Synthetic();
    manager->SetAllowGlowing(false);
    TsCaptionButton& close = provider->ButtonClose;
    for (int state : {0, 1, 2}) {
        close.State = state;
        Rebuild();
        const TRect r = close.Rect;
        EXPECT_EQ(18, r.Width());
        EXPECT_EQ(
            provider->FormWidth() - 3 - SysBorderWidth(provider->Form()->Handle(), nullptr, true),
            r.Right);
        EXPECT_EQ(PieceColour(kSynBIconClose, state, 0), Px(r.Left + 9, r.Top + 8)) << state;
    }
    close.State = 0;
    provider->FormActive = false;
    Rebuild();
    const TRect r = close.Rect;
    const win::COLORREF under = Px(provider->FormWidth() / 2, r.Top + 8);
    EXPECT_EQ(Half(PieceColour(kSynBIconClose, 0, 0), under), Px(r.Left + 9, r.Top + 8));
}

TEST_F(ProviderPaintTest, CaptionTextIsPlacedByAlignmentAndCutWithAnEllipsis) {
    TForm* f = Synthetic();
    const int tc = CaptionBottom();
    Rebuild();
    const auto blank = CacheCopy();
    const int left =
        SysBorderWidth(f->Handle(), nullptr, true) + provider->TitleIconWidth() + 4 + 2;
    const int right = provider->FormWidth() - provider->ButtonsWidth() - 12;
    const win::HFONT font = CreateCaptionFont();
    struct Case {
        const char* caption;
        vcl::TAlignment align;
    } cases[] = {{"Wide caption W", vcl::taLeftJustify},
                 {"Wide caption W", vcl::taRightJustify},
                 {"Wide caption W", vcl::taCenter},
                 {nullptr, vcl::taRightJustify}};
    for (const Case& c : cases) {
        const std::string text = c.caption ? c.caption : std::string(80, 'W');
        const int tw = GetFontTextExtent(font, text).cx;
        f->SetCaption(text);
        provider->SetCaptionAlignment(c.align);
        Rebuild();
        const TRect ink = InkBox(blank.get(), tc);
        int start = left;  // where the text begins; glyph edges may leave a pixel free
        if (!c.caption) {
            EXPECT_LE(ink.Right, right) << "cut with an ellipsis";
            EXPECT_GT(ink.Right, right - 16);
            // The dots sit low and flat where a cut letter would stand full height.
            int top = tc, bottom = 0;
            for (int y = 0; y < tc; ++y)
                for (int x = ink.Right - 6; x < ink.Right; ++x)
                    if (win::GetPixel(blank->Canvas()->Handle(), x, y) != Px(x, y))
                        top = std::min(top, y), bottom = std::max(bottom, y + 1);
            EXPECT_LE(bottom - top, 3);
        } else if (c.align == vcl::taRightJustify) {
            start = right - tw - 4;
        } else if (c.align == vcl::taCenter) {
            start = left + (right - left - tw - 4) / 2;
        }
        EXPECT_LE(start, ink.Left) << text << " " << int(c.align);
        EXPECT_GE(start + 2, ink.Left) << text << " " << int(c.align);
        if (c.caption) {
            EXPECT_GE(start + tw, ink.Right - 1);
        }
        EXPECT_GT(ink.Top, 0);
        EXPECT_LT(ink.Bottom, tc);
    }
    win::DeleteObject(font);
}

TEST_F(ProviderPaintTest, AddedTitleFollowsTheCaptionInItsOwnColour) {
    TForm* f = Synthetic();
    const int tc = CaptionBottom();
    f->SetCaption("Caption");
    Rebuild();
    const auto captionOnly = CacheCopy();
    const win::HFONT font = CreateCaptionFont();
    const int captionEnd = SysBorderWidth(f->Handle(), nullptr, true) + provider->TitleIconWidth() +
                           4 + 2 + GetFontTextExtent(font, "Caption").cx;
    win::DeleteObject(font);
    for (vcl::TColor colour : {vcl::TColor(0x00FF00), vcl::TColor(clNone)}) {
        vcl::TFont af;
        af.SetColor(colour);
        provider->AddedTitle()->SetFont(&af);
        provider->AddedTitle()->SetText("Added");
        Rebuild();
        const TRect added = InkBox(captionOnly.get(), tc);
        EXPECT_GE(added.Left, captionEnd + 4 - 1) << "after the caption and 4 pixels";
        EXPECT_LE(added.Left, captionEnd + 4 + 2);
        const win::COLORREF want =
            colour == vcl::TColor(clNone)
                ? manager->Sections()[size_t(manager->GetSkinIndex("FORMTITLE"))].HotFontColor
                : colour;
        bool found = false;
        for (int y = added.Top; y < added.Bottom && !found; ++y)
            for (int x = added.Left; x < added.Right && !found; ++x)
                found = Near(Px(x, y), want);
        EXPECT_TRUE(found) << std::hex << want;
    }
    // With the skin off, a change of the added title leaves the form's own frame alone.
    manager->SetActive(false);
    Pump();
    const int x = f->Width() / 2;
    const win::COLORREF classic = WindowPixel(f->Handle(), x, 1);
    provider->AddedTitle()->SetText("Other");
    EXPECT_EQ(classic, WindowPixel(f->Handle(), x, 1));
}

TEST_F(ProviderPaintTest, FourStripsCopyTheFrameAroundTheClient) {
    for (int rows : {0, 2}) {
        TForm* f = Synthetic({.MenuRows = rows});
        vcl::TBitmap* cache = Rebuild();
        // Every cache pixel names its own place.
        const win::HDC cdc = cache->Canvas()->Handle();
        for (int y = 0; y < cache->Height(); ++y)
            for (int x = 0; x < cache->Width(); ++x)
                win::SetPixel(cdc, x, y, RGB(x & 0xFF, y & 0xFF, (x >> 8) | (y >> 8) << 4));
        std::unique_ptr<vcl::TBitmap> wnd(NewBitmap24(f->Width(), f->Height()));
        const win::HDC dc = wnd->Canvas()->Handle();
        FillRectSolid(dc, {0, 0, f->Width(), f->Height()}, 0x123456);
        provider->PaintNonClientArea(dc);
        const int w = f->Width(), h = f->Height();
        const int l = provider->FullBorderWidth(true), b = provider->FullBorderWidthNoExt(true);
        const int t = provider->CaptionAreaHeight();
        const int below =
            CaptionBottom() + (rows ? provider->MenuLineCount() * provider->MenuHeight() + 1 : 0);
        struct Case {
            const char* strip;
            int x, y, sx, sy;
        } cases[] = {
            {"top", w / 2, t - 1, w / 2, t - 1},
            {"left", l - 1, t, l - 1, below},
            {"left, low", 0, h - b - 1, 0, below + h - b - 1 - t},
            {"bottom", w / 2, h - 1, w / 2, h - 1},
            {"right", w - l, t + 3, w - l, below + 3},
            {"right, low", w - 1, h - b - 1, w - 1, below + h - b - 1 - t},
        };
        for (const Case& c : cases) {
            const win::COLORREF want =
                RGB(c.sx & 0xFF, c.sy & 0xFF, (c.sx >> 8) | (c.sy >> 8) << 4);
            EXPECT_EQ(want, win::GetPixel(dc, c.x, c.y)) << c.strip << ", rows " << rows;
        }
        EXPECT_EQ(0x123456u, win::GetPixel(dc, w / 2, h / 2)) << "the client stays";
        f->Free();
        Pump();
    }
}

// A 16 x 16 icon of one colour; its owner destroys it.
win::HICON SolidIcon(win::COLORREF c) {
    std::unique_ptr<vcl::TBitmap> colour(NewBitmap32(16, 16)), mask(NewBitmap24(16, 16));
    FillRect32(ViewOf(colour.get()), {0, 0, 16, 16}, c);
    FillRectSolid(mask->Canvas()->Handle(), {0, 0, 16, 16}, 0);
    win::ICONINFO info{true, 0, 0, mask->Handle(), colour->Handle()};
    return win::CreateIconIndirect(&info);
}

TEST_F(ProviderPaintTest, IconIsTheGlyphThenTheFormsThenTheApplicationsThenTheSystems) {
    TForm* f = Synthetic();
    const TRect ir = provider->IconRect();
    ASSERT_GT(ir.Width(), 0);
    // A glyph of its own wins.
    std::unique_ptr<vcl::TBitmap> glyph(NewBitmap32(ir.Width(), ir.Height()));
    FillRect32(ViewOf(glyph.get()), {0, 0, ir.Width(), ir.Height()}, 0x3366CC);
    provider->TitleIcon()->SetGlyph(glyph.get());
    Rebuild();
    EXPECT_EQ(0x3366CCu, Px(ir.Left + 2, ir.Top + 2));
    // Else the form's icon, before the application's; then the application's alone.
    provider->TitleIcon()->SetGlyph(nullptr);
    vcl::TIcon* formIcon = f->Icon();
    vcl::TIcon* appIcon = vcl::Application()->Icon();
    formIcon->SetHandle(SolidIcon(0x4422AA));
    appIcon->SetHandle(SolidIcon(0x22AA44));
    Rebuild();
    EXPECT_EQ(0x4422AAu, Px(ir.Left + 2, ir.Top + 2));
    formIcon->SetHandle(nullptr);
    Rebuild();
    EXPECT_EQ(0x22AA44u, Px(ir.Left + 2, ir.Top + 2));
    // Else the system's, as big as the caption leaves below the icon's top, over the band.
    appIcon->SetHandle(nullptr);
    FillAlphaRect(ViewOf(glyph.get()), {0, 0, ir.Width(), ir.Height()}, 0);
    provider->TitleIcon()->SetGlyph(glyph.get());
    Rebuild();
    const auto shown = CacheCopy();
    provider->TitleIcon()->SetGlyph(nullptr);
    Rebuild();
    const int side = provider->CaptionHeight(true) - ir.Top;
    win::DrawIconEx(shown->Canvas()->Handle(), ir.Left, ir.Top,
                    win::LoadIcon(nullptr, win::IDI_APPLICATION), side, side, 0, nullptr,
                    win::DI_NORMAL);
    for (int y = ir.Top; y < ir.Top + side; ++y)
        for (int x = ir.Left; x < ir.Left + side; ++x)
            ASSERT_EQ(win::GetPixel(shown->Canvas()->Handle(), x, y), Px(x, y)) << x << "," << y;
}

TEST_F(ProviderPaintTest, GripSitsInTheBottomRightCorner) {
    Synthetic();
    provider->GripMode = gmRightBottom;
    Rebuild();
    const int grip = manager->GetMaskIndexByNames("GLOBALINFO", "GRIPIMAGE");
    provider->PaintGrip(nullptr);
    const vcl::TPoint p = provider->GripPos(grip);
    EXPECT_EQ(PieceColour(kSynGrip, 0, 0), Px(p.X, p.Y));
    EXPECT_EQ(PieceColour(kSynGrip, 0, 0), Px(p.X + 11, p.Y + 11));
    EXPECT_NE(PieceColour(kSynGrip, 0, 0), Px(p.X + 12, p.Y + 12));
}

// ---- title buttons on the fake clock ----

TEST_F(ProviderPaintTest, HoveredCloseFadesInByTicksThenOutAndFreesItsWindow) {
    TForm* f = Synthetic();
    win::RECT wr{};
    win::GetWindowRect(f->Handle(), &wr);
    const TRect r = provider->ButtonClose.Rect;
    win::SetCursorPos(wr.left + r.Left + 4, wr.top + r.Top + 4);
    provider->SetHotHT(win::HTCLOSE);
    TacSBAnimation* a = provider->ButtonClose.Timer;
    ASSERT_NE(nullptr, a);
    std::vector<int> levels{a->Level};
    for (int i = 0; i < 9; ++i)
        Tick(), levels.push_back(a->Level);
    EXPECT_EQ((std::vector<int>{25, 50, 75, 100, 125, 150, 175, 200, 225, 255}), levels);

    // The glow window shows the close-glow picture, moved up and left by its margin.
    ASSERT_NE(nullptr, a->GlowForm);
    const win::HWND glow = a->GlowForm->Handle();
    win::RECT gr{};
    win::GetWindowRect(glow, &gr);
    EXPECT_EQ(TRect(wr.left + r.Left - 6, wr.top + r.Top - 6, wr.left + r.Left - 6 + kSynthGlowW,
                    wr.top + r.Top - 6 + kSynthGlowH),
              TRect(gr));
    const TsMaskData& picture =
        manager->Masks()[size_t(manager->GetMaskIndexByNames("GLOBALINFO", "BICONCLOSEGLOW0"))];
    ASSERT_TRUE(picture.Bmp);
    const PixelView want = ViewOf(picture.Bmp.get()), got = ViewOf(a->Image.get());
    ASSERT_EQ(want.Width, got.Width);
    // Its colours premultiplied by their alpha, as a layered window takes them.
    for (int y = 0; y < got.Height; ++y)
        for (int x = 0; x < got.Width; ++x) {
            const uint8_t* w = want.At(x, y);
            const uint8_t* g = got.At(x, y);
            ASSERT_EQ(w[3], g[3]) << x << "," << y;
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ((w[c] * w[3] + 127) / 255, g[c]) << x << "," << y;
        }

    provider->SetHotHT(0);
    levels.clear();
    while (a->GlowForm && levels.size() < 20)
        Tick(), levels.push_back(a->Level);
    EXPECT_EQ(nullptr, a->GlowForm);
    EXPECT_FALSE(win::IsWindow(glow));
    EXPECT_EQ(25, levels[levels.size() - 2]) << "the last level shown";
    for (size_t i = 1; i + 1 < levels.size(); ++i)
        EXPECT_EQ(levels[i - 1] - 25, levels[i]);
}

TEST_F(ProviderPaintTest, PressedIsShownAtOnce) {
    Synthetic();
    provider->PressHT(win::HTCLOSE);
    TacSBAnimation* a = provider->ButtonClose.Timer;
    ASSERT_NE(nullptr, a);
    EXPECT_EQ(2, provider->ButtonClose.State);
    EXPECT_EQ(255, a->Level);
    EXPECT_FALSE(a->Enabled()) << "one step: nothing left to fade";
    const win::COLORREF c = PieceColour(kSynBIconClose, 2, 0);
    const uint8_t* p = ViewOf(a->Image.get()).At(9, 8);
    EXPECT_EQ(c, RGB(p[2], p[1], p[0]));
    EXPECT_EQ(255, p[3]);
}

TEST_F(ProviderPaintTest, DisabledMaximisePressesNothing) {
    Synthetic({.State = vcl::wsMinimized, .Icons = {vcl::biSystemMenu, vcl::biMinimize}});
    ASSERT_GE(provider->ButtonMax.State, 0) << "an iconic form shows maximise";
    provider->PressHT(win::HTMAXBUTTON);
    EXPECT_NE(2, provider->ButtonMax.State);
    EXPECT_EQ(0, provider->HotHitCode);
    EXPECT_EQ(nullptr, provider->ButtonMax.Timer);
    EXPECT_FALSE(ButtonPressed);
}

TEST_F(ProviderPaintTest, ButtonReleasedOutsideIsRestoredByTheNextHotChange) {
    Synthetic();
    manager->SetAllowGlowing(false);
    provider->PressHT(win::HTCLOSE);
    provider->PendingRestoreHT = win::HTCLOSE;
    provider->SetHotHT(win::HTMINBUTTON);
    EXPECT_EQ(0, provider->ButtonClose.State);
    EXPECT_EQ(0, provider->PendingRestoreHT);
    const TRect r = provider->ButtonClose.Rect;
    EXPECT_EQ(PieceColour(kSynBIconClose, 0, 0), Px(r.Left + 9, r.Top + 8));
}

// Forms of any size, style and state under skins with odd values and missing pictures: the frame,
// the strips and the title buttons neither fault nor make a bitmap of negative size.
TEST_F(ProviderPaintTest, RandomFormsAndSkinsPaintWithoutFault) {
    std::mt19937 rng(28);
    auto in = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const char* values[] = {"0", "-7", "3", "40", "32767", "-32768"};
    const char* keys[] = {"BIRIGHT",
                          "BISPACE",
                          "BITOP",
                          "BIVALIGN",
                          "TITLEHEIGHT",
                          "BORDERWIDTH",
                          "BICONCLOSEGLOWMARGIN"};
    const char* masks[] = {"BORDERSMASK", "BICONCLOSE", "BICONMAX", "TITLEBUTTON", "GRIPIMAGE"};
    for (int round = 0; round < 12; ++round) {
        SynthSkin skin;
        for (const char* k : keys)
            if (in(0, 1)) skin.Global[k] = values[in(0, 5)];
        for (const char* m : masks)
            if (in(0, 2) == 0) skin.Omit.insert(m);
        UseSynthetic(skin);
        const int size = in(0, 3);
        FormShape shape{.Border = vcl::TFormBorderStyle(in(0, 5)),
                      .State = vcl::TWindowState(in(0, 2)),
                      .Width = size == 0   ? 0
                               : size == 1 ? in(1, 40)
                                           : in(41, 4000),
                      .Height = size == 0   ? 0
                                : size == 1 ? in(1, 40)
                                            : in(41, 3000)};
        TForm* f = MakeForm(shape);
        f->SetCaption(std::string(size_t(in(0, 300)), 'W'));
        provider->SetCaptionAlignment(vcl::TAlignment(in(0, 2)));
        provider->GripMode = gmRightBottom;
        auto* user = static_cast<TsTitleButton*>(provider->TitleButtons()->Add());
        user->Hint = "Hint";
        std::unique_ptr<vcl::TBitmap> glyph(in(0, 1) ? NewBitmap32(in(1, 40), in(1, 40))
                                                     : NewBitmap24(in(1, 40), in(1, 40)));
        user->SetGlyph(glyph.get());
        user->UseSkinData = in(0, 1) == 1;
        vcl::TBitmap* cache = Rebuild();
        if (cache) {
            EXPECT_GE(cache->Width(), 0);
        }
        WindowDCScope dc(f->Handle());
        provider->PaintNonClientArea(dc.Get());
        provider->PaintGrip(dc.Get());
        for (int hit :
             {int(win::HTCLOSE), int(win::HTMAXBUTTON), int(win::HTMINBUTTON), kHitUserButton, 0}) {
            provider->SetHotHT(hit);
            provider->PressHT(hit);
            Tick();
        }
        f->Free();
        Pump();
    }
}

}  // namespace
}  // namespace skin::testing
