#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <tuple>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/region.h"
#include "platform/user/user.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/provider/system_menu.h"
#include "tests/skin/windows/provider_fixture.h"

namespace skin::testing {
namespace {

using namespace vcl;
using ProviderMetricsTest = ProviderTest;

const char* StyleName(TFormBorderStyle s) {
    static const char* const names[] = {"bsNone",   "bsSingle",     "bsSizeable",
                                        "bsDialog", "bsToolWindow", "bsSizeToolWin"};
    return names[s];
}

// The synthetic skin reads back as written: every mask where the fixture put it, round corners
// of the key colour, the close glow and the values asked for.
TEST_F(ProviderMetricsTest, SyntheticSkinLoadsAsWritten) {
    UseSynthetic({{{"BIRIGHT", "7"}}, {"SICONHELP"}});
    for (int m = 0; m < kSynMaskCount; ++m) {
        const SynthMaskInfo& i = kSynthMasks[m];
        const int index = manager->GetMaskIndexByNames(i.Section, i.Name);
        if (std::string(i.Name) == "SICONHELP") {
            EXPECT_LT(index, 0);
            continue;
        }
        ASSERT_GE(index, 0) << i.Name;
        const TsMaskData& d = manager->Masks()[size_t(index)];
        EXPECT_EQ(i.States, d.ImageCount) << i.Name;
        EXPECT_EQ(i.FrameW, SkinFrameWidth(d)) << i.Name;
        EXPECT_EQ(i.FrameH, SkinFrameHeight(d)) << i.Name;
    }
    EXPECT_EQ(7, manager->SkinData().BIRight);
    EXPECT_GE(manager->GetMaskIndexByNames("GLOBALINFO", "BICONCLOSEGLOW0"), 0);
    ASSERT_NE(nullptr, manager->MasterBitmap());
    const PixelView v = ViewOf(manager->MasterBitmap());
    auto at = [&](int x, int y) {
        const uint8_t* p = v.At(x, y);
        return win::COLORREF(RGB(p[2], p[1], p[0]));
    };
    EXPECT_EQ(0xFF00FFu, at(0, 0));
    EXPECT_EQ(0xFF00FFu, at(47, 23));  // the second state's bottom-right corner
    EXPECT_EQ(PieceColour(kSynForm, 0, 1), at(10, 0));
    EXPECT_EQ(PieceColour(kSynTitle, 1, 6), at(24, 47));  // the title's bottom stays square
}

const char* const kStates[] = {"normal", "iconic", "maximised"};

// Every style, state and number of menu rows: the provider's client offsets, caption area and
// menu rows are where the platform put the client area and the menu bar.
TEST_F(ProviderMetricsTest, OffsetsAndMenuRowsFollowThePlatformLayout) {
    for (TFormBorderStyle style : {bsSizeable, bsSingle, bsDialog, bsToolWindow, bsNone}) {
        for (TWindowState state : {wsNormal, wsMaximized, wsMinimized}) {
            for (int rows : {0, 1, 3}) {
                TForm* f = MakeForm({.Border = style, .State = state, .MenuRows = rows});
                SCOPED_TRACE(::testing::Message()
                             << StyleName(style) << " " << kStates[state] << " rows " << rows);
                win::HWND w = f->Handle();
                win::RECT wr{};
                win::GetWindowRect(w, &wr);
                win::POINT client{0, 0};
                win::ClientToScreen(w, &client);
                if (state == wsMinimized) {
                    // An iconic window is all frame and caption; its menu bar lies below it
                    // and counts as one row.
                    EXPECT_EQ(wr.bottom - wr.top, provider->CaptionAreaHeight());
                    EXPECT_EQ(rows ? 1 : 0, provider->MenuLineCount());
                } else {
                    EXPECT_EQ(client.x - wr.left, provider->ClientOffsetX());
                    EXPECT_EQ(client.y - wr.top, provider->ClientOffsetY());
                    EXPECT_EQ(client.y - wr.top, provider->CaptionAreaHeight());
                    EXPECT_EQ(rows, provider->MenuLineCount());
                }
                f->Release();
                Pump();
            }
        }
    }
}

int Mask(TsSkinManager* m, const char* name) {
    return m->GetMaskIndexByNames("GLOBALINFO", name);
}

// The caption-button masks, button sizes, caption heights, icon and grip places of the frame,
// one case a row: the skin and form it needs, then what must hold.
TEST_F(ProviderMetricsTest, EdgeCasesOfTheFrameMeasures) {
    const std::set<std::string> kNoButtons = {
        "BICONCLOSE", "BICONMAX", "BICONMIN", "BICONNORM", "BICONHELP", "BICLOSEALONE",
        "SICONCLOSE", "SICONMAX", "SICONMIN", "SICONNORM", "SICONHELP"};
    const int cap = win::GetSystemMetrics(win::SM_CYCAPTION);
    const int smallCap = win::GetSystemMetrics(win::SM_CYSMCAPTION);
    const int frame = win::GetSystemMetrics(win::SM_CXFRAME);
    struct Case {
        const char* what;
        SynthSkin skin;
        FormShape form;
        std::function<void(TsSkinProvider*, TsSkinManager*)> check;
    };
    const Case cases[] = {
        {"no button masks: 21 x 21 system buttons, 16 x 16 MDI buttons",
         {{}, kNoButtons},
         {},
         [](TsSkinProvider* p, TsSkinManager*) {
             EXPECT_EQ(-1, p->ButtonClose.ImageIndex);
             EXPECT_EQ(21, p->SysButtonWidth(p->ButtonClose));
             EXPECT_EQ(21, p->SysButtonHeight());
             EXPECT_EQ(16, p->MDIButtonWidth());
             EXPECT_EQ(16, p->MDIButtonHeight());
         }},
        {"minimise and maximise shown: the large close",
         {},
         {},
         [](TsSkinProvider* p, TsSkinManager* m) {
             EXPECT_EQ(Mask(m, "BICONCLOSE"), p->ButtonClose.ImageIndex);
             EXPECT_EQ(Mask(m, "BICONHELP"), p->ButtonHelp.ImageIndex);
             EXPECT_TRUE(p->ButtonClose.LargeGlyph && p->ButtonMax.LargeGlyph);
             EXPECT_FALSE(p->ButtonHelp.LargeGlyph);
             EXPECT_EQ(18, p->SysButtonWidth(p->ButtonClose));
             EXPECT_EQ(16, p->SysButtonHeight());
             EXPECT_EQ(Mask(m, "TITLEBUTTON"), p->UserButtonMask);
         }},
        {"close alone uses BICLOSEALONE",
         {},
         {.Border = bsSingle, .Icons = {biSystemMenu}},
         [](TsSkinProvider* p, TsSkinManager* m) {
             EXPECT_EQ(Mask(m, "BICLOSEALONE"), p->ButtonClose.ImageIndex);
             EXPECT_EQ(24, p->SysButtonWidth(p->ButtonClose));
         }},
        {"close alone without BICLOSEALONE",
         {{}, {"BICLOSEALONE"}},
         {.Border = bsSingle, .Icons = {biSystemMenu}},
         [](TsSkinProvider* p, TsSkinManager* m) {
             EXPECT_EQ(Mask(m, "BICONCLOSE"), p->ButtonClose.ImageIndex);
         }},
        {"tool window: small set, help from the large one",
         {{}, {"SICONHELP"}},
         {.Border = bsToolWindow},
         [&](TsSkinProvider* p, TsSkinManager* m) {
             EXPECT_EQ(Mask(m, "SICONCLOSE"), p->ButtonClose.ImageIndex);
             EXPECT_EQ(Mask(m, "SICONMAX"), p->ButtonMax.ImageIndex);
             EXPECT_EQ(Mask(m, "BICONHELP"), p->ButtonHelp.ImageIndex);
             EXPECT_FALSE(p->ButtonClose.LargeGlyph);
             EXPECT_EQ(14, p->SysButtonWidth(p->ButtonClose));
             EXPECT_EQ(smallCap, p->CaptionHeight(true));
             p->CaptionRaised = true;
             EXPECT_EQ(smallCap + 4, p->CaptionHeight(true));
         }},
        {"small close missing: every button large",
         {{}, {"SICONCLOSE"}},
         {.Border = bsDialog},
         [](TsSkinProvider* p, TsSkinManager* m) {
             EXPECT_EQ(Mask(m, "BICONCLOSE"), p->ButtonClose.ImageIndex);
             EXPECT_EQ(Mask(m, "BICONMIN"), p->ButtonMin.ImageIndex);
             EXPECT_TRUE(p->ButtonClose.LargeGlyph && p->ButtonHelp.LargeGlyph);
         }},
        {"iconic: a caption without WS_CAPTION",
         {},
         {.Border = bsNone, .State = wsMinimized},
         [&](TsSkinProvider* p, TsSkinManager*) {
             EXPECT_EQ(cap, p->CaptionHeight(true));
             p->CaptionRaised = true;
             EXPECT_EQ(cap + 4, p->CaptionHeight(true));
         }},
        {"no frame: no caption, no icon",
         {},
         {.Border = bsNone},
         [](TsSkinProvider* p, TsSkinManager*) {
             EXPECT_EQ(0, p->CaptionHeight(true));
             EXPECT_FALSE(p->HasBorder());
             EXPECT_EQ(0, p->TitleIconWidth());
         }},
        {"buttons and user buttons take BIRIGHT and BISPACE",
         {{{"BIRIGHT", "5"}, {"BISPACE", "3"}}, {}},
         {},
         [](TsSkinProvider* p, TsSkinManager* m) {
             p->TitleButtons()->Add();
             EXPECT_EQ(5 + 18 + 2 * (18 + 3) + 8 + 20 + 3, p->ButtonsWidth());
             const int title = m->GetMaskIndexByNames("FORMTITLE", "BORDERSMASK");
             EXPECT_EQ(2 * 24 + p->ButtonsWidth(), p->TitleReserveWidth(title));
             EXPECT_EQ(3, p->VisibleSysBtnCount());  // close, maximise, minimise
         }},
        {"dialog: no space between buttons, no icon",
         {{{"BIRIGHT", "5"}, {"BISPACE", "3"}}, {}},
         {.Border = bsDialog, .Icons = {biSystemMenu, biHelp}},
         [](TsSkinProvider* p, TsSkinManager*) {
             EXPECT_EQ(5 + 2 * 14, p->ButtonsWidth());  // close and help
             EXPECT_EQ(0, p->TitleIconWidth());
         }},
        {"icon: a size of 0 or less follows the caption, BILEFT places it",
         {},
         {},
         [&](TsSkinProvider* p, TsSkinManager*) {
             p->TitleIcon()->Width = -3;
             p->TitleIcon()->Height = 10;
             EXPECT_EQ(TitleIconSizeFor(cap), p->TitleIconWidth());
             EXPECT_EQ(10, p->TitleIconHeight());
             p->TitleIcon()->Height = 0;
             const int size = TitleIconSizeFor(cap), top = frame / 2 - 1;
             const int y = top + (frame + cap - top - size) / 2;
             EXPECT_EQ(TRect(frame + 2, y, frame + 2 + size, y + size), p->IconRect());
         }},
        {"grip: sizeable and not maximised, placed by the frame",
         {},
         {},
         [&](TsSkinProvider* p, TsSkinManager* m) {
             EXPECT_FALSE(p->GripVisible());
             p->GripMode = gmRightBottom;
             EXPECT_TRUE(p->GripVisible());
             const TPoint at = p->GripPos(Mask(m, "GRIPIMAGE"));
             EXPECT_EQ(TPoint(p->FormWidth() - 12 - frame - 1, 300 - 12 - frame - 1), at);
         }},
        {"grip: never on a maximised form",
         {},
         {.State = wsMaximized},
         [](TsSkinProvider* p, TsSkinManager*) {
             p->GripMode = gmRightBottom;
             EXPECT_FALSE(p->GripVisible());
         }},
        {"grip: never without a sizing frame",
         {},
         {.Border = bsSingle},
         [](TsSkinProvider* p, TsSkinManager*) {
             p->GripMode = gmRightBottom;
             EXPECT_FALSE(p->GripVisible());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UseSynthetic(c.skin);
        TForm* f = MakeForm(c.form);
        provider->LoadTitleButtonMasks();
        c.check(provider, manager.get());
        f->Release();
        Pump();
    }
}

// The strip behind the caption buttons and the title background are copies of the frame cache,
// clipped to it when the form is narrower than its buttons or has no size at all.
TEST_F(ProviderMetricsTest, SavedCaptionStripsAreClippedCopiesOfTheCache) {
    UseSynthetic();
    for (int width : {400, 40, 0}) {
        SCOPED_TRACE(width);
        TForm* f = MakeForm({.Width = width, .Height = width ? 120 : 0});
        provider->LoadTitleButtonMasks();
        TsCommonData* data = provider->SkinData();
        data->InitCacheBmp();
        TBitmap* cache = data->CacheBmp();
        cache->SetSize(provider->FormWidth(), f->Height());
        const PixelView v = ViewOf(cache);
        auto colour = [](int x, int y) { return uint32_t(x * 3 + y * 1000 + 1); };
        auto pixel = [](const PixelView& pv, int x, int y) {
            const uint8_t* p = pv.At(x, y);
            return uint32_t(p[0] | p[1] << 8 | p[2] << 16);
        };
        for (int y = 0; y < v.Height; ++y)
            for (int x = 0; x < v.Width; ++x) {
                uint8_t* p = v.At(x, y);
                const uint32_t c = colour(x, y);
                p[0] = uint8_t(c), p[1] = uint8_t(c >> 8), p[2] = uint8_t(c >> 16);
            }
        provider->SaveButtonsArea(true);
        provider->SaveTitleBG();
        const int frame = provider->SysBorderWidth(), cap = provider->CaptionHeight(true);
        ASSERT_TRUE(provider->ButtonsAreaBmp && provider->TitleBG);
        TBitmap* strip = provider->ButtonsAreaBmp.get();
        EXPECT_EQ(frame + provider->ButtonsWidth() + 10, strip->Width());
        EXPECT_EQ(2 * frame + cap, strip->Height());
        EXPECT_EQ(cache->Width(), provider->TitleBG->Width());
        EXPECT_EQ(std::min(frame + cap, cache->Height()), provider->TitleBG->Height());
        const int x0 = provider->FormWidth() - strip->Width() - 1;
        const PixelView sv = ViewOf(strip);
        for (int y = 0; y < std::min(sv.Height, v.Height); ++y)
            for (int x = std::max(0, -x0); x < sv.Width && x0 + x < v.Width; ++x)
                ASSERT_EQ(colour(x0 + x, y), pixel(sv, x, y)) << x << "," << y;
        // Painting over the cache and restoring brings the strip back.
        for (int y = 0; y < v.Height; ++y)
            for (int x = 0; x < v.Width; ++x)
                v.At(x, y)[0] ^= 0xFF;
        provider->RestoreButtonsArea();
        for (int y = 0; y < std::min(sv.Height, v.Height); ++y)
            for (int x = std::max(0, -x0); x < sv.Width && x0 + x < v.Width; ++x)
                ASSERT_EQ(colour(x0 + x, y), pixel(v, x0 + x, y)) << x << "," << y;
        f->Release();
        Pump();
    }
}

// The unit routines that need no form.
TEST(ProviderMetricsUnits, IconSizesDesktopManagerAndEmptyWindows) {
    const std::pair<int, int> sizes[] = {{-101, 16}, {-100, 1}, {8, 1}, {9, 8}, {16, 8}, {17, 16}};
    for (auto [caption, size] : sizes)
        EXPECT_EQ(size, TitleIconSizeFor(caption)) << caption;
    EXPECT_FALSE(IsDwmCompositionEnabled());
    int on = 1;
    EXPECT_EQ(int32_t(0x80004001u), CallDwmSetWindowAttribute(nullptr, 3, &on, sizeof on));
    EXPECT_TRUE(IsSingleImageMask(-1, nullptr));
    EXPECT_EQ(0, WndWidth(nullptr) + WndHeight(nullptr) + WndClientWidth(nullptr) +
                     WndClientHeight(nullptr));
    EXPECT_EQ(0, SysBorderWidth(nullptr, nullptr, true));
    EXPECT_FALSE(IsWindowSizeable(nullptr));
}

// The key-colour runs of the synthetic skin's round corners in a w x h window: three rows at
// the top (form and title masks) and three at the bottom, at both ends.
std::set<std::tuple<int, int, int, int>> CornerRuns(int w, int h) {
    std::set<std::tuple<int, int, int, int>> runs;
    for (int row = 0; CornerRun(row) > 0; ++row) {
        for (int y : {row, h - 1 - row}) {
            runs.insert({0, y, CornerRun(row), y + 1});
            runs.insert({w - CornerRun(row), y, w, y + 1});
        }
    }
    return runs;
}

// The region leaves out exactly the round corners' key-colour runs: the screen shows the window
// below there, and a click there reaches it.
TEST_F(ProviderMetricsTest, RegionCutsTheCornersAndShowsWhatLiesBehind) {
    UseSynthetic();
    form->SetBounds(60, 40, 400, 300);
    int belowClicks = 0;
    form->OnMouseDown = TMouseEvent::FromCallable(
        [&](TObject*, TMouseButton, TShiftState, int, int) { ++belowClicks; });
    form->Show();
    Pump();
    TForm* f = MakeForm({.Show = false});
    win::HWND w = f->Handle();
    std::map<std::pair<int, int>, win::COLORREF> behind;
    const auto runs = CornerRuns(400, 300);
    for (auto [l, t, r, b] : runs)
        for (int x = l - 1; x <= r; ++x)
            if (x >= 0 && x < 400) behind[std::pair(x, t)] = WindowPixel(w, x, t);
    f->Show();
    Pump();
    provider->RegionChanged = true;
    provider->UpdateFormRegion(true);
    Pump();

    std::set<std::tuple<int, int, int, int>> cuts;
    for (const TRect& c : provider->RegionCuts)
        cuts.insert({c.Left, c.Top, c.Right, c.Bottom});
    EXPECT_EQ(runs, cuts);
    win::HRGN expected = win::CreateRectRgn(0, 0, 400, 300), run = win::CreateRectRgn(0, 0, 0, 0);
    for (auto [l, t, r, b] : runs) {
        win::SetRectRgn(run, l, t, r, b);
        win::CombineRgn(expected, expected, run, win::RGN_DIFF);
    }
    win::HRGN actual = win::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(0, win::GetWindowRgn(w, actual));
    EXPECT_TRUE(win::EqualRgn(expected, actual));
    for (win::HGDIOBJ o : {expected, run, actual})
        win::DeleteObject(o);

    for (auto [l, t, r, b] : runs) {
        for (int x = l; x < r; ++x)
            EXPECT_EQ(behind[std::pair(x, t)], WindowPixel(w, x, t)) << x << "," << t;
        const int inside = l == 0 ? r : l - 1;  // the frame's first pixel beside the run
        EXPECT_NE(behind[std::pair(inside, t)], WindowPixel(w, inside, t)) << inside << "," << t;
    }
    win::RECT wr{};
    win::GetWindowRect(w, &wr);
    EXPECT_EQ(form->Handle(), win::WindowFromPoint({wr.left, wr.top}));
    EXPECT_EQ(w, win::WindowFromPoint({wr.left + 3, wr.top}));
    // Both press and release are queued: the frame's press runs the platform's move loop.
    QueueClickAt({wr.left + 3, wr.top});
    Pump();
    EXPECT_EQ(0, belowClicks);
    QueueClickAt({wr.left, wr.top});
    Pump();
    EXPECT_EQ(1, belowClicks);
}

// Which forms get which region: none without a frame unless iconic or sizeable, none for a form
// that shapes itself, the inside of a maximised one's frame, the cut rectangle otherwise.
TEST_F(ProviderMetricsTest, RegionPerStyleStateAndOptOut) {
    UseSynthetic();
    enum Expect { kNone, kCut, kInside };
    const struct {
        const char* what;
        FormShape form;
        bool ownRegion;
        Expect expect;
    } cases[] = {
        {"sizeable", {}, false, kCut},
        {"dialog", {.Border = bsDialog}, false, kCut},
        {"no frame", {.Border = bsNone}, false, kNone},
        {"no frame, iconic", {.Border = bsNone, .State = wsMinimized}, false, kCut},
        {"maximised", {.State = wsMaximized}, false, kInside},
        {"shapes itself", {}, true, kNone},
        {"shapes itself, maximised", {.State = wsMaximized}, true, kNone},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FormShape shape = c.form;
        shape.Show = false;
        TForm* f = MakeForm(shape);
        const TWndMethod inner = f->WindowProc;
        if (c.ownRegion) {
            // Put on top of the provider, as a window that keeps its own shape would.
            f->WindowProc = TWndMethod::FromCallable([inner](TMessage& m) {
                if (m.Msg == 0xBC4D && m.WParam == 0x41A2)
                    m.Result = 0x41A2;
                else
                    inner(m);
            });
        }
        f->Show();
        Pump();
        provider->RegionChanged = true;
        provider->UpdateFormRegion(false);
        win::HWND w = f->Handle();
        win::HRGN actual = win::CreateRectRgn(0, 0, 0, 0);
        const bool has = win::GetWindowRgn(w, actual) != 0;
        EXPECT_EQ(c.expect != kNone, has);
        win::RECT box{};
        win::GetRgnBox(actual, &box);
        const int W = WndWidth(w), H = WndHeight(w), fr = provider->SysBorderWidth();
        if (c.expect == kInside) {
            EXPECT_EQ((win::RECT{fr, fr, W - fr, H - fr}), box);
        }
        if (c.expect == kCut) {
            EXPECT_EQ((win::RECT{0, 0, W, H}), box);
            EXPECT_FALSE(win::PtInRegion(actual, 0, 0));
            EXPECT_TRUE(win::PtInRegion(actual, 3, 0));
        }
        win::DeleteObject(actual);
        f->WindowProc = inner;
        f->Release();
        Pump();
    }
}

}  // namespace
}  // namespace skin::testing
