#include "vcl/graphics/icon.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/gdi/gdi.h"
#include "tests/support/temp_dir.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/streams.h"

namespace {

using namespace vcl;

// A `size` x `size` icon: red on the left half, see-through on the right half (black in the
// colour there, or the ground would be inverted).
win::HICON HalfRedIcon(int size) {
    TBitmap color, mask;
    color.SetPixelFormat(pf32bit);
    color.SetSize(size, size);
    color.Canvas()->Brush()->SetColor(clBlack);
    color.Canvas()->FillRect(Rect(0, 0, size, size));
    color.Canvas()->Brush()->SetColor(clRed);
    color.Canvas()->FillRect(Rect(0, 0, size / 2, size));
    mask.SetPixelFormat(pf1bit);
    mask.SetSize(size, size);  // white: see-through
    mask.Canvas()->Brush()->SetColor(clBlack);
    mask.Canvas()->FillRect(Rect(0, 0, size / 2, size));
    win::ICONINFO ii;
    ii.hbmColor = color.Handle();
    ii.hbmMask = mask.Handle();
    return win::CreateIconIndirect(&ii);
}

// The icon drawn on grey at (x, y) of a fresh bitmap.
TColor DrawnAt(TGraphic* icon, int x, int y) {
    TBitmap target;
    target.SetPixelFormat(pf24bit);
    target.SetSize(48, 48);
    target.Canvas()->Brush()->SetColor(clGray);
    target.Canvas()->FillRect(Rect(0, 0, 48, 48));
    target.Canvas()->Draw(0, 0, icon);
    return target.Canvas()->Pixels(x, y);
}

std::string Bytes(TIcon& icon) {
    TMemoryStream m;
    icon.SaveToStream(&m);
    return std::string(reinterpret_cast<const char*>(m.Memory()), m.MemorySize());
}

// Two one-image ICO files joined into one file with both images.
std::string Join(const std::string& a, const std::string& b) {
    auto u32 = [](const std::string& s, std::size_t at) {
        uint32_t v;
        std::memcpy(&v, s.data() + at, 4);
        return v;
    };
    auto put32 = [](std::string& s, std::size_t at, uint32_t v) { std::memcpy(&s[at], &v, 4); };
    std::string out = a.substr(0, 6) + a.substr(6, 16) + b.substr(6, 16);
    out[4] = 2;
    const std::string imageA = a.substr(u32(a, 18)), imageB = b.substr(u32(b, 18));
    put32(out, 18, 38);
    put32(out, 34, static_cast<uint32_t>(38 + imageA.size()));
    return out + imageA + imageB;
}

TEST(TIcon, DrawsThroughItsMaskAndSavesAnIcoFileThatReadsBack) {
    TIcon icon;
    EXPECT_TRUE(icon.Empty());
    EXPECT_TRUE(icon.Transparent());
    icon.SetHandle(HalfRedIcon(16));
    ASSERT_FALSE(icon.Empty());
    EXPECT_EQ(icon.Width(), 16);
    EXPECT_EQ(icon.Height(), 16);
    EXPECT_THROW(icon.SetWidth(32), EInvalidGraphicOperation);
    EXPECT_EQ(DrawnAt(&icon, 3, 8), clRed);
    EXPECT_EQ(DrawnAt(&icon, 12, 8), clGray);  // the mask lets the ground through
    EXPECT_EQ(DrawnAt(&icon, 20, 8), clGray);  // outside the icon

    const std::string file = Bytes(icon);
    ASSERT_GT(file.size(), 22u);
    EXPECT_EQ(file.substr(0, 6), std::string("\0\0\1\0\1\0", 6));
    TStringStream in(file);
    TIcon back;
    back.LoadFromStream(&in);
    EXPECT_EQ(back.Width(), 16);
    EXPECT_EQ(DrawnAt(&back, 3, 8), clRed);
    EXPECT_EQ(DrawnAt(&back, 12, 8), clGray);
    EXPECT_EQ(Bytes(back), file);  // a read icon writes its file back as it was

    TIcon copy;
    copy.Assign(&back);
    EXPECT_NE(copy.Handle(), back.Handle());
    EXPECT_EQ(DrawnAt(&copy, 3, 8), clRed);
    win::HICON taken = copy.ReleaseHandle();
    EXPECT_TRUE(copy.Empty());
    EXPECT_TRUE(win::DestroyIcon(taken));
}

TEST(TIcon, MonochromeIconsAreSavedInColour) {
    // Only a mask of twice the height: the AND half above, the XOR half below.
    TBitmap mask;
    mask.SetPixelFormat(pf1bit);
    mask.SetSize(8, 16);
    mask.Canvas()->Brush()->SetColor(clBlack);
    mask.Canvas()->FillRect(Rect(0, 0, 4, 8));   // left half drawn
    mask.Canvas()->FillRect(Rect(0, 8, 8, 16));  // XOR black: the drawn part is black
    mask.Canvas()->Brush()->SetColor(clWhite);
    mask.Canvas()->FillRect(Rect(0, 8, 2, 16));  // ... except two white columns
    win::ICONINFO ii;
    ii.hbmMask = mask.Handle();
    TIcon icon;
    icon.SetHandle(win::CreateIconIndirect(&ii));
    EXPECT_EQ(icon.Width(), 8);
    EXPECT_EQ(icon.Height(), 8);
    TStringStream in(Bytes(icon));
    TIcon back;
    back.LoadFromStream(&in);
    EXPECT_EQ(DrawnAt(&back, 1, 4), clWhite);
    EXPECT_EQ(DrawnAt(&back, 3, 4), clBlack);
    EXPECT_EQ(DrawnAt(&back, 6, 4), clGray);
}

TEST(TIcon, PicksTheRequestedSizeAndLoadsThroughThePictureRegistry) {
    TIcon small, big;
    small.SetHandle(HalfRedIcon(16));
    big.SetHandle(HalfRedIcon(32));
    const std::string both = Join(Bytes(small), Bytes(big));
    testing_support::TempDir dir;
    {
        TStringStream s(both);
        TMemoryStream m;
        m.CopyFrom(&s, 0);
        m.SaveToFile(dir / "App.ICO");
    }
    TPicture p;
    p.LoadFromFile(dir / "App.ICO");
    ASSERT_NE(dynamic_cast<TIcon*>(p.Graphic()), nullptr);
    EXPECT_EQ(p.Width(), 32);  // the default size
    TIcon wanted;
    wanted.SetWidth(16);
    wanted.SetHeight(16);
    wanted.LoadFromFile(dir / "App.ICO");
    EXPECT_EQ(wanted.Width(), 16);
    EXPECT_EQ(Bytes(wanted), both);  // both images are kept for saving
}

TEST(TIcon, DamagedFilesRaiseAClearError) {
    TIcon good;
    good.SetHandle(HalfRedIcon(16));
    const std::string file = Bytes(good);
    auto load = [](const std::string& bytes) {
        TStringStream s(bytes);
        TIcon icon;
        icon.LoadFromStream(&s);
        return icon.Width();
    };
    EXPECT_THROW(load(""), EInvalidGraphic);
    EXPECT_THROW(load("BM not an icon"), EInvalidGraphic);
    EXPECT_THROW(load(file.substr(0, 30)), EInvalidGraphic);  // the image is cut short
    std::string farOff = file;
    farOff[18] = '\x7F';  // the image would lie outside the file
    EXPECT_THROW(load(farOff), EInvalidGraphic);
    try {
        load(file.substr(0, 10));
        FAIL();
    } catch (const EInvalidGraphic& e) {
        EXPECT_NE(std::string(e.what()).find("Icon image is not valid"), std::string::npos);
    }
    // A failed load leaves the icon as it was.
    TStringStream bad("junk");
    EXPECT_THROW(good.LoadFromStream(&bad), EInvalidGraphic);
    EXPECT_EQ(good.Width(), 16);
}

}  // namespace
