#include "skin/core/data/stored_skins.h"

#include <gtest/gtest.h>

#include "platform/os/cp_literal.h"
#include "vcl/system/exceptions.h"

namespace skin {
namespace {

TEST(StoredSkins, ANewInternalSkinAndItsLookUpByExactName) {
    TsStoredSkins skins(nullptr);
    TsStoredSkin* topaz = skins.Add();
    EXPECT_EQ(topaz->Shadow1Blur, -1);
    EXPECT_EQ(topaz->BorderColor, kTransparentKey);
    EXPECT_EQ(topaz->Data->Size(), 0);
    EXPECT_TRUE(topaz->MasterBitmap->Empty());
    EXPECT_EQ(topaz->GeneralData.GetOwner(), topaz);
    topaz->Name = "Topaz (внутренний)"_cp;
    skins.Add()->Name = "Other";
    EXPECT_EQ(skins.IndexOf("Topaz (внутренний)"_cp), 0);
    EXPECT_EQ(skins.IndexOf("topaz (внутренний)"_cp), -1);
    EXPECT_EQ(skins.IndexOf("TOPAZ (ВНУТРЕННИЙ)"_cp), -1);
    EXPECT_EQ(skins.GetItem(1)->Name, "Other");
    EXPECT_EQ(FindStoredSkin(&skins, "Other"), skins.GetItem(1));
    EXPECT_EQ(FindStoredSkin(nullptr, "Other"), nullptr);
    // Internal skins are not copied in from elsewhere.
    TsStoredSkins others(nullptr);
    others.Add()->Name = "New";
    skins.Assign(&others);
    EXPECT_EQ(skins.Count(), 2);
}

TEST(StoredSkins, CopyingAStoredSkin) {
    TsStoredSkins skins(nullptr);
    TsStoredSkin* from = skins.Add();
    from->Name = "A";
    from->Data->WriteBuffer("ASzf", 4);
    from->Version = 6.5;
    from->Patterns.Add()->Name = "P";
    TsStoredSkin* to = skins.Add();
    to->Assign(from);
    EXPECT_EQ(to->Name, "A");
    EXPECT_EQ(to->Data->Size(), 4);
    EXPECT_DOUBLE_EQ(to->Version, 6.5);
    ASSERT_EQ(to->Patterns.Count(), 1);
    EXPECT_EQ(to->Patterns.Items(0)->Name, "P");
    // Sections of the older form have no copy of their own.
    from->GeneralData.Add();
    EXPECT_THROW(to->Assign(from), vcl::EConvertError);
}

TEST(StoredSkins, AnimationDefaults) {
    const TacAnimEffects a;
    EXPECT_EQ(a.SkinChanging.Time, 100);
    EXPECT_EQ(a.SkinChanging.Mode, atFading);
    for (const TacFormAnimation* f : {static_cast<const TacFormAnimation*>(&a.DialogShow),
                                      static_cast<const TacFormAnimation*>(&a.FormShow),
                                      static_cast<const TacFormAnimation*>(&a.FormHide),
                                      static_cast<const TacFormAnimation*>(&a.DialogHide),
                                      static_cast<const TacFormAnimation*>(&a.PageChange)}) {
        EXPECT_TRUE(f->Active);
        EXPECT_EQ(f->Time, 0);
        EXPECT_EQ(f->Mode, atAero);
    }
    EXPECT_EQ(a.Buttons.Events, (TacBtnEvents{beMouseEnter, beMouseLeave, beMouseDown, beMouseUp}));
}

TEST(StoredSkins, ThirdPartyListsAndTheirDefaults) {
    ThirdPartyList list;
    for (int i = 0; i < ThirdPartyList::kCount; ++i)
        EXPECT_EQ(list.GetString(i), "");
    list.SetString(0, "TEdit\r\nTMemo");
    list.SetString(18, "ignored");
    EXPECT_EQ(list.GetString(18), "");
    EXPECT_EQ(list.GetString(-1), "");
    list.ApplyDefaults(false);
    EXPECT_EQ(list.GetString(0), "TEdit\r\nTMemo");
    EXPECT_EQ(list.GetString(1), "TButton");
    EXPECT_EQ(list.GetString(17), " ");
    list.ApplyDefaults(true);
    EXPECT_EQ(list.GetString(0), " ");
    EXPECT_STREQ(ThirdPartyList::kPropertyNames[17], "ThirdSpeedButton");
    EXPECT_STREQ(ThirdPartyList::kCategoryNames[10], "wwEdit");
}

}  // namespace
}  // namespace skin
