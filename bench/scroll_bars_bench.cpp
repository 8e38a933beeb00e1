// The scroll bars of a 400 x 300 multi-line edit with both bars: painted by the skin adapter
// under the internal skin beside the classic bars of the same window, and 1 000 characters
// typed into an adapted memo beside a plain one (the adapter repaints its bars after every
// message, so typing shows what that costs). The table at the end gives the ratios.
// Run with --benchmark_repetitions=N --benchmark_enable_random_interleaving=true for medians.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench/ratio_report.h"
#include "platform/controls/edit_control.h"
#include "platform/controls/standard_controls.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "platform/user/window_tree.h"
#include "skin/core/data/internal_skin.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/scroll/edit_wnd.h"
#include "vcl/controls/forms.h"

namespace {

constexpr int kLines = 40, kTyped = 1000;

// A host window with a 400 x 300 memo full enough for both bars; with `skinned` the memo has
// the edit adapter under the internal skin.
class Memo {
public:
    explicit Memo(bool skinned) {
        win::ResetWindowing();
        win::RegisterStandardControls();
        win::WNDCLASSA wc;
        wc.lpfnWndProc = win::DefWindowProcA;
        wc.lpszClassName = "ScrollBarsBenchHost";
        wc.hbrBackground = reinterpret_cast<win::HBRUSH>(intptr_t(win::COLOR_BTNFACE + 1));
        win::RegisterClassA(&wc);
        host_ = win::CreateWindowExA(0, "ScrollBarsBenchHost", "", win::WS_POPUP | win::WS_VISIBLE,
                                     0, 0, 420, 320, nullptr, nullptr, nullptr, nullptr);
        edit = win::CreateWindowExA(
            0, "Edit", "",
            win::WS_CHILD | win::WS_VISIBLE | win::WS_BORDER | win::WS_VSCROLL | win::WS_HSCROLL |
                win::ES_MULTILINE | win::ES_AUTOVSCROLL | win::ES_AUTOHSCROLL,
            10, 10, 400, 300, host_, nullptr, nullptr, nullptr);
        win::SendMessageA(edit, win::EM_LIMITTEXT, 0, 0);
        std::string text;
        for (int i = 0; i < kLines; ++i)
            text += "Line " + std::to_string(i) + " of a memo long and wide enough for both bars, " +
                    std::string(size_t(i % 5) * 20, 'w') + "\r\n";
        win::SetWindowTextA(edit, text.c_str());
        if (skinned) {
            manager_.reset(new skin::TsSkinManager(nullptr));
            skin::AddInternalSkin(*manager_->InternalSkins());
            manager_->SetSkinName(skin::InternalSkinName());
            adapter = skin::AttachAdapter<skin::TacEditWnd>(edit, nullptr, manager_.get(), "", true);
            win::SendMessageA(edit, skin::SM_ALPHACMD, skin::SkinCommandWParam(skin::SKC_REFRESH),
                              reinterpret_cast<intptr_t>(manager_.get()));
        }
        win::SetFocus(edit);
        win::RedrawWindow(host_, nullptr, nullptr,
                          win::RDW_FRAME | win::RDW_INVALIDATE | win::RDW_ALLCHILDREN |
                              win::RDW_UPDATENOW);
        Pump();
    }
    ~Memo() {
        if (adapter) {
            skin::TacMainWnd* a = adapter;
            skin::FreeAdapter(a);
        }
        win::DestroyWindow(host_);
        manager_.reset();
        vcl::DoneApplication();
        win::ResetWindowing();
    }
    Memo(const Memo&) = delete;
    Memo& operator=(const Memo&) = delete;

    static void Pump() {
        win::MSG m;
        while (win::PeekMessageA(&m, nullptr, 0, 0, win::PM_REMOVE))
            win::DispatchMessageA(&m);
    }

