// The bit button and link adapters, and a randomised run over every button and static style,
// sizes, captions and orders of letting things go (meant for the sanitizer build).
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/controls/standard_controls.h"
#include "platform/user/window_class.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/common_data.h"
#include "skin/windows/adapters/button_adapters.h"
#include "skin/windows/adapters/static_adapters.h"
#include "skin/windows/walk/button_factories.h"
#include "skin/windows/walk/control_adapter.h"
#include "tests/skin/windows/windows_fixture.h"
#include "vcl/controls/buttons.h"
#include "vcl/graphics/canvas.h"

namespace skin::testing {
namespace {

using BitmapPtr = std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter>;
using vcl::Bounds;

constexpr uint32_t kGlyphColor = 0xC00000;  // blue

// The window printed into a bitmap of its size.
BitmapPtr PrintOf(win::HWND wnd) {
    win::RECT r{};
    win::GetWindowRect(wnd, &r);
    BitmapPtr b(NewBitmap24(r.right - r.left, r.bottom - r.top));
    win::SendMessageA(wnd, win::WM_PRINT, reinterpret_cast<uintptr_t>(b->Canvas()->Handle()),
                      win::PRF_CLIENT);
    return b;
}

uint32_t At(vcl::TBitmap* b, int x, int y) { return uint32_t(b->Canvas()->Pixels(x, y)) & 0xFFFFFF; }

// The bounding box of the pixels of one colour; empty when there are none.
vcl::TRect BoxOf(vcl::TBitmap* b, uint32_t color) {
    vcl::TRect box{b->Width(), b->Height(), 0, 0};
    for (int y = 0; y < b->Height(); ++y)
        for (int x = 0; x < b->Width(); ++x)
            if (At(b, x, y) == color)
                box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                       std::max(box.Bottom, y + 1)};
    return box;
}

uint32_t Mix(uint32_t c, uint32_t back) {
    uint32_t out = 0;
    for (int s : {0, 8, 16}) {
        const double v = ((c >> s) & 0xFF) * 0.4 + ((back >> s) & 0xFF) * 0.6;
        out |= uint32_t(v + 0.5) << s;
    }
    return out;
}

class StandardAdaptersTest : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        form->Show();
        Pump();
    }
    // A class-library bit button with a 16 x 16 glyph, adapted.
    vcl::TBitBtn* AdaptedBitBtn() {
        auto* b = Place<vcl::TBitBtn>(form, Bounds(10, 10, 100, 50));
        b->SetCaption("Send");
        BitmapPtr glyph(NewBitmap24(16, 16));
        glyph->Canvas()->Brush()->SetColor(vcl::TColor(kGlyphColor));
        glyph->Canvas()->FillRect(vcl::Rect(0, 0, 16, 16));
        glyph->Canvas()->SetPixels(0, 15, vcl::TColor(0xFF00FF));
        b->SetGlyph(glyph.get());
        b->HandleNeeded();
        data = std::make_unique<TsCommonData>(b, true);
        adapter = AttachAdapter<TacBitBtnWnd>(b->Handle(), data.get(), nullptr, "", true);
        return b;
    }
    void TearDown() override {
        FreeAdapter(adapter);
        data.reset();
        WindowsTest::TearDown();
    }
    std::unique_ptr<TsCommonData> data;
    TacMainWnd* adapter = nullptr;
};

