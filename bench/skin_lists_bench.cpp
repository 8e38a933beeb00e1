// A 10 000-item list box and a 10 000-row, three-column list view in report view, scrolled
// page by page (each page painted and the screen composed) under the internal skin, beside the
// same controls with their skin manager inactive; the date edit's popup calendar from the
// button's click to its first painted frame; one five-line HTML hint measured, painted and
// composed (no fade: its sleeps are the fade's, not the work), and hint HTML of many "<"
// against its length. The table at the end gives the lists' ratios to the inactive ones;
// frames/s counters show the pages painted per second.
// Run with --benchmark_repetitions=N --benchmark_enable_random_interleaving=true for medians.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/ratio_report.h"
#include "bench/skinned_stage.h"
#include "platform/controls/list_view_control.h"
#include "platform/user/screen.h"
#include "platform/user/user.h"
#include "skin/controls/date_edit.h"
#include "skin/controls/hint_html.h"
#include "skin/controls/hints.h"
#include "skin/controls/list_boxes.h"
#include "skin/controls/list_view.h"

namespace {

constexpr int kRows = 10000;

// A form under its own skin manager, shown active or not.
class Stage : public bench::SkinnedStage {
public:
    explicit Stage(bool active) : SkinnedStage(800, 600), active_(active) {}

    void Show() {
        form->Show();
        if (!active_) manager->SetActive(false);
        vcl::Application()->ProcessMessages();
    }
    template <class T>
    T* Put(vcl::TRect bounds) {
        T* c = vcl::New<T>(form);
        c->SetParent(form);
        c->SetBoundsRect(bounds);
        return c;
    }
    // What the window and its children show now, composed onto the screen.
    static void Present(win::HWND wnd) {
        win::RedrawWindow(wnd, nullptr, nullptr, win::RDW_UPDATENOW | win::RDW_ALLCHILDREN);
        benchmark::DoNotOptimize(win::ComposeScreen());
    }

private:
    bool active_;
};

void Rate(benchmark::State& state) {
    state.counters["frames/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void ListBoxPages(benchmark::State& state, bool active) {
    Stage s(active);
    auto* list = s.Put<skin::TsListBox>(vcl::Bounds(10, 10, 300, 400));
    list->Items()->BeginUpdate();
    for (int i = 0; i < kRows; ++i) list->Items()->Add("7916" + std::to_string(1000000 + i));
    list->Items()->EndUpdate();
    s.Show();
    list->SetItemIndex(3);
    const int page = std::max(1, list->ClientHeight() / list->ItemHeight());
    int top = 0;
    for (auto _ : state) {
        top = top + page < kRows ? top + page : 0;
        list->SetTopIndex(top);
        Stage::Present(list->Handle());
    }
    if (list->TopIndex() != top) state.SkipWithError("the list did not scroll");
    Rate(state);
}

void ListViewPages(benchmark::State& state, bool active) {
    Stage s(active);
    auto* list = s.Put<skin::TsListView>(vcl::Bounds(10, 10, 420, 400));
    list->SetViewStyle(vcl::vsReport);
    for (const char* c : {"Number", "Name", "Status"}) {
        vcl::TListColumn* col = list->Columns()->Add();
        col->SetCaption(c);
        col->SetWidth(130);
    }
    list->Items()->BeginUpdate();
    for (int i = 0; i < kRows; ++i) {
        vcl::TListItem* item = list->Items()->Add();
        item->SetCaption("7916" + std::to_string(1000000 + i));
        item->SubItems()->Add("Anna");
        item->SubItems()->Add("Delivered");
    }
    list->Items()->EndUpdate();
    s.Show();
    const win::HWND wnd = list->Handle();
    win::RECT first{};
    first.left = win::LVIR_BOUNDS;
    win::SendMessageA(wnd, win::LVM_GETITEMRECT, 0, reinterpret_cast<win::LPARAM>(&first));
    const int perPage = int(win::SendMessageA(wnd, win::LVM_GETCOUNTPERPAGE, 0, 0));
    const int step = std::max(1, perPage) * std::max(1, int(first.bottom - first.top));
    int pages = 0;
    const int lastPage = kRows / std::max(1, perPage) - 1;
    for (auto _ : state) {
        if (++pages > lastPage) {
            win::SendMessageA(wnd, win::LVM_ENSUREVISIBLE, 0, 0);
            pages = 0;
        } else {
            win::SendMessageA(wnd, win::LVM_SCROLL, 0, step);
        }
        Stage::Present(wnd);
    }
    Rate(state);
}

void BM_ListBoxPagesSkinned(benchmark::State& state) {
    ListBoxPages(state, true);
}
void BM_ListBoxPagesInactive(benchmark::State& state) {
    ListBoxPages(state, false);
}
void BM_ListViewPagesSkinned(benchmark::State& state) {
    ListViewPages(state, true);
}
void BM_ListViewPagesInactive(benchmark::State& state) {
    ListViewPages(state, false);
}
BENCHMARK(BM_ListBoxPagesSkinned)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListBoxPagesInactive)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListViewPagesSkinned)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListViewPagesInactive)->Unit(benchmark::kMillisecond);