    win::HWND edit = nullptr;
    skin::TacEditWnd* adapter = nullptr;

private:
    win::HWND host_ = nullptr;
    std::unique_ptr<skin::TsSkinManager, vcl::FreeDeleter> manager_;
};

// Both bars and the size box painted by the adapter from the skin's pieces.
void BM_BarsSkinned(benchmark::State& state) {
    Memo m(true);
    if (m.adapter == nullptr || !m.adapter->VBar.Shown || !m.adapter->HBar.Shown) {
        state.SkipWithError("the adapter does not show both bars");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(m.adapter->PaintScrollBars(nullptr));
}
BENCHMARK(BM_BarsSkinned)->Unit(benchmark::kMicrosecond);

// Both bars and the size box painted by the platform: setting the position a bar already has
// with a redraw repaints the classic bars and nothing else.
void BM_BarsClassic(benchmark::State& state) {
    Memo m(false);
    win::SCROLLINFO si;
    si.fMask = win::SIF_POS;
    si.nPos = win::GetScrollPos(m.edit, win::SB_VERT);
    for (auto _ : state)
        benchmark::DoNotOptimize(win::SetScrollInfo(m.edit, win::SB_VERT, &si, win::TRUE));
}
BENCHMARK(BM_BarsClassic)->Unit(benchmark::kMicrosecond);

// The same with the vertical thumb moving every time, so the skinned bar is composed anew
// (the one above shows the image it kept); the classic bar is redrawn by the move itself.
void Moving(benchmark::State& state, bool skinned) {
    Memo m(skinned);
    win::SCROLLINFO si;
    si.fMask = win::SIF_POS;
    int i = 0;
    for (auto _ : state) {
        si.nPos = i++ % 2;
        win::SetScrollInfo(m.edit, win::SB_VERT, &si, skinned ? win::FALSE : win::TRUE);
        if (skinned) benchmark::DoNotOptimize(m.adapter->PaintScrollBars(nullptr));
    }
}
void BM_BarsSkinnedMoving(benchmark::State& state) {
    Moving(state, true);
}
void BM_BarsClassicMoving(benchmark::State& state) {
    Moving(state, false);
}
BENCHMARK(BM_BarsSkinnedMoving)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BarsClassicMoving)->Unit(benchmark::kMicrosecond);

// 1 000 keystrokes at the end of the memo, each with the repaint it causes; the typed text is
// taken out again outside the timing.
void Typing(benchmark::State& state, bool skinned) {
    Memo m(skinned);
    const auto end = static_cast<win::WPARAM>(win::GetWindowTextLengthA(m.edit));
    for (auto _ : state) {
        state.PauseTiming();
        win::SendMessageA(m.edit, win::EM_SETSEL, end, static_cast<win::LPARAM>(end));
        win::SendMessageA(m.edit, win::EM_SCROLLCARET, 0, 0);
        win::UpdateWindow(m.edit);
        state.ResumeTiming();
        for (int i = 0; i < kTyped; ++i) {
            const char ch = i % 60 == 59 ? '\r' : i % 7 == 6 ? ' ' : char('a' + i % 26);
            win::SendMessageA(m.edit, win::WM_CHAR, static_cast<win::WPARAM>(ch), 0);
            win::UpdateWindow(m.edit);
        }
        state.PauseTiming();
        win::SendMessageA(m.edit, win::EM_SETSEL, end, -1);
        win::SendMessageA(m.edit, win::EM_REPLACESEL, win::FALSE, reinterpret_cast<win::LPARAM>(""));
        Memo::Pump();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kTyped);
}
void BM_TypingAdapted(benchmark::State& state) { Typing(state, true); }
void BM_TypingPlain(benchmark::State& state) { Typing(state, false); }
BENCHMARK(BM_TypingAdapted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypingPlain)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunWithRatios(
        argc, argv,
        {{"BM_BarsSkinned", "BM_BarsClassic", "400 x 300 memo bars, skinned / classic", 4},
         {"BM_BarsSkinnedMoving", "BM_BarsClassicMoving", "the same, thumb moving each time", 0},
         {"BM_TypingAdapted", "BM_TypingPlain", "1 000 characters typed, adapted / plain", 0}});
}
