// The X11 presenter on a virtual X server started for the run (nothing is measured without
// Xvfb): a full repaint of a 1280 x 800 main window put through the per-window presenter,
// beside the floor, the same pixels put bare into one plain X window with XPutImage (what the
// presenter uses too, so both go the same way to the server), and the time from the start of
// the windowing layer to a main window mapped and painted on the desktop. Times are wall
// times: the X server's half of the work is its own process's.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "bench/ratio_report.h"
#include "platform/display/x11_presenter.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/user/user.h"
#include "tests/support/virtual_x_server.h"

// Xlib's macros clash with the windowing names, so it comes last.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

constexpr int kWidth = 1280, kHeight = 800;

testing_support::VirtualXServer& Server() {
    static testing_support::VirtualXServer server;
    return server;
}

win::HWND MainWindow() {
    win::WNDCLASSEXA wc;
    wc.lpfnWndProc = &win::DefWindowProcA;
    wc.lpszClassName = "BenchMain";
    wc.hbrBackground = win::CreateSolidBrush(win::RGB(30, 140, 200));
    win::RegisterClassExA(&wc);
    return win::CreateWindowExA(0, "BenchMain", "Main", win::WS_POPUP | win::WS_VISIBLE, 0, 0,
                                kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
}

// Waits until the X server has done everything asked of it on `dpy`.
void Settle(Display* dpy) {
    XSync(dpy, False);
}

void BM_PresenterFullRepaint(benchmark::State& state) {
    if (!Server().Up()) return state.SkipWithError("no Xvfb");
    win::ResetWindowing();
    auto presenter = display::X11Presenter::Open(Server().Name());
    if (!presenter) return state.SkipWithError("no presenter");
    win::HWND main = MainWindow();
    win::UpdateWindow(main);
    presenter->Present();
    for (auto _ : state) {
        win::InvalidateRect(main, nullptr, win::TRUE);
        win::UpdateWindow(main);
        presenter->Present();  // composes, puts and waits for the server
    }
    state.SetItemsProcessed(state.iterations());
    presenter.reset();
    win::ResetWindowing();
}
BENCHMARK(BM_PresenterFullRepaint)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BarePut(benchmark::State& state) {
    if (!Server().Up()) return state.SkipWithError("no Xvfb");
    Display* dpy = XOpenDisplay(Server().Name());
    if (dpy == nullptr) return state.SkipWithError("no display");
    const int screen = DefaultScreen(dpy);
    const ::Window w =
        XCreateSimpleWindow(dpy, RootWindow(dpy, screen), 0, 0, kWidth, kHeight, 0, 0, 0);
    XMapWindow(dpy, w);
    GC gc = XCreateGC(dpy, w, 0, nullptr);
    char* data = static_cast<char*>(std::malloc(size_t(kWidth) * kHeight * 4));
    std::memset(data, 0x5A, size_t(kWidth) * kHeight * 4);
    XImage* image =
        XCreateImage(dpy, DefaultVisual(dpy, screen), unsigned(DefaultDepth(dpy, screen)), ZPixmap,
                     0, data, kWidth, kHeight, 32, 0);
    Settle(dpy);
    for (auto _ : state) {
        XPutImage(dpy, w, gc, image, 0, 0, 0, 0, kWidth, kHeight);
        Settle(dpy);
    }
    state.SetItemsProcessed(state.iterations());
    XDestroyImage(image);
    XFreeGC(dpy, gc);
    XDestroyWindow(dpy, w);
    XCloseDisplay(dpy);
}
BENCHMARK(BM_BarePut)->Unit(benchmark::kMillisecond)->UseRealTime();

// From nothing to the main window on the desktop: the presenter connects, the window is made,
// shown and painted, and its X window is mapped with its picture put.
void BM_StartToMainWindowPainted(benchmark::State& state) {
    if (!Server().Up()) return state.SkipWithError("no Xvfb");
    for (auto _ : state) {
        win::ResetWindowing();
        auto presenter = display::X11Presenter::Open(Server().Name());
        if (!presenter) return state.SkipWithError("no presenter");
        win::HWND main = win::CreateWindowExA(0, "BenchMain", "Main", win::WS_OVERLAPPEDWINDOW, 100,
                                              80, 800, 600, nullptr, nullptr, nullptr, nullptr);
        if (main == nullptr) main = MainWindow();
        win::ShowWindow(main, win::SW_SHOWNORMAL);
        win::UpdateWindow(main);
        presenter->Present();  // made, mapped, put, and synced with the server
        state.PauseTiming();
        presenter.reset();
        state.ResumeTiming();
    }
    win::ResetWindowing();
}
BENCHMARK(BM_StartToMainWindowPainted)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    return bench::RunWithRatios(argc, argv,
                                {{"BM_PresenterFullRepaint/real_time", "BM_BarePut/real_time",
                                  "main window 1280x800 / bare XPutImage", 1.2, true}});
}
