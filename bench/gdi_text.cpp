// Text drawing per second: a caption-length line with TextOut and DrawText (single line with
// an ellipsis, and a wrapped paragraph) on a 24-bit cache bitmap, the way controls draw.
#include <benchmark/benchmark.h>

#include <cstring>

#include "platform/gdi/gdi.h"

namespace {

using namespace win;

struct Target {
    Target() {
        BITMAPINFO bmi{};
        bmi.bmiHeader.biWidth = 400;
        bmi.bmiHeader.biHeight = -100;
        bmi.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        bitmap = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, bitmap);
        font = CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif");
        SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
    }
    ~Target() {
        DeleteDC(dc);
        DeleteObject(bitmap);
        DeleteObject(font);
    }
    HBITMAP bitmap;
    HDC dc;
    HFONT font;
};

const char* kLine = "Mailing list 12: 1250 numbers, 37 pending";

void BM_TextOut(benchmark::State& state) {
    Target t;
    const int n = int(std::strlen(kLine));
    for (auto _ : state)
        TextOut(t.dc, 4, 4, kLine, n);
    state.SetItemsProcessed(int64_t(state.iterations()));
    state.counters["chars/s"] =
        benchmark::Counter(double(state.iterations()) * n, benchmark::Counter::kIsRate);
}

void BM_DrawTextEllipsis(benchmark::State& state) {
    Target t;
    for (auto _ : state) {
        RECT r{4, 4, 150, 20};
        DrawText(t.dc, kLine, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}

void BM_DrawTextWrapped(benchmark::State& state) {
    Target t;
    const char* para =
        "The mailing sends every unprocessed number of the list, waits for the reports and "
        "records each message in the journal.";
    for (auto _ : state) {
        RECT r{4, 4, 200, 96};
        DrawText(t.dc, para, -1, &r, DT_WORDBREAK | DT_NOPREFIX);
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}

void BM_TextExtent(benchmark::State& state) {
    Target t;
    const int n = int(std::strlen(kLine));
    SIZE size;
    for (auto _ : state)
        GetTextExtentPoint32(t.dc, kLine, n, &size);
    state.SetItemsProcessed(int64_t(state.iterations()));
}

}  // namespace

BENCHMARK(BM_TextOut);
BENCHMARK(BM_DrawTextEllipsis);
BENCHMARK(BM_DrawTextWrapped);
BENCHMARK(BM_TextExtent);
