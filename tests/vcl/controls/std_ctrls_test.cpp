#include "vcl/controls/std_ctrls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/standard_controls.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "tests/vcl/gui_fixture.h"

namespace vcl::testing {
namespace {

class StdCtrlsTest : public FormTest {
protected:
    // Columns holding dark (text) pixels, in rows top to bottom - 1.
    std::vector<bool> InkColumns(int top, int bottom) {
        std::vector<bool> ink(static_cast<std::size_t>(shot_->Width()));
        for (int x = 0; x < shot_->Width(); ++x)
            for (int y = top; y < bottom; ++y) {
                const win::COLORREF c = ColorToRGB(Px(x, y));
                if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 96) ink[x] = true;
            }
        return ink;
    }
};

TEST_F(StdCtrlsTest, CheckBoxTogglesThroughGreyAndPutsItsCaptionEitherSide) {
    auto* box = Place<TCheckBox>(form, Bounds(10, 10, 120, 20));
    form->Show();
    Pump();
    EXPECT_EQ(box->Alignment(), taRightJustify);
    auto style = [&] {
        return static_cast<uint32_t>(win::GetWindowLongPtrA(box->Handle(), win::GWL_STYLE));
    };
    EXPECT_FALSE(style() & win::BS_LEFTTEXT);
    box->SetAllowGrayed(true);
    std::vector<TCheckBoxState> seen;
    box->OnClick = TNotifyEvent::FromCallable([&](TObject*) { seen.push_back(box->State()); });
    for (int i = 0; i < 3; ++i) {
        QueueClick(box);
        Pump();
    }
    EXPECT_EQ(seen, (std::vector<TCheckBoxState>{cbGrayed, cbChecked, cbUnchecked}));
    EXPECT_EQ(win::SendMessageA(box->Handle(), win::BM_GETCHECK, 0, 0), 0);
    box->SetAllowGrayed(false);
    box->Toggle();
    EXPECT_TRUE(box->Checked());
    // The caption goes left of the box; the window is made again and keeps the state.
    box->SetAlignment(taLeftJustify);
    EXPECT_TRUE(style() & win::BS_LEFTTEXT);
    EXPECT_EQ(win::SendMessageA(box->Handle(), win::BM_GETCHECK, 0, 0), 1);
    box->SetAlignment(taCenter);  // no such place
    EXPECT_EQ(box->Alignment(), taLeftJustify);
}

TEST_F(StdCtrlsTest, GroupBoxKeepsAlignedChildrenInsideItsFrame) {
    auto* group = Place<TGroupBox>(form, Bounds(10, 10, 150, 100));
    group->SetCaption("&Settings");
    auto* first = Place<TButton>(group, Bounds(10, 30, 60, 25));
    auto* filler = Place<TButton>(group, Bounds(0, 0, 10, 10));
    filler->SetAlign(alBottom);
    form->Show();
    Pump();
    // Below the caption's line, two pixels in from the frame.
    EXPECT_EQ(filler->Left(), 2);
    EXPECT_EQ(filler->Width(), 146);
    EXPECT_EQ(filler->Top() + filler->Height(), 98);
    filler->SetAlign(alClient);
    EXPECT_GT(filler->Top(), 12);
    filler->Free();
    // The frame starts halfway down the caption; the caption breaks it at the left.
    Shot(group);
    const TColor shadow = static_cast<TColor>(ColorToRGB(clBtnShadow));
    EXPECT_EQ(Px(0, 50), shadow);
    EXPECT_EQ(Px(148, 98), shadow);
    const std::vector<bool> ink = InkColumns(0, 14);
    EXPECT_FALSE(ink[5]);
    EXPECT_TRUE(ink[10] || ink[11] || ink[12]);
    // Its mnemonic takes the focus to the first control inside.
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 's', 0), 1);
    EXPECT_TRUE(first->Focused());
}

// A label that writes down how its text is drawn.
class TTracedLabel : public TLabel {
public:
    VCL_CLASS(TTracedLabel, TLabel)
    using TLabel::TLabel;
    std::vector<uint32_t> flags;

protected:
    void DoDrawText(TRect& rect, uint32_t f) override {
        flags.push_back(f);
        TLabel::DoDrawText(rect, f);
        if (f & win::DT_CALCRECT) rect.Right += 10;  // draws wider than plain text
    }
};

TEST_F(StdCtrlsTest, LabelDrawsAndMeasuresThroughDoDrawText) {
    auto* label = Place<TTracedLabel>(form, Bounds(10, 10, 10, 10));
    auto* plain = Place<TLabel>(form, Bounds(10, 40, 10, 10));
    label->SetCaption("Text");
    plain->SetCaption("Text");
    // Auto-sized by the hook's measure, which the plain label lacks.
    ASSERT_FALSE(label->flags.empty());
    EXPECT_TRUE(label->flags.back() & win::DT_CALCRECT);
    EXPECT_EQ(label->Width(), plain->Width() + 10);
    label->flags.clear();
    label->SetLayout(tlCenter);
    Shot(label);
    ASSERT_EQ(label->flags.size(), 2u);  // measured for the layout, then drawn
    EXPECT_FALSE(label->flags[1] & win::DT_CALCRECT);
}

TEST_F(StdCtrlsTest, LabelEllipsisShortensTextThatDoesNotFit) {
    auto* label = Place<TLabel>(form, Bounds(10, 10, 10, 10));
    label->SetCaption("WWWWWWWWWWWWWWWWWWWW");
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 60, 17);
    // Cut off: capitals reach the right edge. Shortened: the end holds only the low dots.
    Shot(label);
    const int textTop = 2, textMid = 8;
    std::vector<bool> upper = InkColumns(textTop, textMid);
    EXPECT_TRUE(upper[57] || upper[58] || upper[59]);
    label->SetEllipsisPosition(epEndEllipsis);
    Shot(label);
    upper = InkColumns(textTop, textMid);
    EXPECT_FALSE(upper[56] || upper[57] || upper[58] || upper[59]);
    const std::vector<bool> lower = InkColumns(textMid, 17);
    bool dots = false;
    for (int x = 40; x < 60; ++x)
        dots = dots || lower[x];
    EXPECT_TRUE(dots);
}

}  // namespace
}  // namespace vcl::testing