TEST_F(StandardAdaptersTest, BitButtonGlyphFollowsLayoutMarginAndPush) {
    vcl::TBitBtn* b = AdaptedBitBtn();
    EXPECT_EQ(data->SkinSection(), "BUTTON");
    struct Row {
        vcl::TButtonLayout layout;
        int margin;
        bool pushed;
        int left, top;  // expected corner, -1: only the side of the centre checked
    };
    const Row rows[] = {{vcl::blGlyphLeft, -1, false, -1, -1}, {vcl::blGlyphRight, -1, false, -1, -1},
                        {vcl::blGlyphTop, -1, false, -1, -1},  {vcl::blGlyphBottom, -1, false, -1, -1},
                        {vcl::blGlyphLeft, 3, false, 3, 17},   {vcl::blGlyphLeft, 3, true, 4, 18}};
    for (const Row& r : rows) {
        b->SetLayout(r.layout);
        b->SetMargin(r.margin);
        win::SendMessageA(b->Handle(), win::BM_SETSTATE, r.pushed, 0);
        BitmapPtr p = PrintOf(b->Handle());
        const vcl::TRect box = BoxOf(p.get(), kGlyphColor);
        EXPECT_EQ(box.Width(), 16) << int(r.layout);
        EXPECT_EQ(box.Height(), 16) << int(r.layout);
        const int cx = (box.Left + box.Right) / 2, cy = (box.Top + box.Bottom) / 2;
        switch (r.layout) {
            case vcl::blGlyphLeft: EXPECT_LT(cx, 40); break;
            case vcl::blGlyphRight: EXPECT_GT(cx, 60); break;
            case vcl::blGlyphTop: EXPECT_LT(cy, 20); break;
            case vcl::blGlyphBottom: EXPECT_GT(cy, 30); break;
        }
        if (r.left >= 0) {
            EXPECT_EQ(box.Left, r.left);
            EXPECT_EQ(box.Top, r.top);
        }
    }
}

TEST_F(StandardAdaptersTest, DisabledBitButtonIsMixedWithItsParent) {
    vcl::TBitBtn* b = AdaptedBitBtn();
    BitmapPtr on = PrintOf(b->Handle());
    b->SetEnabled(false);
    BitmapPtr off = PrintOf(b->Handle());
    // A form without a provider shows the skin's global colour behind its children.
    const uint32_t parent = uint32_t(manager->GetGlobalColor()) & 0xFFFFFF;
    // The glyph, and the first pixel of the middle row that differs from the parent.
    const vcl::TRect glyph = BoxOf(on.get(), kGlyphColor);
    int edge = 0;
    while (edge + 1 < on->Width() && At(on.get(), edge, 25) == parent) ++edge;
    ASSERT_NE(At(on.get(), edge, 25), parent);
    for (auto [x, y] : {std::pair{edge, 25}, {glyph.Left + 8, glyph.Top + 4}}) {
        const uint32_t want = Mix(At(on.get(), x, y), parent), got = At(off.get(), x, y);
        for (int s : {0, 8, 16})
            EXPECT_NEAR(int((got >> s) & 0xFF), int((want >> s) & 0xFF), 1) << x << "," << y;
    }
}

// A link window of the test's own: it answers a few messages from a table and counts those
// its own procedure sees.
std::map<uint32_t, win::LRESULT> gLinkAnswers;
std::map<uint32_t, int> gLinkSeen;
win::LRESULT FakeLinkProc(win::HWND w, win::UINT msg, win::WPARAM wp, win::LPARAM lp) {
    ++gLinkSeen[msg];
    if (auto it = gLinkAnswers.find(msg); it != gLinkAnswers.end()) return it->second;
    return win::DefWindowProcA(w, msg, wp, lp);
}

