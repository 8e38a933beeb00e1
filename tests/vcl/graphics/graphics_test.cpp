#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"
#include "tests/support/temp_dir.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/system/exceptions.h"
#include "vcl/graphics/jpeg_image.h"
#include "vcl/system/streams.h"

namespace {

using namespace vcl;

TEST(Colors, SystemColoursComeFromTheDrawingLayer) {
    EXPECT_EQ(ColorToRGB(clBtnFace), win::GetSysColor(15));
    EXPECT_EQ(ColorToRGB(clRed), 0x0000FFu);
    EXPECT_EQ(static_cast<uint32_t>(clBtnFace), 0xFF00000Fu);
    EXPECT_EQ(ColorToRGB(clNone), 0x1FFFFFFFu);  // markers pass through
}

TEST(DrawingObjects, ChangesDropTheHandleAndTellTheOwner) {
    TFont f;
    int changes = 0;
    f.OnChange = TNotifyEvent::FromCallable([&](TObject*) { ++changes; });
    EXPECT_EQ(f.Size(), 8);
    win::HFONT h1 = f.Handle();
    ASSERT_NE(h1, nullptr);
    f.SetStyle({fsBold});
    EXPECT_EQ(changes, 1);
    win::LOGFONT lf;
    ASSERT_GT(win::GetObject(f.Handle(), sizeof lf, &lf), 0);
    EXPECT_EQ(lf.lfWeight, win::FW_BOLD);
    EXPECT_EQ(lf.lfHeight, -11);
    f.SetSize(10);
    EXPECT_EQ(f.Height(), -13);
    f.SetColor(clRed);
    EXPECT_EQ(changes, 3);
    f.SetColor(clRed);  // same value: no notice
    EXPECT_EQ(changes, 3);

    TFont g;
    g.Assign(&f);
    EXPECT_TRUE(g.SameAs(f));
    TBrush b;
    b.SetStyle(bsClear);
    b.SetColor(clBlue);  // colouring a clear brush makes it solid
    EXPECT_EQ(b.Style(), bsSolid);
}

TEST(TCanvas, DrawsOnABitmapWithItsObjects) {
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(20, 10);
    TCanvas* c = bmp.Canvas();
    EXPECT_EQ(c->Pixels(5, 5), static_cast<TColor>(clWhite));  // new bitmaps are white
    c->Brush()->SetColor(clRed);
    c->FillRect(Rect(0, 0, 10, 10));
    EXPECT_EQ(c->Pixels(9, 9), static_cast<TColor>(clRed));
    EXPECT_EQ(c->Pixels(10, 9), static_cast<TColor>(clWhite));
    c->Pen()->SetColor(clBlue);
    c->MoveTo(0, 0);
    c->LineTo(19, 0);
    EXPECT_EQ(c->Pixels(15, 0), static_cast<TColor>(clBlue));
    EXPECT_EQ(c->PenPos(), Point(19, 0));
    c->SetPixels(18, 8, clLime);
    // ScanLine(0) is the top row, blue-green-red.
    EXPECT_EQ(bmp.ScanLine(0)[15 * 3], 0xFF);
    EXPECT_EQ(bmp.ScanLine(8)[18 * 3 + 1], 0xFF);
    EXPECT_LT(bmp.ScanLine(1) - bmp.ScanLine(0), 0);  // bottom-up rows
    EXPECT_THROW(bmp.ScanLine(10), EInvalidGraphicOperation);
}

TEST(TBitmap, SizeAndFormatChangesKeepThePicture) {
    TBitmap bmp;
    EXPECT_TRUE(bmp.Empty());
    EXPECT_EQ(bmp.HandleType(), bmDDB);
    bmp.SetSize(8, 8);
    bmp.Canvas()->SetPixels(2, 3, clRed);
    bmp.SetPixelFormat(pf32bit);
    EXPECT_EQ(bmp.HandleType(), bmDIB);
    EXPECT_EQ(bmp.Canvas()->Pixels(2, 3), static_cast<TColor>(clRed));
    bmp.SetSize(4, 16);  // clipped to the new width, new rows white
    EXPECT_EQ(bmp.Canvas()->Pixels(2, 3), static_cast<TColor>(clRed));
    EXPECT_EQ(bmp.Canvas()->Pixels(3, 12), static_cast<TColor>(clWhite));
    bmp.SetPixelFormat(pf1bit);
    EXPECT_TRUE(bmp.Monochrome());
    EXPECT_EQ(bmp.Canvas()->Pixels(3, 12), static_cast<TColor>(clWhite));
    EXPECT_THROW(bmp.SetPixelFormat(pf16bit), EInvalidGraphicOperation);
    EXPECT_EQ(bmp.TransparentColor(), static_cast<TColor>(clWhite));  // bottom-left pixel
    bmp.SetTransparentColor(clFuchsia);
    EXPECT_EQ(bmp.TransparentMode(), tmFixed);

    TBitmap copy;
    copy.Assign(&bmp);
    EXPECT_EQ(copy.PixelFormat(), pf1bit);
    EXPECT_EQ(copy.Width(), 4);
    EXPECT_NE(copy.Handle(), bmp.Handle());
}

// Large pixel blocks are handed on from bitmap to bitmap; a new bitmap is white in every byte
// whatever the block held, in every format.
TEST(TBitmap, ANewBitmapIsWhiteOnMemoryAnEarlierOneScribbledOn) {
    for (TPixelFormat format : {pf32bit, pf24bit, pf8bit}) {
        auto make = [format](TBitmap& b, int w, int h) {
            b.SetPixelFormat(format);
            b.SetSize(w, h);
        };
        const int bytes = format == pf32bit ? 4 : format == pf24bit ? 3 : 1;
        const int row = (700 * bytes + 3) / 4 * 4;
        TBitmap small;
        make(small, 1, 1);
        const std::vector<uint8_t> white(small.ScanLine(0), small.ScanLine(0) + bytes);
        for (int i = 0; i < 3; ++i) {
            TBitmap dirty;
            make(dirty, 700, 500);
            for (int y = 0; y < 500; ++y)
                std::memset(dirty.ScanLine(y), 0xAB, size_t(row));
        }
        TBitmap fresh;
        make(fresh, 700, 500);
        bool same = true;
        for (int y = 0; y < 500 && same; ++y) {
            const uint8_t* p = fresh.ScanLine(y);
            for (int i = 0; i < row && same; ++i)
                same = i < 700 * bytes ? p[i] == white[size_t(i % bytes)] : p[i] == 0;
        }
        EXPECT_TRUE(same) << "format " << int(format);
    }
}

TEST(TBitmap, BmpFilesRoundTripInEveryFormat) {
    for (TPixelFormat pf : {pf1bit, pf4bit, pf8bit, pf24bit, pf32bit, pfDevice}) {
        TBitmap a;
        a.SetPixelFormat(pf);
        a.SetSize(13, 7);  // odd width: padded rows
        a.Canvas()->Brush()->SetColor(clBlack);
        a.Canvas()->FillRect(Rect(0, 0, 5, 3));
        TMemoryStream m;
        a.SaveToStream(&m);
        m.SetPosition(0);
        TBitmap b;
        b.LoadFromStream(&m);
        EXPECT_EQ(b.Width(), 13);
        EXPECT_EQ(b.Height(), 7);
        EXPECT_EQ(b.PixelFormat(), pf == pfDevice ? pf32bit : pf) << int(pf);
        EXPECT_EQ(b.Canvas()->Pixels(4, 2), static_cast<TColor>(clBlack)) << int(pf);
        EXPECT_EQ(b.Canvas()->Pixels(5, 3), static_cast<TColor>(clWhite)) << int(pf);
    }
}

TEST(TBitmap, DamagedBmpRaisesAClearError) {
    TBitmap a;
    a.SetPixelFormat(pf24bit);
    a.SetSize(4, 4);
    TMemoryStream m;
    a.SaveToStream(&m);
    std::string bytes(reinterpret_cast<const char*>(m.Memory()), m.MemorySize());
    auto load = [](const std::string& s) {
        TStringStream st(s);
        TBitmap b;
        b.LoadFromStream(&st);
    };
    EXPECT_THROW(load("GIF89a"), EInvalidGraphic);
    EXPECT_THROW(load(bytes.substr(0, bytes.size() - 5)), EInvalidGraphic);  // cut short
    std::string huge = bytes;
    huge[18] = huge[19] = huge[20] = '\x7F';  // width beyond any limit
    EXPECT_THROW(load(huge), EInvalidGraphic);
    std::string rle = bytes;
    rle[30] = 1;  // compressed pixels are not read
    EXPECT_THROW(load(rle), EInvalidGraphic);
}

TEST(TPicture, LoadsByExtensionThroughTheRegistry) {
    testing_support::TempDir dir;
    TMemoryStream jpeg;
    jpeg.LoadFromFile(testing_support::TestDataDir() + "vcl/quad.jpg");
    jpeg.SaveToFile(dir / "QUAD.JPG");  // extensions match in any case
    TPicture p;
    p.LoadFromFile(dir / "QUAD.JPG");
    ASSERT_NE(dynamic_cast<TJPEGImage*>(p.Graphic()), nullptr);
    EXPECT_EQ(p.Width(), 32);
    EXPECT_EQ(p.Height(), 16);
    EXPECT_THROW(p.LoadFromFile("x.xyz"), EInvalidGraphic);
    EXPECT_THROW(p.LoadFromFile("noext"), EInvalidGraphic);

    // Drawn onto a bitmap, the JPEG shows its colours.
    TBitmap target;
    target.SetPixelFormat(pf24bit);
    target.SetSize(32, 16);
    target.Canvas()->Draw(0, 0, p.Graphic());
    const uint32_t c = ColorToRGB(target.Canvas()->Pixels(28, 3));
    EXPECT_GT(GetBValue(c), 230);
    EXPECT_LT(GetRValue(c), 30);

    // A registered class is found for its extension, in any case.
    RegisterFileFormat("TST", "Test", [] { return static_cast<TGraphic*>(new TBitmap); });
    TGraphic* g = CreateGraphicForExtension("tst");
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->ClassName(), "TBitmap");
    g->Free();
    UnregisterFileFormat("tst");
    EXPECT_EQ(CreateGraphicForExtension("tst"), nullptr);
}

TEST(TJPEGImage, EncodesABitmapAndReadsItBack) {
    TBitmap src;
    src.SetPixelFormat(pf24bit);
    src.SetSize(16, 16);
    src.Canvas()->Brush()->SetColor(clGreen);
    src.Canvas()->FillRect(Rect(0, 0, 16, 16));
    TJPEGImage j;
    j.Assign(&src);
    j.CompressionQuality = 95;
    TMemoryStream m;
    j.SaveToStream(&m);
    EXPECT_GT(m.Size(), 100);
    m.SetPosition(0);
    TJPEGImage back;
    back.LoadFromStream(&m);
    EXPECT_EQ(back.Width(), 16);  // from the header, before any decoding
    TBitmap out;
    out.Assign(&back);
    const uint32_t c = ColorToRGB(out.Canvas()->Pixels(8, 8));
    EXPECT_NEAR(GetGValue(c), 128, 6);
    EXPECT_LT(GetRValue(c), 10);

    TStringStream junk("not a jpeg");
    EXPECT_THROW(back.LoadFromStream(&junk), EInvalidGraphic);
}

}  // namespace
