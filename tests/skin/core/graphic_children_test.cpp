#include "skin/core/state/graphic_children.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/gdi/gdi.h"
#include "platform/os/clock.h"
#include "platform/user/user.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/skin_commands.h"
#include "tests/skin/core/dib_dc.h"
#include "tests/skin/core/skin_recorders.h"
#include "vcl/controls/ext_ctrls.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/bitmap.h"

namespace skin {
namespace {

using skin_test::DibDC;
using skin_test::Log;

// The background picture the parent answers with: every pixel tells where it lies.
TColor BackgroundAt(int x, int y) {
    return RGB(uint32_t(x), uint32_t(y), 7);
}

// A parent that answers command 34 with a picture at `offset` (or with a colour when it has
// no picture), and notes the commands it hears.
class TBackgroundParent : public vcl::TForm {
public:
    VCL_CLASS(TBackgroundParent, vcl::TForm)
    TBackgroundParent(Log* log) : vcl::TForm(nullptr), log_(log) {
        SetBorderStyle(vcl::bsNone);
        SetBounds(0, 0, 60, 40);
        picture.reset(NewBitmap24(100, 80));
        const PixelView v = ViewOf(picture.get());
        for (int y = 0; y < v.Height; ++y) {
            for (int x = 0; x < v.Width; ++x) {
                uint8_t* p = v.At(x, y);
                const TColor c = BackgroundAt(x, y);
                p[0] = BlueOf(c), p[1] = GreenOf(c), p[2] = RedOf(c);
            }
        }
    }
    void WndProc(vcl::TMessage& m) override {
        if (m.Msg == SM_ALPHACMD) {
            log_->push_back(Name() + ":" + std::to_string(SkinCommandCode(m.WParam)));
            if (SkinCommandCode(m.WParam) == SKC_GETBGINFO) {
                auto* info = reinterpret_cast<BackgroundInfo*>(m.LParam);
                if (plain) {
                    info->BgType = btFill;
                    info->Color = 0x123456;
                } else {
                    info->BgType = btCache;
                    info->Bmp = picture.get();
                    info->Offset = offset;
                }
                m.Result = 1;
                return;
            }
        }
        vcl::TForm::WndProc(m);
    }
    BitmapPtr picture;
    TPoint offset{5, 3};
    bool plain = false;

private:
    Log* log_;
};

// A graphic child whose paint is given by the test.
class TProbeChild : public vcl::TGraphicControl {
public:
    VCL_CLASS(TProbeChild, vcl::TGraphicControl)
    TProbeChild(vcl::TWinControl* parent, TRect bounds, Log* log, const char* name)
        : vcl::TGraphicControl(parent), log_(log) {
        SetName(name);
        SetParent(parent);
        SetBoundsRect(bounds);
    }
    void WndProc(vcl::TMessage& m) override {
        if (m.Msg == SM_ALPHACMD)
            log_->push_back(Name() + ":" + std::to_string(SkinCommandCode(m.WParam)));
        vcl::TGraphicControl::WndProc(m);
    }
    std::function<void(win::HDC)> paint;

protected:
    void Paint() override {
        log_->push_back(Name() + ":paint");
        if (paint) paint(Canvas()->Handle());
    }

private:
    Log* log_;
};

void Fill(win::HDC dc, TRect r, TColor c) {
    win::HBRUSH b = win::CreateSolidBrush(c);
    const win::RECT rr = r;
    win::FillRect(dc, &rr, b);
    win::DeleteObject(b);
}

class GraphicChildren : public ::testing::Test {
protected:
    void SetUp() override { win::ResetWindowing(); }
    void TearDown() override {
        delete parent;
        vcl::DoneApplication();
        win::ResetWindowing();
    }
    void MakeParent() {
        parent = new TBackgroundParent(&log);
        parent->SetName("parent");
        parent->Show();
    }
    TProbeChild* Child(TRect r, const char* name) { return new TProbeChild(parent, r, &log, name); }
    Log Trail(const std::string& prefix) const { return skin_test::Only(log, prefix); }