TEST_F(StandardAdaptersTest, LinkTextIsCutIntoRunsAndDrawnAsLinks) {
    struct Case {
        const char* text;
        std::vector<std::pair<std::string, bool>> runs;
    };
    const Case cases[] = {
        {"", {}},
        {"plain", {{"plain", false}}},
        {"Visit <A HREF=\"x\">site</a> now", {{"Visit ", false}, {"site", true}, {" now", false}}},
        {"<a>open", {{"open", true}}},
        {"x</A>y <b>bold</b>", {{"x</A>y <b>bold</b>", false}}},
        {"<A", {{"<A", false}}},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<std::string, bool>> got;
        for (const auto& r : TacLinkWnd::SplitLinks(c.text)) got.emplace_back(r.Text, r.Link);
        EXPECT_EQ(got, c.runs) << c.text;
    }

    win::WNDCLASSA wc;
    wc.lpfnWndProc = FakeLinkProc;
    wc.lpszClassName = "TestLink";
    win::RegisterClassA(&wc);
    gLinkAnswers = {{win::WM_GETFONT, 0}, {win::WM_PAINT, 0}};
    gLinkSeen.clear();
    win::HWND w = win::CreateWindowExA(0, "TestLink", "Go <a>there</a>", win::WS_CHILD | win::WS_VISIBLE,
                                       10, 100, 160, 20, form->Handle(), nullptr, nullptr, nullptr);
    TacMainWnd* a = AttachAdapter<TacLinkWnd>(w, nullptr, nullptr, "CHECKBOX");
    BitmapPtr p = PrintOf(w);
    const uint32_t link = uint32_t(vcl::ColorToRGB(manager->GetHighlightColor())) & 0xFFFFFF;
    const vcl::TRect underline = BoxOf(p.get(), link);
    EXPECT_GT(underline.Width(), 10);  // the link's letters and underline, after "Go "
    EXPECT_GT(underline.Left, 10);
    // The adapter paints; the window's own procedure sees no paint of its own.
    win::RedrawWindow(w, nullptr, nullptr, win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_UPDATENOW);
    EXPECT_EQ(gLinkSeen[win::WM_ERASEBKGND], 0);
    EXPECT_EQ(gLinkSeen[win::WM_PRINT], 0);
    FreeAdapter(a);
    win::DestroyWindow(w);
    win::UnregisterClassA("TestLink", nullptr);
}

// A window too large for any picture: the adapters paint it without fault, their caches empty.
TEST_F(StandardAdaptersTest, AWindowTooLargeForAPictureIsPaintedWithoutFault) {
    auto huge = [this](const char* cls) {
        return win::CreateWindowExA(0, cls, "x", win::WS_CHILD | win::WS_VISIBLE, 0, 0, 40000,
                                    40000, form->Handle(), nullptr, nullptr, nullptr);
    };
    TacMainWnd* const adapters[] = {
        AttachAdapter<TacBtnWnd>(huge("Button"), nullptr, nullptr, ""),
        AttachAdapter<TacStaticWnd>(huge("Static"), nullptr, nullptr, "CHECKBOX")};
    for (TacMainWnd* a : adapters) {
        const win::HWND w = a->CtrlHandle;
        EXPECT_NO_THROW(win::UpdateWindow(w));
        EXPECT_EQ(a->SkinData->CacheBmp()->Width(), 0);
        FreeAdapter(a);
        win::DestroyWindow(w);
    }
}

