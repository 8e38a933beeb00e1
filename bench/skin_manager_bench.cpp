// Loading the program's internal skin through the skin manager: the load alone (from the
// program's resource, a skin folder and a packed file, and with a hue shift), and the whole
// SkinName write with its broadcast to a form of 200 controls.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

#include "platform/os/files.h"
#include "platform/user/user.h"
#include "skin/core/data/internal_skin.h"
#include "skin/core/state/skin_manager.h"
#include "tests/skin/core/skin_recorders.h"
#include "tools/skinbuild/skin_build.h"
#include "vcl/system/resources.h"

namespace {

// A folder holding the internal skin as "Topaz/" and "Topaz.asz", removed afterwards.
class SkinFolder {
public:
    SkinFolder() {
        std::string tmpl = std::filesystem::temp_directory_path().string() + "/skin-bench-XXXXXX";
        if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        path = tmpl + "/";
        const auto data = vcl::FindResourceData(vcl::RT_RCDATA, skin::kInternalSkinResource);
        const std::string blob(reinterpret_cast<const char*>(data.data()), data.size());
        os::WriteFileAtomically(path + "Topaz.asz", blob);
        std::filesystem::create_directories(path + "TopazFolder");
        for (const auto& [name, bytes] : skinbuild::UnpackSkin(blob)) {
            os::WriteFileAtomically(path + "TopazFolder/" + name, bytes);
        }
    }
    ~SkinFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string path;
};

using ManagerPtr = std::unique_ptr<skin::TsSkinManager, vcl::FreeDeleter>;

ManagerPtr Manager(const SkinFolder& folder, const std::string& name, int hue = 0) {
    ManagerPtr m(new skin::TsSkinManager(nullptr));
    m->SetSkinDirectory(folder.path);
    skin::AddInternalSkin(*m->InternalSkins());
    m->SetHueOffset(hue);
    m->SetSkinName(name);
    return m;
}

void Load(benchmark::State& state, const std::string& name, bool packed, int hue) {
    win::ResetWindowing();
    SkinFolder folder;
    ManagerPtr m = Manager(folder, name, hue);
    for (auto _ : state) {
        packed ? m->LoadPackedSkinFile() : m->LoadActiveSkin();
        benchmark::DoNotOptimize(m->MasterBitmap());
    }
    m.reset();
    vcl::DoneApplication();
}

void BM_LoadInternalSkin(benchmark::State& state) {
    Load(state, skin::InternalSkinName(), false, 0);
}
BENCHMARK(BM_LoadInternalSkin)->Unit(benchmark::kMillisecond);

void BM_LoadSkinFolder(benchmark::State& state) {
    Load(state, "TopazFolder", false, 0);
}
BENCHMARK(BM_LoadSkinFolder)->Unit(benchmark::kMillisecond);

void BM_LoadPackedFile(benchmark::State& state) {
    Load(state, "Topaz", true, 0);
}
BENCHMARK(BM_LoadPackedFile)->Unit(benchmark::kMillisecond);

void BM_LoadInternalSkinHue120(benchmark::State& state) {
    Load(state, skin::InternalSkinName(), false, 120);
}
BENCHMARK(BM_LoadInternalSkinHue120)->Unit(benchmark::kMillisecond);

// The whole write: load, then commands 1, 16 and 3 to a form of 200 skin-aware controls.
void BM_SkinNameWithAForm(benchmark::State& state) {
    win::ResetWindowing();
    SkinFolder folder;
    ManagerPtr m = Manager(folder, skin::InternalSkinName());
    skin_test::Log log;
    auto* form = new skin_test::TRecordingForm(vcl::Application(), "Form", &log);
    for (int i = 0; i < 200; ++i) {
        new skin_test::TRecordingControl(form, "C" + std::to_string(i), &log);
    }
    form->Show();
    for (auto _ : state) {
        log.clear();
        m->SetSkinName(skin::InternalSkinName());
    }
    state.counters["messages"] = double(log.size());
    m.reset();
    vcl::DoneApplication();
}
BENCHMARK(BM_SkinNameWithAForm)->Unit(benchmark::kMillisecond);

}  // namespace
