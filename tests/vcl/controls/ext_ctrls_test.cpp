#include "vcl/controls/ext_ctrls.h"

#include <gtest/gtest.h>

#include "platform/user/user.h"
#include "tests/vcl/gui_fixture.h"
#include "vcl/graphics/bitmap.h"

namespace vcl::testing {
namespace {

const TColor kLight = static_cast<TColor>(ColorToRGB(clBtnHighlight));
const TColor kShadow = static_cast<TColor>(ColorToRGB(clBtnShadow));
const TColor kFace = static_cast<TColor>(ColorToRGB(clBtnFace));

class ExtCtrlsTest : public FormTest {
protected:
    // The leftmost and rightmost columns of dark (text) pixels in a row band.
    std::pair<int, int> InkColumns(int top, int bottom) {
        int first = -1, last = -1;
        for (int x = 0; x < shot_->Width(); ++x)
            for (int y = top; y < bottom; ++y) {
                const win::COLORREF c = ColorToRGB(Px(x, y));
                if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 96) {
                    if (first < 0) first = x;
                    last = x;
                }
            }
        return {first, last};
    }
};

TEST_F(ExtCtrlsTest, PanelBevelsBorderAndCaption) {
    auto* panel = Place<TPanel>(form, Bounds(10, 10, 120, 50));
    auto* inner = Place<TPanel>(panel, Bounds(0, 0, 10, 10));
    inner->SetAlign(alClient);
    form->Show();
    Pump();
    // Raised outside by default: light above and left, shadow below and right.
    Shot(panel);
    EXPECT_EQ(Px(0, 0), kLight);
    EXPECT_EQ(Px(119, 49), kShadow);
    EXPECT_EQ(inner->BoundsRect(), Rect(1, 1, 119, 49));
    // Outer raised, a border in the face colour, inner lowered: children sit inside all.
    panel->SetBevelWidth(2);
    panel->SetBorderWidth(3);
    panel->SetBevelInner(bvLowered);
    EXPECT_EQ(inner->BoundsRect(), Rect(7, 7, 113, 43));
    inner->Hide();
    Shot(panel);
    EXPECT_EQ(Px(1, 1), kLight);
    EXPECT_EQ(Px(2, 2), kFace);
    EXPECT_EQ(Px(5, 5), kShadow);
    EXPECT_EQ(Px(114, 40), kLight);
    // The caption is centred, or put against a side inside the frames.
    panel->SetCaption("Panel");
    Shot(panel);
    const auto centred = InkColumns(20, 30);
    EXPECT_NEAR(centred.first + centred.second, 120, 3);
    panel->SetAlignment(taLeftJustify);
    Shot(panel);
    EXPECT_LE(InkColumns(20, 30).first, 9);
    panel->SetAlignment(taRightJustify);
    Shot(panel);
    EXPECT_GE(InkColumns(20, 30).second, 108);
    // A single border style gives the window a client edge.
    panel->SetBorderStyle(bsSingle);
    EXPECT_TRUE(win::GetWindowLongPtrA(panel->Handle(), win::GWL_EXSTYLE) & win::WS_EX_CLIENTEDGE);
}

TEST_F(ExtCtrlsTest, BevelShapesAndStyles) {
    auto* bevel = Place<TBevel>(form, Bounds(10, 10, 30, 50));
    Shot(bevel);  // a lowered box
    EXPECT_EQ(Px(0, 0), kShadow);
    EXPECT_EQ(Px(0, 48), kShadow);
    EXPECT_EQ(Px(29, 49), kLight);
    EXPECT_EQ(Px(5, 5), clGreen);  // nothing inside
    bevel->SetShape(bsFrame);
    Shot(bevel);
    EXPECT_EQ(Px(0, 0), kShadow);
    EXPECT_EQ(Px(1, 1), kLight);
    EXPECT_EQ(Px(28, 48), kShadow);
    EXPECT_EQ(Px(29, 49), kLight);
    bevel->SetStyle(bsRaised);
    bevel->SetShape(bsRightLine);
    Shot(bevel);
    EXPECT_EQ(Px(28, 0), kLight);
    EXPECT_EQ(Px(29, 49), kShadow);
    EXPECT_EQ(Px(27, 20), clGreen);
    bevel->SetShape(bsTopLine);
    Shot(bevel);
    EXPECT_EQ(Px(15, 0), kLight);
    EXPECT_EQ(Px(15, 1), kShadow);
    EXPECT_EQ(Px(15, 2), clGreen);
    bevel->SetShape(bsSpacer);
    Shot(bevel);
    EXPECT_EQ(Px(0, 0), clGreen);
}

TEST_F(ExtCtrlsTest, ImagePlacesItsPicture) {
    auto* image = Place<TImage>(form, Bounds(10, 10, 40, 40));
    TBitmap* b = image->Picture()->Bitmap();
    b->SetPixelFormat(pf24bit);
    b->SetSize(10, 10);
    b->Canvas()->Brush()->SetColor(clRed);
    b->Canvas()->FillRect(Rect(0, 0, 10, 10));
    b->Canvas()->SetPixels(0, 9, clBlue);  // the transparent colour, when transparent
    Shot(image);
    EXPECT_EQ(Px(0, 0), clRed);
    EXPECT_EQ(Px(10, 10), clGreen);
    EXPECT_FALSE(image->ControlStyle.Contains(csOpaque));  // the parent shows around it
    image->SetCenter(true);
    Shot(image);
    EXPECT_EQ(Px(14, 14), clGreen);
    EXPECT_EQ(Px(15, 15), clRed);
    image->SetStretch(true);
    Shot(image);
    EXPECT_EQ(Px(39, 0), clRed);
    EXPECT_TRUE(image->ControlStyle.Contains(csOpaque));
    image->SetTransparent(true);
    Shot(image);
    EXPECT_EQ(Px(0, 39), clGreen);
    EXPECT_FALSE(image->ControlStyle.Contains(csOpaque));
    image->SetAutoSize(true);
    EXPECT_EQ(image->Width(), 10);
    EXPECT_EQ(image->Height(), 10);
}

TEST_F(ExtCtrlsTest, PaintBoxPaintsThroughItsHandler) {
    auto* box = Place<TPaintBox>(form, Bounds(10, 10, 20, 20));
    box->SetColor(clYellow);
    box->OnPaint = TNotifyEvent::FromCallable([&](TObject* sender) {
        EXPECT_EQ(sender, box);
        TCanvas* c = box->Canvas();
        c->FillRect(Rect(0, 0, 10, 20));  // with the box's colour
        c->Brush()->SetColor(clNavy);
        c->FillRect(Rect(10, 0, 20, 20));
    });
    Shot(box);
    EXPECT_EQ(Px(0, 0), clYellow);
    EXPECT_EQ(Px(19, 19), clNavy);
    box->OnPaint = nullptr;
    Shot(box);
    EXPECT_EQ(Px(0, 0), clGreen);  // nothing of its own
}

}  // namespace
}  // namespace vcl::testing
