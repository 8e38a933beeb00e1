#include "gateway/program_images.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

#include "platform/gdi/gdi.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/icon.h"
#include "vcl/graphics/canvas.h"
#include "vcl/graphics/image_list.h"
#include "vcl/graphics/picture.h"
#include "vcl/system/exceptions.h"

namespace {

using Pixels = std::vector<vcl::TColor>;

// A 16 x 16 picture drawn over a background of one colour, pixel by pixel.
template <typename Draw>
Pixels Over(vcl::TColor background, Draw draw) {
    std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> bmp(vcl::New<vcl::TBitmap>());
    bmp->SetPixelFormat(vcl::pf32bit);
    bmp->SetSize(16, 16);
    bmp->Canvas()->Brush()->SetColor(background);
    bmp->Canvas()->FillRect(vcl::Rect(0, 0, 16, 16));
    draw(bmp->Canvas());
    Pixels out;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            out.push_back(bmp->Canvas()->Pixels(x, y));
    return out;
}

// Equal but for the rounding of an alpha blend.
bool Near(vcl::TColor a, vcl::TColor b) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (d < -1 || d > 1) return false;
    }
    return true;
}

// Every picture has ink and a see-through part (its corners at least); no two are alike.
template <typename Draw>
void ExpectAConsistentSet(int count, Draw draw) {
    std::set<Pixels> seen;
    for (int i = 0; i < count; ++i) {
        const Pixels white = Over(vcl::clWhite, [&](vcl::TCanvas* c) { draw(c, i); });
        const Pixels black = Over(vcl::clBlack, [&](vcl::TCanvas* c) { draw(c, i); });
        int opaque = 0;
        for (std::size_t p = 0; p < white.size(); ++p)
            opaque += Near(white[p], black[p]);
        EXPECT_GE(opaque, 20) << "picture " << i;
        EXPECT_LE(opaque, 252) << "picture " << i;
        EXPECT_TRUE(seen.insert(white).second) << "picture " << i << " repeats another";
    }
}

TEST(ProgramImages, TheSharedListHoldsEveryPictureWithItsAlpha) {
    std::unique_ptr<vcl::TImageList, vcl::FreeDeleter> list(vcl::New<vcl::TImageList>(nullptr));
    list->SetSize(32, 32);
    gateway::FillProgramImages(list.get());
    EXPECT_EQ(list->Width(), 16);
    EXPECT_EQ(list->Height(), 16);
    ASSERT_EQ(list->Count(), gateway::piCount);
    ExpectAConsistentSet(gateway::piCount, [&](vcl::TCanvas* c, int i) { list->Draw(c, 0, 0, i); });
    gateway::FillProgramImages(list.get());  // filled again, not added to
    EXPECT_EQ(list->Count(), gateway::piCount);
}

TEST(ProgramImages, SixSignalLevels) {
    std::vector<std::unique_ptr<vcl::TPicture, vcl::FreeDeleter>> pictures;
    for (int level = 0; level < gateway::kSignalLevels; ++level) {
        pictures.emplace_back(vcl::New<vcl::TPicture>());
        gateway::LoadSignalPicture(level, pictures.back().get());
        EXPECT_EQ(pictures.back()->Width(), 16);
        EXPECT_EQ(pictures.back()->Height(), 16);
    }
    ExpectAConsistentSet(gateway::kSignalLevels, [&](vcl::TCanvas* c, int i) {
        c->Draw(0, 0, pictures[static_cast<std::size_t>(i)]->Graphic());
    });
    EXPECT_THROW(gateway::LoadSignalPicture(6, pictures[0].get()), vcl::EInvalidOperation);
}

TEST(ProgramImages, TheProgramIconHasItsOwnImageAtEachSize) {
    std::unique_ptr<vcl::TIcon, vcl::FreeDeleter> icon(vcl::New<vcl::TIcon>());
    gateway::LoadProgramIcon(icon.get());
    EXPECT_EQ(icon->Width(), 32);
    win::HICON small = icon->CopyOfSize(16, 16);
    auto drawn = [](win::HICON i) {
        return Over(vcl::clWhite, [&](vcl::TCanvas* c) {
            win::DrawIconEx(c->Handle(), 0, 0, i, 16, 16, 0, nullptr, win::DI_NORMAL);
        });
    };
    const Pixels own = drawn(small), scaled = drawn(icon->Handle());
    win::DestroyIcon(small);
    EXPECT_EQ(own[0], vcl::clWhite);  // see-through in the corner
    EXPECT_GT(std::set<vcl::TColor>(own.begin(), own.end()).size(), 3u);
    EXPECT_NE(own, scaled);  // drawn for 16 pixels, not the large one shrunk
}

}  // namespace
