// A whole 1280 x 800 form painted frame after frame: four sets of the gallery's controls and a
// status bar, every cache image rebuilt through the skin painters and copied to the window,
// then the screen composed; beside it the same layout in the classic look (the native
// controls where they exist, classic frames elsewhere). The table at the end gives the time
// of a skinned frame over a classic one.
// Run with --benchmark_repetitions=N --benchmark_enable_random_interleaving=true for medians.
#include <benchmark/benchmark.h>

#include <functional>

#include "bench/ratio_report.h"
#include "platform/controls/classic_paint.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "skin/core/data/internal_skin.h"
#include "skin/core/data/stored_skins.h"
#include "skin/core/state/skin_manager.h"
#include "tests/skin/core/gallery_controls.h"
#include "vcl/controls/buttons.h"
#include "vcl/controls/combo_box.h"
#include "vcl/controls/edits.h"
#include "vcl/controls/ext_ctrls.h"
#include "vcl/controls/status_bar.h"
#include "vcl/controls/std_ctrls.h"

namespace {

constexpr int kWidth = 1280, kHeight = 800;
// Where the four sets of controls stand.
constexpr skin::TPoint kSets[] = {{0, 0}, {640, 0}, {0, 380}, {640, 380}};

// A control drawn in classic frames by a function, where no native control exists.
class TClassicFrame : public vcl::TCustomControl {
public:
    VCL_CLASS(TClassicFrame, vcl::TCustomControl)
    TClassicFrame(vcl::TWinControl* parent, skin::TRect r,
                  std::function<void(win::HDC, win::RECT)> paint)
        : vcl::TCustomControl(parent), paint_(std::move(paint)) {
        SetParent(parent);
        SetBoundsRect(r);
    }

protected:
    void Paint() override {
        win::RECT r{0, 0, Width(), Height()};
        win::FillSysColor(Canvas()->Handle(), r, win::COLOR_BTNFACE);
        paint_(Canvas()->Handle(), r);
    }

private:
    std::function<void(win::HDC, win::RECT)> paint_;
};

template <class T>
T* Put(vcl::TWinControl* parent, skin::TRect r, const std::string& caption = {}) {
    T* c = new T(parent);
    c->SetParent(parent);
    c->SetBoundsRect(r);
    if (!caption.empty()) c->SetCaption(caption);
    return c;
}

skin::TRect At(skin::TPoint o, int l, int t, int w, int h) {
    return skin::TRect(o.X + l, o.Y + t, o.X + l + w, o.Y + t + h);
}

void Text(win::HDC dc, win::RECT r, const char* text) {
    win::SetBkMode(dc, win::TRANSPARENT);
    win::DrawLabelText(dc, text, r, 1, true, true, true, false);
}

void AddClassicSet(vcl::TForm* form, skin::TPoint o) {
    auto* title = Put<vcl::TPanel>(form, At(o, 10, 10, 620, 30), "Tessary: the skin gallery");
    title->SetAlignment(vcl::taLeftJustify);
    Put<vcl::TPanel>(form, At(o, 10, 50, 95, 60), "PANEL");
    Put<vcl::TPanel>(form, At(o, 115, 50, 95, 60), "PANEL_LOW")->SetBevelOuter(vcl::bvLowered);
    auto* group = Put<vcl::TGroupBox>(form, At(o, 10, 118, 200, 134), "Options");
    const char* names[] = {"Off", "On", "Mixed", "Hot", "Down", "Off"};
    for (int i = 0; i < 6; ++i) {
        auto* c = Put<vcl::TCheckBox>(group, vcl::Bounds(8 + i % 3 * 60, 20 + i / 3 * 24, 60, 20),
                                      names[i]);
        c->SetState(vcl::TCheckBoxState(i % 3));
        if (i == 5) c->SetEnabled(false);
        // Radio buttons have no native control here: classic frames.
        new TClassicFrame(group, vcl::Bounds(8 + i % 3 * 60, 72 + i / 3 * 24, 60, 20),
                          [i](win::HDC dc, win::RECT r) {
                              win::RECT box{0, 2, 16, 18};
                              win::DrawFrameControl(
                                  dc, &box, win::DFC_BUTTON,
                                  win::DFCS_BUTTONRADIO | (i % 3 == 1 ? win::DFCS_CHECKED : 0));
                              r.left = 20;
                              Text(dc, r, "Radio");
                          });
    }
    new TClassicFrame(form, At(o, 10, 262, 200, 22), [](win::HDC dc, win::RECT r) {
        win::DrawSunkenFrame(dc, r);
        win::RECT bar{2, 2, 2 + (r.right - 4) * 60 / 100, r.bottom - 2};
        win::FillSysColor(dc, bar, win::COLOR_HIGHLIGHT);
        Text(dc, r, "60%");
    });
    Put<vcl::TButton>(form, At(o, 220, 50, 95, 26), "Normal");
    Put<vcl::TButton>(form, At(o, 325, 50, 95, 26), "Hot");
    Put<vcl::TButton>(form, At(o, 220, 84, 95, 26), "Pressed");
    Put<vcl::TButton>(form, At(o, 325, 84, 95, 26), "Disabled")->SetEnabled(false);
    auto* bar = Put<vcl::TPanel>(form, At(o, 220, 118, 200, 32));
    for (int i = 0; i < 4; ++i) {
        auto* b = Put<vcl::TSpeedButton>(bar, vcl::Bounds(4 + i * 28, 4, 24, 24),
                                         std::string(1, "BIUS"[i]));
        b->SetFlat(true);
    }
    Put<vcl::TEdit>(form, At(o, 220, 158, 200, 22))->SetText("+7 900 123-45-67");
    auto* combo = Put<vcl::TComboBox>(form, At(o, 220, 188, 200, 22));
    combo->Items()->Add("COM3");
    combo->SetItemIndex(0);
    new TClassicFrame(form, At(o, 220, 220, 200, 108), [](win::HDC dc, win::RECT r) {
        win::RECT page{0, 22, r.right, r.bottom};
        win::DrawRaisedFrame(dc, page, false);
        const char* tabs[] = {"Lists", "Journal", "Port"};
        for (int i = 0; i < 3; ++i) {
            win::RECT tab{2 + i * 62, i == 0 ? 0 : 3, 64 + i * 62, 24};
            win::DrawRaisedFrame(dc, tab, false);
            Text(dc, tab, tabs[i]);
        }
    });
    auto scroll = [](bool vertical) {
        return [vertical](win::HDC dc, win::RECT r) {
            win::FillCheckered(dc, r, win::COLOR_BTNFACE, win::COLOR_BTNHIGHLIGHT);
            const int s = vertical ? r.right : r.bottom;
            win::RECT a{0, 0, s, s};
            win::RECT b = vertical ? win::RECT{0, r.bottom - s, s, r.bottom}
                                   : win::RECT{r.right - s, 0, r.right, s};
            win::DrawFrameControl(dc, &a, win::DFC_SCROLL,
                                  vertical ? win::DFCS_SCROLLUP : win::DFCS_SCROLLLEFT);
            win::DrawFrameControl(dc, &b, win::DFC_SCROLL,
                                  vertical ? win::DFCS_SCROLLDOWN : win::DFCS_SCROLLRIGHT);
            win::RECT thumb =
                vertical ? win::RECT{0, s + 30, s, s + 70} : win::RECT{s + 40, 0, s + 90, s};
            win::DrawRaisedFrame(dc, thumb, false);
        };
    };
    new TClassicFrame(form, At(o, 610, 50, 17, 230), scroll(true));
    new TClassicFrame(form, At(o, 430, 263, 170, 17), scroll(false));
    new TClassicFrame(form, At(o, 430, 50, 170, 40), [](win::HDC dc, win::RECT r) {
        win::DrawSunkenFrame(dc, r);
        for (int i = 0; i < 6; ++i) {
            win::RECT glyph{8 + i * 26, 12, 24 + i * 26, 28};
            win::FillSysColor(dc, glyph, win::COLOR_HIGHLIGHT);
        }
    });
    new TClassicFrame(form, At(o, 430, 100, 170, 12),
                      [](win::HDC dc, win::RECT r) { win::DrawEtchedFrame(dc, r); });
}

vcl::TForm* ClassicForm() {
    vcl::TForm* form = nullptr;
    vcl::Application()->CreateForm(form);
    form->SetBorderStyle(vcl::bsNone);
    form->SetBounds(0, 0, kWidth, kHeight);
    for (const skin::TPoint o : kSets)
        AddClassicSet(form, o);
    auto* status = Put<vcl::TStatusBar>(form, skin::TRect(0, kHeight - 25, kWidth, kHeight));
    for (const char* t : {"Port: COM3", "Sent: 120 of 200", "Ready"}) {
        vcl::TStatusPanel* p = status->Panels()->Add();
        p->SetText(t);
        p->SetWidth(160);
    }
    return form;
}

void Frame(win::HWND form) {
    win::RedrawWindow(
        form, nullptr, nullptr,
        win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_ALLCHILDREN | win::RDW_UPDATENOW);
    benchmark::DoNotOptimize(win::ComposeScreen());
}

void BM_GalleryFrameSkinned(benchmark::State& state) {
    win::ResetWindowing();
    {
        std::unique_ptr<skin::TsSkinManager, vcl::FreeDeleter> manager(
            new skin::TsSkinManager(nullptr));
        skin::AddInternalSkin(*manager->InternalSkins());
        manager->SetSkinName(skin::InternalSkinName());
        vcl::TForm* form = nullptr;
        vcl::Application()->CreateForm(form);
        skin_test::Gallery g = skin_test::BuildGalleryForm(form, manager.get(), kWidth, kHeight);
        for (size_t i = 1; i < std::size(kSets); ++i)
            skin_test::AddGallerySet(g, kSets[i]);
        form->Show();
        vcl::Application()->ProcessMessages();
        for (auto _ : state) {
            for (skin_test::TGalleryControl* c : g.Controls)
                c->SkinData->CacheStale = true;
            Frame(form->Handle());
        }
        state.counters["frames/s"] =
            benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
        state.counters["controls"] = double(g.Controls.size());
    }
    vcl::DoneApplication();
    win::ResetWindowing();
}
BENCHMARK(BM_GalleryFrameSkinned)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GalleryFrameClassic(benchmark::State& state) {
    win::ResetWindowing();
    vcl::TForm* form = ClassicForm();
    form->Show();
    vcl::Application()->ProcessMessages();
    for (auto _ : state)
        Frame(form->Handle());
    state.counters["frames/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    vcl::DoneApplication();
    win::ResetWindowing();
}
BENCHMARK(BM_GalleryFrameClassic)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    return bench::RunWithRatios(
        argc, argv,
        {{"BM_GalleryFrameSkinned/real_time", "BM_GalleryFrameClassic/real_time",
          "1280 x 800 form frame, skinned / classic", 0}});
}
