// The combo box with a skin: its button in the cached picture and its dropped list's adapter
// through the seam.
#include <gtest/gtest.h>

#include <functional>

#include "platform/user/styles.h"
#include "platform/user/user.h"
#include "skin/controls/combo_box.h"
#include "skin/core/pixels/bitmaps.h"
#include "tests/skin/controls/skinned_form.h"

namespace skin {
namespace {

using namespace vcl;

class NoAdapter : public TacControlAdapter {
public:
    void RefreshScrollBarInfo(bool) override {}
    bool PaintScrollBars(win::HDC, int, uint32_t) override { return true; }
    bool Destroyed() const override { return false; }
    int BorderWidthX() const override { return 1; }
    int BorderWidthY() const override { return 1; }
    int HorzBarHeight() const override { return 0; }
    int VertBarWidth() const override { return 0; }
    void WndProc(TMessage&) override {}
};

class SkinnedComboBoxTest : public skin_test::SkinnedFormTest {
protected:
    void TearDown() override {
        ResetWindowServices();
        SkinnedFormTest::TearDown();
    }
    TsComboBox* Box(int items, TComboBoxStyle style = csDropDownList) {
        auto* cb = Place<TsComboBox>(form, Bounds(10, 10, 140, 22));
        cb->SetStyle(style);
        for (int i = 0; i < items; ++i) cb->Items()->Add("ttyS" + std::to_string(i));
        form->Show();
        Pump();
        return cb;
    }
    // Paints the box the way a parent's picture takes it, building its cache.
    static void Print(TsComboBox* c) {
        win::HDC dc = win::GetDC(c->Handle());
        c->Perform(win::WM_PRINT, reinterpret_cast<uintptr_t>(dc), 0);
        win::ReleaseDC(c->Handle(), dc);
    }
    static uint32_t CachePixel(TsComboBox* c, int x, int y) {
        const uint8_t* p = ViewOf(c->SkinData()->CacheBmp()).At(x, y);
        return uint32_t(p[2]) << 16 | p[1] << 8 | p[0];
    }
};

TEST_F(SkinnedComboBoxTest, OnlyAListLongerThanTheDropDownCountGetsAnAdapterOnce) {
    struct Case {
        int extra;
        int made;
    } cases[] = {{0, 0}, {1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extra);
        int asked = 0, made = 0, released = 0;
        win::HWND list = nullptr;
        uint32_t styleAtRelease = 0;
        WindowSlots().CreateComboListAdapter = [&](win::HWND l, bool simple, bool hasItems,
                                                   const std::string& section, TsSkinManager* m) {
            ++asked;
            EXPECT_FALSE(simple);
            EXPECT_TRUE(hasItems);
            EXPECT_EQ(section, "EDIT");
            EXPECT_EQ(m, manager.get());
            list = l;
            // An adapter gives the list a sizing frame in place of its border.
            const auto s = uint32_t(win::GetWindowLongA(l, win::GWL_STYLE));
            win::SetWindowLongA(l, win::GWL_STYLE,
                                int32_t((s | win::WS_THICKFRAME) & ~uint32_t(win::WS_BORDER)));
            ++made;
            return AdapterPtr(new NoAdapter);
        };
        WindowSlots().ReleaseControlScrollAdapter = [&](AdapterPtr& a) {
            ++released;
            if (list) styleAtRelease = uint32_t(win::GetWindowLongA(list, win::GWL_STYLE));
            a.reset();
        };
        TsComboBox* cb = Box(16 + c.extra);
        for (int i = 0; i < 2; ++i) {
            cb->SetDroppedDown(true);
            Pump();
            EXPECT_TRUE(cb->DroppedDownState());
            cb->SetDroppedDown(false);
            Pump();
        }
        EXPECT_EQ(asked, c.made);
        EXPECT_EQ(cb->ListAdapter() != nullptr, c.made == 1);
        delete cb;
        EXPECT_EQ(released, c.made);
        if (c.made) {
            EXPECT_TRUE(styleAtRelease & win::WS_BORDER);
            EXPECT_FALSE(styleAtRelease & win::WS_THICKFRAME);
        }
        ResetWindowServices();
    }
}

TEST_F(SkinnedComboBoxTest, TheButtonSitsAtTheRightAndPressesWhileDropped) {
    const int bar = win::GetSystemMetrics(win::SM_CXVSCROLL);
    struct Case {
        TComboBoxStyle style;
        int width;
    } cases[] = {{csDropDownList, bar}, {csDropDown, bar}, {csSimple, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.style));
        TsComboBox* cb = Box(3, c.style);
        const win::RECT b = cb->ButtonRect();
        EXPECT_EQ(b.left, 140 - c.width - 3);
        EXPECT_EQ(b.right - b.left, c.width);
        EXPECT_EQ(b.top, 2);
        EXPECT_EQ(b.bottom, cb->Height() - 2);
        delete cb;
    }
    TsComboBox* cb = Box(3);
    TsComboBox* plain = Box(3, csSimple);
    plain->SetHeight(60);
    cb->Perform(win::WM_PRINT, 0, 0);  // no DC: nothing to paint, no fault
    Print(cb);
    Print(plain);
    // The simple style's picture is its edit part: the list below has a frame of its own.
    EXPECT_EQ(plain->SkinData()->CacheBmp()->Height(), plain->ItemHeight() + 8);
    const win::RECT b = cb->ButtonRect();
    const int bx = b.left + 2, by = 5;
    // The button paints over the body; the simple style shows the body there.
    EXPECT_NE(CachePixel(cb, bx, by), CachePixel(plain, bx, by));
    const uint32_t up = CachePixel(cb, bx, by), body = CachePixel(cb, 6, 18);
    cb->SetDroppedDown(true);
    Pump();
    Print(cb);
    EXPECT_NE(CachePixel(cb, bx, by), up);
    EXPECT_EQ(CachePixel(cb, 6, 18), body);
    // A command from the edit or the list ends the pressed look.
    cb->Perform(win::WM_COMMAND, 0, 0);
    Print(cb);
    EXPECT_FALSE(cb->DroppedDownState());
    EXPECT_EQ(CachePixel(cb, bx, by), up);
    cb->SetDroppedDown(false);
    Pump();
}

}  // namespace
}  // namespace skin