    os::FakeClock clock_;
    os::ScopedClock scoped_{clock_};
    Log log;
    TBackgroundParent* parent = nullptr;
};

constexpr TColor kSentinel = 0x00C0FF;

// Rule 1 and the early ways out: no children, an empty clip (told command 22).
TEST_F(GraphicChildren, NothingToPaintLeavesTheTargetAlone) {
    MakeParent();
    DibDC target(60, 40, 32);
    Fill(target.dc(), TRect(0, 0, 60, 40), kSentinel);
    PaintParentBackground(target.dc(), parent, {0, 0});
    EXPECT_EQ(target.get(10, 10), kSentinel);
    EXPECT_TRUE(Trail("parent:").empty()) << "no children: nothing asked";

    TProbeChild* child = Child(TRect(2, 2, 12, 12), "child");
    win::IntersectClipRect(target.dc(), 0, 0, 0, 0);
    PaintParentBackground(target.dc(), parent, {0, 0});
    EXPECT_EQ(Trail("parent:"), Log{"parent:22"});
    EXPECT_TRUE(Trail("child:").empty());
    (void)child;
}

// A transparent child over the parent's picture at its place (offset of the answer added), an
// opaque one over its own colour; each paints at its own place.
TEST_F(GraphicChildren, ChildrenPaintOverTheirBackground) {
    MakeParent();
    TProbeChild* see = Child(TRect(4, 6, 14, 16), "see");
    TProbeChild* opaque = Child(TRect(20, 6, 30, 16), "opaque");
    opaque->ControlStyle.Include(vcl::csOpaque);
    opaque->SetColor(0x00AA00);
    see->paint = [](win::HDC dc) { Fill(dc, TRect(5, 5, 6, 6), 0x0000FF); };
    DibDC target(60, 40, 32);
    Fill(target.dc(), TRect(0, 0, 60, 40), kSentinel);
    PaintParentBackground(target.dc(), parent, {0, 0});
    // The see-through child: the picture at (Left + 5, Top + 3), its own mark at (5, 5).
    EXPECT_EQ(target.get(4, 6), BackgroundAt(4 + 5, 6 + 3));
    EXPECT_EQ(target.get(13, 15), BackgroundAt(13 + 5, 15 + 3));
    EXPECT_EQ(target.get(9, 11), TColor(0x0000FF));
    EXPECT_EQ(target.get(20, 6), TColor(0x00AA00));
    // Between the children the target stays.
    EXPECT_EQ(target.get(17, 10), kSentinel);
    EXPECT_EQ(Trail("see:"), Log{"see:paint"});

    // A plain colour answer fills the see-through child.
    log.clear();
    parent->plain = true;
    PaintParentBackground(target.dc(), parent, {0, 0});
    EXPECT_EQ(target.get(4, 6), TColor(0x123456));
}

// Rule 3: a child whose top-left pixel is the key colour is not copied, and the probe reads
// the child's own place even when the control lies elsewhere in the DC.
TEST_F(GraphicChildren, KeyColouredChildIsNotCopied) {
    MakeParent();
    TProbeChild* keyed = Child(TRect(4, 4, 10, 10), "keyed");
    TProbeChild* shown = Child(TRect(14, 4, 20, 10), "shown");
    keyed->paint = [](win::HDC dc) { Fill(dc, TRect(0, 0, 6, 6), kTransparentKey); };
    // At the shifted point (Left + 10, Top + 10) of the work image this child paints the key.
    shown->paint = [](win::HDC dc) { Fill(dc, TRect(0, 0, 1, 1), 0x00FF00); };
    Child(TRect(24, 14, 30, 20), "under")->paint = [](win::HDC dc) {
        Fill(dc, TRect(0, 0, 6, 6), kTransparentKey);
    };
    DibDC target(60, 40, 32);
    Fill(target.dc(), TRect(0, 0, 60, 40), kSentinel);
    PaintParentBackground(target.dc(), parent, {10, 10});
    EXPECT_EQ(target.get(14, 14), kSentinel);
    EXPECT_EQ(target.get(24, 14), TColor(0x00FF00));
    EXPECT_EQ(target.get(25, 15), BackgroundAt(15 + 5, 5 + 3));
}

// Rule 1: a child whose paint makes the parent paint its children again is not painted twice.
TEST_F(GraphicChildren, ReentryIsDropped) {
    MakeParent();
    DibDC target(60, 40, 32);
    TProbeChild* child = Child(TRect(4, 4, 10, 10), "child");
    child->paint = [&](win::HDC) { PaintParentBackground(target.dc(), parent, {0, 0}); };
    PaintParentBackground(target.dc(), parent, {0, 0});
    EXPECT_EQ(Trail("child:"), Log{"child:paint"});
    // The guard is down again afterwards.
    PaintParentBackground(target.dc(), parent, {0, 0});
    EXPECT_EQ(Trail("child:").size(), 2u);
}

// A hidden control shows what lies behind it: its parent's picture at its place.
TEST_F(GraphicChildren, HiddenControlIsPaintedAsItsParentsBackground) {
    MakeParent();
    auto* hidden = new vcl::TPanel(parent);
    hidden->SetParent(parent);
    hidden->SetBounds(8, 6, 20, 10);
    hidden->SetVisible(false);
    BitmapPtr shot(NewBitmap24(40, 30));
    Fill(shot->Canvas()->Handle(), TRect(0, 0, 40, 30), kSentinel);
    PaintControlToBitmap(shot.get(), hidden, 3, nullptr, 2);
    const PixelView v = ViewOf(shot.get());
    auto at = [&](int x, int y) {
        const uint8_t* p = v.At(x, y);
        return RGB(p[2], p[1], p[0]);
    };
    EXPECT_EQ(at(3, 2), BackgroundAt(5 + 8, 3 + 6));
    EXPECT_EQ(at(22, 11), BackgroundAt(5 + 8 + 19, 3 + 6 + 9));
    EXPECT_EQ(at(23, 11), kSentinel);
    EXPECT_EQ(at(2, 2), kSentinel);
    parent->plain = true;
    PaintControlToBitmap(shot.get(), hidden, 0, nullptr, 0);
    EXPECT_EQ(at(0, 0), TColor(0x123456));
    EXPECT_EQ(at(19, 9), TColor(0x123456));
}

// A provider with extended borders: the client area's alpha is made opaque, inside the bitmap
// only, whatever the offsets (rule 4).
TEST_F(GraphicChildren, AlphaOfTheClientAreaStaysInsideTheBitmap) {
    MakeParent();
    struct Border : TacBorderFormBase {
        win::HWND Handle() const override { return nullptr; }
        win::HRGN MakeRgn() override { return nullptr; }
        void UpdateExBordersPos(bool, uint8_t) override {}
    } border;
    struct Provider : TsSkinProviderBase {
        vcl::TCustomForm* form;
        TacBorderFormBase* border;
        int dx, dy;
        vcl::TCustomForm* Form() const override { return form; }
        TsSkinManager* SkinManager() const override { return nullptr; }
        TacBorderFormBase* BorderForm() const override { return border; }
        void BuildRegionCuts() override {}
        void UpdateFormRegion(bool) override {}
        int ClientOffsetX() const override { return dx; }
        int ClientOffsetY() const override { return dy; }
    };
    for (const TPoint d : {TPoint{4, 6}, TPoint{-10, -8}, TPoint{50, 30}}) {
        Provider provider;
        provider.form = parent;
        provider.border = &border;
        provider.dx = d.X;
        provider.dy = d.Y;
        BitmapPtr shot(NewBitmap32(40, 30));
        PaintControlToBitmap(shot.get(), parent, 0, &provider, 0);
        const PixelView v = ViewOf(shot.get());
        auto alpha = [&](int x, int y) { return v.At(x, y)[3]; };
        if (d.X == 4) {
            EXPECT_EQ(alpha(4, 6), 255);
            EXPECT_EQ(alpha(39, 29), 255);
            EXPECT_EQ(alpha(3, 6), 0);
            EXPECT_EQ(alpha(4, 5), 0);
        } else if (d.X < 0) {
            EXPECT_EQ(alpha(0, 0), 255);
            EXPECT_EQ(alpha(49 - 10, 29), 255);
        } else {
            EXPECT_EQ(alpha(39, 29), 0);
        }
    }
}

TEST_F(GraphicChildren, SmallServices) {
    MakeParent();
    auto* top = new vcl::TPanel(parent);
    top->SetParent(parent);
    top->SetAlign(vcl::alTop);
    top->SetHeight(7);
    Child(TRect(0, 0, 5, 5), "g")->SetAlign(vcl::alTop);
    EXPECT_EQ(AlignedControlsSize(parent, vcl::alTop, false), 7);
    EXPECT_EQ(AlignedControlsSize(parent, vcl::alTop, true), 12);
    EXPECT_EQ(AlignedControlsSize(parent, vcl::alClient, true), 0);
    EXPECT_EQ(AlignedControlsSize(parent, vcl::alBottom, true), 0);

    EXPECT_EQ(OwnerForm(top), parent);
    vcl::TPanel loose(nullptr);
    EXPECT_EQ(OwnerForm(&loose), nullptr);
    EXPECT_EQ(OwnerForm(parent), parent);
    const win::HWND topmost = TopParentWindow(parent->Handle());
    EXPECT_EQ(TopParentWindow(top->Handle()), topmost);
    EXPECT_EQ(TopParentWindow(topmost), topmost);
    EXPECT_EQ(TextFlagsForAlignment(top, vcl::taRightJustify), 0x46u);
    EXPECT_EQ(TextFlagsForAlignment(top, vcl::taCenter), 0x45u);
    EXPECT_FALSE(IsControlReadyToPaint(nullptr));
    EXPECT_TRUE(IsControlReadyToPaint(top));
    EXPECT_FALSE(IsControlReadyToPaint(parent)) << "no parent";
}

}  // namespace
}  // namespace skin
