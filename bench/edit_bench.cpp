// Typing into a word-wrapped memo of 100 000 lines: 1 000 characters typed into the middle of
// one line, each keystroke timed with the repaint it causes. The median and the worst keystroke
// are reported for a line near the top, one in the middle and one near the end: they should not
// depend on where the line is. Wall time counts what the operator waits; the thread's CPU time
// (cpu_) leaves out the waits of a busy machine.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <string>
#include <vector>

#include "platform/controls/edit_control.h"
#include "platform/controls/standard_controls.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"

namespace {

using namespace win;

double ThreadCpuMicros() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

// The median, the 99th percentile and the worst of a sample, as counters named with `prefix`.
void Report(benchmark::State& state, const char* prefix, std::vector<double>& us) {
    std::sort(us.begin(), us.end());
    const std::string p(prefix);
    state.counters[p + "median_us"] = us[us.size() / 2];
    state.counters[p + "p99_us"] = us[us.size() * 99 / 100];
    state.counters[p + "worst_us"] = us.back();
}

constexpr int kLines = 100000;
constexpr int kTyped = 1000;

struct Memo {
    Memo() {
        RegisterStandardControls();
        WNDCLASSA wc;
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "EditBenchHost";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(intptr_t(COLOR_BTNFACE + 1));
        RegisterClassA(&wc);
        host = CreateWindowExA(0, "EditBenchHost", "", WS_POPUP | WS_VISIBLE, 0, 0, 420, 320,
                               nullptr, nullptr, nullptr, nullptr);
        edit = CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", "",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL,
                               10, 10, 400, 300, host, nullptr, nullptr, nullptr);
        font = CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif");
        SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        SendMessageA(edit, EM_LIMITTEXT, 0, 0);
        std::string text;
        for (int i = 0; i < kLines; ++i) {
            if (i) text += "\r\n";
            text += "Number " + std::to_string(79160000000LL + i) + "; value " +
                    std::to_string(i % 977);
        }
        SetWindowTextA(edit, text.c_str());
        SetFocus(edit);
        Pump();
    }
    static void Pump() {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
    }
    HWND host, edit;
    HFONT font;
};

Memo& TheMemo() {
    static Memo memo;
    return memo;
}

void BM_MemoTyping(benchmark::State& state) {
    Memo& m = TheMemo();
    const int line = static_cast<int>(state.range(0));
    std::vector<double> us, cpu;
    for (auto _ : state) {
        state.PauseTiming();
        const auto start = static_cast<WPARAM>(SendMessageA(m.edit, EM_LINEINDEX, line, 0));
        const auto at =
            start + static_cast<WPARAM>(SendMessageA(m.edit, EM_LINELENGTH, start, 0)) / 2;
        SendMessageA(m.edit, EM_SETSEL, at, static_cast<LPARAM>(at));
        SendMessageA(m.edit, EM_SCROLLCARET, 0, 0);
        UpdateWindow(m.edit);
        state.ResumeTiming();
        for (int i = 0; i < kTyped; ++i) {
            const auto t0 = std::chrono::steady_clock::now();
            const double c0 = ThreadCpuMicros();
            SendMessageA(m.edit, WM_CHAR, static_cast<WPARAM>(i % 7 == 6 ? ' ' : 'a' + i % 26), 0);
            UpdateWindow(m.edit);
            const double c1 = ThreadCpuMicros();
            const auto t1 = std::chrono::steady_clock::now();
            cpu.push_back(c1 - c0);
            us.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
        }
        state.PauseTiming();
        SendMessageA(m.edit, EM_SETSEL, at, static_cast<LPARAM>(at + kTyped));
        SendMessageA(m.edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
        state.ResumeTiming();
    }
    Report(state, "", us);
    Report(state, "cpu_", cpu);
    state.SetItemsProcessed(state.iterations() * kTyped);
}
BENCHMARK(BM_MemoTyping)->Arg(10)->Arg(kLines / 2)->Arg(kLines - 10)->Unit(benchmark::kMillisecond);

}  // namespace
