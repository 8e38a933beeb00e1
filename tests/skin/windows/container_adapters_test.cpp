// The group box and panel adapters: native group boxes and class-library panels on a form.
#include "skin/windows/adapters/container_adapters.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "platform/controls/standard_controls.h"
#include "platform/gdi/sys_colors.h"
#include "platform/controls/status_bar_control.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_commands.h"
#include "skin/windows/adapters/status_bar_adapter.h"
#include "skin/windows/adapters/tab_adapters.h"
#include "skin/windows/adapters/tool_bar_adapter.h"
#include "skin/windows/walk/container_factories.h"
#include "skin/windows/walk/control_adapter.h"
#include "tests/skin/windows/fake_bar_windows.h"
#include "tests/skin/windows/windows_fixture.h"
#include "vcl/controls/ext_ctrls.h"
#include "vcl/controls/status_bar.h"
#include "vcl/controls/std_ctrls.h"

namespace skin::testing {
namespace {

using ContainerAdaptersTest = WindowsTest;

TEST_F(ContainerAdaptersTest, PanelSectionFollowsItsBevels) {
    struct Row {
        vcl::TBevelCut outer, inner;
        vcl::TBorderStyle border;
        const char* section;
    };
    const Row rows[] = {
        {vcl::bvLowered, vcl::bvRaised, vcl::bsNone, "GROUPBOX"},
        {vcl::bvLowered, vcl::bvNone, vcl::bsNone, "PANEL_LOW"},
        {vcl::bvLowered, vcl::bvLowered, vcl::bsNone, "PANEL_LOW"},
        {vcl::bvRaised, vcl::bvLowered, vcl::bsNone, "GROUPBOX"},
        {vcl::bvRaised, vcl::bvRaised, vcl::bsNone, "PANEL"},
        {vcl::bvNone, vcl::bvRaised, vcl::bsNone, "CHECKBOX"},
        {vcl::bvSpace, vcl::bvNone, vcl::bsNone, "CHECKBOX"},
        {vcl::bvNone, vcl::bvNone, vcl::bsSingle, "PANEL_LOW"},
    };
    for (const Row& row : rows) {
        auto* panel = Place<vcl::TPanel>(form, vcl::TRect{10, 10, 110, 60});
        panel->SetBevelOuter(row.outer);
        panel->SetBevelInner(row.inner);
        panel->SetBorderStyle(row.border);
        panel->HandleNeeded();
        TsCommonData data(panel, true);
        TacMainWnd* a = AttachAdapter<TacPanelWnd>(panel->Handle(), &data, nullptr, "");
        EXPECT_EQ(data.SkinSection(), row.section) << int(row.outer) << int(row.inner);
        FreeAdapter(a);
        delete panel;
    }
    // A section the caller names stands.
    auto* panel = Place<vcl::TPanel>(form, vcl::TRect{10, 10, 110, 60});
    panel->HandleNeeded();
    TsCommonData data(panel, true);
    data.SetSkinSection("BAR");
    TacMainWnd* a = AttachAdapter<TacPanelWnd>(panel->Handle(), &data, nullptr, "BAR");
    EXPECT_EQ(data.SkinSection(), "BAR");
    FreeAdapter(a);
    delete panel;
}

TEST_F(ContainerAdaptersTest, PanelCaptionChangeRepaintsWithoutTheClassLook) {
    auto* panel = Place<vcl::TPanel>(form, vcl::TRect{10, 10, 210, 110});
    panel->SetCaption("Tools");
    form->Show();
    Pump();
    TsCommonData data(panel, true);
    TacMainWnd* a = AttachAdapter<TacPanelWnd>(panel->Handle(), &data, nullptr, "");
    win::UpdateWindow(panel->Handle());
    win::InvalidateRect(panel->Handle(), nullptr, true);
    Pump();
    const win::COLORREF before = WindowPixel(panel->Handle(), 100, 20);
    panel->SetCaption("A new caption");
    // Painted at once from a fresh cache: the screen shows the cache, caption included.
    EXPECT_EQ(a->Caption, "A new caption");
    EXPECT_FALSE(data.CacheStale);
    auto cachePixel = [&](int x, int y) {
        return win::COLORREF(data.CacheBmp()->Canvas()->Pixels(x, y)) & 0xFFFFFF;
    };
    EXPECT_EQ(WindowPixel(panel->Handle(), 100, 20), cachePixel(100, 20));
    EXPECT_EQ(WindowPixel(panel->Handle(), 100, 20), before);
    bool text = false;
    for (int x = 40; x < 160; ++x) text |= WindowPixel(panel->Handle(), x, 50) != cachePixel(2, 50);
    EXPECT_TRUE(text);
    FreeAdapter(a);
}

TEST_F(ContainerAdaptersTest, GroupBoxCaptionGapAndRightToLeftReading) {
    form->Show();
    Pump();
    struct Row {
        uint32_t exStyle;
        bool gapAtLeft;
    };
    for (const Row row : {Row{0, true}, Row{win::WS_EX_RTLREADING, false}}) {
        win::HWND box = win::CreateWindowExA(row.exStyle, "Button", "Settings",
                                             win::WS_CHILD | win::WS_VISIBLE | win::BS_GROUPBOX, 10,
                                             10, 200, 100, form->Handle(), nullptr, nullptr,
                                             nullptr);
        auto* a = AttachAdapter<TacGroupBoxWnd>(box, nullptr, nullptr, "");
        // Painted by its WM_PAINT: invalidated and updated, then read from the screen.
        win::InvalidateRect(box, nullptr, true);
        win::UpdateWindow(box);
        Pump();
        const int capHeight = int(Command(box, SKC_GETCAPTIONHEIGHT));
        ASSERT_GT(capHeight, 4);
        const win::COLORREF parent = WindowPixel(box, 100, 0);
        // The strip above the frame shows the parent, and so does the caption's gap in the
        // frame line, at the left or, reading right to left, at the right.
        EXPECT_EQ(WindowPixel(box, 1, 1), parent);
        EXPECT_EQ(WindowPixel(box, 198, 1), parent);
        const int line = capHeight / 2;
        int gapLeft = 0, gapRight = 0;
        for (int x = 8; x < 20; ++x) gapLeft += WindowPixel(box, x, line) == parent;
        for (int x = 180; x < 192; ++x) gapRight += WindowPixel(box, x, line) == parent;
        EXPECT_EQ(gapLeft > 0, row.gapAtLeft);
        EXPECT_EQ(gapRight > 0, !row.gapAtLeft);
        EXPECT_NE(WindowPixel(box, 100, 60), win::GetSysColor(win::COLOR_BTNFACE) & 0xFFFFFF);
        TacMainWnd* m = a;
        FreeAdapter(m);
        win::DestroyWindow(box);
    }
}


TEST_F(ContainerAdaptersTest, DialogPanelsChooseTheirSectionAndSeeThroughPanelsShowTheParent) {
    form->Show();
    Pump();
    // A class-library panel takes the skin's global colour and "CHECKBOX"; any other window is
    // a group frame, whatever section it was offered.
    auto* panel = Place<vcl::TPanel>(form, vcl::TRect{10, 10, 110, 60});
    panel->SetColor(vcl::clRed);
    panel->HandleNeeded();
    auto* onPanel = AttachAdapter<TacDlgPanelWnd>(panel->Handle(), nullptr, nullptr, "PANEL");
    EXPECT_EQ(onPanel->SkinData->SkinSection(), "CHECKBOX");
    EXPECT_EQ(panel->Color(), vcl::TColor(manager->GetGlobalColor()));
    win::HWND plain = win::CreateWindowExA(0, "Static", "", win::WS_CHILD | win::WS_VISIBLE, 120,
                                           10, 100, 50, form->Handle(), nullptr, nullptr, nullptr);
    auto* onPlain = AttachAdapter<TacDlgPanelWnd>(plain, nullptr, nullptr, "PANEL");
    EXPECT_EQ(onPlain->SkinData->SkinSection(), "GROUPBOX");
    EXPECT_EQ(onPlain->Control, nullptr);

    // A window that paints nothing itself, as a nested dialog, over a colour of its own.
    form->SetColor(vcl::TColor(0x3080C0));
    win::WNDCLASSEXA wc;
    wc.lpfnWndProc = &win::DefWindowProcA;
    wc.lpszClassName = "NestedDialogStandIn";
    win::RegisterClassExA(&wc);
    win::HWND see = win::CreateWindowExA(0, "NestedDialogStandIn", "", win::WS_CHILD | win::WS_VISIBLE, 20,
                                         100, 120, 60, form->Handle(), nullptr, nullptr, nullptr);
    TacMainWnd* through = AttachAdapter<TacTransPanelWnd>(see, nullptr, nullptr, "CHECKBOX");
    win::InvalidateRect(see, nullptr, true);
    win::UpdateWindow(see);
    Pump();
    // What the parent answers it shows behind it: here, a form without a skin of its own, the
    // skin's fallback colour where the bare window would leave the form's colour.
    CacheInfo behind;
    PixelView view;
    GetParentBGInfoByHandle(see, behind, view);
    ASSERT_FALSE(behind.Ready);
    ASSERT_NE(behind.FillColor, 0x3080C0u);
    for (auto [x, y] : {std::pair{0, 0}, std::pair{60, 30}, std::pair{119, 59}})
        EXPECT_EQ(WindowPixel(see, x, y), behind.FillColor) << x << "," << y;
    TacMainWnd* a = onPanel;
    FreeAdapter(a);
    a = onPlain;
    FreeAdapter(a);
    FreeAdapter(through);
    delete panel;
}

TEST_F(ContainerAdaptersTest, WalkRowsMakeTheContainerAdapters) {
    RegisterContainerAdapters();
    struct Row {
        int group;
        const char* listed;
        std::function<vcl::TWinControl*()> make;
        std::function<bool(TacMainWnd*)> made;
    };
    auto panel = [&] { return Place<vcl::TPanel>(form, vcl::TRect{5, 5, 150, 90}); };
    const Row rows[] = {
        {tgGroupBoxes, "TGroupBox", [&] { return Place<vcl::TGroupBox>(form, vcl::TRect{5, 5, 150, 90}); },
         [](TacMainWnd* a) { return dynamic_cast<TacGroupBoxWnd*>(a) != nullptr; }},
        {tgPanels, "TPanel", panel,
         [](TacMainWnd* a) { return dynamic_cast<TacPanelWnd*>(a) != nullptr; }},
        {tgPageControl, "TPanel", panel,
         [](TacMainWnd* a) { return dynamic_cast<TacPageControlWnd*>(a) != nullptr; }},
        {tgTabControl, "TPanel", panel,
         [](TacMainWnd* a) {
             return dynamic_cast<TacTabControlWnd*>(a) && !dynamic_cast<TacPageControlWnd*>(a);
         }},
        {tgStatusBar, "TStatusBar", [&] { return Place<vcl::TStatusBar>(form, vcl::TRect{0, 0, 200, 20}); },
         [](TacMainWnd* a) { return dynamic_cast<TacStatusBarWnd*>(a) != nullptr; }},
        {tgToolBar, "TPanel", panel, [](TacMainWnd* a) { return a == nullptr; }},
    };
    for (const Row& row : rows) {
        for (int g = 0; g < tgCount; ++g) manager->ThirdParty()->SetString(g, " ");
        manager->ThirdParty()->SetString(row.group, row.listed);
        manager->UpdateThirdNames(false);
        vcl::TWinControl* c = row.make();
        c->HandleNeeded();
        {
            TacAdapterItem item(nullptr);
            item.AttachAdapter(c);
            EXPECT_TRUE(row.made(item.ScrollWnd)) << row.group;
        }
        EXPECT_EQ(FindWindowAdapter(c->Handle()), nullptr);
        delete c;
    }
}

// Windows of every kind here with random sizes, captions and tables, painted, told skin
// commands and destroyed in random orders with their adapters and the skin.
TEST_F(ContainerAdaptersTest, RandomContainersBarsAndTabsSurviveAnyOrder) {
    form->Show();
    Pump();
    struct Made {
        win::HWND wnd = nullptr;
        TacMainWnd* adapter = nullptr;
        vcl::TWinControl* control = nullptr;
        std::unique_ptr<TsCommonData> data;
        std::unique_ptr<FakeTabTable> tabs;
        std::unique_ptr<FakeToolTable> tools;
    };
    for (unsigned seed = 1; seed <= 25; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        auto caption = [&] {
            const std::string kinds[] = {"", "&Settings", "a\tb\tc", std::string(5000, 'W')};
            return kinds[pick(0, 3)];
        };
        auto rect = [&] {
            const int l = pick(-300, 400), t = pick(-300, 400);
            return win::RECT{l, t, l + pick(-20, 400), t + pick(-20, 200)};
        };
        std::vector<Made> made(6);
        for (Made& m : made) {
            const int w = pick(0, 300), h = pick(0, 200), x = pick(0, 50), y = pick(0, 50);
            const uint32_t child = win::WS_CHILD | win::WS_VISIBLE;
            switch (pick(0, 5)) {
                case 5: {
                    // Dialog children: a group frame, a panel and a see-through window.
                    m.wnd = win::CreateWindowExA(0, "Static", caption().c_str(), child, x, y, w, h,
                                                 form->Handle(), nullptr, nullptr, nullptr);
                    DialogChildMode = true;
                    const int kind = pick(0, 2);
                    if (kind == 0) m.adapter = AttachAdapter<TacDlgPanelWnd>(m.wnd, nullptr, nullptr, "");
                    if (kind == 1) m.adapter = AttachAdapter<TacTransPanelWnd>(m.wnd, nullptr, nullptr, "");
                    if (kind == 2) m.adapter = AttachAdapter<TacGroupBoxWnd>(m.wnd, nullptr, nullptr, "");
                    DialogChildMode = false;
                    break;
                }
                case 0:
                    m.wnd = win::CreateWindowExA(pick(0, 1) ? win::WS_EX_RTLREADING : 0, "Button",
                                                 caption().c_str(), child | win::BS_GROUPBOX, x, y, w,
                                                 h, form->Handle(), nullptr, nullptr, nullptr);
                    m.adapter = AttachAdapter<TacGroupBoxWnd>(m.wnd, nullptr, nullptr, "");
                    break;
                case 1: {
                    m.wnd = win::CreateWindowExA(0, win::STATUSCLASSNAMEA, caption().c_str(),
                                                 child | win::CCS_NOPARENTALIGN | win::CCS_NORESIZE,
                                                 x, y, w, h, form->Handle(), nullptr, nullptr,
                                                 nullptr);
                    std::vector<int> rights(size_t(pick(1, 12)));
                    for (int& r : rights) r = pick(-50, 400);
                    win::SendMessageA(m.wnd, win::SB_SETPARTS, rights.size(),
                                      reinterpret_cast<intptr_t>(rights.data()));
                    win::SendMessageA(m.wnd, win::SB_SIMPLE, pick(0, 1), 0);
                    m.adapter = AttachAdapter<TacStatusBarWnd>(m.wnd, nullptr, nullptr, "");
                    break;
                }
                case 2: {
                    m.tabs = std::make_unique<FakeTabTable>();
                    const int n = pick(0, 100);
                    for (int i = 0; i < n; ++i)
                        m.tabs->tabs.push_back({caption(), rect(), pick(-5, 5)});
                    m.tabs->selected = pick(-2, n + 2);
                    m.tabs->band = pick(-50, 300);
                    const uint32_t sides[] = {0, TCS_BOTTOM, TCS_VERTICAL, TCS_VERTICAL | TCS_RIGHT};
                    const uint32_t kinds[] = {0, TCS_BUTTONS, TCS_FLATBUTTONS};
                    m.wnd = CreateFakeTabWindow(form->Handle(), win::RECT{x, y, x + w, y + h},
                                                sides[pick(0, 3)] | kinds[pick(0, 2)], m.tabs.get());
                    for (int i = pick(0, 3); i > 0; --i)
                        win::CreateWindowExA(0, "Static", "", child, pick(-10, 100), pick(-10, 100),
                                             pick(0, 200), pick(0, 200), m.wnd, nullptr, nullptr,
                                             nullptr);
                    if (pick(0, 1))
                        m.adapter = AttachAdapter<TacPageControlWnd>(m.wnd, nullptr, nullptr, "");
                    else
                        m.adapter = AttachAdapter<TacTabControlWnd>(m.wnd, nullptr, nullptr, "");
                    break;
                }
                case 3: {
                    m.tools = std::make_unique<FakeToolTable>();
                    for (int i = pick(0, 30); i > 0; --i)
                        m.tools->buttons.push_back({pick(0, 2) ? rect() : win::RECT{5, 5, 5, 9},
                                                    uint8_t(pick(0, 255)), uint8_t(pick(0, 255)),
                                                    pick(-3, 3), caption()});
                    m.wnd = CreateFakeToolBar(form->Handle(), win::RECT{x, y, x + w, y + h},
                                              m.tools.get());
                    m.adapter = AttachAdapter<TacToolBarWnd>(m.wnd, nullptr, nullptr, "BAR");
                    break;
                }
                default: {
                    auto* p = Place<vcl::TPanel>(form, vcl::TRect{x, y, x + w, y + h});
                    p->SetBevelOuter(vcl::TBevelCut(pick(0, 3)));
                    p->SetBevelInner(vcl::TBevelCut(pick(0, 3)));
                    p->SetBorderStyle(pick(0, 1) ? vcl::bsSingle : vcl::bsNone);
                    p->SetCaption(caption());
                    p->HandleNeeded();
                    m.control = p;
                    m.wnd = p->Handle();
                    m.data = std::make_unique<TsCommonData>(p, true);
                    m.adapter = AttachAdapter<TacPanelWnd>(m.wnd, m.data.get(), nullptr, "");
                    break;
                }
            }
        }
        bool skinOff = false;
        for (int step = 0; step < 40; ++step) {
            Made& m = made[size_t(pick(0, int(made.size()) - 1))];
            switch (pick(0, 7)) {
                case 0:
                    if (win::IsWindow(m.wnd)) PrintWindowImage(m.wnd);
                    break;
                case 1:
                    if (win::IsWindow(m.wnd)) win::InvalidateRect(m.wnd, nullptr, true);
                    Pump();
                    break;
                case 2:
                    if (win::IsWindow(m.wnd)) win::SetWindowTextA(m.wnd, caption().c_str());
                    break;
                case 3: {
                    // The commands that carry the manager, or nothing, in lParam.
                    const uint16_t codes[] = {1, 2, 3, 6, 7, 10, 23, 27, 29, 30};
                    if (win::IsWindow(m.wnd))
                        Command(m.wnd, codes[pick(0, 9)], reinterpret_cast<intptr_t>(manager.get()));
                    break;
                }
                case 4:
                    if (m.control) {
                        delete m.control;
                        m.control = nullptr;
                    } else if (win::IsWindow(m.wnd)) {
                        win::DestroyWindow(m.wnd);
                    }
                    break;
                case 5:
                    FreeAdapter(m.adapter);
                    break;
                case 6:
                    if (m.tabs && !m.tabs->tabs.empty()) m.tabs->tabs.pop_back();
                    if (m.tools && !m.tools->buttons.empty()) m.tools->buttons.front().rect = {};
                    break;
                default:
                    skinOff = !skinOff;
                    manager->SetActive(!skinOff);
                    break;
            }
        }
        std::shuffle(made.begin(), made.end(), rng);
        const bool windowsFirst = pick(0, 1) != 0;
        for (Made& m : made) {
            if (!windowsFirst) FreeAdapter(m.adapter);
            delete m.control;
            if (win::IsWindow(m.wnd)) win::DestroyWindow(m.wnd);
            FreeAdapter(m.adapter);
        }
        manager->SetActive(true);
        Pump();
    }
}

}  // namespace
}  // namespace skin::testing
