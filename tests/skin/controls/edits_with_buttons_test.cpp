// The edits with buttons inside them (combo, date and spin edits), skinned, and what they take
// from the operator: pasted text, the Delete key, a step that fails while a button repeats.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/gdi/bitmap.h"
#include "platform/user/clipboard.h"
#include "platform/user/screen.h"
#include "platform/user/user.h"
#include "skin/controls/button_glyphs.h"
#include "skin/controls/date_edit.h"
#include "skin/controls/spin_edits.h"
#include "skin/core/paint/alpha_image_list.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/state/skin_commands.h"
#include "tests/skin/controls/skinned_form.h"
#include "vcl/graphics/image_list.h"

namespace skin {
namespace {

using namespace vcl;

class EditsWithButtonsTest : public skin_test::SkinnedFormTest {
protected:
    // A pixel of the window on the screen (window coordinates), as 0xRRGGBB.
    uint32_t At(TWinControl* c, int x, int y) {
        win::RECT r{};
        win::GetWindowRect(c->Handle(), &r);
        win::BitmapView v;
        EXPECT_TRUE(win::GetBitmapView(win::ComposeScreen(), &v));
        const win::BYTE* p = v.Row(r.top + y) + (r.left + x) * 4;
        return uint32_t(p[2]) << 16 | p[1] << 8 | p[0];
    }
    static uint32_t CachePixel(TBitmap* b, int x, int y) {
        const uint8_t* p = b->ScanLine(y) + x * 3;
        return uint32_t(p[2]) << 16 | p[1] << 8 | p[0];
    }
    void Paste(TWinControl* c, const std::string& text) {
        ASSERT_TRUE(win::SetClipboardText(c->Handle(), text));
        c->Perform(win::WM_PASTE, 0, 0);
    }
};

TEST_F(EditsWithButtonsTest, AnIdleComboEditShowsTheButtonsPictureOverItsCache) {
    auto* ed = Place<TsDateEdit>(form, Bounds(10, 10, 120, 21));
    auto* other = Place<TButton>(form, Bounds(10, 100, 75, 25));
    form->Show();
    Pump();
    other->SetFocus();
    Pump();
    win::InvalidateRect(ed->Handle(), nullptr, win::TRUE);
    win::UpdateWindow(ed->Handle());
    ASSERT_EQ(ed->CurrentState(), 0);
    TsEditButton* b = ed->Button();
    TBitmap* picture = b->SkinData()->CacheBmp();
    ASSERT_EQ(picture->Width(), b->Width());
    // The button's place in the window: the client area starts inside a 2-pixel frame.
    for (auto [x, y] : {std::pair{0, 0}, {b->Width() / 2, b->Height() / 2}, {b->Width() - 1, 2}})
        EXPECT_EQ(At(ed, b->Left() + 2 + x, b->Top() + 2 + y), CachePixel(picture, x, y))
            << x << "," << y;
    // The text stops at the button; the frame is the edit's cache.
    EXPECT_EQ(At(ed, 0, 0), CachePixel(ed->SkinData()->CacheBmp(), 0, 0));
}

TEST_F(EditsWithButtonsTest, TheButtonsGlyphComesFromGlyphModeByStateElseTheDefault) {
    auto* ed = Place<TsDateEdit>(form, Bounds(10, 10, 120, 21));
    TsEditButton* b = ed->Button();
    ButtonGlyph in = b->GlyphInputs();
    EXPECT_EQ(in.Images, static_cast<TCustomImageList*>(DefaultGlyphs()));  // the calendar of the default glyphs
    EXPECT_EQ(in.ImageIndex, 2);
    auto* images = New<TImageList>(form);
    images->SetSize(16, 16);
    TBitmap pic;
    pic.SetSize(16, 16);
    for (int i = 0; i < 3; ++i) images->Add(&pic, nullptr);
    TsGlyphMode* mode = ed->GlyphMode();
    mode->SetImages(images);
    mode->SetImageIndex(1);
    mode->SetImageIndexHot(7);  // beyond the list: the normal one serves
    struct Case {
        bool hot;
        int index;
    };
    for (const Case c : {Case{false, 1}, Case{true, 1}}) {
        b->SkinData()->MouseAbove = c.hot;
        in = b->GlyphInputs();
        EXPECT_EQ(in.Images, images);
        EXPECT_EQ(in.ImageIndex, c.index);
        EXPECT_EQ(in.GlyphRect.Width(), 16);
    }
    mode->SetImageIndexHot(2);
    EXPECT_EQ(b->GlyphInputs().ImageIndex, 2);
}

TEST_F(EditsWithButtonsTest, TheComboEditAnswersBackgroundFromInsideItsFrame) {
    auto* ed = Place<TsDateEdit>(form, Bounds(10, 10, 120, 21));
    form->Show();
    Pump();
    BackgroundInfo info;
    EXPECT_EQ(ed->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_GETBGINFO),
                          reinterpret_cast<intptr_t>(&info)),
              1);
    EXPECT_EQ(info.Offset, (TPoint{3, 3}));
    ed->SkinData()->BGChanged = true;
    EXPECT_EQ(ed->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_ISUPDATING)), 0);
}

