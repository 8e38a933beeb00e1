#include "skin/controls/buttons.h"

#include <gtest/gtest.h>

#include "platform/gdi/sys_colors.h"
#include "platform/user/user.h"
#include "skin/controls/group_box.h"
#include "skin/controls/panels.h"
#include "tests/vcl/gui_fixture.h"
#include "vcl/controls/menus.h"

namespace skin {
namespace {

using namespace vcl;
using vcl::testing::FormTest;

// An image list of 16 x 16 pictures, each one solid colour.
TImageList* SolidImages(TComponent* owner, std::initializer_list<TColor> colours) {
    auto* list = New<TImageList>(owner);
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(16, 16);
    for (TColor c : colours) {
        b.Canvas()->Brush()->SetColor(c);
        b.Canvas()->FillRect(Rect(0, 0, 16, 16));
        list->Add(&b, nullptr);
    }
    return list;
}

class SkinButtonsTest : public FormTest {
protected:
    // Repaints asked for since the last call.
    bool Invalidated(TWinControl* c) {
        win::RECT r;
        const bool dirty = win::GetUpdateRect(c->Handle(), &r, false) != 0;
        win::ValidateRect(c->Handle(), nullptr);
        return dirty;
    }
};

TEST_F(SkinButtonsTest, GlyphButtonShowsThePictureOfItsImageList) {
    auto* images = SolidImages(form, {clRed, clBlue});
    auto* b = Place<TsBitBtn>(form, Bounds(10, 10, 80, 30));
    b->SetCaption("");
    form->Show();
    Pump();
    Invalidated(b);
    SetObjectProp(b, "Images", images);
    EXPECT_TRUE(Invalidated(b));
    SetOrdProp(b, "ImageIndex", 1);
    EXPECT_TRUE(Invalidated(b));
    b->SetImageIndex(1);  // the same index: nothing to repaint
    EXPECT_FALSE(Invalidated(b));
    // Centred when alone: 32 pixels in from the left, 7 from the top.
    Shot(b);
    EXPECT_EQ(Px(40, 15), clBlue);
    EXPECT_NE(Px(30, 15), clBlue);
    b->SetImageIndex(0);
    Shot(b);
    EXPECT_EQ(Px(40, 15), clRed);
    // An index outside the list falls back to the button's own look.
    b->SetImageIndex(5);
    Shot(b);
    EXPECT_NE(Px(40, 15), clRed);
    // The list going away takes the picture with it.
    b->SetImageIndex(0);
    images->Free();
    EXPECT_EQ(b->Images(), nullptr);
    Shot(b);
    EXPECT_NE(Px(40, 15), clRed);
}

// Unskinned, a 32-bit glyph is blended by its alpha, at half of it again while disabled.
TEST_F(SkinButtonsTest, GlyphButtonBlendsA32BitGlyphAndFadesItWhenDisabled) {
    auto* b = Place<TsBitBtn>(form, Bounds(10, 10, 80, 30));
    b->SetCaption("");
    TBitmap glyph;
    glyph.SetPixelFormat(pf32bit);
    glyph.SetSize(16, 16);
    for (int y = 0; y < 16; ++y)
        std::fill_n(reinterpret_cast<uint32_t*>(glyph.ScanLine(y)), 16, 0x80FF0000u);  // red
    glyph.ScanLine(0)[3] = 255;  // one opaque pixel keeps it a glyph with alpha
    b->Glyph()->Assign(&glyph);
    form->Show();
    const int face = int(win::GetSysColor(win::COLOR_BTNFACE) & 0xFF);
    for (auto [enabled, share] : {std::pair{true, 2}, {false, 4}}) {
        b->SetEnabled(enabled);
        Pump();
        EXPECT_NEAR(int(ScreenPixel(b, 40, 15) & 0xFF) - face, (255 - face) / share, 3) << enabled;
    }
}

TEST_F(SkinButtonsTest, GlyphAndCaptionArePlacedByLayoutAndAlignment) {
    // Glyph left of the caption: the block centred, at the left margin, or at the right one.
    const TPoint size{100, 30}, glyph{16, 16}, text{40, 13};
    TsButtonLayout l = LayoutButton(size, glyph, text, blGlyphLeft, taCenter, -1, 4);
    EXPECT_EQ(l.glyph, Bounds(20, 7, 16, 16));
    EXPECT_EQ(l.caption, Bounds(40, 8, 40, 13));
    l = LayoutButton(size, glyph, text, blGlyphLeft, taLeftJustify, 2, 4);
    EXPECT_EQ(l.glyph.Left, 5);
    l = LayoutButton(size, glyph, text, blGlyphLeft, taRightJustify, 2, 4);
    EXPECT_EQ(l.caption.Right, 95);
    l = LayoutButton(size, glyph, text, blGlyphRight, taRightJustify, -1, 4);
    EXPECT_EQ(l.glyph.Right, 100);
    EXPECT_EQ(l.caption.Right, 80);
    l = LayoutButton({60, 60}, glyph, text, blGlyphTop, taCenter, -1, 4);
    EXPECT_EQ(l.glyph, Bounds(23, 13, 16, 16));
    EXPECT_EQ(l.caption.Top, 33);
    // No caption: no spacing either.
    l = LayoutButton(size, glyph, {0, 0}, blGlyphLeft, taCenter, -1, 4);
    EXPECT_EQ(l.glyph.Left, 42);
}

TEST_F(SkinButtonsTest, SpeedButtonRepaintsForANewPictureOnlyWhenShown) {
    auto* images = SolidImages(form, {clRed, clLime});
    auto* b = Place<TsSpeedButton>(form, Bounds(10, 10, 25, 25));
    EXPECT_EQ(b->SkinData()->SkinSection(), "SPEEDBUTTON");
    form->Show();
    Pump();
    b->SkinData()->CacheStale = false;
    b->SetImages(images);
    b->SetImageIndex(1);
    EXPECT_TRUE(b->SkinData()->CacheStale);
    Pump();
    EXPECT_EQ(ScreenPixel(b, 12, 12), win::RGB(0, 255, 0));
    b->SetVisible(false);
    Pump();
    b->SkinData()->CacheStale = false;
    b->SetImageIndex(0);
    EXPECT_EQ(b->ImageIndex(), 0);
    EXPECT_FALSE(b->SkinData()->CacheStale);  // hidden: nothing to repaint
    b->SetVisible(true);
    Pump();
    EXPECT_EQ(ScreenPixel(b, 12, 12), win::RGB(255, 0, 0));
}

TEST_F(SkinButtonsTest, OnlyOneSpeedButtonOfAParentShowsTheMouse) {
    auto* bar = Place<TsPanel>(form, Bounds(0, 0, 300, 30));
    auto* a = Place<TsSpeedButton>(bar, Bounds(2, 2, 25, 25));
    auto* b = Place<TsSpeedButton>(bar, Bounds(30, 2, 25, 25));
    auto* c = Place<TsSpeedButton>(bar, Bounds(60, 2, 25, 25));
    int leftA = 0;
    a->OnMouseLeave = TNotifyEvent::FromCallable([&](TObject*) { ++leftA; });
    form->Show();
    Pump();
    a->Perform(CM_MOUSEENTER);
    EXPECT_TRUE(a->SkinData()->MouseAbove);
    // Another control of the same parent reports the mouse: the first one hears it left.
    b->Perform(CM_MOUSEENTER);
    EXPECT_FALSE(a->SkinData()->MouseAbove);
    EXPECT_EQ(leftA, 1);
    EXPECT_TRUE(b->SkinData()->MouseAbove);
    EXPECT_FALSE(c->SkinData()->MouseAbove);
    // A windowed control on the same parent reports too.
    auto* box = Place<TsGroupBox>(bar, Bounds(100, 0, 100, 30));
    box->Perform(CM_MOUSEENTER);
    EXPECT_FALSE(b->SkinData()->MouseAbove);
    EXPECT_FALSE(box->SkinData()->MouseAbove);  // a group box has no hot look
    // With the real mouse, leaving and entering keep one hot button at most.
    QueueMove(ScreenCentre(a).X, ScreenCentre(a).Y);
    Pump();
    EXPECT_TRUE(a->SkinData()->MouseAbove);
    QueueMove(ScreenCentre(c).X, ScreenCentre(c).Y);
    Pump();
    EXPECT_FALSE(a->SkinData()->MouseAbove);
    EXPECT_TRUE(c->SkinData()->MouseAbove);
}

// A glyph from the image list and a caption: both are drawn, the caption right of the glyph.
TEST_F(SkinButtonsTest, SpeedButtonWithAListGlyphShowsItsCaptionToo) {
    auto* images = SolidImages(form, {clRed});
    auto* b = Place<TsSpeedButton>(form, Bounds(10, 10, 120, 26));
    b->SetImages(images);
    b->SetImageIndex(0);
    b->SetCaption("WWWWWW");
    form->Show();
    Pump();
    const TsButtonLayout l =
        LayoutButton({120, 26}, {16, 16}, {1, 1}, b->Layout(), taCenter, b->Margin(), b->Spacing());
    int dark = 0;
    for (int x = l.glyph.Right + 2; x < 118; ++x)
        for (int y = 5; y < 21; ++y) {
            const win::COLORREF c = ScreenPixel(b, x, y);
            dark += (c & 0xFF) < 96 && ((c >> 8) & 0xFF) < 96 && ((c >> 16) & 0xFF) < 96;
        }
    EXPECT_GT(dark, 40);
}

TEST_F(SkinButtonsTest, SpeedButtonCaptionCanBeHiddenAndComesBack) {
    auto* b = Place<TsSpeedButton>(form, Bounds(10, 10, 80, 25));
    b->SetCaption("Filter");
    SetOrdProp(b, "ShowCaption", 0);
    EXPECT_EQ(b->Caption(), "");
    b->SetShowCaption(true);
    EXPECT_EQ(b->Caption(), "Filter");
    b->SetButtonStyle(tbsDropDown);
    EXPECT_EQ(b->DropDownArrowWidth(), 16);
    b->SetButtonStyle(tbsCheck);
    EXPECT_EQ(b->DropDownArrowWidth(), 0);
}

TEST_F(SkinButtonsTest, DropDownPartShowsItsMenuUnderTheButton) {
    auto* menu = New<TPopupMenu>(form);
    auto* item = New<TMenuItem>(menu);
    item->SetCaption("One");
    menu->Items()->Add(item);
    auto* b = Place<TsSpeedButton>(form, Bounds(10, 10, 60, 25));
    b->SetButtonStyle(tbsDropDown);
    b->SetDropdownMenu(menu);
    int clicks = 0, shown = 0;
    b->OnClick = TNotifyEvent::FromCallable([&](TObject*) { ++clicks; });
    menu->OnPopup = TNotifyEvent::FromCallable([&](TObject*) {
        ++shown;
        EXPECT_TRUE(b->DroppedDown());
        EXPECT_EQ(menu->PopupComponent(), b);
    });
    form->Show();
    Pump();
    // The menu's loop closes it on Escape; queued first, it waits for the menu.
    const TPoint arrow = b->ClientToScreen({52, 12});
    QueueMove(arrow.X, arrow.Y);
    win::QueueMouseEvent({win::MouseEvent::Down, {arrow.X, arrow.Y}, win::MouseButton::Left});
    QueueKey(win::VK_ESCAPE);
    win::QueueMouseEvent({win::MouseEvent::Up, {arrow.X, arrow.Y}, win::MouseButton::Left});
    Pump();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(b->DroppedDown());
    EXPECT_EQ(b->State(), bsUp);
    // The button's own part (the 44 pixels left of the arrow) clicks.
    QueueClick(b);
    Pump();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(clicks, 1);
    // The menu freed: the button forgets it.
    menu->Free();
    EXPECT_EQ(b->DropdownMenu(), nullptr);
}

TEST_F(SkinButtonsTest, TimerButtonRepeatsWhileHeld) {
    auto* b = New<TsTimerSpeedButton>(form);
    EXPECT_EQ(b->Width(), b->Height() - 4);
    b->SetParent(form);
    b->SetBounds(10, 10, 30, 25);
    int clicks = 0;
    b->OnClick = TNotifyEvent::FromCallable([&](TObject*) { ++clicks; });
    form->Show();
    Pump();
    const TPoint p = ScreenCentre(b);
    QueueMove(p.X, p.Y);
    win::QueueMouseEvent({win::MouseEvent::Down, {p.X, p.Y}, win::MouseButton::Left});
    Pump();
    clock_.Advance(399);
    Pump();
    EXPECT_EQ(clicks, 0);
    clock_.Advance(1);
    Pump();
    EXPECT_EQ(clicks, 1);
    for (int i = 0; i < 3; ++i) {
        clock_.Advance(100);
        Pump();
    }
    EXPECT_EQ(clicks, 4);
    win::QueueMouseEvent({win::MouseEvent::Up, {p.X, p.Y}, win::MouseButton::Left});
    Pump();
    EXPECT_EQ(clicks, 5);  // the release clicks once more
    clock_.Advance(500);
    Pump();
    EXPECT_EQ(clicks, 5);
    b->SetAllowTimer(false);
    QueueMove(p.X, p.Y);
    win::QueueMouseEvent({win::MouseEvent::Down, {p.X, p.Y}, win::MouseButton::Left});
    Pump();
    clock_.Advance(1000);
    Pump();
    EXPECT_EQ(clicks, 5);
    win::QueueMouseEvent({win::MouseEvent::Up, {p.X, p.Y}, win::MouseButton::Left});
    Pump();
}

}  // namespace
}  // namespace skin
