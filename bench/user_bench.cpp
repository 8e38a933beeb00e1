// Messages per second through the queue and the procedure, and frames per second composing a
// full screen of windows.
#include <benchmark/benchmark.h>

#include "platform/gdi/gdi_objects.h"
#include "platform/user/user.h"

namespace {

win::LRESULT Proc(win::HWND h, win::UINT m, win::WPARAM wp, win::LPARAM lp) {
    return win::DefWindowProcA(h, m, wp, lp);
}

win::HWND MakeWindow(win::DWORD style, int x, int y, int w, int h) {
    static bool registered = false;
    if (!registered) {
        win::WNDCLASSEXA wc;
        wc.lpfnWndProc = &Proc;
        wc.lpszClassName = "Bench";
        wc.hbrBackground = win::CreateSolidBrush(win::RGB(30, 60, 90));
        win::RegisterClassExA(&wc);
        registered = true;
    }
    return win::CreateWindowExA(0, "Bench", "bench", style, x, y, w, h, nullptr, nullptr, nullptr,
                                nullptr);
}

void BM_SendMessage(benchmark::State& state) {
    win::HWND w = MakeWindow(win::WS_POPUP, 0, 0, 10, 10);
    for (auto _ : state)
        benchmark::DoNotOptimize(win::SendMessageA(w, win::WM_USER, 1, 2));
    state.SetItemsProcessed(state.iterations());
    win::DestroyWindow(w);
}
BENCHMARK(BM_SendMessage);

void BM_PostAndDispatch(benchmark::State& state) {
    win::HWND w = MakeWindow(win::WS_POPUP, 0, 0, 10, 10);
    win::MSG m;
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i)
            win::PostMessageA(w, win::WM_USER, win::WPARAM(i), 0);
        while (win::PeekMessageA(&m, nullptr, 0, 0, win::PM_REMOVE))
            win::DispatchMessageA(&m);
    }
    state.SetItemsProcessed(state.iterations() * 100);
    win::DestroyWindow(w);
}
BENCHMARK(BM_PostAndDispatch);

// A 1280x800 screen tiled with 40 overlapping framed windows; every frame recomposes it all.
void BM_ComposeFullScreen(benchmark::State& state) {
    std::vector<win::HWND> windows;
    for (int i = 0; i < 40; ++i)
        windows.push_back(MakeWindow(win::WS_OVERLAPPEDWINDOW | win::WS_VISIBLE, (i % 8) * 150,
                                     (i / 8) * 150, 300, 250));
    win::MSG m;
    while (win::PeekMessageA(&m, nullptr, 0, 0, win::PM_REMOVE))
        win::DispatchMessageA(&m);
    win::HWND desktop = win::GetDesktopWindow();
    for (auto _ : state) {
        win::HDC dc = win::GetDC(nullptr);  // damages the whole screen
        win::ReleaseDC(desktop, dc);
        benchmark::DoNotOptimize(win::ComposeScreen());
    }
    state.counters["fps"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    for (win::HWND w : windows)
        win::DestroyWindow(w);
}
BENCHMARK(BM_ComposeFullScreen);

}  // namespace
