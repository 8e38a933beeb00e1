#include "skin/core/state/form_animations.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/os/clock.h"
#include "platform/user/user.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/engine_state.h"
#include "skin/core/state/hooked_forms.h"
#include "skin/core/state/library_startup.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"
#include "vcl/system/exceptions.h"

namespace skin {
namespace {

using namespace std::chrono_literals;

// One recorded layered frame: the window, its constant alpha and the picture's first pixel.
struct Frame {
    win::HWND Wnd;
    int Alpha;
    win::SIZE Size;
};

std::vector<int> Alphas(const std::vector<Frame>& frames) {
    std::vector<int> a;
    for (const Frame& f : frames)
        a.push_back(f.Alpha);
    return a;
}

// A border form: a plain engine form whose window the show animation uses as its overlay.
class TestBorderForm : public TacBorderFormBase {
public:
    TestBorderForm() : form(new vcl::TForm(nullptr)) { form->SetBorderStyle(vcl::bsNone); }
    ~TestBorderForm() override { form->Free(); }
    win::HWND Handle() const override { return form->Handle(); }
    win::HRGN MakeRgn() override {
        ++regions;
        return win::CreateRectRgn(0, 0, 10, 10);
    }
    void UpdateExBordersPos(bool, uint8_t) override {}
    vcl::TForm* form;
    int regions = 0;
};

class TAnimForm;

class TestProvider : public TsSkinProviderBase {
public:
    explicit TestProvider(TAnimForm* form);
    vcl::TCustomForm* Form() const override;
    TsSkinManager* SkinManager() const override { return DefaultManager; }
    TacBorderFormBase* BorderForm() const override { return border.get(); }
    void BuildRegionCuts() override {}
    void UpdateFormRegion(bool) override {}
    TsCommonData* SkinData() const override { return data.get(); }
    void PaintFrame() override;
    vcl::TRect GetFrameMargins() const override { return border ? margins : vcl::TRect(); }
    void FreeBorderForm() override { border.reset(); }

    TAnimForm* form_;
    std::unique_ptr<TsCommonData, vcl::FreeDeleter> data;
    std::unique_ptr<TestBorderForm> border;
    vcl::TRect margins;
    int frames = 0;
    bool failPaint = false;
};

class TAnimForm : public vcl::TForm {
public:
    VCL_CLASS(TAnimForm, vcl::TForm)
    explicit TAnimForm(vcl::TComponent* owner) : vcl::TForm(owner), provider(this) {
        SetBounds(100, 80, 120, 90);
    }
    void WndProc(vcl::TMessage& m) override {
        if (m.Msg == win::WM_SETREDRAW) redraws.push_back(int(m.WParam));
        if (m.Msg == SM_ALPHACMD && SkinCommandCode(m.WParam) == SKC_GETPROVIDER) {
            m.Result = reinterpret_cast<intptr_t>(static_cast<TsSkinProviderBase*>(&provider));
            return;
        }
        vcl::TForm::WndProc(m);
    }
    TestProvider provider;
    std::vector<int> redraws;
};

TestProvider::TestProvider(TAnimForm* form) : form_(form), data(new TsCommonData(form, true)) {}
vcl::TCustomForm* TestProvider::Form() const {
    return form_;
}
void TestProvider::PaintFrame() {
    ++frames;
    if (failPaint) throw vcl::Exception("frame failed");
    data->InitCacheBmp();
    vcl::TBitmap* c = data->CacheBmp();
    c->SetSize(form_->Width() + margins.Left + margins.Right,
               form_->Height() + margins.Top + margins.Bottom);
}

class TestDialog : public TacDialogWndBase {
public:
    explicit TestDialog(vcl::TForm* window)
        : window(window), data(new TsCommonData(window, true)) {}
    win::HWND Handle() const override { return window->Handle(); }
    TsCommonData* SkinData() const override { return data.get(); }
    void PaintFrame() override {
        data->InitCacheBmp();
        data->CacheBmp()->SetSize(window->Width(), window->Height());
    }
    int DialogBorderWidth() const override { return 3; }
    int DialogTopFrameHeight() const override { return 20; }
    vcl::TRect GetDialogFrameMargins() const override { return {}; }
    vcl::TForm* window;
    std::unique_ptr<TsCommonData, vcl::FreeDeleter> data;
};

// The fade code's layered window: counts the repaint commands it hears.
class TRefreshCounter : public vcl::TForm {
public:
    VCL_CLASS(TRefreshCounter, vcl::TForm)
    using vcl::TForm::TForm;
    void WndProc(vcl::TMessage& m) override {
        if (m.Msg == SM_ALPHACMD && SkinCommandCode(m.WParam) == SKC_REFRESH) {
            ++refreshes;
            if (onRefresh) onRefresh();
        }
        vcl::TForm::WndProc(m);
    }
    int refreshes = 0;
    std::function<void()> onRefresh;
};

class FormAnimationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        win::ResetWindowing();
        vcl::Application();
        LayeredWindowUpdate() = [this](win::HWND wnd, win::HDC screen, const win::SIZE& size,
                                       win::HDC src, const win::BLENDFUNCTION& blend) {
            frames.push_back({wnd, blend.SourceConstantAlpha, size});
            EXPECT_EQ(blend.AlphaFormat, win::AC_SRC_ALPHA);
            win::POINT origin{0, 0};
            return win::UpdateLayeredWindow(wnd, screen, nullptr, &size, src, &origin, 0x1FFFFFFF,
                                            &blend, win::ULW_ALPHA);
        };
        manager.reset(new TsSkinManager(nullptr));
        DefaultManager = manager.get();
    }
    void TearDown() override {
        ResetLayeredWindowUpdate();
        ResetNeighbourServices();
        SetLayeredWindowsAvailable(true);
        DefaultManager = nullptr;
        manager.reset();
        vcl::DoneApplication();
        win::ResetWindowing();
        EXPECT_EQ(HideTimer(), nullptr);
        EXPECT_FALSE(AnimationRunning);
    }

