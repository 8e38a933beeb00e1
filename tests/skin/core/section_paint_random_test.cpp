// Random section and mask records (zero, negative and huge fields), rectangles, offsets and
// bitmap sizes through every section painter: under the sanitizers nothing may fault, and every
// call returns (the tiling loops are bounded by the bitmaps, not by the records).
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <random>

#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_manager.h"
#include "tests/skin/core/dib_dc.h"

namespace skin {
namespace {

using BitmapPtr = std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter>;

class Random {
public:
    explicit Random(uint32_t seed) : gen_(seed) {}
    int Below(int n) { return int(gen_() % uint32_t(n)); }
    // Mostly small values around the bitmaps' sizes, sometimes the extremes.
    int Field() {
        switch (Below(8)) {
            case 0:
                return 0;
            case 1:
                return -1 - Below(40);
            case 2:
                return INT_MAX - Below(3);
            case 3:
                return INT_MIN + Below(3);
            case 4:
                return Below(100000) - 50000;
            default:
                return Below(30);
        }
    }
    int16_t Short() {
        switch (Below(6)) {
            case 0:
                return 0;
            case 1:
                return int16_t(-Below(5) - 1);
            case 2:
                return INT16_MAX;
            case 3:
                return INT16_MIN;
            default:
                return int16_t(Below(6));
        }
    }
    TRect Rect() { return {Field(), Field(), Field(), Field()}; }
    TRect SmallRect(int w, int h) {
        const int l = Below(w + 3) - 1, t = Below(h + 3) - 1;
        return {l, t, l + Below(w + 3) - 1, t + Below(h + 3) - 1};
    }
    TColor Color() { return Below(4) == 0 ? kTransparentKey : TColor(gen_() & 0xFFFFFF); }

private:
    std::mt19937 gen_;
};

BitmapPtr RandomBitmap(Random& rnd) {
    const int w = rnd.Below(14), h = rnd.Below(14);
    return BitmapPtr(rnd.Below(2) ? NewBitmap32(w, h) : NewBitmap24(w, h));
}

void FillSkin(TsSkinContent& skin, Random& rnd) {
    skin.Sections.clear();
    skin.Masks.clear();
    skin.MasterBitmap.reset(rnd.Below(5) ? NewBitmap24(rnd.Below(40), rnd.Below(30)) : nullptr);
    for (int i = 0; i < 3; ++i) {
        TsMaskData m;
        m.SectionName = "S" + std::to_string(rnd.Below(3));
        static const char* const kProps[] = {"PATTERN", "HOTPATTERN", "BORDERSMASK", "IMGTOPLEFT",
                                             "IMGBTMRIGHT"};
        m.PropertyName = kProps[rnd.Below(5)];
        m.R = rnd.Below(2) ? rnd.Rect() : rnd.SmallRect(40, 30);
        m.ImageCount = rnd.Short();
        m.MaskType = rnd.Short();
        m.StretchMode = uint16_t(rnd.Below(3) ? rnd.Below(12) : rnd.Field());
        m.WL = rnd.Short(), m.WT = rnd.Short(), m.WR = rnd.Short(), m.WB = rnd.Short();
        m.Manager = rnd.Below(6) ? &skin : nullptr;
        if (rnd.Below(4) == 0) m.Bmp.reset(NewBitmap24(rnd.Below(20), rnd.Below(20)));
        skin.Masks.push_back(std::move(m));
    }
    for (int i = 0; i < 3; ++i) {
        TsGeneralData s;
        s.SectionName = "S" + std::to_string(i);
        s.Color = rnd.Color(), s.HotColor = rnd.Color();
        s.Transparency = rnd.Below(3) ? rnd.Below(102) : rnd.Field();
        s.HotTransparency = rnd.Below(3) ? rnd.Below(102) : rnd.Field();
        s.ImagePercent = rnd.Below(2) ? rnd.Below(101) : rnd.Field();
        s.HotImagePercent = rnd.Below(2) ? rnd.Below(101) : rnd.Field();
        s.GradientPercent = rnd.Below(2) ? rnd.Below(101) : rnd.Field();
        s.HotGradientPercent = rnd.Field();
        if (rnd.Below(2)) {
            s.GradientData = "x";
            for (int k = rnd.Below(4); k > 0; --k)
                s.GradientArray.push_back({rnd.Color(), rnd.Color(), uint8_t(rnd.Below(101)),
                                           rnd.Below(4) ? rnd.Below(3) : rnd.Field()});
            s.HotGradientData = "x";
            s.HotGradientArray = s.GradientArray;
        }
        s.BordersMask = rnd.Below(5) - 1;
        for (int& c : s.CornerMasks)
            c = rnd.Below(5) - 1;
        skin.Sections.push_back(std::move(s));
    }
    skin.Reindex();
}

TEST(SectionPaintRandom, RandomRecordsNeverFault) {
    std::unique_ptr<TsSkinManager, vcl::FreeDeleter> manager(new TsSkinManager(nullptr));
    TsSkinContent& skin = manager->Skin();
    for (int round = 0; round < 6000; ++round) {
        // A seed per round, so a failing round can be replayed alone.
        Random rnd(20261209u + uint32_t(round));
        FillSkin(skin, rnd);
        BitmapPtr target = RandomBitmap(rnd);
        BitmapPtr parent = RandomBitmap(rnd);
        PixelView pv = ViewOf(parent.get());
        CacheInfo cache;
        switch (rnd.Below(3)) {
            case 0:
                cache = {&pv, rnd.Field(), rnd.Field(), rnd.Color(), true};
                break;
            case 1:
                cache.FillColor = rnd.Color();
                break;
            default:
                cache = {&pv, rnd.Below(10) - 5, rnd.Below(10) - 5, kTransparentKey, true};
        }
        const int w = target->Width(), h = target->Height();
        const TRect r = rnd.Below(4) ? rnd.SmallRect(w, h) : rnd.Rect();
        const TPoint offset{rnd.Below(3) ? rnd.Below(10) - 5 : rnd.Field(),
                            rnd.Below(3) ? rnd.Below(10) - 5 : rnd.Field()};
        const int index = rnd.Below(5) - 1, state = rnd.Below(4) ? rnd.Below(3) : rnd.Field();
        const int texture = rnd.Below(5) - 1, hot = rnd.Below(5) - 1;
        const std::string name = "S" + std::to_string(rnd.Below(4));
        SCOPED_TRACE(::testing::Message() << "round " << round);

        PaintSkinBackground(index, name, cache, state, r, offset, target.get(), manager.get(),
                            texture, hot, rnd.Below(3) ? kTransparentKey : rnd.Color());
        PaintPartBackground(index, texture, hot, cache, state, r, offset, target.get(),
                            manager.get());
        PaintMaskWithBorders(index, name, cache, rnd.Below(2), state, r, offset, target.get(),
                             manager.get(), texture, hot);
        PaintSectionPart(index, rnd.Below(5) - 1, texture, hot, cache, rnd.Below(2), state, r,
                         offset, target.get(), manager.get());
        PaintSectionByName(target.get(), name, "S1", state, manager.get(), {rnd.Field(), 0},
                           rnd.Color(), nullptr);
        const SectionFill fill =
            SectionFillValues(skin, index, name, state, texture, hot, kTransparentKey);
        FillSkinBackground(target.get(), r, fill, cache, skin);

        TsCommonData data(nullptr, false);
        data.SetSkinManager(manager.get());
        data.SkinIndex = index, data.BorderIndex = rnd.Below(5) - 1;
        data.Texture = texture, data.HotTexture = hot;
        data.SetCustomColor(rnd.Below(2));
        PaintControlSection(&data, cache, rnd.Below(2), state, r, offset, target.get(),
                            uint8_t(rnd.Below(2)));

        // The texture painters on their own take any rectangle.
        if (!skin.Masks.empty()) {
            const TsMaskData& m = skin.Masks[size_t(rnd.Below(int(skin.Masks.size())))];
            if (!target->Empty()) {
                // Stretches scale to the whole rectangle, so only the tiling modes get the
                // extreme ones.
                const int mode = rnd.Below(12);
                const bool stretch = mode == 1 || mode == 4 || mode == 5;
                TRect tr = stretch ? rnd.SmallRect(w, h) : rnd.Rect();
                PaintTexture(target->Canvas(), tr, nullptr, &m, mode);
                tr = rnd.SmallRect(w, h);
                PaintTexture(target->Canvas(), tr, m.Bmp.get(), &m, rnd.Below(12));
                TileBitmapOnCanvas(target->Canvas(), rnd.Rect(), parent.get());
            }
            TRect pr = rnd.Below(2) ? rnd.Rect() : rnd.SmallRect(w, h);
            PaintPatternMask(target.get(), pr, cache, m, rnd.Below(2) ? 0 : 10);
        }
        if (rnd.Below(8) == 0 && w > 0 && h > 0) {
            skin_test::DibDC dc(w, h, 24);
            PaintSectionToDC(index, name, cache, true, state, rnd.SmallRect(w, h), offset, dc.dc(),
                             manager.get());
        }
    }
}

}  // namespace
}  // namespace skin
