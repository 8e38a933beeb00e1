// The MDI client adapter on a plain child window standing in for the client window (the class
// library makes none), spoken to by the MDI messages' numbers.
#include "skin/windows/dialogs/mdi_form.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/user/user.h"
#include "platform/user/window_class.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_commands.h"
#include "skin/windows/provider/skin_provider.h"
#include "tests/skin/windows/windows_fixture.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin::testing {
namespace {

// The stand-in client answers WM_MDIGETACTIVE with its one child, maximized or not.
win::HWND gActive = nullptr;
bool gMaximized = false;

win::LRESULT StandInProc(win::HWND h, win::UINT m, win::WPARAM w, win::LPARAM l) {
    if (m == WM_MDIGETACTIVE) {
        if (l) *reinterpret_cast<win::BOOL*>(l) = gMaximized ? win::TRUE : win::FALSE;
        return reinterpret_cast<win::LRESULT>(gActive);
    }
    return win::DefWindowProcA(h, m, w, l);
}

class MDIClient : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        win::WNDCLASSA wc{};
        wc.lpfnWndProc = StandInProc;
        wc.lpszClassName = "MDIClientStandIn";
        win::RegisterClassA(&wc);
        provider = vcl::New<TsSkinProvider>(form);
        form->Show();
        Pump();
        client = win::CreateWindowExA(win::WS_EX_CLIENTEDGE, "MDIClientStandIn", "",
                                      win::WS_CHILD | win::WS_VISIBLE | win::WS_HSCROLL, 10, 10,
                                      200, 120, form->Handle(), nullptr, nullptr, nullptr);
        gActive =
            win::CreateWindowExA(0, "Static", "", win::WS_CHILD | win::WS_VISIBLE | win::WS_SYSMENU,
                                 5, 6, 50, 40, client, nullptr, nullptr, nullptr);
        gMaximized = false;
        win::SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = win::SIF_RANGE | win::SIF_PAGE | win::SIF_POS;
        si.nMax = 20;
        si.nPage = 5;
        win::SetScrollInfo(client, win::SB_HORZ, &si, win::FALSE);
        adapter = AttachAdapter<TacMDIWnd>(client, nullptr, manager.get(), "CHECKBOX", true);
        adapter->MDIForm = form;
        adapter->FormSkinData = provider->SkinData();
        adapter->Provider = provider;
        Pump();
    }
    void TearDown() override {
        TacMainWnd* a = adapter;
        FreeAdapter(a);
        gActive = nullptr;
        WindowsTest::TearDown();
    }
    // The client's background as WM_ERASEBKGND paints it over green; its answer in `result`.
    std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> Erase(intptr_t* result) {
        std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> b(vcl::New<vcl::TBitmap>());
        b->SetPixelFormat(vcl::pf24bit);
        b->SetSize(196, 116);
        b->Canvas()->Brush()->SetColor(vcl::clLime);
        b->Canvas()->FillRect(vcl::TRect{0, 0, 196, 116});
        *result = win::SendMessageA(client, win::WM_ERASEBKGND,
                                    reinterpret_cast<win::WPARAM>(b->Canvas()->Handle()), 0);
        return b;
    }
    win::POINT ChildPos() const {
        win::RECT r{};
        win::GetWindowRect(gActive, &r);
        win::POINT p{r.left, r.top};
        win::ScreenToClient(client, &p);
        return p;
    }
    TsSkinProvider* provider = nullptr;
    win::HWND client = nullptr;
    TacMDIWnd* adapter = nullptr;
};

