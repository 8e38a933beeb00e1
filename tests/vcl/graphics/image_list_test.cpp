#include "vcl/graphics/image_list.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/gdi/gdi.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/icon.h"
#include "vcl/system/exceptions.h"

namespace {

using namespace vcl;

// A strip of `n` 4 x 4 images: image i is filled with colours[i], with a fuchsia top-left
// pixel as the transparent key.
std::unique_ptr<TBitmap> Strip(std::initializer_list<TColor> colours) {
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->SetSize(4 * static_cast<int>(colours.size()), 4);
    int i = 0;
    for (TColor c : colours) {
        b->Canvas()->Brush()->SetColor(c);
        b->Canvas()->FillRect(Rect(4 * i, 0, 4 * i + 4, 4));
        b->Canvas()->SetPixels(4 * i, 0, clFuchsia);
        ++i;
    }
    return b;
}

std::unique_ptr<TBitmap> Canvas(int w, int h, TColor fill) {
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(fill);
    b->Canvas()->FillRect(Rect(0, 0, w, h));
    return b;
}

TEST(TImageList, AddsStripsAndTellsItsLinks) {
    std::unique_ptr<TImageList, FreeDeleter> list(New<TImageList>(nullptr, 4, 4));
    int changes = 0, linked = 0;
    list->OnChange = TNotifyEvent::FromCallable([&](TObject*) { ++changes; });
    auto link = std::make_unique<TChangeLink>();
    link->OnChange = TNotifyEvent::FromCallable([&](TObject* s) {
        EXPECT_EQ(s, list.get());
        ++linked;
    });
    list->RegisterChanges(link.get());
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(list->AddMasked(Strip({clRed, clLime, clBlue}).get(), clFuchsia), 0);
    EXPECT_EQ(list->AddMasked(Strip({clYellow}).get(), clFuchsia), 3);
    EXPECT_EQ(list->Count(), 4);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(linked, 2);
    list->Delete(1);
    EXPECT_EQ(list->Count(), 3);
    EXPECT_THROW(list->Delete(3), EInvalidOperation);
    // A link freed first leaves the list; a list freed first lets go of its links.
    link.reset();
    list->SetBkColor(clWhite);
    EXPECT_EQ(linked, 3);
    auto late = std::make_unique<TChangeLink>();
    list->RegisterChanges(late.get());
    list.reset();
    EXPECT_EQ(late->Sender, nullptr);
}

TEST(TImageList, SizeAndMaskRuleTheImages) {
    TImageList list(nullptr);
    EXPECT_EQ(list.Width(), 16);
    EXPECT_TRUE(list.Masked());
    list.SetSize(4, 4);
    list.Add(Strip({clRed, clRed}).get(), nullptr);
    ASSERT_EQ(list.Count(), 2);
    list.SetWidth(8);  // a new size empties the list
    EXPECT_EQ(list.Count(), 0);
    EXPECT_THROW(list.SetHeight(0), EInvalidOperation);
    EXPECT_THROW(list.SetWidth(2000), EInvalidOperation);
    EXPECT_EQ(list.Height(), 4);
    EXPECT_EQ(list.Add(nullptr, nullptr), -1);
}

TEST(TImageList, DrawsKeyedImagesOverTheCanvasOrOnItsBackColour) {
    TImageList list(nullptr, 4, 4);
    list.AddMasked(Strip({clRed, clBlue}).get(), clFuchsia);
    auto target = Canvas(10, 10, clGreen);
    list.Draw(target->Canvas(), 2, 2, 1);
    EXPECT_EQ(target->Canvas()->Pixels(2, 2), clGreen);  // the key pixel lets the canvas show
    EXPECT_EQ(target->Canvas()->Pixels(3, 2), clBlue);
    EXPECT_EQ(target->Canvas()->Pixels(6, 6), clGreen);
    list.SetBkColor(clYellow);
    list.Draw(target->Canvas(), 2, 2, 0);
    EXPECT_EQ(target->Canvas()->Pixels(2, 2), clYellow);
    list.Draw(target->Canvas(), 2, 2, 0, dsTransparent, itImage);
    EXPECT_EQ(target->Canvas()->Pixels(3, 3), clRed);
    list.Draw(target->Canvas(), 2, 2, 7);  // no such image: nothing drawn
    EXPECT_EQ(target->Canvas()->Pixels(3, 3), clRed);

    // GetBitmap sizes the bitmap; a list without back colour keeps what the bitmap held.
    list.SetBkColor(clNone);
    auto got = Canvas(1, 1, clAqua);
    ASSERT_TRUE(list.GetBitmap(1, got.get()));
    EXPECT_EQ(got->Width(), 4);
    EXPECT_EQ(got->Canvas()->Pixels(1, 1), clBlue);
    EXPECT_EQ(got->Canvas()->Pixels(0, 0), clAqua);
    EXPECT_FALSE(list.GetBitmap(2, got.get()));
    EXPECT_FALSE(list.GetBitmap(0, nullptr));
}

TEST(TImageList, DisabledImagesAreEmbossed) {
    TImageList list(nullptr, 4, 4);
    auto strip = Canvas(4, 4, clWhite);
    strip->Canvas()->SetPixels(1, 1, clBlack);  // one pixel of ink
    strip->Canvas()->SetPixels(2, 2, clFuchsia);
    list.AddMasked(strip.get(), clFuchsia);
    auto target = Canvas(8, 8, clGreen);
    list.Draw(target->Canvas(), 2, 2, 0, false);
    const TColor shadow = static_cast<TColor>(ColorToRGB(clBtnShadow));
    const TColor light = static_cast<TColor>(ColorToRGB(clBtnHighlight));
    EXPECT_EQ(target->Canvas()->Pixels(3, 3), shadow);
    EXPECT_EQ(target->Canvas()->Pixels(4, 4), light);
    // White and transparent pixels are no ink.
    EXPECT_EQ(target->Canvas()->Pixels(2, 2), clGreen);
    EXPECT_EQ(target->Canvas()->Pixels(5, 5), clGreen);
}

TEST(TImageList, TakesIconsAndCopiesAnotherList) {
    TImageList list(nullptr, 4, 4);
    auto pic = Canvas(8, 8, clNavy);
    TIcon icon;
    {
        win::HBITMAP mask = win::CreateBitmap(8, 8, 1, 1, nullptr);
        win::ICONINFO ii{};
        ii.fIcon = win::TRUE;
        ii.hbmColor = pic->Handle();
        ii.hbmMask = mask;
        icon.SetHandle(win::CreateIconIndirect(&ii));
        win::DeleteObject(mask);
    }
    EXPECT_EQ(list.AddIcon(&icon), 0);  // scaled to the list's size
    list.AddMasked(Strip({clRed}).get(), clFuchsia);
    list.SetBkColor(clMaroon);

    TImageList copy(nullptr);
    copy.Assign(&list);
    EXPECT_EQ(copy.Width(), 4);
    EXPECT_EQ(copy.Count(), 2);
    EXPECT_EQ(copy.BkColor(), clMaroon);
    auto target = Canvas(4, 4, clGreen);
    copy.Draw(target->Canvas(), 0, 0, 0, dsTransparent, itImage);
    EXPECT_EQ(target->Canvas()->Pixels(2, 2), clNavy);
    copy.Draw(target->Canvas(), 0, 0, 1, dsTransparent, itImage);
    EXPECT_EQ(target->Canvas()->Pixels(0, 0), clNavy);  // the key pixel stayed transparent
    EXPECT_EQ(target->Canvas()->Pixels(1, 1), clRed);
}

TEST(TImageList, ReplacesClearsAndSharesItsHandle) {
    TImageList list(nullptr, 4, 4);
    list.SetAllocBy(8);
    EXPECT_EQ(list.AllocBy(), 8);
    list.Add(Strip({clRed, clLime}).get(), nullptr);
    list.Replace(1, Strip({clBlue}).get(), nullptr);
    auto target = Canvas(4, 4, clGreen);
    list.Draw(target->Canvas(), 0, 0, 1);
    EXPECT_EQ(target->Canvas()->Pixels(2, 2), clBlue);
    EXPECT_THROW(list.Replace(2, Strip({clBlue}).get(), nullptr), EInvalidOperation);
    int changes = 0;
    list.OnChange = TNotifyEvent::FromCallable([&](TObject*) { ++changes; });
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(changes, 1);

    // A shared handle outlives the component; its colours come back as colour properties.
    win::HIMAGELIST handle = win::ImageList_Create(6, 5, win::ILC_COLOR32, 0, 4);
    win::ImageList_SetBkColor(handle, win::RGB(0x12, 0x34, 0x56));
    {
        TImageList sharing(nullptr);
        sharing.SetShareImages(true);
        sharing.SetHandle(handle);
        EXPECT_EQ(sharing.Width(), 6);
        EXPECT_EQ(sharing.Height(), 5);
        EXPECT_EQ(sharing.BkColor(), TColor(0x563412));
    }
    EXPECT_EQ(ListColorToColor(win::CLR_DEFAULT), clDefault);
    EXPECT_EQ(ListColorToColor(win::CLR_NONE), clNone);
    EXPECT_EQ(win::ImageList_GetImageCount(handle), 0);
    EXPECT_TRUE(win::ImageList_Destroy(handle));
}

}  // namespace