namespace skin {
namespace {

TEST_F(SkinnedComboBoxTest, ANewChoiceShowsAtOnceInTheSectionsColours) {
    TsComboBox* cb = Box(3);
    cb->Loaded();
    EXPECT_EQ(cb->Color(), TColor(Section("COMBOBOX").Color));
    EXPECT_EQ(cb->Font()->Color(), TColor(Section("COMBOBOX").FontColor));
    Print(cb);
    const auto textArea = [&] {
        std::vector<uint32_t> px;
        for (int y = 4; y < cb->Height() - 4; ++y)
            for (int x = 4; x < 40; ++x) px.push_back(CachePixel(cb, x, y));
        return px;
    };
    const auto empty = textArea();
    struct Step {
        const char* what;
        std::function<void()> act;
    } steps[] = {
        {"a choice", [&] { cb->SetItemIndex(1); }},
        {"another", [&] { cb->SetItemIndex(2); }},
        {"none", [&] { cb->SetItemIndex(-1); }},
    };
    std::vector<uint32_t> last = empty;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        Pump();
        // Repainted without waiting for the parent: the cache is fresh and shows the text.
        EXPECT_FALSE(cb->SkinData()->CacheStale);
        EXPECT_NE(textArea(), last);
        last = textArea();
    }
    EXPECT_EQ(last, empty);
}

TEST_F(SkinnedComboBoxTest, AnOwnerDrawnFieldIsDrawnOverTheCacheInTheTextRectangle) {
    struct Case {
        bool handler, focused, enabled;
        int calls;           // of OnDrawItem for the field
        win::COLORREF fill;  // inside the text rectangle, away from the text
    } cases[] = {
        {true, false, true, 1, 0x00FF00},
        {true, true, true, 1, 0x00FF00},
        {true, false, false, 0, 0},
        {false, true, true, 0, vcl::ColorToRGB(clHighlight)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.handler << c.focused << c.enabled);
        auto* cb = Box(3, csOwnerDrawFixed);
        auto* other = Place<TButton>(form, Bounds(10, 60, 75, 25));
        cb->SetItemIndex(1);
        int calls = 0;
        TRect at;
        TOwnerDrawState state;
        if (c.handler)
            cb->OnDrawItem = TDrawItemEvent::FromCallable(
                [&](TWinControl*, int index, const TRect& r, TOwnerDrawState s) {
                    if (!s.Contains(odComboBoxEdit)) return;
                    ++calls;
                    EXPECT_EQ(index, 1);
                    at = r;
                    state = s;
                    cb->Canvas()->Brush()->SetColor(TColor(0x00FF00));
                    cb->Canvas()->FillRect(r);
                });
        cb->SetEnabled(c.enabled);
        (c.focused ? static_cast<TWinControl*>(cb) : other)->SetFocus();
        Pump();
        calls = 0;
        cb->SkinData()->CacheStale = true;
        cb->Invalidate();
        Pump();
        const win::RECT b = cb->ButtonRect();
        EXPECT_GE(calls, c.calls);
        if (c.calls > 0) {
            EXPECT_EQ(at, TRect(3, 3, b.left - 1, cb->Height() - 3));
            EXPECT_EQ(state.Contains(odFocused), c.focused);
        }
        if (c.fill) {
            EXPECT_EQ(ScreenPixel(cb, b.left - 4, 5) & 0xFFFFFF, c.fill);
        }
        if (!c.calls) {
            EXPECT_EQ(calls, 0);
        }
        cb->Free();
        other->Free();
    }
}

// A list-only box under the mouse shows its text highlighted, as when focused.
TEST_F(SkinnedComboBoxTest, TheMouseOverAListOnlyBoxHighlightsItsText) {
    TsComboBox* cb = Box(3);
    cb->SetItemIndex(0);
    Place<TButton>(form, Bounds(10, 60, 75, 25))->SetFocus();
    Pump();
    const win::RECT b = cb->ButtonRect();
    const win::COLORREF highlight = vcl::ColorToRGB(clHighlight);
    EXPECT_NE(ScreenPixel(cb, b.left - 4, 5) & 0xFFFFFF, highlight);
    cb->Perform(CM_MOUSEENTER);
    Pump();
    EXPECT_EQ(ScreenPixel(cb, b.left - 4, 5) & 0xFFFFFF, highlight);
    cb->Perform(CM_MOUSELEAVE);
    Pump();
    EXPECT_NE(ScreenPixel(cb, b.left - 4, 5) & 0xFFFFFF, highlight);
}

// The edit of an idle drop-down box is a window of its own: it shows the cached field.
TEST_F(SkinnedComboBoxTest, AnIdleEditShowsTheCachedFieldUnderIt) {
    TsComboBox* cb = Box(3, csDropDown);
    cb->SetItemIndex(1);
    Pump();
    win::RECT r{};
    win::GetClientRect(cb->EditHandle(), &r);
    win::POINT at{r.right / 2, r.bottom / 2};
    win::MapWindowPoints(cb->EditHandle(), cb->Handle(), &at, 1);
    ASSERT_FALSE(cb->SkinData()->CacheStale);
    EXPECT_EQ(ScreenPixel(cb, at.x, at.y) & 0xFFFFFF, CachePixel(cb, at.x, at.y));
    EXPECT_EQ(ScreenPixel(cb, at.x + 1, 3) & 0xFFFFFF, CachePixel(cb, at.x + 1, 3));
}

}  // namespace
}  // namespace skin
