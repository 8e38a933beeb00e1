#include "vcl/controls/buttons.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/standard_controls.h"
#include "platform/gdi/gdi.h"
#include "platform/os/cp_literal.h"
#include "tests/vcl/gui_fixture.h"
#include "vcl/controls/forms.h"

namespace vcl::testing {
namespace {

// A square glyph of one colour whose bottom-left pixel (the transparent colour) is fuchsia.
void SolidGlyph(TBitmap* b, int frames, int side, std::vector<TColor> colours) {
    b->SetPixelFormat(pf24bit);
    b->SetSize(frames * side, side);
    for (int i = 0; i < frames; ++i) {
        b->Canvas()->Brush()->SetColor(colours[static_cast<std::size_t>(i)]);
        b->Canvas()->FillRect(Rect(i * side, 0, (i + 1) * side, side));
    }
    b->Canvas()->SetPixels(0, side - 1, clFuchsia);
}

class ButtonsTest : public FormTest {
protected:
    void Down(TPoint p) {
        QueueMove(p.X, p.Y);
        win::QueueMouseEvent({win::MouseEvent::Down, {p.X, p.Y}, win::MouseButton::Left});
        Pump();
    }
    void Up(TPoint p) {
        QueueMove(p.X, p.Y);
        win::QueueMouseEvent({win::MouseEvent::Up, {p.X, p.Y}, win::MouseButton::Left});
        Pump();
    }
};

TEST_F(ButtonsTest, SpeedButtonClicksOnReleaseThroughTheParentsCapture) {
    auto* focused = Place<TButton>(form, Bounds(10, 10, 75, 25));
    auto* b = Place<TSpeedButton>(form, Bounds(100, 10, 23, 22));
    int clicks = 0;
    b->OnClick = TNotifyEvent::FromCallable([&](TObject*) { ++clicks; });
    form->Show();
    Pump();
    focused->SetFocus();
    const TPoint c = ScreenCentre(b);
    Down(c);
    EXPECT_EQ(b->State(), bsDown);
    EXPECT_EQ(win::GetCapture(), form->Handle());  // the parent holds the mouse for it
    EXPECT_EQ(clicks, 0);
    QueueMove(c.X + 60, c.Y);  // dragged off: up again, and no click on release there
    Pump();
    EXPECT_EQ(b->State(), bsUp);
    Up({c.X + 60, c.Y});
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(win::GetCapture(), nullptr);
    QueueClick(b);
    Pump();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(b->State(), bsUp);
    EXPECT_TRUE(focused->Focused());  // the button never takes the focus
    // Disabled: no click, painted disabled.
    b->SetEnabled(false);
    QueueClick(b);
    Pump();
    EXPECT_EQ(clicks, 1);
    Shot(b);
    EXPECT_EQ(b->State(), bsDisabled);
    // Its mnemonic clicks it.
    b->SetEnabled(true);
    b->SetCaption("&Go");
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'g', 0), 1);
    EXPECT_EQ(clicks, 2);
}

TEST_F(ButtonsTest, GroupedSpeedButtonsStayDownOneAtATime) {
    std::vector<TSpeedButton*> group;
    for (int i = 0; i < 3; ++i) {
        group.push_back(Place<TSpeedButton>(form, Bounds(10 + 30 * i, 10, 23, 22)));
        group.back()->SetGroupIndex(1);
    }
    auto* other = Place<TSpeedButton>(form, Bounds(10, 50, 23, 22));
    other->SetGroupIndex(2);
    other->SetDown(true);
    SetOrdProp(other, "Layout", blGlyphTop);
    EXPECT_EQ(other->Layout(), blGlyphTop);
    auto* loose = Place<TSpeedButton>(form, Bounds(50, 50, 23, 22));
    loose->SetDown(true);  // outside a group nothing stays down
    EXPECT_FALSE(loose->Down());
    form->Show();
    Pump();
    QueueClick(group[0]);
    Pump();
    EXPECT_TRUE(group[0]->Down());
    EXPECT_EQ(group[0]->State(), bsExclusive);
    QueueClick(group[2]);
    Pump();
    EXPECT_FALSE(group[0]->Down());
    EXPECT_TRUE(group[2]->Down());
    EXPECT_TRUE(other->Down());  // another group is left alone
    // Pressing the one down button again keeps it down, unless the group may be all up;
    // AllowAllUp set on one button holds for the whole group.
    QueueClick(group[2]);
    Pump();
    EXPECT_TRUE(group[2]->Down());
    group[1]->SetAllowAllUp(true);
    EXPECT_TRUE(group[2]->AllowAllUp());
    QueueClick(group[2]);
    Pump();
    EXPECT_FALSE(group[2]->Down());
    EXPECT_EQ(group[2]->State(), bsUp);
    group[1]->SetDown(true);
    EXPECT_TRUE(group[1]->Down());
}