// The date edit's button clicked: the popup calendar made, placed, shown and painted once.
void BM_CalendarPopupFirstFrame(benchmark::State& state) {
    Stage s(true);
    auto* edit = s.Put<skin::TsDateEdit>(vcl::Bounds(10, 10, 120, 21));
    edit->SetDate(vcl::EncodeDate(2026, 3, 5));
    s.Show();
    for (auto _ : state) {
        edit->Button()->Click();
        skin::TsPopupCalendar* popup = edit->PopupCalendar();
        if (!popup || !popup->Visible()) {
            state.SkipWithError("no popup");
            break;
        }
        Stage::Present(popup->Handle());
        state.PauseTiming();
        popup->Hide();
        vcl::Application()->ProcessMessages();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CalendarPopupFirstFrame)->Unit(benchmark::kMillisecond);

// Five lines of HTML in the built-in balloon: measured, painted and composed.
void BM_HtmlHintFiveLines(benchmark::State& state) {
    Stage s(true);
    auto* hints = vcl::New<skin::TsAlphaHints>(s.form);
    hints->SetHTMLMode(true);
    hints->SetAnimated(false);
    hints->SetMaxWidth(240);
    hints->Loaded();
    s.Show();
    auto* window = vcl::New<skin::TacPngHintWindow>(s.form);
    const std::string text =
        "<b>Mailing</b> of the list<br><font color=\"#C00000\">Clients</font>: 3 200 "
        "numbers<br>Sent <u>1 024</u>, delivered 990<br><i>Reports awaited</i> for 34<br>"
        "<font size=\"+2\">Press Stop to end</font>";
    for (auto _ : state) {
        const vcl::TRect r = window->CalcHintRect(0, text);
        window->ActivateHint(vcl::Bounds(200, 200, r.Width(), r.Height()), text);
        benchmark::DoNotOptimize(win::ComposeScreen());
    }
}
BENCHMARK(BM_HtmlHintFiveLines)->Unit(benchmark::kMicrosecond);

// Hint text of many "<" that share one distant ">", each drawn as text: the renderer reads it
// in one pass, so the time grows with the length (the complexity line says so).
void BM_HtmlHintOpeningsSharingOneClose(benchmark::State& state) {
    auto* bmp = vcl::New<vcl::TBitmap>();
    bmp->SetPixelFormat(vcl::pf24bit);
    bmp->SetSize(200, 100);
    std::string text;
    while (text.size() + 1 < size_t(state.range(0)))
        text += "<a";
    text += ">";
    for (auto _ : state) {
        skin::TsHtml html;
        html.Init(bmp, text, vcl::Rect(0, 0, 200, 100));
        vcl::TRect r;
        html.Render(r);
        benchmark::DoNotOptimize(r);
    }
    state.SetComplexityN(state.range(0));
    bmp->Free();
}
BENCHMARK(BM_HtmlHintOpeningsSharingOneClose)
    ->RangeMultiplier(4)
    ->Range(8 << 10, 128 << 10)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunWithRatios(
        argc, argv,
        {{"BM_ListBoxPagesSkinned", "BM_ListBoxPagesInactive",
          "10 000-item list box, a page, skinned / inactive", 1.5},
         {"BM_ListViewPagesSkinned", "BM_ListViewPagesInactive",
          "10 000-row list view, a page, skinned / inactive", 1.5}});
}