    TAnimForm* NewForm(bool border) {
        auto* f = new TAnimForm(vcl::Application());
        if (border) {
            f->provider.border = std::make_unique<TestBorderForm>();
            f->provider.margins = vcl::TRect(4, 6, 4, 8);
        }
        f->Show();
        return f;
    }
    // Runs the hide timer's ticks in virtual time until its hide has ended.
    bool RunHide() {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (HideTimer() && HideTimer()->Running()) {
            if (std::chrono::steady_clock::now() > deadline) {
                ADD_FAILURE() << "ticking " << HideTimer()->Ticking() << " counter "
                              << HideTimer()->Counter() << " frames " << frames.size();
                return false;
            }
            clock.Advance(1);
            vcl::CheckSynchronize();
            std::this_thread::sleep_for(100us);
        }
        return true;
    }

    os::FakeClock clock;
    os::ScopedClock scoped{clock};
    std::vector<Frame> frames;
    std::unique_ptr<TsSkinManager, vcl::FreeDeleter> manager;
};

// --- frame arithmetic ---

TEST(AppearFrames, FadingRisesByAOverNAndCopiesThePictureOnce) {
    // 150 ms: 15 steps, 16 frames, the first already at A/15.
    std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> image(NewBitmap32(4, 3)),
        frame(NewBitmap32(4, 3));
    image->Canvas()->SetPixels(1, 1, 0x123456);
    TacAppearFrames f;
    f.Init(15, 255, 4, 3, atFading);
    std::vector<int> alphas;
    for (int i = 0; i <= 15; ++i) {
        alphas.push_back(f.Frame(image->Canvas()->Handle(), frame->Canvas()->Handle()));
        f.Step();
        if (i == 0) {
            EXPECT_EQ(frame->Canvas()->Pixels(1, 1), 0x123456u);
            image->Canvas()->SetPixels(1, 1, 0x654321);  // later frames do not copy again
        }
    }
    EXPECT_EQ(alphas, (std::vector<int>{17, 34, 51, 68, 85, 102, 119, 136, 153, 170, 187, 204, 221,
                                        238, 255, 255}));
    EXPECT_EQ(frame->Canvas()->Pixels(1, 1), 0x123456u);

    // A that N does not divide: rounded to even, capped at A.
    f.Init(3, 100, 4, 3, atFading);
    std::vector<int> odd;
    for (int i = 0; i <= 3; ++i)
        odd.push_back(f.Frame(image->Canvas()->Handle(), frame->Canvas()->Handle()));
    EXPECT_EQ(odd, (std::vector<int>{33, 67, 100, 100}));
}

