// The children of the open dialog (folder static, lists, name edit, buttons) printed through
// their skin adapters under the internal skin, beside the same children with the adapters
// released (their own painting); and the control walk giving a form of 500 listed controls
// (edits, buttons, check boxes, bit buttons) their adapters. The walk is timed alone: making
// the form and letting the adapters go are left out.
// Run with --benchmark_repetitions=N --benchmark_enable_random_interleaving=true for medians.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/ratio_report.h"
#include "platform/controls/file_dialog.h"
#include "platform/controls/standard_controls.h"
#include "platform/display/headless_presenter.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "skin/core/data/internal_skin.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/engine_state.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/adapters/button_adapters.h"
#include "skin/windows/adapters/static_adapters.h"
#include "skin/windows/scroll/edit_wnd.h"
#include "skin/windows/walk/button_factories.h"
#include "skin/windows/walk/control_adapter.h"
#include "vcl/controls/buttons.h"
#include "vcl/controls/edits.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/std_ctrls.h"
#include "vcl/graphics/canvas.h"

namespace {

using BitmapPtr = std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter>;

win::HWND gDialog = nullptr;
win::HHOOK gHook = nullptr;
int gArgc = 0;
char** gArgv = nullptr;
int gResult = 0;

// The dialog's children, each with a bitmap of its size to print into.
struct Child {
    win::HWND wnd;
    BitmapPtr bmp;
    skin::TacMainWnd* adapter = nullptr;
};

std::vector<Child> Children() {
    std::vector<Child> out;
    for (win::HWND c = win::GetWindow(gDialog, win::GW_CHILD); c;
         c = win::GetWindow(c, win::GW_HWNDNEXT)) {
        win::RECT r{};
        win::GetWindowRect(c, &r);
        out.push_back({c, BitmapPtr(skin::NewBitmap24(r.right - r.left, r.bottom - r.top))});
    }
    return out;
}

// The adapters the dialog hook gives these classes; the combo box keeps its own painting on
// both sides (its adapter is not part of this measurement).
void Attach(Child& c) {
    char cls[32] = {};
    win::GetClassNameA(c.wnd, cls, sizeof cls);
    const std::string name = cls;
    skin::DialogChildMode = true;
    if (name == "Static")
        c.adapter = skin::AttachAdapter<skin::TacStaticWnd>(c.wnd, nullptr, nullptr, "CHECKBOX");
    else if (name == "Button")
        c.adapter = skin::AttachAdapter<skin::TacBtnWnd>(c.wnd, nullptr, nullptr, "BUTTON");
    else if (name == "Edit" || name == "ListBox")
        c.adapter = skin::AttachAdapter<skin::TacEditWnd>(c.wnd, nullptr, nullptr, "EDIT", true);
    skin::DialogChildMode = false;
}

void PrintAll(std::vector<Child>& children) {
    for (Child& c : children)
        win::SendMessageA(c.wnd, win::WM_PRINT,
                          reinterpret_cast<uintptr_t>(c.bmp->Canvas()->Handle()),
                          win::PRF_CLIENT | win::PRF_NONCLIENT | win::PRF_ERASEBKGND);
}

void BM_DialogSkinned(benchmark::State& state) {
    std::vector<Child> children = Children();
    int adapted = 0;
    for (Child& c : children) Attach(c), adapted += c.adapter != nullptr;
    for (auto _ : state) PrintAll(children);
    state.counters["children"] = double(children.size());
    state.counters["adapted"] = adapted;
    for (Child& c : children)
        if (c.adapter) skin::FreeAdapter(c.adapter);
}
BENCHMARK(BM_DialogSkinned)->Unit(benchmark::kMicrosecond);

void BM_DialogReleased(benchmark::State& state) {
    std::vector<Child> children = Children();
    for (Child& c : children) Attach(c);
    for (Child& c : children)
        if (c.adapter) skin::FreeAdapter(c.adapter);
    for (auto _ : state) PrintAll(children);
}
BENCHMARK(BM_DialogReleased)->Unit(benchmark::kMicrosecond);

// The provider a control walk needs: a form and a manager.
struct Provider : skin::TsSkinProviderBase {
    vcl::TCustomForm* Form() const override { return form; }
    skin::TsSkinManager* SkinManager() const override { return skin::DefaultManager; }
    void BuildRegionCuts() override {}
    void UpdateFormRegion(bool) override {}
    vcl::TCustomForm* form = nullptr;
};

void BM_Walk500(benchmark::State& state) {
    vcl::TForm* form = nullptr;
    vcl::Application()->CreateForm(form);
    form->SetBounds(0, 0, 1000, 800);
    form->SetBorderStyle(vcl::bsNone);
    for (int i = 0; i < 500; ++i) {
        const vcl::TRect r = vcl::Bounds(8 + (i % 10) * 98, 8 + (i / 10) * 15, 90, 14);
        vcl::TWinControl* c = nullptr;
        switch (i % 4) {
            case 0: c = vcl::New<vcl::TEdit>(form); break;
            case 1: c = vcl::New<vcl::TButton>(form); break;
            case 2: c = vcl::New<vcl::TCheckBox>(form); break;
            default: c = vcl::New<vcl::TBitBtn>(form); break;
        }
        c->SetParent(form);
        c->SetBoundsRect(r);
        c->SetText("Control " + std::to_string(i));
    }
    form->Show();
    vcl::Application()->ProcessMessages();
    Provider provider;
    provider.form = form;
    for (auto _ : state) {
        auto* walker = new skin::TacCtrlAdapter(&provider);
        walker->AddAllItems(nullptr);
        state.PauseTiming();
        if (walker->Count() != 500) state.SkipWithError("not every control was adapted");
        // Given back as when the skin goes, so the next walk starts from plain windows.
        skin::RemovingSkin = true;
        delete walker;
        skin::RemovingSkin = false;
        state.ResumeTiming();
    }
    form->Free();
}
BENCHMARK(BM_Walk500)->Unit(benchmark::kMillisecond);

// Runs the benchmarks while the open dialog is up, then closes it.
win::LRESULT Hook(int code, win::WPARAM wp, win::LPARAM lp) {
    if (code == win::HCBT_ACTIVATE && gDialog == nullptr) {
        char cls[16] = {};
        win::GetClassNameA(reinterpret_cast<win::HWND>(wp), cls, sizeof cls);
        if (std::string(cls) == "#32770") {
            gDialog = reinterpret_cast<win::HWND>(wp);
            gResult = bench::RunWithRatios(
                gArgc, gArgv,
                {{"BM_DialogSkinned", "BM_DialogReleased",
                  "open dialog's children, skinned / own", 4}});
            win::PostMessageA(gDialog, win::WM_COMMAND, win::IDCANCEL, 0);
        }
    }
    return win::CallNextHookEx(gHook, code, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
    gArgc = argc;
    gArgv = argv;
    win::ResetWindowing();
    win::RegisterStandardControls();
    display::HeadlessPresenter presenter;
    auto* manager = new skin::TsSkinManager(nullptr);
    skin::AddInternalSkin(*manager->InternalSkins());
    manager->SetSkinName(skin::InternalSkinName());
    manager->ThirdParty()->SetString(skin::tgEdits, "TEdit");
    manager->ThirdParty()->SetString(skin::tgBitBtns, "TBitBtn");
    manager->ThirdParty()->SetString(skin::tgCheckBoxes, "TCheckBox");
    manager->UpdateThirdNames(false);
    skin::RegisterButtonAdapters();
    gHook = win::SetWindowsHookExA(win::WH_CBT, Hook, nullptr, win::GetCurrentThreadId());
    char file[260] = {};
    win::OPENFILENAMEA ofn;
    ofn.lpstrFilter = "All files\0*.*\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    win::GetOpenFileNameA(&ofn);
    win::UnhookWindowsHookEx(gHook);
    if (gDialog == nullptr) {
        std::fprintf(stderr, "the open dialog did not come up\n");
        return 1;
    }
    manager->Free();
    vcl::DoneApplication();
    win::ResetWindowing();
    return gResult;
}
