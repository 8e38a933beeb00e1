// The internal skin's FORM border (a plain mask: corners per pixel, edges as tiled block copies)
// and GROUPBOX border (a masked picture: every piece mixed per pixel) painted into 1920 x 1080.
#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>

#include "skin/core/data/internal_skin.h"
#include "skin/core/data/skin_content.h"
#include "skin/core/data/stored_skins.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/skin_loading.h"
#include "vcl/graphics/bitmap.h"

namespace {

struct InternalSkin {
    InternalSkin() {
        skin::AddInternalSkin(stored);
        skin::SkinLoadRequest request;
        request.InternalSkins = &stored;
        loaded = skin::LoadInternalSkin(request, 0);
        if (!loaded.Content) throw std::runtime_error("no internal skin");
    }
    const skin::TsMaskData& BorderMask(const char* section) const {
        const skin::TsSkinContent& s = *loaded.Content;
        const int i = s.GetMaskIndex(s.GetSkinIndex(section), section, "BORDERSMASK");
        if (!s.IsValidImgIndex(i)) throw std::runtime_error("no border mask");
        return s.Masks[size_t(i)];
    }
    skin::TsStoredSkins stored{nullptr};
    skin::LoadedSkin loaded;
};

const InternalSkin& Skin() {
    static const InternalSkin s;
    return s;
}

// Arguments: 0 FORM, 1 GROUPBOX; bits per pixel.
void BM_BorderMask1920x1080(benchmark::State& state) {
    const skin::TsMaskData& mask = Skin().BorderMask(state.range(0) == 0 ? "FORM" : "GROUPBOX");
    std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> target(
        state.range(1) == 32 ? skin::NewBitmap32(1920, 1080) : skin::NewBitmap24(1920, 1080));
    for (auto _ : state) {
        skin::PaintMaskIntoRect(target.get(), {0, 0, 1920, 1080}, false, skin::EmptyCacheInfo, mask,
                                1, true);
        benchmark::ClobberMemory();
    }
    state.SetLabel(state.range(0) == 0 ? "FORM" : "GROUPBOX");
}
BENCHMARK(BM_BorderMask1920x1080)
    ->Args({0, 24})
    ->Args({0, 32})
    ->Args({1, 24})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