TEST(AppearFrames, AeroGrowsFromAnEighthInOnEachSide) {
    TacAppearFrames f;
    f.Init(10, 255, 400, 200, atAero);
    EXPECT_EQ((std::vector<double>{f.Left, f.Top, f.Right, f.Bottom}),
              (std::vector<double>{50, 25, 350, 175}));
    EXPECT_DOUBLE_EQ(f.Dx, 5.0);
    EXPECT_DOUBLE_EQ(f.Dy, 2.5);
    std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> image(NewBitmap32(400, 200)),
        frame(NewBitmap32(400, 200));
    win::PatBlt(frame->Canvas()->Handle(), 0, 0, 400, 200, win::BLACKNESS);
    image->Canvas()->Brush()->SetColor(0x00FF00);
    image->Canvas()->FillRect(vcl::TRect(0, 0, 400, 200));
    const win::HDC src = image->Canvas()->Handle(), dst = frame->Canvas()->Handle();
    f.Frame(src, dst);
    // The first picture covers (50, 25)-(350, 175) only.
    EXPECT_EQ(frame->Canvas()->Pixels(49, 100), 0u);
    EXPECT_EQ(frame->Canvas()->Pixels(50, 25), 0x00FF00u);
    EXPECT_EQ(frame->Canvas()->Pixels(349, 174), 0x00FF00u);
    EXPECT_EQ(frame->Canvas()->Pixels(350, 100), 0u);
    EXPECT_EQ(frame->Canvas()->Pixels(200, 175), 0u);
    for (int i = 0; i < 10; ++i)
        f.Step();
    EXPECT_NEAR(f.Left, 0, 1e-9);
    EXPECT_NEAR(f.Top, 0, 1e-9);
    EXPECT_NEAR(f.Right, 400, 1e-9);
    EXPECT_NEAR(f.Bottom, 200, 1e-9);
}

// --- whole runs ---

TEST_F(FormAnimationsTest, ShowRampsTheBorderFormUpAndLeavesItBehindTheForm) {
    TAnimForm* form = NewForm(true);
    const win::HWND overlay = form->provider.border->Handle();
    form->provider.FormChanging = true;
    const uint64_t slept = clock.SleptMs();
    AnimShowForm(&form->provider, 150, 255, atFading);

    // One update with the whole picture at 0, 16 frames, the final picture at A.
    ASSERT_EQ(frames.size(), 18u);
    EXPECT_EQ(frames.front().Alpha, 0);
    EXPECT_EQ(frames[1].Alpha, 17);
    EXPECT_EQ(frames[16].Alpha, 255);
    EXPECT_EQ(frames.back().Alpha, 255);
    for (const Frame& f : frames) {
        EXPECT_EQ(f.Wnd, overlay);
        EXPECT_EQ(f.Size.cx, 120 + 8);
        EXPECT_EQ(f.Size.cy, 90 + 14);
    }
    EXPECT_EQ(clock.SleptMs() - slept, 160u);
    // The overlay lies over the form's place widened by the margins, just behind the form.
    win::RECT r{};
    win::GetWindowRect(overlay, &r);
    EXPECT_EQ(r.left, 96);
    EXPECT_EQ(r.top, 74);
    EXPECT_EQ(win::GetWindow(form->Handle(), win::GW_HWNDNEXT), overlay);
    EXPECT_FALSE(form->provider.FormChanging);
    EXPECT_EQ(form->redraws, std::vector<int>{1});
    EXPECT_EQ(AnimBmp, nullptr);
    EXPECT_FALSE(AnimationRunning);
}

