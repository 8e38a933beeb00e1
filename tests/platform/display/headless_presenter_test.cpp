// The headless presenter: injected clicks reach windows, screenshots hold the composed screen.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>

#include "platform/display/headless_presenter.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/os/clock.h"
#include "platform/user/user.h"
#include "tests/support/temp_dir.h"

namespace display {
namespace {

int clicks = 0;

win::LRESULT CountingProc(win::HWND h, win::UINT m, win::WPARAM wp, win::LPARAM lp) {
    if (m == win::WM_LBUTTONDOWN) ++clicks;
    return win::DefWindowProcA(h, m, wp, lp);
}

// Reads a PNG back into RGB rows.
Rgb ReadPng(const std::string& path) {
    Rgb out;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return out;
    image.format = PNG_FORMAT_RGB;
    out.width = int(image.width);
    out.height = int(image.height);
    out.pixels.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr)) out = Rgb{};
    return out;
}

class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override { win::ResetWindowing(); }
    void TearDown() override { win::ResetWindowing(); }
    os::FakeClock clock_;
    os::ScopedClock scoped_{clock_};
};

TEST_F(HeadlessTest, ScreenshotMatchesTheComposedScreenAndClicksArrive) {
    HeadlessPresenter presenter(320, 200);
    win::WNDCLASSEXA wc;
    wc.lpfnWndProc = &CountingProc;
    wc.lpszClassName = "Shot";
    wc.hbrBackground = win::CreateSolidBrush(win::RGB(200, 10, 10));
    win::RegisterClassExA(&wc);
    win::HWND w = win::CreateWindowExA(0, "Shot", "", win::WS_POPUP | win::WS_VISIBLE, 20, 30, 100,
                                       50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    clicks = 0;
    presenter.Click(25, 35);
    presenter.Click(300, 190);  // the desktop: nobody
    win::MSG m;
    while (win::PeekMessageA(&m, nullptr, 0, 0, win::PM_REMOVE))
        win::DispatchMessageA(&m);
    EXPECT_EQ(clicks, 1);

    testing_support::TempDir dir;
    ASSERT_TRUE(presenter.Screenshot(dir / "screen.png"));
    Rgb shot = ReadPng(dir / "screen.png");
    ASSERT_EQ(shot.width, 320);
    ASSERT_EQ(shot.height, 200);
    Rgb live = CaptureScreen();
    EXPECT_EQ(shot.pixels, live.pixels);
    const unsigned char* inside = &shot.pixels[(size_t(40) * 320 + 30) * 3];
    EXPECT_EQ(inside[0], 200);
    EXPECT_EQ(inside[1], 10);
    EXPECT_FALSE(presenter.Screenshot(dir / "missing/folder/x.png"));
}

}  // namespace
}  // namespace display
