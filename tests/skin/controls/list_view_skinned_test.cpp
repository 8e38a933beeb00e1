// The list view with a skin: its header painted from the skin, pressed and hot headings, the
// header kept across re-creation, the adapter and thumb tracking through the seam, and the
// selection in the skin's highlight.
#include <gtest/gtest.h>

#include "platform/controls/header_control.h"
#include "platform/controls/list_view_control.h"
#include "platform/gdi/gdi.h"
#include "skin/controls/list_view.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "tests/skin/controls/skinned_form.h"

namespace skin {
namespace {

using namespace vcl;

class CountingAdapter : public TacControlAdapter {
public:
    explicit CountingAdapter(int* refreshes) : refreshes_(refreshes) {}
    void RefreshScrollBarInfo(bool) override { ++*refreshes_; }
    bool PaintScrollBars(win::HDC, int, uint32_t) override { return true; }
    bool Destroyed() const override { return false; }
    int BorderWidthX() const override { return 0; }
    int BorderWidthY() const override { return 0; }
    int HorzBarHeight() const override { return 0; }
    int VertBarWidth() const override { return 0; }
    void WndProc(TMessage&) override {}

private:
    int* refreshes_;
};

class SkinnedListViewTest : public skin_test::SkinnedFormTest {
protected:
    void TearDown() override {
        ResetWindowServices();
        SkinnedFormTest::TearDown();
    }
    template <class L = TsListView>
    L* MakeList(int rows = 3) {
        auto* list = Place<L>(form, Bounds(10, 10, 220, 120));
        list->Loaded();
        list->SetViewStyle(vsReport);
        for (const char* c : {"Name", "Phone"}) {
            TListColumn* col = list->Columns()->Add();
            col->SetCaption(c);
            col->SetWidth(80);
        }
        for (int i = 0; i < rows; ++i) list->Items()->Add()->SetCaption("row");
        form->Show();
        Pump();
        return list;
    }
    // COLHEADER painted whole in `state`, at a point inside its borders and left of any text.
    win::COLORREF SectionPixel(int state, int w, int h, int x, int y) {
        TBitmap bmp;
        bmp.SetPixelFormat(pf24bit);
        bmp.SetSize(w, h);
        PaintSectionByName(&bmp, "COLHEADER", "BUTTON", state, manager.get(), TPoint{0, 0},
                           clBtnFace, nullptr);
        return win::GetPixel(bmp.Canvas()->Handle(), x, y);
    }
    win::COLORREF HeaderPixel(win::HWND header, int x, int y) {
        win::RECT r{};
        win::GetClientRect(header, &r);
        TBitmap bmp;
        bmp.SetPixelFormat(pf24bit);
        bmp.SetSize(r.right, r.bottom);
        win::SendMessageA(header, win::WM_PRINT, reinterpret_cast<win::WPARAM>(bmp.Canvas()->Handle()),
                          win::PRF_CLIENT);
        return win::GetPixel(bmp.Canvas()->Handle(), x, y);
    }
};

TEST_F(SkinnedListViewTest, HeadingsPaintFromTheSkinInTheirState) {
    auto* list = MakeList();
    const win::HWND header = list->HeaderHandle();
    ASSERT_NE(header, nullptr);
    win::RECT first{};
    win::SendMessageA(header, win::HDM_GETITEMRECT, 0, reinterpret_cast<win::LPARAM>(&first));
    const int w = first.right - first.left, h = first.bottom - first.top;
    ASSERT_GT(h, 4);
    // A point inside the border, clear of the text (which starts at 4 + its padding).
    const int px = 2, py = h / 2;
    struct Case {
        const char* what;
        TPoint press;  // header point pressed, or none
        int state;
    } cases[] = {
        {"normal", {-1, -1}, 0},
        {"pressed", {w / 2, h / 2}, 2},
        {"press on the divider presses none", {w - 1, h / 2}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.press.X >= 0) {
            win::SendMessageA(header, win::WM_LBUTTONDOWN, win::MK_LBUTTON,
                              win::MAKELPARAM(c.press.X, c.press.Y));
            EXPECT_EQ(list->PressedColumn(), c.state == 2 ? 0 : -1);
        }
        EXPECT_EQ(HeaderPixel(header, px, py), SectionPixel(c.state, w, h, px, py));
        win::SendMessageA(header, win::WM_LBUTTONUP, 0, win::MAKELPARAM(c.press.X, c.press.Y));
        EXPECT_EQ(list->PressedColumn(), -1);
    }
    // The empty area right of the last heading is a normal heading of its own.
    win::RECT client{};
    win::GetClientRect(header, &client);
    const int rest = client.right - 2 * w;
    ASSERT_GT(rest, 4);
    EXPECT_EQ(HeaderPixel(header, 2 * w + 2, py), SectionPixel(0, rest, h, 2, py));
}

// The arrows are the scroll buttons' glyphs, right of the text: up and down differ from each
// other and from none, and a heading without text still shows its arrow.
TEST_F(SkinnedListViewTest, SortArrowsComeFromTheScrollButtonGlyphs) {
    auto* list = MakeList();
    const win::HWND header = list->HeaderHandle();
    win::RECT first{};
    win::SendMessageA(header, win::HDM_GETITEMRECT, 0, reinterpret_cast<win::LPARAM>(&first));
    const int h = first.bottom - first.top;
    // The arrow's area: right of the text (from `from`), left of the heading's border.
    const auto picture = [&](int fmt, const char* text, int from = 40) {
        win::HDITEMA item;
        item.mask = win::HDI_FORMAT | win::HDI_TEXT;
        item.fmt = fmt | win::HDF_STRING;
        item.pszText = const_cast<char*>(text);
        win::SendMessageA(header, win::HDM_SETITEMA, 0, reinterpret_cast<win::LPARAM>(&item));
        std::vector<win::COLORREF> px;
        for (int x = from; x < first.right - 4; ++x) px.push_back(HeaderPixel(header, x, h / 2));
        return px;
    };
    const auto none = picture(0, "Name");
    const auto up = picture(win::HDF_SORTUP, "Name");
    const auto down = picture(win::HDF_SORTDOWN, "Name");
    EXPECT_NE(up, none);
    EXPECT_NE(down, none);
    EXPECT_NE(up, down);
    EXPECT_NE(picture(win::HDF_SORTUP, "", 4), picture(0, "", 4));
}

TEST_F(SkinnedListViewTest, TheMouseOverAHeadingMakesItHotUnlessHighlightingIsOff) {
    auto* list = MakeList();
    const win::HWND header = list->HeaderHandle();
    win::RECT second{};
    win::SendMessageA(header, win::HDM_GETITEMRECT, 1, reinterpret_cast<win::LPARAM>(&second));
    win::POINT p{second.left + 10, second.top + 3};
    win::ClientToScreen(header, &p);
    win::SendMessageA(header, win::WM_NCHITTEST, 0, win::MAKELPARAM(p.x, p.y));
    EXPECT_EQ(list->HotColumn(), 1);
    const int w = second.right - second.left, h = second.bottom - second.top;
    EXPECT_EQ(HeaderPixel(header, second.left + 2, h / 2), SectionPixel(1, w, h, 2, h / 2));
    // The mouse on the list itself clears it.
    list->Perform(win::WM_NCHITTEST, 0, 0);
    EXPECT_EQ(list->HotColumn(), -2);
    list->SetHighlightHeaders(false);
    win::SendMessageA(header, win::WM_NCHITTEST, 0, win::MAKELPARAM(p.x, p.y));
    EXPECT_EQ(list->HotColumn(), -2);
}

TEST_F(SkinnedListViewTest, ARecreatedWindowSubclassesItsNewHeaderOnly) {
    auto* list = MakeList();
    const win::HWND old = list->HeaderHandle();
    ASSERT_NE(old, nullptr);
    list->RecreateWnd();
    Pump();
    ASSERT_NE(list->HeaderHandle(), nullptr);
    EXPECT_NE(list->HeaderHandle(), old);
    EXPECT_EQ(list->Columns()->Count(), 2);
    list->HandleNeeded();
    form->Release();
    Pump();
}

TEST_F(SkinnedListViewTest, AColumnWithoutAnImageAsksForNone) {
    auto* list = MakeList();
    win::LVCOLUMNA col;
    col.mask = win::LVCF_IMAGE | win::LVCF_WIDTH;
    col.iImage = -1;
    list->Perform(win::LVM_SETCOLUMNA, 0, reinterpret_cast<intptr_t>(&col));
    EXPECT_EQ(col.mask, win::LVCF_WIDTH);
    col.mask = win::LVCF_IMAGE;
    col.iImage = 0;
    list->Perform(win::LVM_SETCOLUMNA, 0, reinterpret_cast<intptr_t>(&col));
    EXPECT_EQ(col.mask, win::LVCF_IMAGE);
}

TEST_F(SkinnedListViewTest, ThumbTrackingScrollsByItemsFromTheLastTrackedPosition) {
    int refreshes = 0;
    WindowSlots().UpdateEditWndAdapter = [&](TsCommonData*, AdapterPtr& adapter) {
        if (!adapter) adapter = std::make_unique<CountingAdapter>(&refreshes);
    };
    int last = -1;
    const TacControlAdapter* asked = nullptr;
    WindowSlots().LastTrackPosition = [&](const TacControlAdapter* adapter) {
        asked = adapter;
        return last;
    };
    auto* list = MakeList(40);
    list->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_REFRESH),
                  reinterpret_cast<intptr_t>(manager.get()));
    ASSERT_NE(list->Adapter(), nullptr);
    const auto top = [&] { return int(win::SendMessageA(list->Handle(), win::LVM_GETTOPINDEX, 0, 0)); };
    const auto track = [&](int pos) {
        list->Perform(win::WM_VSCROLL, win::MAKEWPARAM(win::SB_THUMBTRACK, pos), pos);
    };
    struct Case {
        int last, pos, wantTop;
    } cases[] = {
        {2, 2, 0},  // the same position: nothing
        {2, 5, 3},  // three rows down
        {5, 4, 2},
        {-1, 9, 2},  // nothing tracked: the list's own handling, which saw no drag
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pos);
        last = c.last;
        refreshes = 0;
        track(c.pos);
        EXPECT_EQ(asked, list->Adapter());
        EXPECT_EQ(top(), c.wantTop);
        EXPECT_EQ(refreshes, 1);
    }
    // Without an adapter the bars are the platform's, and so is the scrolling: no track
    // position is asked for.
    list->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_REMOVESKIN),
                  reinterpret_cast<intptr_t>(manager.get()));
    EXPECT_EQ(list->Adapter(), nullptr);
    win::SendMessageA(list->Handle(), win::LVM_ENSUREVISIBLE, 0, 0);
    last = 2;
    asked = reinterpret_cast<const TacControlAdapter*>(1);
    track(5);
    EXPECT_EQ(asked, reinterpret_cast<const TacControlAdapter*>(1));
    EXPECT_EQ(top(), 0);
}