TEST_F(FormAnimationsTest, AShowKeepsItsOverlayJustAboveTheFormAndEndsOnEveryWayOut) {
    TAnimForm* form = NewForm(true);
    const win::HWND overlay = form->provider.border->Handle();
    auto* other = new vcl::TForm(vcl::Application());  // another window, over both
    other->SetBounds(300, 300, 50, 50);
    other->Show();
    constexpr win::UINT kOrder = win::SWP_NOMOVE | win::SWP_NOSIZE | win::SWP_NOACTIVATE;
    win::SetWindowPos(overlay, other->Handle(), 0, 0, 0, 0, kOrder | win::SWP_SHOWWINDOW);
    win::SetWindowPos(form->Handle(), overlay, 0, 0, 0, 0, kOrder);
    ASSERT_EQ(win::GetWindow(form->Handle(), win::GW_HWNDPREV), overlay);
    std::vector<win::HWND> above;
    bool fail = false;
    const TLayeredWindowUpdate update = LayeredWindowUpdate();
    LayeredWindowUpdate() = [&](win::HWND wnd, win::HDC screen, const win::SIZE& size,
                                win::HDC src, const win::BLENDFUNCTION& blend) {
        above.push_back(win::GetWindow(overlay, win::GW_HWNDPREV));
        if (fail && above.size() > 1) throw vcl::Exception("frame failed");
        return update(wnd, screen, size, src, blend);
    };
    AnimShowForm(&form->provider, 30, 255, atFading);
    ASSERT_FALSE(above.empty());
    for (win::HWND h : above)
        EXPECT_EQ(h, other->Handle());

    // A failure while drawing still gives the form its redrawing back.
    form->redraws.clear();
    form->provider.FormChanging = true;
    above.clear();
    fail = true;
    EXPECT_THROW(AnimShowForm(&form->provider, 30, 255, atFading), vcl::Exception);
    EXPECT_EQ(form->redraws, std::vector<int>{1});
    EXPECT_FALSE(form->provider.FormChanging);
    EXPECT_EQ(AnimBmp, nullptr);
}

TEST_F(FormAnimationsTest, ATimeBelowTenMsDrawsTheFinalPictureOnce) {
    TAnimForm* form = NewForm(true);
    AnimShowForm(&form->provider, 9, 200, atAero);
    EXPECT_EQ(Alphas(frames), std::vector<int>{200});
    frames.clear();

    auto* dialogWindow = new vcl::TForm(vcl::Application());
    dialogWindow->SetBounds(10, 10, 80, 60);
    dialogWindow->Show();
    TestDialog dialog(dialogWindow);
    AnimShowDialog(&dialog, 0, 255, atFading);
    EXPECT_EQ(Alphas(frames), std::vector<int>{255});
    frames.clear();

    // A hide of N = 0 does nothing at all.
    manager->AnimEffects()->FormHide.Time = 5;
    AnimHideForm(&form->provider);
    EXPECT_TRUE(frames.empty());
    EXPECT_EQ(HideTimer(), nullptr);
}

TEST_F(FormAnimationsTest, WithoutABorderFormTheFormIsShownAndRedrawnWithoutFrames) {
    auto* form = new TAnimForm(vcl::Application());
    form->provider.FormChanging = true;
    AnimShowForm(&form->provider, 150, 255, atFading);
    EXPECT_TRUE(frames.empty());
    EXPECT_TRUE(win::IsWindowVisible(form->Handle()));
    EXPECT_EQ(form->redraws, std::vector<int>{1});
    EXPECT_FALSE(form->provider.FormChanging);
    EXPECT_EQ(clock.SleptMs(), 0u);
}

TEST_F(FormAnimationsTest, ADialogWithoutABorderFormGetsATemporaryOverlayThatGoesAtTheEnd) {
    auto* dialogWindow = new vcl::TForm(vcl::Application());
    dialogWindow->SetBounds(10, 10, 80, 60);
    dialogWindow->Show();
    TestDialog dialog(dialogWindow);
    const int components = vcl::Application()->ComponentCount();
    AnimShowDialog(&dialog, 30, 255, atAero);
    ASSERT_EQ(frames.size(), 1u + 4u + 1u);
    const win::HWND overlay = frames.front().Wnd;
    EXPECT_NE(overlay, dialogWindow->Handle());
    EXPECT_FALSE(win::IsWindow(overlay));
    EXPECT_EQ(vcl::Application()->ComponentCount(), components);
    EXPECT_EQ(frames[1].Size.cx, dialogWindow->Width());
}

TEST_F(FormAnimationsTest, HideFadesFromHalfTheAlphaOnTheTimerAndFreesItsOverlay) {
    TAnimForm* form = NewForm(true);
    manager->AnimEffects()->FormHide.Time = 30;
    manager->AnimEffects()->FormHide.Mode = atFading;
    AnimHideForm(&form->provider);
    EXPECT_FALSE(AnimationRunning);
    EXPECT_EQ(form->provider.border, nullptr);  // the border form went with the hide
    ASSERT_NE(HideTimer(), nullptr);
    const win::HWND overlay = frames.front().Wnd;
    EXPECT_TRUE(win::IsWindowVisible(overlay));
    // The hide returned after the first step; the timer runs the rest.
    EXPECT_EQ(Alphas(frames), (std::vector<int>{127, 84}));
    ASSERT_TRUE(RunHide());
    EXPECT_EQ(Alphas(frames), (std::vector<int>{127, 84, 42, 0, 0}));
    EXPECT_FALSE(win::IsWindow(overlay));
    EXPECT_FALSE(HideTimer()->Ticking());
}