TEST_F(ButtonsTest, SpeedButtonPaintsGlyphFramesInPlace) {
    auto* b = Place<TSpeedButton>(form, Bounds(10, 10, 60, 30));
    TBitmap strip;
    SolidGlyph(&strip, 3, 16, {clRed, clBlue, clYellow});
    b->SetGlyph(&strip);
    EXPECT_EQ(b->NumGlyphs(), 3);  // a strip of squares counts its frames
    // Inside the 2-pixel edges (56 x 26), the lone glyph is centred.
    Shot(b);
    EXPECT_EQ(Px(22, 7), clRed);
    EXPECT_EQ(Px(37, 7), clRed);
    EXPECT_EQ(Px(22, 22), static_cast<TColor>(ColorToRGB(clBtnFace)));  // transparent corner
    EXPECT_EQ(Px(38, 7), static_cast<TColor>(ColorToRGB(clBtnFace)));
    // Disabled shows frame 1; held down, frame 2 one pixel down and right.
    b->SetEnabled(false);
    Shot(b);
    EXPECT_EQ(Px(22, 7), clBlue);
    b->SetEnabled(true);
    form->Show();
    Pump();
    Down(ScreenCentre(b));
    Shot(b);
    EXPECT_EQ(Px(22, 7), static_cast<TColor>(ColorToRGB(clBtnFace)));
    EXPECT_EQ(Px(23, 8), clYellow);
    Up(ScreenCentre(b));
    // Margin puts the glyph that far from its side; with one frame, disabled is embossed.
    SolidGlyph(&strip, 1, 16, {clRed});
    b->SetGlyph(&strip);
    EXPECT_EQ(b->NumGlyphs(), 1);
    b->SetLayout(blGlyphTop);
    b->SetMargin(1);
    Shot(b);
    EXPECT_EQ(Px(22, 3), clRed);
    EXPECT_EQ(Px(22, 2), static_cast<TColor>(ColorToRGB(clBtnFace)));
    b->SetEnabled(false);
    Shot(b);
    EXPECT_EQ(Px(22, 3), static_cast<TColor>(ColorToRGB(clBtnShadow)));
}

TEST_F(ButtonsTest, FlatSpeedButtonShowsItsEdgesUnderTheMouse) {
    form->SetColor(clTeal);
    auto* b = Place<TSpeedButton>(form, Bounds(10, 10, 40, 30));
    b->SetFlat(true);
    form->Show();
    Pump();
    Shot(b);
    EXPECT_EQ(Px(0, 0), clGreen);  // transparent: nothing painted at the edge
    const TPoint c = ScreenCentre(b);
    QueueMove(c.X, c.Y);
    Pump();
    Shot(b);
    EXPECT_EQ(Px(0, 0), static_cast<TColor>(ColorToRGB(clBtnHighlight)));
    EXPECT_EQ(Px(5, 5), clGreen);
    QueueMove(c.X + 100, c.Y + 100);
    Pump();
    Shot(b);
    EXPECT_EQ(Px(0, 0), clGreen);
    b->SetTransparent(false);
    Shot(b);
    EXPECT_EQ(Px(5, 5), clTeal);  // an opaque flat button fills with its colour
}

TEST_F(ButtonsTest, BitBtnIsAnOwnerDrawnPushButton) {
    auto* b = Place<TBitBtn>(form, Bounds(10, 10, 80, 30));
    auto* other = Place<TButton>(form, Bounds(100, 10, 75, 25));
    TBitmap glyph;
    SolidGlyph(&glyph, 1, 16, {clRed});
    b->SetGlyph(&glyph);
    b->SetModalResult(mrOk);
    // The glyph's properties are found by name, as on the speed button.
    SetOrdProp(b, "Margin", 2);
    EXPECT_EQ(b->Margin(), 2);
    b->SetMargin(-1);
    EXPECT_EQ(GetObjectProp(b, "Glyph"), b->Glyph());
    EXPECT_EQ(GetOrdProp(b, "NumGlyphs"), 1);
    int clicks = 0;
    b->OnClick = TNotifyEvent::FromCallable([&](TObject*) { ++clicks; });
    form->Show();
    Pump();
    const auto style = static_cast<uint32_t>(win::GetWindowLongPtrA(b->Handle(), win::GWL_STYLE));
    EXPECT_EQ(style & win::BS_TYPEMASK, win::BS_OWNERDRAW);
    QueueClick(b);
    Pump();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(form->ModalResult(), mrOk);
    // Focused: the black default frame, the glyph centred inside the edges (3 pixels in),
    // the focus frame 4 pixels in.
    Shot(b);
    EXPECT_EQ(Px(0, 0), static_cast<TColor>(ColorToRGB(clWindowFrame)));
    EXPECT_EQ(Px(32, 7), clRed);
    EXPECT_EQ(Px(31, 7), static_cast<TColor>(ColorToRGB(clBtnFace)));
    // With the focus on another button, the frame goes; it comes back for the default button
    // once no button has the focus.
    other->SetFocus();
    Pump();
    Shot(b);
    EXPECT_EQ(Px(0, 0), static_cast<TColor>(ColorToRGB(clBtnHighlight)));
    b->SetDefault(true);
    EXPECT_EQ(b->Perform(CM_DIALOGKEY, win::VK_RETURN, 0), 0);  // the focused button has Enter
}

// Counts the bands of rows holding dark (text) pixels inside the frames.
int TextBands(TBitmap* b) {
    int bands = 0;
    bool in = false;
    for (int y = 5; y < b->Height() - 5; ++y) {
        bool any = false;
        for (int x = 5; x < b->Width() - 5 && !any; ++x) {
            const win::COLORREF c = ColorToRGB(b->Canvas()->Pixels(x, y));
            any = GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 96;
        }
        if (any && !in) ++bands;
        in = any;
    }
    return bands;
}

TEST_F(ButtonsTest, BitBtnWrapsItsCaptionOnRequest) {
    auto* b = Place<TBitBtn>(form, Bounds(10, 10, 75, 40));
    b->SetCaption("Тест соединения"_cp);
    form->Show();
    Pump();
    EXPECT_EQ(TextBands(Shot(b)), 1);
    b->SetWordWrap(true);
    EXPECT_EQ(TextBands(Shot(b)), 2);
    // Disabled text is embossed in light colours.
    b->SetEnabled(false);
    EXPECT_EQ(TextBands(Shot(b)), 0);
}

}  // namespace
}  // namespace vcl::testing