// A selected row shows the system's highlight, over the program's own item colours, across the
// row or in its first column only.
TEST_F(SkinnedListViewTest, ASelectedRowShowsTheSystemsHighlight) {
    for (bool rowSelect : {true, false}) {
        auto* list = MakeList();
        list->SetRowSelect(rowSelect);
        list->SetHideSelection(false);
        list->OnCustomDrawItem = TLVCustomDrawItemEvent::FromCallable(
            [](TCustomListView* sender, TListItem*, TCustomDrawState, bool&) {
                sender->Canvas()->Brush()->SetColor(clYellow);
            });
        list->Items()->Item(1)->SetSelected(true);
        list->SetFocus();
        Pump();
        win::RECT label{};
        label.left = win::LVIR_LABEL;
        win::SendMessageA(list->Handle(), win::LVM_GETITEMRECT, 1,
                          reinterpret_cast<intptr_t>(&label));
        const win::COLORREF first = ScreenPixel(list, label.left + 1, label.top + 1);
        const win::COLORREF second = ScreenPixel(list, 150, (label.top + label.bottom) / 2);
        const win::COLORREF highlight = win::GetSysColor(win::COLOR_HIGHLIGHT);
        EXPECT_EQ(first, highlight);
        EXPECT_EQ(second, rowSelect ? highlight : ColorToRGB(clYellow));
        list->Free();
    }
}

}  // namespace
}  // namespace skin