TEST_F(FormAnimationsTest, FifteenMsHideIsTwoFramesTheFirstAtZero) {
    TAnimForm* form = NewForm(false);
    manager->AnimEffects()->FormHide.Time = 15;
    manager->AnimEffects()->FormHide.Mode = atAero;
    AnimHideForm(&form->provider);
    ASSERT_TRUE(RunHide());
    // The first update shows the picture at A div 2, then two frames.
    EXPECT_EQ(Alphas(frames), (std::vector<int>{127, 0, 0}));
}

TEST_F(FormAnimationsTest, ANewHideEndsTheEarlierOneCompletely) {
    TAnimForm* first = NewForm(false);
    TAnimForm* second = NewForm(false);
    manager->AnimEffects()->FormHide.Time = 100;
    AnimHideForm(&first->provider);
    const win::HWND firstOverlay = frames.front().Wnd;
    AnimHideForm(&second->provider);
    EXPECT_FALSE(win::IsWindow(firstOverlay));
    const win::HWND secondOverlay = HideTimer()->Overlay()->Handle();
    EXPECT_NE(secondOverlay, firstOverlay);
    ASSERT_TRUE(RunHide());
    EXPECT_FALSE(win::IsWindow(secondOverlay));
    size_t second_frames = 0;
    for (const Frame& f : frames)
        second_frames += f.Wnd == secondOverlay;
    EXPECT_EQ(second_frames, 1u + 11u);

    // A hide cut short by the end of the program: the timer frees its parts once.
    AnimHideForm(&first->provider);
    EXPECT_TRUE(HideTimer()->Running());
}

TEST_F(FormAnimationsTest, WhileTheApplicationTerminatesAHideRunsAtOnceToItsEnd) {
    TAnimForm* form = NewForm(false);
    manager->AnimEffects()->FormHide.Time = 20;
    manager->AnimEffects()->FormHide.Mode = atFading;
    vcl::Application()->Terminate();
    AnimHideForm(&form->provider);
    EXPECT_EQ(Alphas(frames), (std::vector<int>{127, 63, 0, 0}));
    EXPECT_FALSE(HideTimer()->Running());
    EXPECT_FALSE(win::IsWindow(frames.front().Wnd));
    EXPECT_EQ(clock.SleptMs(), 30u);
}

TEST_F(FormAnimationsTest, TheSkinChangeFadesANewPictureInOverTheFrozenForm) {
    TAnimForm* form = NewForm(false);
    form->SetAlphaBlend(true);
    Neighbours().AnimFormTransition(form, 50, 200, atFading);
    EXPECT_EQ(Alphas(frames), (std::vector<int>{0, 40, 80, 120, 160, 200, 200}));
    EXPECT_FALSE(win::IsWindow(frames.front().Wnd));
    EXPECT_EQ(SnapshotWindow, nullptr);
    EXPECT_EQ(form->redraws, std::vector<int>{1});
    EXPECT_EQ(form->AlphaBlendValue(), 200);
    EXPECT_EQ(form->provider.frames, 1);
    EXPECT_FALSE(AnimationRunning);
}

TEST_F(FormAnimationsTest, WithoutLayeredWindowsTheSkinChangeCrossFadesOnASnapshot) {
    SetLayeredWindowsAvailable(false);
    TAnimForm* form = NewForm(false);
    auto* child = new vcl::TWinControl(form);
    child->SetParent(form);
    child->SetBounds(5, 5, 30, 20);
    child->HandleNeeded();
    auto* fade = new TRefreshCounter(vcl::Application());
    Neighbours().FadeLayeredWindow = [&] { return fade->Handle(); };
    AnimFormTransition(child, 40, 255, atFading);
    EXPECT_TRUE(frames.empty());
    EXPECT_EQ(fade->refreshes, 5);  // N + 1 frames
    EXPECT_EQ(clock.SleptMs(), 50u);
    EXPECT_EQ(SnapshotWindow, nullptr);
    EXPECT_EQ(SnapshotBmp, nullptr);
    EXPECT_FALSE(AnimationRunning);
}