TEST_F(MDIClient, TheBackgroundIsTheFormsUntilAChildIsMaximized) {
    // The internal skin has no "MDIAREA": the client shows the form's colour.
    ASSERT_LT(manager->GetSkinIndex("MDIAREA"), 0);
    ASSERT_FALSE(provider->SkinData()->NeedsParentBG());
    intptr_t result = 0;
    auto shown = Erase(&result);
    EXPECT_EQ(result, 1);
    const vcl::TColor formColour = vcl::TColor(uint32_t(provider->FormColor()) & 0xFFFFFF);
    win::RECT r{};
    win::GetClientRect(client, &r);  // inside the edge, above the bar
    EXPECT_EQ(shown->Canvas()->Pixels(0, 0), formColour);
    EXPECT_EQ(shown->Canvas()->Pixels(r.right - 1, r.bottom - 1), formColour);
    EXPECT_EQ(shown->Canvas()->Pixels(r.right - 1, r.bottom), vcl::clLime);

    // A maximized child covers the client: nothing is painted, the erase is still answered.
    gMaximized = true;
    auto covered = Erase(&result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(covered->Canvas()->Pixels(0, 0), vcl::clLime);
    EXPECT_EQ(win::SendMessageA(client, win::WM_NCPAINT, 1, 0), 1);
    // Restored: painted again.
    gMaximized = false;
    EXPECT_EQ(Erase(&result)->Canvas()->Pixels(10, 10), formColour);
}

TEST_F(MDIClient, TheThumbScrollsOnReleaseByEightPixelsAUnit) {
    // The skinned bar asks before each action: track and release carry their position to us.
    struct Row {
        int code;
        intptr_t answer;
    };
    const Row rows[] = {{win::SB_THUMBPOSITION, 1},
                        {win::SB_THUMBTRACK, 1},
                        {win::SB_LINEDOWN, 0},
                        {win::SB_ENDSCROLL, 0}};
    for (const Row& r : rows) {
        const intptr_t pair = intptr_t(uint16_t(r.code)) | (intptr_t(win::WM_HSCROLL) << 16);
        EXPECT_EQ(win::SendMessageA(client, SM_ALPHACMD,
                                    SkinCommandWParam(SKC_BEFORESCROLL, uint16_t(r.code)), pair),
                  r.answer)
            << "code " << r.code;
    }
    const win::POINT start = ChildPos();
    // Dragging moves nothing; the client answers that it took the track.
    EXPECT_EQ(win::SendMessageA(client, win::WM_HSCROLL, win::MAKEWPARAM(win::SB_THUMBTRACK, 3), 3),
              5);
    EXPECT_EQ(ChildPos().x, start.x);
    // The release scrolls by the units moved and leaves the bar there.
    win::SendMessageA(client, win::WM_HSCROLL, win::MAKEWPARAM(win::SB_THUMBPOSITION, 3), 3);
    EXPECT_EQ(ChildPos().x, start.x - 3 * 8);
    EXPECT_EQ(ChildPos().y, start.y);
    EXPECT_EQ(win::GetScrollPos(client, win::SB_HORZ), 3);
    // Back to 1, and a position beyond the range stops at its end.
    win::SendMessageA(client, win::WM_HSCROLL, win::MAKEWPARAM(win::SB_THUMBPOSITION, 1), 1);
    EXPECT_EQ(ChildPos().x, start.x - 8);
    win::SendMessageA(client, win::WM_HSCROLL, win::MAKEWPARAM(win::SB_THUMBPOSITION, 0), 500);
    EXPECT_EQ(ChildPos().x, start.x - 16 * 8) << "the last position a page of 5 leaves";
}

win::POINT gMenuAt{-1, -1};

win::LRESULT MenuHook(int code, win::WPARAM wp, win::LPARAM lp) {
    const auto* cw = reinterpret_cast<win::CBT_CREATEWNDA*>(lp);
    if (code == win::HCBT_CREATEWND && cw->lpcs &&
        reinterpret_cast<uintptr_t>(cw->lpcs->lpszClass) == 0x8000) {
        gMenuAt = {cw->lpcs->x, cw->lpcs->y};
        // The minimised window has no keyboard: a click away closes the menu.
        win::QueueMouseEvent({win::MouseEvent::Down, {1, 1}, win::MouseButton::Left});
        win::QueueMouseEvent({win::MouseEvent::Up, {1, 1}, win::MouseButton::Left});
    }
    return win::CallNextHookEx(nullptr, code, wp, lp);
}

// A click let go on a minimised window of the MDI form drops its system menu at the cursor.
TEST_F(MDIClient, AnIconicWindowsSystemMenuDropsAtTheCursor) {
    MDISkinProvider = provider;
    win::ShowWindow(form->Handle(), win::SW_MINIMIZE);
    Pump();
    ASSERT_TRUE(win::IsIconic(form->Handle()));
    win::HHOOK hook = win::SetWindowsHookExA(win::WH_CBT, MenuHook, nullptr, 0);
    win::SetCursorPos(300, 200);
    win::SendMessageA(form->Handle(), win::WM_NCLBUTTONUP, win::HTCAPTION,
                      win::MAKELPARAM(300, 200));
    win::UnhookWindowsHookEx(hook);
    MDISkinProvider = nullptr;
    EXPECT_EQ(gMenuAt.x, 300);
    EXPECT_EQ(gMenuAt.y, 200);
}

TEST_F(MDIClient, TileAndMenuChangesRepaintTheProvidersFrame) {
    provider->SkinData()->CacheStale = false;
    provider->HotHitCode = win::HTCLOSE;
    win::SendMessageA(client, WM_MDITILE, 0, 0);
    EXPECT_TRUE(provider->SkinData()->CacheStale);
    EXPECT_EQ(provider->HotHitCode, -1);
    // The form is no MDI parent: the child keeps its system menu.
    EXPECT_NE(win::GetWindowLongA(gActive, win::GWL_STYLE) & long(win::WS_SYSMENU), 0);

    // A menu change marks the main provider's frame and menu line.
    MDISkinProvider = provider;
    provider->SkinData()->CacheStale = false;
    provider->MenuLineChanged = false;
    win::SendMessageA(client, WM_MDISETMENU, 0, 0);
    EXPECT_TRUE(provider->SkinData()->CacheStale);
    EXPECT_TRUE(provider->MenuLineChanged);
    MDISkinProvider = nullptr;
}

TEST_F(MDIClient, TheFormObjectConnectsNothingWithoutAClientWindow) {
    TsMDIForm mdi(provider);
    EXPECT_EQ(mdi.Form, form);
    mdi.ConnectIfNeeded();
    EXPECT_EQ(mdi.Adapter, nullptr);
    EXPECT_EQ(FindWindowAdapter(client), adapter) << "the stand-in keeps its own adapter";
}

}  // namespace
}  // namespace skin::testing
