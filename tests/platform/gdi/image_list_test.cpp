#include <gtest/gtest.h>

#include "gdi_test_util.h"

namespace {

using namespace win;
using gdi_test::Canvas;

TEST(ImageList, IconsGoInAndComeBack) {
    HIMAGELIST list = ImageList_Create(4, 4, ILC_COLOR32 | ILC_MASK, 0, 4);
    ASSERT_NE(list, nullptr);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    EXPECT_EQ(cx, 4);
    EXPECT_EQ(ImageList_GetBkColor(list), CLR_NONE);
    // A 2 x 2 icon grows to the list's size.
    Canvas color(2, 2), mask(2, 2, 1);
    color.Fill(0x00FF0000);
    mask.SetRaw(1, 1, 1);
    ICONINFO ii;
    ii.hbmColor = color.bitmap();
    ii.hbmMask = mask.bitmap();
    HICON icon = CreateIconIndirect(&ii);
    EXPECT_EQ(ImageList_ReplaceIcon(list, -1, icon), 0);
    EXPECT_EQ(ImageList_AddIcon(list, icon), 1);
    EXPECT_EQ(ImageList_GetImageCount(list), 2);
    DestroyIcon(icon);

    Canvas dst(6, 6, 24);
    dst.Fill(0x00FF00);
    ASSERT_TRUE(ImageList_Draw(list, 0, dst.dc(), 1, 1, ILD_TRANSPARENT));
    EXPECT_EQ(dst.Raw(1, 1), 0xFF0000u);
    EXPECT_EQ(dst.Raw(4, 4), 0x00FF00u);  // the masked quarter shows through
    EXPECT_EQ(dst.Raw(0, 0), 0x00FF00u);
    // With a background colour an ILD_NORMAL draw fills the masked part.
    ImageList_SetBkColor(list, RGB(0, 0, 255));
    ImageList_Draw(list, 0, dst.dc(), 1, 1, ILD_NORMAL);
    EXPECT_EQ(dst.Raw(4, 4), 0x0000FFu);
    // The icon taken out is transparent where the image is masked.
    ImageList_SetBkColor(list, CLR_NONE);
    HICON back = ImageList_GetIcon(list, 1, ILD_TRANSPARENT);
    ASSERT_NE(back, nullptr);
    dst.Fill(0x00FF00);
    DrawIconEx(dst.dc(), 0, 0, back, 0, 0, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(dst.Raw(0, 0), 0xFF0000u);
    EXPECT_EQ(dst.Raw(3, 3), 0x00FF00u);
    DestroyIcon(back);

    EXPECT_TRUE(ImageList_Remove(list, 0));
    EXPECT_EQ(ImageList_GetImageCount(list), 1);
    EXPECT_FALSE(ImageList_Remove(list, 5));
    EXPECT_TRUE(ImageList_Remove(list, -1));
    EXPECT_EQ(ImageList_GetImageCount(list), 0);
    EXPECT_EQ(ImageList_GetIcon(list, 0, 0), nullptr);
    EXPECT_TRUE(ImageList_Destroy(list));
    EXPECT_FALSE(ImageList_Destroy(list));
    EXPECT_EQ(ImageList_GetImageCount(list), 0);
}

TEST(ImageList, StripsMaskColoursAndAlpha) {
    HIMAGELIST list = ImageList_Create(2, 1, ILC_COLOR32 | ILC_MASK, 0, 1);
    Canvas strip(6, 1, 24);  // three images side by side
    strip.SetRaw(0, 0, 0xFF00FF);
    strip.SetRaw(1, 0, 0x112233);
    strip.SetRaw(2, 0, 0x445566);
    strip.SetRaw(3, 0, 0xFF00FF);
    EXPECT_EQ(ImageList_AddMasked(list, strip.bitmap(), RGB(255, 0, 255)), 0);
    EXPECT_EQ(ImageList_GetImageCount(list), 3);
    Canvas dst(2, 1, 24);
    dst.Fill(0x999999);
    ImageList_Draw(list, 0, dst.dc(), 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(dst.Raw(0, 0), 0x999999u);
    EXPECT_EQ(dst.Raw(1, 0), 0x112233u);
    ImageList_Draw(list, 1, dst.dc(), 0, 0, ILD_BLEND50);
    // Half and half with the highlight colour (10, 36, 106).
    EXPECT_EQ(dst.Raw(0, 0), 0x273C68u);
    // A 32-bit image with alpha blends by it.
    Canvas argb(2, 1);
    argb.SetRaw(0, 0, 0x80FF0000);
    argb.SetRaw(1, 0, 0x000000FF);
    EXPECT_EQ(ImageList_Add(list, argb.bitmap(), nullptr), 3);
    dst.Fill(0x000000);
    ImageList_Draw(list, 3, dst.dc(), 0, 0, ILD_NORMAL);
    EXPECT_EQ(dst.Raw(0, 0), 0x800000u);
    EXPECT_EQ(dst.Raw(1, 0), 0x000000u);
    // A new size empties the list.
    EXPECT_TRUE(ImageList_SetIconSize(list, 8, 8));
    EXPECT_EQ(ImageList_GetImageCount(list), 0);
    EXPECT_FALSE(ImageList_SetIconSize(list, 0, 8));
    ImageList_Destroy(list);
    EXPECT_EQ(ImageList_Create(0, 16, ILC_COLOR32, 0, 1), nullptr);
}

TEST(FrameDraw, EdgesFocusAndControls) {
    Canvas c(10, 10);
    RECT r{0, 0, 10, 10};
    ASSERT_TRUE(DrawEdge(c.dc(), &r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST));
    EXPECT_EQ(r, (RECT{2, 2, 8, 8}));
    EXPECT_EQ(GetPixel(c.dc(), 0, 0), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(GetPixel(c.dc(), 1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(GetPixel(c.dc(), 9, 9), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(GetPixel(c.dc(), 8, 8), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(GetPixel(c.dc(), 5, 5), GetSysColor(COLOR_BTNFACE));

    c.Fill(0x00123456);
    RECT f{1, 1, 9, 9};
    DrawFocusRect(c.dc(), &f);
    EXPECT_EQ(c.Raw(3, 1), 0x00EDCBA9u);
    EXPECT_EQ(c.Raw(2, 1), 0x00123456u);  // every other pixel
    EXPECT_EQ(c.Raw(4, 4), 0x00123456u);
    DrawFocusRect(c.dc(), &f);
    EXPECT_EQ(c.Picture(0x00123456), std::string(10, '#').append("\n").append([] {
        std::string s;
        for (int i = 0; i < 9; ++i)
            s += "##########\n";
        return s;
    }()));

    HBITMAP boxes = LoadBitmap(nullptr, OBM_CHECKBOXES);
    ASSERT_NE(boxes, nullptr);
    BITMAP bm;
    GetObject(boxes, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 52);
    EXPECT_EQ(bm.bmHeight, 39);
    // The checked cell differs from the unchecked one in its middle.
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, boxes);
    EXPECT_EQ(GetPixel(dc, 6, 6), GetSysColor(COLOR_WINDOW));
    EXPECT_NE(GetPixel(dc, 13 + 5, 7), GetSysColor(COLOR_WINDOW));
    DeleteDC(dc);
    DeleteObject(boxes);

    RECT b{0, 0, 10, 10};
    EXPECT_TRUE(DrawFrameControl(c.dc(), &b, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT));
    EXPECT_EQ(b, (RECT{2, 2, 8, 8}));
    EXPECT_FALSE(DrawFrameControl(c.dc(), &b, 99, 0));
}

}  // namespace