// A control that paints itself white.
class TWhiteControl : public vcl::TCustomControl {
public:
    VCL_CLASS(TWhiteControl, vcl::TCustomControl)
    using vcl::TCustomControl::TCustomControl;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(0xFFFFFF);
        Canvas()->FillRect(vcl::TRect(0, 0, Width(), Height()));
    }
};

TEST_F(FormAnimationsTest, TheCrossFadeMixesTheOldPictureIntoTheNewByFallingWeights) {
    TAnimForm* form = NewForm(false);
    auto* child = new TWhiteControl(form);
    child->SetParent(form);
    child->SetBounds(5, 5, 30, 20);
    child->HandleNeeded();
    // The old picture: black.
    CoverWithSnapshot(child);
    win::PatBlt(SnapshotBmp->Canvas()->Handle(), 0, 0, 30, 20, win::BLACKNESS);
    std::vector<int> shown;
    auto* fade = new TRefreshCounter(vcl::Application());
    fade->onRefresh = [&] {
        const win::HWND out = SnapshotWindow->Handle();
        const win::HDC dc = win::GetDC(out);
        shown.push_back(int(win::GetPixel(dc, 3, 3) & 0xFF));
        win::ReleaseDC(out, dc);
    };
    Neighbours().FadeLayeredWindow = [&] { return fade->Handle(); };
    AnimFormTransition(child, 40, 255, atFading);
    // Weights 255, 192, 129, 66, 3 of the old picture.
    EXPECT_EQ(shown, (std::vector<int>{0, 63, 126, 189, 252}));
    EXPECT_EQ(SnapshotWindow, nullptr);
}

TEST_F(FormAnimationsTest, TheSnapshotCoversTheControlJustAboveIt) {
    TAnimForm* form = NewForm(false);
    auto* a = new vcl::TWinControl(form);
    a->SetParent(form);
    a->SetBounds(5, 5, 30, 20);
    auto* b = new vcl::TWinControl(form);
    b->SetParent(form);
    b->SetBounds(40, 5, 30, 20);
    a->HandleNeeded();
    b->HandleNeeded();
    CoverWithSnapshot(a);
    ASSERT_NE(SnapshotWindow, nullptr);
    EXPECT_EQ(SnapshotWindow->Parent(), form);
    EXPECT_EQ(SnapshotWindow->BoundsRect(), a->BoundsRect());
    EXPECT_EQ(win::GetWindow(a->Handle(), win::GW_HWNDPREV), SnapshotWindow->Handle());
    EXPECT_TRUE(win::IsWindowVisible(SnapshotWindow->Handle()));
    EXPECT_EQ(SnapshotBmp->Width(), 30);
    EXPECT_EQ(SnapshotBmp->PixelFormat(), vcl::pf24bit);
    // The output window belongs to the control and goes with it.
    a->Free();
    EXPECT_EQ(SnapshotWindow, nullptr);
    vcl::FreeAndNil(SnapshotBmp);

    // A top-level window: the snapshot lies at its screen place, just above it.
    CoverWithSnapshot(form);
    win::RECT r{};
    win::GetWindowRect(SnapshotWindow->Handle(), &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 80);
    EXPECT_EQ(win::GetWindow(form->Handle(), win::GW_HWNDPREV), SnapshotWindow->Handle());
    SnapshotWindow->Free();
    vcl::FreeAndNil(SnapshotBmp);
}

TEST_F(FormAnimationsTest, TheRunningFlagIsClearedWhenAnAnimationFails) {
    TAnimForm* form = NewForm(true);
    form->provider.failPaint = true;
    EXPECT_THROW(AnimHideForm(&form->provider), vcl::Exception);
    EXPECT_FALSE(AnimationRunning);
    EXPECT_EQ(AnimBmp, nullptr);
    EXPECT_THROW(Neighbours().AnimFormTransition(form, 50, 255, atFading), vcl::Exception);
    EXPECT_FALSE(AnimationRunning);
    EXPECT_EQ(SnapshotWindow, nullptr);
}

}  // namespace
}  // namespace skin
