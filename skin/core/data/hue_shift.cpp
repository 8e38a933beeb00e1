#include "skin/core/data/hue_shift.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/color_helpers.h"

namespace skin {

namespace {

// Every pixel of a 24- or 32-bit bitmap that is neither grey nor the key, through `shift`.
// Skins repeat colours in runs, so the last answer is kept.
template <typename F>
void ShiftPixels(vcl::TBitmap* bmp, F shift) {
    if (!bmp || bmp->Empty()) return;
    if (bmp->PixelFormat() != pf24bit && bmp->PixelFormat() != pf32bit)
        bmp->SetPixelFormat(pf24bit);
    const PixelView v = ViewOf(bmp);
    if (v.Empty()) return;
    bool cached = false;
    TColor lastIn = 0, lastOut = 0;
    for (int y = 0; y < v.Height; ++y) {
        uint8_t* p = v.Row(y);
        for (int x = 0; x < v.Width; ++x, p += v.BytesPerPixel) {
            if (p[0] == p[1] && p[1] == p[2]) continue;
            const TColor c = RGB(p[2], p[1], p[0]);
            if (c == kTransparentKey) continue;
            if (!cached || c != lastIn) {
                lastIn = c, lastOut = shift(c), cached = true;
            }
            p[0] = BlueOf(lastOut), p[1] = GreenOf(lastOut), p[2] = RedOf(lastOut);
        }
    }
}

bool IsNoColour(TColor c) {
    return (c & 0xFF000000) != 0 || c == kTransparentKey;
}

// Every colour value of the skin through `shift`, except those that mean no colour.
template <typename F>
void ShiftValues(TsSkinContent& skin, F shift) {
    auto value = [&](TColor& c) {
        if (!IsNoColour(c)) c = shift(c);
    };
    for (TsGeneralData& s : skin.Sections) {
        for (TColor* c : {&s.Color, &s.HotColor, &s.GlowColor, &s.HotGlowColor, &s.FontColor,
                          &s.TCLeft, &s.TCTop, &s.TCRight, &s.TCBottom, &s.HotFontColor,
                          &s.HotTCLeft, &s.HotTCTop, &s.HotTCRight, &s.HotTCBottom}) {
            value(*c);
        }
        for (TsGradArray* stops : {&s.GradientArray, &s.HotGradientArray}) {
            for (TsGradRec& r : *stops)
                value(r.Color1), value(r.Color2);
        }
    }
    value(skin.SkinData.Shadow1Color);
    value(skin.SkinData.BorderColor);
}

// A title icon's area of the master bitmap, kept while the rest is shifted.
struct KeptIcon {
    int Mask;
    int X, Y, Width, Height;  // the mask's rectangle cut to the master bitmap
    std::vector<uint8_t> Pixels;
};

void CopyRows(const PixelView& v, KeptIcon& icon, bool out) {
    const size_t rowBytes = size_t(icon.Width) * 3;
    for (int y = 0; y < icon.Height; ++y) {
        uint8_t* row = v.At(icon.X, icon.Y + y);
        uint8_t* kept = icon.Pixels.data() + size_t(y) * rowBytes;
        out ? std::memcpy(kept, row, rowBytes) : std::memcpy(row, kept, rowBytes);
    }
}

// Each picture the masks hold once, however many masks share it.
template <typename F>
void ShiftMaskPictures(const std::vector<TsMaskData*>& masks, F shift) {
    std::unordered_set<const vcl::TBitmap*> done;
    for (TsMaskData* m : masks) {
        if (m->Bmp && done.insert(m->Bmp.get()).second) ShiftPixels(m->Bmp.get(), shift);
    }
}

constexpr const char* kCloseIcons[] = {"BICONCLOSE", "SICONCLOSE"};
constexpr const char* kOtherIcons[] = {"BICONMAX", "BICONMIN", "BICONNORM", "BICONHELP",
                                       "SICONMAX", "SICONMIN", "SICONNORM"};

}  // namespace

void ShiftSkinHue(TsSkinContent& skin, int degrees) {
    // A whole turn leaves the skin as read: the shift goes through rounded hues.
    if (degrees % 360 == 0) return;
    // Whole turns are dropped first, so that no sum of degrees can overflow.
    auto shift = [turn = degrees % 360](TColor c) { return ShiftColorHue(turn, c); };
    const int keepHue = skin.SkinData.BIKeepHue;
    std::vector<const char*> icons;
    if (keepHue != 0) {
        icons.assign(std::begin(kCloseIcons), std::end(kCloseIcons));
        if (keepHue == 1) icons.insert(icons.end(), std::begin(kOtherIcons), std::end(kOtherIcons));
    }
    vcl::TBitmap* master = skin.MasterBitmap.get();
    const PixelView mv = master && master->PixelFormat() == pf24bit ? ViewOf(master) : PixelView{};
    std::vector<int> keptMasks;
    std::vector<KeptIcon> keptIcons;
    for (const char* name : icons) {
        const int i = skin.GetMaskIndexByNames("GLOBALINFO", name);
        if (skin.IsValidImgIndex(i) && !skin.Masks[size_t(i)].Bmp) {
            const TRect& r = skin.Masks[size_t(i)].R;
            const int x0 = std::max(r.Left, 0), y0 = std::max(r.Top, 0);
            const int x1 = std::min(r.Right, mv.Width), y1 = std::min(r.Bottom, mv.Height);
            if (!mv.Empty() && x1 > x0 && y1 > y0) {
                KeptIcon k{i, x0, y0, x1 - x0, y1 - y0, {}};
                k.Pixels.resize(size_t(k.Width) * 3 * size_t(k.Height));
                CopyRows(mv, k, true);
                keptIcons.push_back(std::move(k));
            }
        } else {
            keptMasks.push_back(i);
        }
        const int glow = skin.GetMaskIndexByNames("GLOBALINFO", std::string(name) + "GLOW0");
        if (skin.IsValidImgIndex(glow) && skin.Masks[size_t(glow)].Bmp) keptMasks.push_back(glow);
    }

    ShiftPixels(master, shift);
    for (KeptIcon& k : keptIcons)
        CopyRows(mv, k, false);
    std::vector<bool> kept(skin.Masks.size());
    for (int i : keptMasks)
        if (skin.IsValidImgIndex(i)) kept[size_t(i)] = true;
    // A kept mask whose picture other keys share keeps a copy of its own.
    for (size_t i = 0; i < skin.Masks.size(); ++i) {
        SharedPicture<vcl::TBitmap>& bmp = skin.Masks[i].Bmp;
        if (!kept[i] || !bmp || bmp.use_count() == 1) continue;
        BitmapPtr own(vcl::New<vcl::TBitmap>());
        own->Assign(bmp.get());
        bmp = std::move(own);
    }
    std::vector<TsMaskData*> shifted;
    for (size_t i = 0; i < skin.Masks.size(); ++i) {
        if (!kept[i]) shifted.push_back(&skin.Masks[i]);
    }
    ShiftMaskPictures(shifted, shift);
    ShiftValues(skin, shift);
}

void ShiftSkinSaturation(TsSkinContent& skin, int amount) {
    if (amount == 0) return;
    const int percent = -(amount % 101);
    auto shift = [percent](TColor c) { return ChangeColorSaturation(c, percent); };
    ShiftPixels(skin.MasterBitmap.get(), shift);
    std::vector<TsMaskData*> masks;
    for (TsMaskData& m : skin.Masks)
        masks.push_back(&m);
    ShiftMaskPictures(masks, shift);
    ShiftValues(skin, shift);
}

}  // namespace skin
