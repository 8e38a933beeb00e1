// Extended borders: the layered border window's place, region and hit zones around a skinned
// form, clicks in its shadow reaching the window behind, caption double clicks, following the
// form, the shadow's exact blend on the screen, and freeing it inside its own message.
#include <gtest/gtest.h>

#include <random>

#include "platform/gdi/gdi.h"
#include "platform/gdi/region.h"
#include "platform/user/user.h"
#include "platform/user/window_region.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/library_startup.h"
#include "skin/windows/effects/border_form.h"
#include "skin/windows/provider/provider_startup.h"
#include "tests/skin/windows/provider_fixture.h"

namespace skin::testing {
namespace {

using vcl::TRect;

class BorderFormTest : public ProviderTest {
protected:
    void SetUp() override {
        ProviderTest::SetUp();
        InitSkinLibrary();  // the built-in shadow pictures
        InitBorderForms();
        manager->SetExtendedBorders(true);
        ASSERT_TRUE(manager->ExtendedBorders());
    }
    void TearDown() override {
        BorderFormCreation() = nullptr;
        ProviderTest::TearDown();
        FinalizeSkinLibrary();
    }
    vcl::TForm* Make(FormShape shape = {}) {
        vcl::TForm* f = MakeForm(shape);
        border = dynamic_cast<TacBorderForm*>(provider->BorderForm());
        EXPECT_NE(border, nullptr);
        return f;
    }
    static win::RECT RectOf(win::HWND w) {
        win::RECT r{};
        win::GetWindowRect(w, &r);
        return r;
    }
    // The border window's hit code at a point of its own.
    int HitAt(int x, int y) {
        const win::RECT r = RectOf(border->Handle());
        vcl::TMessage m{};
        m.Msg = win::WM_NCHITTEST;
        m.LParam = win::MAKELPARAM(r.left + x, r.top + y);
        return border->HitTest(m);
    }
    bool InRegion(int x, int y) {
        win::HRGN rgn = win::CreateRectRgn(0, 0, 0, 0);
        const bool in = win::GetWindowRgn(border->Handle(), rgn) != 0 && win::PtInRegion(rgn, x, y);
        win::DeleteObject(rgn);
        return in;
    }
    win::HBITMAP Picture() {
        win::LayeredLook look;
        win::GetLayeredLook(border->Handle(), &look);
        return look.picture;
    }
    TRect Margins() const { return manager->ShadowMargins; }
    TacBorderForm* border = nullptr;
};

TEST_F(BorderFormTest, LiesAroundTheFormWithItsCacheAsPicture) {
    vcl::TForm* f = Make();
    const win::RECT o = RectOf(f->Handle()), b = RectOf(border->Handle());
    const TRect m = Margins();
    EXPECT_GT(m.Left, 0);
    EXPECT_EQ(b.left, o.left - border->OffsetX());
    EXPECT_EQ(b.top, o.top - border->OffsetY());
    vcl::TBitmap* cache = provider->SkinData()->CacheBmp();
    EXPECT_EQ(b.right - b.left, cache->Width());
    EXPECT_EQ(b.bottom - b.top, cache->Height());
    EXPECT_TRUE(win::IsWindowVisible(border->Handle()));
    // The client area is cut out of the border window's shape: it stays the form's.
    const int cx = provider->ClientOffsetX(), cy = provider->ClientOffsetY();
    EXPECT_TRUE(InRegion(2, 2));
    EXPECT_TRUE(InRegion(cx + 5, cy - 3));
    EXPECT_FALSE(InRegion(cx + 5, cy + 5));
    const win::POINT inClient{b.left + cx + 20, b.top + cy + 20};
    EXPECT_EQ(win::WindowFromPoint(inClient), f->Handle());
}

TEST_F(BorderFormTest, MaximisedRegionStartsFourBelowTheTopMarginAndIsCutAtTheBottom) {
    vcl::TForm* f = Make();
    f->SetWindowState(vcl::wsMaximized);
    Pump();
    ASSERT_TRUE(win::IsZoomed(f->Handle()));
    const TRect m = Margins();
    const int edge = provider->SysBorderWidth();
    EXPECT_FALSE(InRegion(m.Left + edge + 10, m.Top + 3));
    EXPECT_TRUE(InRegion(m.Left + edge + 10, m.Top + 4));
    EXPECT_FALSE(InRegion(m.Left + edge - 1, m.Top + 10));
    const win::RECT o = RectOf(f->Handle()), b = RectOf(border->Handle());
    EXPECT_LE(b.bottom, o.bottom);
    EXPECT_LT(b.bottom - b.top, provider->SkinData()->CacheBmp()->Height());
}

TEST_F(BorderFormTest, AMaximisedFormRaisesALowSkinCaption) {
    for (const char* title : {"18", "30"}) {
        SCOPED_TRACE(title);
        SynthSkin skin;
        skin.Global = {{"TITLEHEIGHT", title}};
        UseSynthetic(skin);
        vcl::TForm* f = Make({.State = vcl::wsMaximized});
        const bool low = std::string(title) == "18";
        EXPECT_EQ(provider->CaptionRaised, low);
        EXPECT_EQ(provider->CaptionHeight(true),
                  low ? win::GetSystemMetrics(win::SM_CYCAPTION) + 4 : 30);
        f->SetWindowState(vcl::wsNormal);
        Pump();
        EXPECT_FALSE(provider->CaptionRaised);
        f->Free();
        Pump();
    }
}

TEST_F(BorderFormTest, HitZonesAreInclusiveRanges) {
    vcl::TForm* form = Make({.MenuRows = 1});
    // The form's own window shows its menu row above the client, first row to last.
    win::POINT client{0, 0};
    win::ClientToScreen(form->Handle(), &client);
    for (int dy : {1, provider->MenuHeight()}) {
        EXPECT_EQ(win::SendMessageA(form->Handle(), win::WM_NCHITTEST, 0,
                                    win::MAKELPARAM(client.x + 30, client.y - dy)),
                  win::HTMENU);
    }
    const win::RECT b = RectOf(border->Handle());
    const int w = b.right - b.left, h = b.bottom - b.top;
    const TRect m = Margins();
    const int f = win::GetSystemMetrics(win::SM_CXFRAME);
    const int midX = w / 2, midY = h / 2;
    struct Case {
        const char* what;
        int x, y, code;
    } cases[] = {
        {"top edge, first row", midX, m.Top, win::HTTOP},
        {"top edge, last row", midX, m.Top + f, win::HTTOP},
        {"below the top edge", midX, m.Top + f + 1, win::HTCAPTION},
        {"bottom edge, first row", midX, h - f - m.Bottom, win::HTBOTTOM},
        {"bottom edge, last row", midX, h - m.Bottom, win::HTBOTTOM},
        {"left edge", m.Left, midY, win::HTLEFT},
        {"left edge, inner column", m.Left + f, midY, win::HTLEFT},
        {"right edge", w - m.Right, midY, win::HTRIGHT},
        {"right edge, inner column", w - f - m.Right, midY, win::HTRIGHT},
        {"top-left", m.Left, m.Top, win::HTTOPLEFT},
        {"top-right", w - m.Right, m.Top + f, win::HTTOPRIGHT},
        {"bottom-left", m.Left + f, h - m.Bottom, win::HTBOTTOMLEFT},
        {"bottom-right", w - m.Right, h - m.Bottom, win::HTBOTTOMRIGHT},
        {"side frame beside the client", m.Left + f + 1, midY, win::HTTRANSPARENT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(HitAt(c.x, c.y), c.code);
    }
    const TRect close = provider->ButtonClose.Rect;
    EXPECT_EQ(HitAt(close.Left + 2, close.Top + 2), win::HTCLOSE);
    EXPECT_EQ(provider->HotHitCode, win::HTCLOSE);
    const TRect icon = provider->IconRect();
    if (!icon.IsEmpty()) {
        EXPECT_EQ(HitAt(icon.Left + 1, icon.Top + 1), win::HTSYSMENU);
    }
}

TEST_F(BorderFormTest, ClickInTheShadowReachesTheWindowBehindAndClearsTheHotButton) {
    // A plain window behind the form's left shadow.
    vcl::TForm* behind = nullptr;
    vcl::Application()->CreateForm(behind);
    behind->SetBorderStyle(vcl::bsNone);
    behind->SetBounds(0, 0, 300, 500);
    int downs = 0;
    vcl::TPoint at{};
    behind->OnMouseDown = vcl::TMouseEvent::FromCallable(
        [&](vcl::TObject*, vcl::TMouseButton, vcl::TShiftState, int x, int y) {
            ++downs;
            at = {x, y};
        });
    behind->Show();
    Pump();
    vcl::TForm* f = Make();
    win::SetWindowPos(f->Handle(), win::HWND_TOP, 0, 0, 0, 0, win::SWP_NOMOVE | win::SWP_NOSIZE);
    Pump();
    const win::RECT b = RectOf(border->Handle());
    const TRect close = provider->ButtonClose.Rect;
    const win::POINT onClose{b.left + close.Left + 2, b.top + close.Top + 2};
    QueueMove(onClose.x, onClose.y);
    Pump();
    ASSERT_EQ(provider->HotHitCode, win::HTCLOSE);

    const win::POINT shadow{b.left + 2, b.top + 60};
    Click(shadow);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(at.X, shadow.x);
    EXPECT_TRUE(provider->HotHitCode == 0 || provider->HotHitCode == -1);

    // A mouse message that still reaches the border window in its margin is passed on, in the
    // target's own client coordinates.
    win::SendMessageA(border->Handle(), win::WM_LBUTTONDOWN, win::MK_LBUTTON,
                      win::MAKELPARAM(3, 70));
    EXPECT_EQ(downs, 2);
    EXPECT_EQ(at.X, b.left + 3);
    EXPECT_EQ(at.Y, b.top + 70);
    behind->Free();
}

TEST_F(BorderFormTest, TheBordersCloseButtonClosesTheForm) {
    vcl::TForm* f = Make();
    const win::RECT b = RectOf(border->Handle());
    const TRect close = provider->ButtonClose.Rect;
    bool closed = false;
    f->OnClose = vcl::TCloseEvent::FromCallable(
        [&](vcl::TObject*, vcl::TCloseAction& action) { closed = true, action = vcl::caHide; });
    Click({b.left + close.Left + close.Width() / 2, b.top + close.Top + close.Height() / 2});
    EXPECT_TRUE(closed);
    EXPECT_FALSE(f->Visible());
    EXPECT_FALSE(win::IsWindowVisible(border->Handle()));
}

TEST_F(BorderFormTest, MarginPointsOfClientAndNonClientMessages) {
    Make();
    const win::RECT b = RectOf(border->Handle());
    const TRect m = Margins();
    vcl::TMessage client{}, nonClient{};
    client.Msg = win::WM_LBUTTONUP;
    nonClient.Msg = win::WM_NCHITTEST;
    // The same place inside the frame, in the window's own and in screen coordinates.
    client.LParam = win::MAKELPARAM(m.Left + 1, m.Top + 40);
    nonClient.LParam = win::MAKELPARAM(b.left + m.Left + 1, b.top + m.Top + 40);
    EXPECT_FALSE(border->PtInMargin(client));
    EXPECT_FALSE(border->PtInMargin(nonClient));
    client.LParam = win::MAKELPARAM(m.Left - 1, m.Top + 40);
    nonClient.LParam = win::MAKELPARAM(b.left + m.Left - 1, b.top + m.Top + 40);
    EXPECT_TRUE(border->PtInMargin(client));
    EXPECT_TRUE(border->PtInMargin(nonClient));
    EXPECT_EQ(win::SendMessageA(border->Handle(), win::WM_NCHITTEST, 0, nonClient.LParam),
              win::HTTRANSPARENT);
}

TEST_F(BorderFormTest, DoubleClickOnTheCaptionMaximisesAndRestores) {
    vcl::TForm* f = Make();
    auto dblClick = [&] {
        const win::RECT b = RectOf(border->Handle());
        const TRect m = Margins();
        const win::LPARAM p = win::MAKELPARAM(b.left + (b.right - b.left) / 2, b.top + m.Top + 8);
        win::SendMessageA(border->Handle(), win::WM_NCLBUTTONDBLCLK, win::HTCAPTION, p);
        Pump();
    };
    dblClick();
    EXPECT_TRUE(win::IsZoomed(f->Handle()));
    dblClick();
    EXPECT_FALSE(win::IsZoomed(f->Handle()));
    // A form that cannot be maximised stays as it is.
    f->SetBorderIcons({vcl::biSystemMenu, vcl::biMinimize});
    Pump();
    dblClick();
    EXPECT_FALSE(win::IsZoomed(f->Handle()));
}

TEST_F(BorderFormTest, FollowsMoveSizeMinimiseMaximiseAndTopmost) {
    vcl::TForm* f = Make();
    auto placed = [&](const char* what) {
        SCOPED_TRACE(what);
        const win::RECT o = RectOf(f->Handle()), b = RectOf(border->Handle());
        EXPECT_EQ(b.left, o.left - border->OffsetX());
        EXPECT_EQ(b.top, o.top - border->OffsetY());
    };
    f->SetBounds(150, 120, 400, 300);
    Pump();
    placed("moved");
    f->SetBounds(150, 120, 520, 360);
    Pump();
    placed("sized");
    EXPECT_EQ(RectOf(border->Handle()).right - RectOf(border->Handle()).left,
              provider->SkinData()->CacheBmp()->Width());
    f->SetWindowState(vcl::wsMaximized);
    Pump();
    placed("maximised");
    f->SetWindowState(vcl::wsNormal);
    Pump();
    placed("restored");
    f->SetFormStyle(vcl::fsStayOnTop);
    Pump();
    EXPECT_TRUE(win::GetWindowLongPtrA(border->Handle(), win::GWL_EXSTYLE) & win::WS_EX_TOPMOST);
    f->SetWindowState(vcl::wsMinimized);
    Pump();
    ASSERT_TRUE(win::IsIconic(f->Handle()));
    // The minimised caption keeps its border.
    EXPECT_TRUE(win::IsWindowVisible(border->Handle()));
    placed("minimised");
    f->Hide();
    Pump();
    EXPECT_FALSE(provider->BorderForm() && win::IsWindowVisible(provider->BorderForm()->Handle()));
}

TEST_F(BorderFormTest, ShadowPixelIsTheExactBlendOverTheDesktop) {
    vcl::TForm* desk = nullptr;
    vcl::Application()->CreateForm(desk);
    desk->SetBorderStyle(vcl::bsNone);
    desk->SetColor(vcl::TColor(0x3080C0));
    desk->SetBounds(0, 0, 600, 500);
    desk->Show();
    Pump();
    vcl::TForm* f = Make();
    win::SetWindowPos(f->Handle(), win::HWND_TOP, 0, 0, 0, 0, win::SWP_NOMOVE | win::SWP_NOSIZE);
    Pump();
    vcl::TBitmap* picture = manager->ShadowActive();
    ASSERT_NE(picture, nullptr);
    const PixelView src = ViewOf(picture);
    const TRect m = Margins();
    // In the top-left corner of the nine-slice the picture maps one to one.
    for (const auto& [x, y] :
         {std::pair{m.Left - 1, m.Top - 1}, std::pair{m.Left - 3, m.Top - 2}}) {
        SCOPED_TRACE(x * 1000 + y);
        const uint8_t* s = src.At(x, y);
        const uint32_t a = s[3];
        const uint32_t deskRGB[3] = {0x30, 0x80, 0xC0};  // blue, green, red bytes
        uint8_t expect[3];
        for (int c = 0; c < 3; ++c) {
            const uint32_t premul = (s[c] * a + 127) / 255;
            uint32_t v = deskRGB[c] * (255 - a) + 128;
            v = (v + (v >> 8)) >> 8;
            expect[c] = uint8_t(std::min<uint32_t>(255, premul + v));
        }
        EXPECT_GT(a, 0u);
        EXPECT_EQ(WindowPixel(border->Handle(), x, y), RGB(expect[2], expect[1], expect[0]));
    }
    desk->Free();
}

TEST_F(BorderFormTest, FreedInsideItsOwnMessageIsHiddenAtOnceAndGoesAfterIt) {
    Make();
    const win::HWND w = border->Handle();
    bool freed = false;
    provider->OnExtHitTest = [&](vcl::TMessage& m) {
        provider->UpdateBorderForm(false);
        freed = provider->BorderForm() == nullptr;
        m.Result = win::HTCAPTION;
    };
    const win::RECT b = RectOf(w);
    win::SendMessageA(w, win::WM_NCRBUTTONDOWN, 0, win::MAKELPARAM(b.left + 60, b.top + 20));
    EXPECT_TRUE(freed);
    EXPECT_TRUE(win::IsWindow(w));
    EXPECT_FALSE(win::IsWindowVisible(w));
    provider->OnExtHitTest = nullptr;
    Pump();
    EXPECT_FALSE(win::IsWindow(w));
}

TEST_F(BorderFormTest, MovingWithAFreshCacheKeepsThePicture) {
    vcl::TForm* f = Make();
    Pump();
    const win::HBITMAP before = Picture();
    ASSERT_NE(before, nullptr);
    f->SetBounds(f->Left() + 30, f->Top() + 10, f->Width(), f->Height());
    Pump();
    EXPECT_EQ(Picture(), before);
    f->SetBounds(f->Left(), f->Top(), f->Width() + 40, f->Height());
    Pump();
    EXPECT_NE(Picture(), before);
    // The provider asks for a repaint when its look changes.
    const win::HBITMAP sized = Picture();
    provider->RedrawCaption();
    EXPECT_NE(Picture(), sized);
}

TEST_F(BorderFormTest, RandomShapesAndPointsNeverFault) {
    std::mt19937 rng(30);
    const vcl::TFormBorderStyle styles[] = {vcl::bsSizeable,   vcl::bsSingle,      vcl::bsDialog,
                                            vcl::bsToolWindow, vcl::bsSizeToolWin, vcl::bsNone};
    const vcl::TWindowState states[] = {vcl::wsNormal, vcl::wsMaximized, vcl::wsMinimized};
    // Show and hide animations of huge forms only take time here.
    manager->AnimEffects()->FormShow.Active = false;
    manager->AnimEffects()->FormHide.Active = false;
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE(round);
        FormShape shape;
        shape.Border = styles[rng() % std::size(styles)];
        shape.State = states[rng() % std::size(states)];
        // The extremes first (the largest as it is, not maximised), then anything between.
        if (round == 1) shape.State = vcl::wsNormal;
        shape.Width = round == 0 ? 0 : round == 1 ? 4000 : int(rng() % 1601);
        shape.Height = round == 0 ? 0 : round == 1 ? 3000 : int(rng() % 1201);
        // Menu rows on the smaller ones only: every item added repaints the whole frame.
        shape.MenuRows =
            shape.Width >= 300 && shape.Width * shape.Height < 1500000 ? int(rng() % 3) : 0;
        vcl::TForm* f = MakeForm(shape);
        auto* b = dynamic_cast<TacBorderForm*>(provider->BorderForm());
        // A frameless form gets no border window.
        EXPECT_EQ(b == nullptr, shape.Border == vcl::bsNone);
        if (b && b->Handle()) {
            if (win::HRGN rgn = b->MakeRgn()) win::DeleteObject(rgn);
            const win::RECT r = RectOf(b->Handle());
            for (int k = 0; k < 20; ++k) {
                vcl::TMessage m{};
                m.Msg = win::WM_NCHITTEST;
                m.LParam =
                    win::MAKELPARAM(r.left + int(rng() % 600) - 50, r.top + int(rng() % 400) - 50);
                b->HitTest(m);
                win::SendMessageA(b->Handle(), win::WM_NCHITTEST, 0, m.LParam);
                win::SendMessageA(b->Handle(), win::WM_MOUSEMOVE, 0, win::MAKELPARAM(k * 7, k * 3));
            }
            b->UpdateExBordersPos(rng() % 2 == 0, uint8_t(rng() % 256));
        }
        f->Free();
        Pump();
    }
}

}  // namespace
}  // namespace skin::testing