TEST_F(EditsWithButtonsTest, SpinArrowsTakeTheEditsFontColourAndTheHotButtonsOwn) {
    auto* spin = Place<TsDecimalSpinEdit>(form, Bounds(10, 10, 80, 21));
    form->Show();
    Pump();
    TsTimerSpeedButton* up = spin->Button()->UpButton();
    TsTimerSpeedButton* down = spin->Button()->DownButton();
    const auto ink = [](TsTimerSpeedButton* b, int x, int y) {
        return uint32_t(b->Glyph()->Canvas()->Pixels(x, y)) & 0xFFFFFF;
    };
    const uint32_t editFont = uint32_t(Section("EDIT").FontColor) & 0xFFFFFF;
    EXPECT_EQ(ink(up, 4, 3), editFont);    // inside the upward triangle
    EXPECT_EQ(ink(down, 4, 2), editFont);  // inside the downward one
    EXPECT_EQ(ink(up, 0, 0), 0xFF00FFu);   // the transparent key around them
    up->SkinData()->MouseAbove = true;
    spin->Button()->ResetArrows();
    EXPECT_EQ(ink(up, 4, 3), uint32_t(Section("SPEEDBUTTON_SMALL").FontColor) & 0xFFFFFF);
}

TEST_F(EditsWithButtonsTest, ADisabledSpinEditCarriesItsButtonsInItsCache) {
    auto* spin = Place<TsDecimalSpinEdit>(form, Bounds(10, 10, 80, 21));
    spin->SetDisabledKind({});  // no disabled look: the pictures themselves
    form->Show();
    Pump();
    TsSpinButton* pair = spin->Button();
    // Sized before its window was made, it still holds its buttons inside its right edge.
    EXPECT_EQ(pair->Left(), 80 - pair->Width() - 4);
    // The spin button answers the background question with the edit's cache at its place.
    BackgroundInfo info;
    pair->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_GETBGINFO),
                  reinterpret_cast<intptr_t>(&info));
    EXPECT_EQ(info.Bmp, spin->SkinData()->CacheBmp());
    EXPECT_EQ(info.Offset, (TPoint{pair->Left() + 2, pair->Top() + 2}));
    spin->SetEnabled(false);
    Pump();
    EXPECT_FALSE(pair->Visible());
    spin->PrepareCache();
    TBitmap* cache = spin->SkinData()->CacheBmp();
    TsTimerSpeedButton* down = pair->DownButton();
    TBitmap* picture = down->SkinData()->CacheBmp();
    for (auto [x, y] : {std::pair{0, 0}, {4, 3}, {down->Width() - 1, down->Height() - 1}})
        EXPECT_EQ(CachePixel(cache, pair->Left() + 2 + x, pair->Top() + 2 + down->Top() + y),
                  CachePixel(picture, x, y))
            << x << "," << y;
    // Disabled, the edit is seen half through to its parent.
    const TColor own = TColor(GetControlBGColor(spin->SkinData(), false, nullptr));
    EXPECT_EQ(TColor(spin->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_GETBGCOLOR))),
              BlendTwoColors(own, AskControlBackColor(form), 0.5));
}

TEST_F(EditsWithButtonsTest, PastedTextStopsAtItsFirstLineBreak) {
    manager->SetActive(false);
    auto* combo = Place<TsCustomComboEdit>(form, Bounds(10, 10, 120, 21));
    auto* spin = Place<TsDecimalSpinEdit>(form, Bounds(10, 40, 120, 21));
    form->Show();
    Pump();
    for (const char* text : {"12\r\n34", "12\n34", "12\r34", "12"}) {
        combo->SetText("");
        spin->SetText("");
        Paste(combo, text);
        Paste(spin, text);
        EXPECT_EQ(combo->Text(), "12") << text;
        EXPECT_EQ(spin->Text(), "12") << text;
    }
    spin->SetEditorEnabled(false);
    Paste(spin, "5");
    EXPECT_EQ(spin->Text(), "12");
}

TEST_F(EditsWithButtonsTest, TheDeleteKeyLeavesASpinEditWhoseEditorIsOff) {
    auto* spin = Place<TsDecimalSpinEdit>(form, Bounds(10, 40, 120, 21));
    spin->SetValue(5);
    spin->SetEditorEnabled(false);
    form->Show();
    Pump();
    spin->SetFocus();
    spin->SetSelStart(0);
    spin->SetSelLength(0);
    QueueKey(win::VK_DELETE);
    Pump();
    EXPECT_EQ(spin->Text(), "5,00");
    spin->SetEditorEnabled(true);
    QueueKey(win::VK_DELETE);
    Pump();
    EXPECT_EQ(spin->Text(), ",00");
}

TEST_F(EditsWithButtonsTest, AStepThatFailsStopsTheRepeatAndIsShownOnce) {
    auto* b = Place<TsTimerSpeedButton>(form, Bounds(10, 10, 30, 25));
    int clicks = 0, shown = 0;
    b->OnClick = TNotifyEvent::FromCallable([&](TObject*) {
        ++clicks;
        throw std::runtime_error("step failed");
    });
    Application()->OnException =
        TExceptionEvent::FromCallable([&](TObject*, const std::exception&) { ++shown; });
    form->Show();
    Pump();
    const TPoint p = ScreenCentre(b);
    QueueMove(p.X, p.Y);
    win::QueueMouseEvent({win::MouseEvent::Down, {p.X, p.Y}, win::MouseButton::Left});
    Pump();
    for (int i = 0; i < 10; ++i) {
        clock_.Advance(100);
        Pump();
    }
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(shown, 1);
    Application()->OnException = {};
    b->OnClick = {};
    win::QueueMouseEvent({win::MouseEvent::Up, {p.X, p.Y}, win::MouseButton::Left});
    Pump();
}

}  // namespace
}  // namespace skin