// Everything at random: made, painted, poked and let go in any order.
TEST_F(StandardAdaptersTest, RandomStylesSizesCaptionsAndOrdersOfGoing) {
    RegisterButtonAdapters();
    manager->ThirdParty()->SetString(tgBitBtns, "TBitBtn");
    manager->ThirdParty()->SetString(tgCheckBoxes, "TCheckBox");
    manager->ThirdParty()->SetString(tgSpeedButton, "TSpeedButton");
    manager->UpdateThirdNames(false);
    WalkProvider provider;
    provider.form = form;
    provider.manager = manager.get();

    std::mt19937 rng(20261210);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    std::string longText(5000, 'w');
    for (size_t i = 0; i < longText.size(); i += 37) longText[i] = i % 2 ? '\t' : ' ';
    const std::string captions[] = {"", longText, "a\tb&c&&d\t", "&"};
    const int sizes[] = {0, 1, 3, 17, 40, 300};

    for (int round = 0; round < 24; ++round) {
        struct Native {
            win::HWND wnd;
            TacMainWnd* adapter;
        };
        std::vector<Native> natives;
        for (int i = 0; i < 8; ++i) {
            const bool button = i % 2 == 0;
            const uint32_t style = button ? uint32_t(pick(16)) : uint32_t(pick(0x20));
            const std::string& caption = captions[size_t(pick(4))];
            win::HWND w = win::CreateWindowExA(
                pick(3) == 0 ? win::WS_EX_STATICEDGE : 0, button ? "Button" : "Static",
                caption.c_str(), win::WS_CHILD | win::WS_VISIBLE | style, pick(200), pick(150),
                sizes[pick(6)], sizes[pick(6)], form->Handle(), nullptr, nullptr, nullptr);
            TacMainWnd* a = nullptr;
            if (button) {
                const uint32_t kind = style & 0xF;
                if (kind == win::BS_OWNERDRAW)
                    a = AttachAdapter<TacBitBtnWnd>(w, nullptr, nullptr, "");
                else if (kind >= 2 && kind <= 9 && kind != 7 && kind != 8)
                    a = AttachAdapter<TacCheckBoxWnd>(w, nullptr, nullptr, "");
                else
                    a = AttachAdapter<TacBtnWnd>(w, nullptr, nullptr, "");
            } else if ((style & 3) == win::SS_ICON) {
                a = AttachAdapter<TacIconWnd>(w, nullptr, nullptr, "CHECKBOX");
            } else {
                a = pick(2) ? AttachAdapter<TacLinkWnd>(w, nullptr, nullptr, "CHECKBOX")
                            : AttachAdapter<TacStaticWnd>(w, nullptr, nullptr, "CHECKBOX");
            }
            natives.push_back({w, a});
        }
        std::vector<vcl::TControl*> controls;
        for (int i = 0; i < 4; ++i) {
            const vcl::TRect r = Bounds(pick(200), pick(150), sizes[pick(6)], sizes[pick(6)]);
            vcl::TControl* c = nullptr;
            switch (i) {
                case 0: c = Place<vcl::TButton>(form, r); break;
                case 1: c = Place<vcl::TBitBtn>(form, r); break;
                case 2: c = Place<vcl::TCheckBox>(form, r); break;
                default: c = Place<vcl::TSpeedButton>(form, r); break;
            }
            c->SetText(captions[size_t(pick(4))]);
            if (auto* w = dynamic_cast<vcl::TWinControl*>(c)) w->HandleNeeded();
            controls.push_back(c);
        }
        auto* walker = new TacCtrlAdapter(&provider);
        walker->AddAllItems(nullptr);

        for (const Native& n : natives) {
            PrintOf(n.wnd);
            win::SendMessageA(n.wnd, win::BM_SETCHECK, uintptr_t(pick(3)), 0);
            win::SendMessageA(n.wnd, win::BM_SETSTATE, uintptr_t(pick(2)), 0);
            win::EnableWindow(n.wnd, pick(2));
            win::SetWindowTextA(n.wnd, captions[size_t(pick(4))].c_str());
            manager->SetActiveControl(n.wnd);
            win::SendMessageA(n.wnd, win::WM_MOUSEMOVE, 0, 0);
            PrintOf(n.wnd);
        }
        for (vcl::TControl* c : controls) {
            c->SetEnabled(pick(2));
            Shot(c);
        }
        Pump();

        // Let go in a random order: windows, adapters, controls, the walker, the skin.
        std::vector<int> order;
        const int steps = int(natives.size() * 2 + controls.size() + 2);
        for (int s = 0; s < steps; ++s) order.push_back(s);
        std::shuffle(order.begin(), order.end(), rng);
        bool skinOff = false;
        for (int s : order) {
            const int n = int(natives.size());
            if (s < n) {
                win::DestroyWindow(natives[size_t(s)].wnd);
            } else if (s < 2 * n) {
                FreeAdapter(natives[size_t(s - n)].adapter);
            } else if (s < 2 * n + int(controls.size())) {
                controls[size_t(s - 2 * n)]->Free();
            } else if (s == 2 * n + int(controls.size())) {
                delete walker;
                walker = nullptr;
            } else {
                manager->SetActive(false);
                skinOff = true;
            }
            Pump();
        }
        if (skinOff) manager->SetActive(true);
        ASSERT_TRUE(manager->SkinData().Active);
    }
}

}  // namespace
}  // namespace skin::testing
