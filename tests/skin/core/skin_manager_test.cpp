#include "skin/core/state/skin_manager.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/gdi/sys_colors.h"
#include "platform/os/cp1251.h"
#include "platform/os/cp_literal.h"
#include "platform/os/clock.h"
#include "platform/user/user.h"
#include "skin/core/state/engine_state.h"
#include "skin/core/state/form_animations.h"
#include "skin/core/state/hooked_forms.h"
#include "skin/core/state/library_startup.h"
#include "skin/core/state/skin_loading.h"
#include "tests/skin/core/png_reference.h"
#include "tests/skin/core/skin_reading.h"
#include "tests/skin/core/skin_recorders.h"
#include "tests/support/temp_dir.h"

namespace skin {
namespace {

// The system colours, as the drawing layer gives them.
const TColor kSystemBtnFace = win::GetSysColor(win::COLOR_BTNFACE);
const TColor kSystemWindow = win::GetSysColor(win::COLOR_WINDOW);
const TColor kSystemHighlight = win::GetSysColor(win::COLOR_HIGHLIGHT);
const TColor kSystemHighlightText = win::GetSysColor(win::COLOR_HIGHLIGHTTEXT);

using skin_test::Bmp24;
using skin_test::Log;
using skin_test::Only;
using skin_test::PixelOf;
using skin_test::Solid;
using skin_test::TestSkin;

std::string Hex(uint32_t c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%06X", c);
    return buf;
}

// A small whole skin whose surfaces are `colour`.
TestSkin MiniSkin(uint32_t colour, const std::string& edit = "", const std::string& global = "") {
    TestSkin s;
    s.Options = "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\nVERSION=6.5\nCOLOR=" + Hex(colour) +
                "\nFONTCOLOR=0x101010\nHOTCOLOR=0x00C0C0\nBICONCLOSEGLOW=4\n" + global +
                "[EDIT]\nCOLOR=" + Hex(colour) +
                "\nHOTFONTCOLOR=0x202020\n"
                "BORDERSMASK=^0000^0000^0012^0004^0002^0002^0002^0002^3^0^0^0\n" +
                edit +
                "[MENUITEM]\nHOTCOLOR=0xC05000\nHOTFONTCOLOR=0xFFFFFE\n"
                "[BUTTON]\nGLOW0=!GLOW.PNG!1!0!3\n";
    s.Add("MASTER.BMP", Bmp24(24, 8, Solid(colour)));
    s.Add("GLOW.PNG", skin_test::WriteSolidPng(4, 4, 0x80FF0000));
    return s;
}

std::string Lines(const vcl::TStrings& list) {
    std::string text;
    for (int i = 0; i < list.Count(); ++i)
        text += (i ? " " : "") + list.Get(i);
    return text;
}

void AddInternal(TsStoredSkins* skins, const std::string& name, const std::string& blob) {
    TsStoredSkin* item = skins->Add();
    item->Name = name;
    item->Data.reset(new vcl::TMemoryStream);
    item->Data->WriteBuffer(blob.data(), int64_t(blob.size()));
}

class SkinManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        win::ResetWindowing();
        ResetNeighbourServices();
        neighbours_ = std::make_unique<skin_test::RecordingNeighbours>(&log);
        manager.reset(new TsSkinManager(nullptr));
        manager->SetSkinDirectory(dir.path());
    }
    void TearDown() override {
        manager.reset();
        neighbours_.reset();
        vcl::DoneApplication();
        win::ResetWindowing();
        SetLayeredWindowsAvailable(true);
    }
    void Folder(const std::string& name, const TestSkin& s) {
        std::filesystem::create_directories(dir / name);
        s.WriteFolder(dir / name + "/");
    }
    void Packed(const std::string& name, const std::string& blob) {
        testing_support::WriteFile(dir / (name + ".asz"), blob);
    }
    uint32_t Master() { return PixelOf(manager->MasterBitmap(), 1, 1); }
    using TRecordingFormPtr = std::unique_ptr<skin_test::TRecordingForm, vcl::FreeDeleter>;
    TRecordingFormPtr Form(const std::string& name, bool provider) {
        return TRecordingFormPtr(new skin_test::TRecordingForm(vcl::Application(), name, &log,
                                                               provider ? manager.get() : nullptr));
    }

    os::FakeClock clock_;
    os::ScopedClock scoped_{clock_};
    testing_support::TempDir dir;
    Log log;
    std::unique_ptr<skin_test::RecordingNeighbours> neighbours_;
    std::unique_ptr<TsSkinManager, vcl::FreeDeleter> manager;
};

TEST(SkinDirectories, RelativeFoldersResolveAgainstTheProgramFolder) {
    const struct {
        const char* value;
        const char* folder;
    } cases[] = {
        {"..\\Skins", "/a/Skins/"},
        {"../Skins", "/a/Skins/"},
        {".\\Skins", "/a/b/Skins/"},
        {"./Skins", "/a/b/Skins/"},
        {"Skins", "/a/b/Skins/"},
        {"Sub\\Skins", "/a/b/Sub/Skins/"},
        {"/srv/skins", "/srv/skins/"},
        {"/srv/skins/", "/srv/skins/"},
        {"..", "/a/"},
        {"c:\\Skins", ""},  // a drive names no folder
        {"d:", ""},
        {"\\\\host\\share", "//host/share/"},
        {"", "/a/b/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ResolveSkinDirectory(c.value, "/a/b/"), c.folder) << c.value;
    }
}

TEST_F(SkinManagerTest, AvailableSkinsListTheInternalOnesAndTheFolderSorted) {
    AddInternal(manager->InternalSkins(), "Zeta", MiniSkin(0xE0E0E0).Packed());
    Folder("alpha", MiniSkin(0xD0D0D0));
    std::filesystem::create_directories(dir / "NoOptions");
    Packed("Blue", MiniSkin(0xC0C0C0).Packed());
    testing_support::WriteFile(dir / "notes.txt", "x");
    vcl::TStringList list;
    std::string first;
    manager->ListAvailableSkins(&list, slBoth, first);
    EXPECT_EQ(Lines(list), "alpha Blue Zeta");
    EXPECT_EQ(first, "Zeta");
    manager->ListAvailableSkins(&list, slFolders, first);
    EXPECT_EQ(Lines(list), "alpha Zeta");
    manager->ListAvailableSkins(&list, slPacked, first);
    EXPECT_EQ(Lines(list), "Blue Zeta");

    manager->InternalSkins()->Clear();
    manager->SetSkinDirectory(dir / "missing");
    manager->ListAvailableSkins(&list, slBoth, first);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(first, "");
}

TEST_F(SkinManagerTest, WhereASkinIsFound) {
    Folder("Blue", MiniSkin(0x00FF00));
    Packed("Blue", MiniSkin(0x0000FF).Packed());  // the packed file wins
    AddInternal(manager->InternalSkins(), "Inner", MiniSkin(0xFF0000).Packed());
    manager->SetSkinName("Blue");
    EXPECT_TRUE(manager->IsPacked());
    EXPECT_EQ(Master(), 0x0000FFu);
    EXPECT_EQ(manager->SkinData().SkinPath, dir.path());

    std::filesystem::remove(dir / "Blue.asz");
    manager->SetSkinName("Blue");
    EXPECT_FALSE(manager->IsPacked());
    EXPECT_EQ(Master(), 0x00FF00u);
    EXPECT_EQ(manager->SkinData().SkinPath, dir / "Blue/");

    manager->SetSkinName("Nothing like it");  // the first internal skin, under its name
    EXPECT_EQ(manager->SkinName(), "Inner");
    EXPECT_TRUE(manager->IsPacked());
    EXPECT_EQ(Master(), 0xFF0000u);
    EXPECT_EQ(manager->SkinData().SkinPath, "");
    EXPECT_TRUE(manager->SkinData().Active);
    EXPECT_EQ(manager->SkinInfo(), "6.5");
    EXPECT_EQ(SkinChanging, 0);
}

TEST_F(SkinManagerTest, SkinsUnderANonAsciiFolderAreListedAndLoad) {
    // The folder and the names are the program's cp1251 text; on disk they are UTF-8.
    const std::string folder = dir / "Скины/";
    std::filesystem::create_directories(folder + "Синий");
    MiniSkin(0x00FF00).WriteFolder(folder + "Синий/");
    testing_support::WriteFile(folder + "Зелёный.asz", MiniSkin(0x0000FF).Packed());
    manager->SetSkinDirectory(os::Utf8ToCp1251(folder));
    vcl::TStringList list;
    std::string first;
    manager->ListAvailableSkins(&list, slBoth, first);
    EXPECT_EQ(Lines(list), "Зелёный Синий"_cp);

    manager->SetSkinName("Синий"_cp);
    EXPECT_FALSE(manager->IsPacked());
    EXPECT_EQ(Master(), 0x00FF00u);
    EXPECT_EQ(manager->SkinData().SkinPath, os::Utf8ToCp1251(folder) + "Синий/"_cp);
    manager->SetSkinName("Зелёный"_cp);
    EXPECT_TRUE(manager->IsPacked());
    EXPECT_EQ(Master(), 0x0000FFu);
    EXPECT_TRUE(neighbours_->messages.empty());
}

TEST_F(SkinManagerTest, ADriveLetterNamesNoSkinFolder) {
    // A file beside the working folder named like the drive's skin is never taken for it.
    AddInternal(manager->InternalSkins(), "Inner", MiniSkin(0xFF0000).Packed());
    const std::filesystem::path cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    std::filesystem::create_directories("c:/Skins");
    testing_support::WriteFile("c:/Skins/Inner.asz", "not a skin");
    manager->SetSkinDirectory("c:\\Skins");
    manager->SetSkinName("Inner");
    vcl::TStringList list;
    std::string first;
    manager->ListAvailableSkins(&list, slBoth, first);
    std::filesystem::current_path(cwd);
    EXPECT_TRUE(neighbours_->messages.empty());
    EXPECT_EQ(Master(), 0xFF0000u);
    EXPECT_EQ(Lines(list), "Inner");
}

TEST_F(SkinManagerTest, WithoutAnySkinTheManagerEndsInactiveAndTheSkinIsRemoved) {
    auto form = Form("F", false);
    form->expected = manager.get();
    manager->SetSkinName("Blue");
    EXPECT_FALSE(manager->Active());
    EXPECT_FALSE(manager->SkinData().Active);
    EXPECT_EQ(Only(log, "F:"), Log({"F:2"}));
    EXPECT_EQ(manager->SkinInfo(), "N/A");
    EXPECT_EQ(manager->ConstData().IndexGLOBALINFO, -1);
}

TEST_F(SkinManagerTest, AnInternalSkinWithoutDataIsReadFromItsCollections) {
    TsStoredSkin* item = manager->InternalSkins()->Add();
    item->Name = "Plain";
    item->Version = 5;
    item->GeneralData.Add()->SectionName = "EDIT";
    manager->SetSkinName("Plain");
    EXPECT_FALSE(manager->IsPacked());
    EXPECT_GE(manager->GetSkinIndex("EDIT"), 0);
    EXPECT_TRUE(manager->SkinData().Active);
}

// A skin broken in one way; `packedOnly` for faults a folder cannot have.
struct Broken {
    const char* what;
    std::function<void(TestSkin&)> damage;
    const char* place;
};

const Broken kBroken[] = {
    {"strict key with letters", [](TestSkin& s) { s.Options += "[GLOBALINFO]\nBICONMAXGLOW=1x\n"; },
     "(Options.dat [GLOBALINFO] BICONMAXGLOW)"},
    {"border value cut short",
     [](TestSkin& s) {
         const std::string full = "^0000^0000^0012^0004^0002^0002^0002^0002^3^0^0^0";
         s.Options.replace(s.Options.find(full), full.size(), "^0000^00");
     },
     "(Options.dat [EDIT] BORDERSMASK)"},
    {"damaged master bitmap",
     [](TestSkin& s) { s.Files[0].second = "BM" + std::string(40, '\x7F'); }, "MASTER.BMP"},
    {"truncated glow picture",
     [](TestSkin& s) { s.Files[1].second = s.Files[1].second.substr(0, 40); }, "GLOW.PNG"},
};

TEST_F(SkinManagerTest, AFailedLoadLeavesThePreviousSkinInForce) {
    AddInternal(manager->InternalSkins(), "Good", MiniSkin(0x00FF00).Packed());
    manager->SetSkinName("Good");
    const TsSkinContent* good = &manager->Skin();
    auto check = [&](const std::string& label, const std::string& place) {
        SCOPED_TRACE(label);
        EXPECT_EQ(manager->SkinName(), "Good");
        EXPECT_EQ(&manager->Skin(), good);
        EXPECT_EQ(Master(), 0x00FF00u);
        EXPECT_TRUE(manager->IsValidSkinIndex(manager->ConstData().IndexGLOBALINFO));
        EXPECT_TRUE(manager->IsValidImgIndex(
            manager->Sections()[size_t(manager->GetSkinIndex("EDIT"))].BordersMask));
        EXPECT_TRUE(manager->SkinData().Active);
        EXPECT_TRUE(manager->Active());
        EXPECT_EQ(SkinChanging, 0);
        ASSERT_FALSE(neighbours_->messages.empty());
        EXPECT_NE(neighbours_->messages.back().find(place), std::string::npos)
            << neighbours_->messages.back();
        neighbours_->messages.clear();
    };
    for (const Broken& b : kBroken) {
        TestSkin s = MiniSkin(0x0000FF);
        b.damage(s);
        Folder(std::string("F") + std::to_string(&b - kBroken), s);
        manager->SetSkinName(std::string("F") + std::to_string(&b - kBroken));
        check(std::string(b.what) + " in a folder", b.place);
        Packed(std::string("P") + std::to_string(&b - kBroken), s.Packed());
        manager->SetSkinName(std::string("P") + std::to_string(&b - kBroken));
        check(std::string(b.what) + " packed", b.place);
    }
    Packed("Sig", "XXXX" + MiniSkin(0x0000FF).Packed().substr(4));
    manager->SetSkinName("Sig");
    check("wrong signature", "not a packed Quillor file");
}

TEST_F(SkinManagerTest, AFailedReloadOnAPropertyKeepsTheSkinAndTheValue) {
    for (const Broken& b : kBroken) {
        SCOPED_TRACE(b.what);
        Folder("Live", MiniSkin(0x00FF00));
        manager->SetSkinName("Live");
        const TsSkinContent* before = &manager->Skin();
        TestSkin s = MiniSkin(0x00FF00);
        b.damage(s);
        Folder("Live", s);  // the files change under the skin in force
        manager->SetHueOffset(120);
        EXPECT_EQ(manager->HueOffset(), 0);
        EXPECT_EQ(&manager->Skin(), before);
        EXPECT_EQ(Master(), 0x00FF00u);
        EXPECT_EQ(SkinChanging, 0);
        ASSERT_FALSE(neighbours_->messages.empty());
        EXPECT_NE(neighbours_->messages.back().find(b.place), std::string::npos);
        neighbours_->messages.clear();
    }
}

TEST_F(SkinManagerTest, AFailedFirstLoadFallsBackToTheFirstInternalSkin) {
    AddInternal(manager->InternalSkins(), "Inner", MiniSkin(0xFF0000).Packed());
    Packed("Sig", "XXXX");
    manager->SetSkinName("Sig");
    EXPECT_EQ(manager->SkinName(), "Inner");
    EXPECT_EQ(Master(), 0xFF0000u);
    EXPECT_TRUE(manager->SkinData().Active);
    EXPECT_EQ(neighbours_->messages.size(), 1u);

    // With no internal skin to fall back on, the manager ends without a skin.
    std::unique_ptr<TsSkinManager, vcl::FreeDeleter> other(new TsSkinManager(nullptr));
    other->SetSkinDirectory(dir.path());
    other->SetSkinName("Sig");
    EXPECT_FALSE(other->Active());
    EXPECT_EQ(other->SkinName(), "");
}

TEST_F(SkinManagerTest, PropertyWrites) {
    auto form = Form("F", false);
    manager->SetHueOffset(0);   // the same value: nothing
    manager->SetHueOffset(30);  // no skin: only stored
    EXPECT_EQ(manager->HueOffset(), 30);
    EXPECT_TRUE(Only(log, "F:").empty());
    manager->SetHueOffset(0);

    Folder("Blue", MiniSkin(0x0000FF));
    manager->SetSkinName("Blue");
    EXPECT_EQ(Only(log, "F:"), Log({"F:1", "F:16", "F:3"}));
    log.clear();
    // A running skin change's overlay is refreshed with the forms.
    auto* overlay = new skin_test::TRecordingControl(form.get(), "Overlay", &log);
    SnapshotWindow = overlay;
    manager->SetHueOffset(120);  // reloads and repaints without command 1
    SnapshotWindow = nullptr;
    EXPECT_EQ(Only(log, "F:"), Log({"F:16", "F:3"}));
    EXPECT_EQ(Only(log, "Overlay:"), Log({"Overlay:16", "Overlay:3", "Overlay:3"}));
    EXPECT_EQ(Master(), 0x00FF00u);  // blue turned 120 degrees
    log.clear();
    manager->SetSaturation(0);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(SkinChanging, 0);

    manager->SetSkinDirectory(dir / "other");  // stored, nothing reloaded
    EXPECT_EQ(manager->SkinData().SkinPath, dir / "other/");
    EXPECT_EQ(Master(), 0x00FF00u);
}

TEST_F(SkinManagerTest, AManagerReadWithItsFormAnnouncesTheSkinOnceLoaded) {
    Folder("Blue", MiniSkin(0x0000FF));
    auto form = Form("F", false);
    manager.reset();  // the fixture's manager goes, with its removal broadcast
    log.clear();
    {
        vcl::TLoadingScope reading;
        manager.reset(new TsSkinManager(nullptr));
        manager->SetSkinDirectory(dir.path());
        manager->SetSkinName("Blue");
        EXPECT_EQ(Master(), 0x0000FFu);        // read at once
        EXPECT_TRUE(Only(log, "F:").empty());  // announced later
        EXPECT_FALSE(manager->SkinData().Active);
        reading.Finish();
    }
    EXPECT_EQ(Only(log, "F:"), Log({"F:1"}));
    EXPECT_TRUE(manager->SkinData().Active);
    EXPECT_EQ(manager->MenuSupport()->IcoLineSkin, "ICOLINE");
}

TEST_F(SkinManagerTest, ColoursWithAndWithoutASkin) {
    EXPECT_EQ(manager->GetGlobalColor(), kSystemBtnFace);
    EXPECT_EQ(manager->GetGlobalFontColor(), kTransparentKey);
    EXPECT_EQ(manager->GetGlobalHotColor(), kSystemWindow);
    EXPECT_EQ(manager->GetEditHotFontColor(), kTransparentKey);
    EXPECT_EQ(manager->GetHighlightColor(), kSystemHighlight);
    EXPECT_EQ(manager->GetHighlightFontColor(), kSystemHighlightText);
    EXPECT_EQ(manager->SkinInfo(), "N/A");

    Folder("Blue", MiniSkin(0xF0F0F0));
    manager->SetSkinName("Blue");
    EXPECT_EQ(manager->GetGlobalColor(), 0xF0F0F0u);
    EXPECT_EQ(manager->GetGlobalFontColor(), 0x101010u);
    EXPECT_EQ(manager->GetGlobalHotColor(), 0x00C0C0u);
    EXPECT_EQ(manager->GetEditHotFontColor(), 0x202020u);
    EXPECT_EQ(manager->GetHighlightColor(), 0xC05000u);
    EXPECT_EQ(manager->GetHighlightFontColor(), 0xFFFFFEu);

    // A white highlight is no highlight: both fall back to the system's.
    Folder("White", MiniSkin(0xF0F0F0, "", "[MENUITEM]\nHOTCOLOR=0xFFFFFF\n"));
    manager->SetSkinName("White");
    EXPECT_EQ(manager->GetHighlightColor(), kSystemHighlight);
    EXPECT_EQ(manager->GetHighlightFontColor(), kSystemHighlightText);
}

TEST_F(SkinManagerTest, TheDefaultRoleHooksAndTwoManagersGoInEitherOrder) {
    EXPECT_TRUE(manager->IsDefault());
    for (bool firstGoesFirst : {true, false}) {
        SCOPED_TRACE(firstGoesFirst);
        manager.reset();
        auto* a = new TsSkinManager(nullptr);
        auto* b = new TsSkinManager(nullptr);
        EXPECT_EQ(DefaultManager, a);
        AddInternal(a->InternalSkins(), "A", MiniSkin(0xFF0000).Packed());
        AddInternal(b->InternalSkins(), "B", MiniSkin(0x00FF00).Packed());
        a->SetSkinName("A");
        b->SetSkinName("B");
        EXPECT_TRUE(a->HookInstalled());
        EXPECT_FALSE(b->HookInstalled());  // only the default one installs it
        TsManagerLink la, lb;
        la.Set(a);
        lb.Set(b);
        EXPECT_EQ(a->LinkCount(), 1u);
        b->SetIsDefault(true);
        EXPECT_EQ(DefaultManager, b);
        EXPECT_TRUE(b->HookInstalled());
        // Only the first manager hooked the application's main window.
        win::SendMessageA(vcl::Application()->Handle(), win::WM_SYSCOMMAND, win::SC_MINIMIZE, 0);
        EXPECT_EQ(a->LastSysCommand(), 2);
        EXPECT_EQ(b->LastSysCommand(), 0);
        if (firstGoesFirst) {
            a->Free();
            EXPECT_EQ(la.Get(), nullptr);
            EXPECT_EQ(DefaultManager, b);
            b->Free();
        } else {
            b->Free();
            EXPECT_EQ(lb.Get(), nullptr);
            EXPECT_EQ(DefaultManager, nullptr);  // a becomes it only when written
            a->Free();
        }
        EXPECT_EQ(la.Get(), nullptr);
        EXPECT_EQ(lb.Get(), nullptr);
        EXPECT_EQ(DefaultManager, nullptr);
        EXPECT_EQ(DialogHookHandle, nullptr);
        // The application's hooks are gone with the managers: a message reaches nobody freed.
        vcl::TMessage theme{win::WM_THEMECHANGED, 0, 0, 0};
        win::SendMessageA(vcl::Application()->Handle(), theme.Msg, 0, 0);
    }
    manager.reset(new TsSkinManager(nullptr));
}

TEST_F(SkinManagerTest, MouseTrackingAndTheMainWindowHook) {
    auto form = Form("F", false);
    auto other = Form("G", false);
    form->HandleNeeded();
    other->HandleNeeded();
    manager->SetActiveControl(form->Handle());
    manager->SetActiveControl(form->Handle());  // the same window: nothing
    manager->SetActiveControl(other->Handle());
    manager->SetActiveControl(nullptr);
    EXPECT_EQ(Only(log, "F:").size() + Only(log, "G:").size(), 4u);
    EXPECT_EQ(log, Log({"F:29", "F:30", "G:29", "G:30"}));

    vcl::TMessage theme{win::WM_THEMECHANGED, 0, 0, 0};
    vcl::TMessage restore{win::WM_SYSCOMMAND, win::SC_RESTORE, 0, 0};
    vcl::TMessage noWindow{WM_MENUWINDOWPOPUP, 0, 0, 0};
    EXPECT_TRUE(manager->MainWindowHook(theme));
    EXPECT_TRUE(manager->MainWindowHook(noWindow));
    EXPECT_FALSE(manager->MainWindowHook(restore));
    EXPECT_EQ(manager->LastSysCommand(), 1);
    log.clear();
    vcl::TMessage activate{vcl::CM_ACTIVATE, 0, 0, 0};
    EXPECT_FALSE(manager->MainWindowHook(activate));
    EXPECT_EQ(log, Log({"G:18", "F:18"}));
    manager->SetSkinnedPopups(false);
    EXPECT_FALSE(manager->MainWindowHook(theme));
}

TEST_F(SkinManagerTest, ShadowMarginsOfExtendedBorders) {
    TPNGGraphic a, i;
    a.SetPixelFormat(pf32bit), a.SetSize(30, 30);
    i.SetPixelFormat(pf32bit), i.SetSize(30, 30);
    BuiltInShadowActive = &a;
    BuiltInShadowInactive = &i;
    Folder("Blue", MiniSkin(0x0000FF));
    manager->SetSkinName("Blue");
    manager->SetExtendedBorders(true);
    EXPECT_EQ(manager->ShadowMargins, TRect(11, 7, 11, 11));
    EXPECT_EQ(manager->ShadowActive()->Width(), 30);
    neighbours_->composition = true;
    manager->MakeExtBorderShadows();
    EXPECT_EQ(manager->ShadowMargins, TRect(12, 8, 12, 12));

    SetLayeredWindowsAvailable(false);
    manager->MakeExtBorderShadows();
    EXPECT_EQ(manager->ShadowMargins, TRect(0, 0, 0, 0));
    EXPECT_FALSE(manager->ExtendedBorders());
    SetLayeredWindowsAvailable(true);

    // An EXBORDER cut from the master bitmap: two states of 12 x 8 there.
    TestSkin s = MiniSkin(
        0x0000FF, "", "FORMOFFSET=3\nEXBORDER=^0000^0000^0024^0008^0005^0002^0004^0004^2^0^0^0\n");
    s.Files[0].second = Bmp24(24, 8, [](int x, int) { return x < 12 ? 0x112233u : 0x445566u; });
    Folder("Ex", s);
    manager->SetSkinName("Ex");
    EXPECT_EQ(manager->ShadowMargins, TRect(2, 0, 1, 1));
    ASSERT_EQ(manager->ShadowInactive()->Width(), 12);
    EXPECT_EQ(PixelOf(manager->ShadowInactive(), 3, 3), 0xFF112233u);
    EXPECT_EQ(PixelOf(manager->ShadowActive(), 3, 3), 0xFF445566u);
    manager->SetExtendedBorders(false);
    BuiltInShadowActive = BuiltInShadowInactive = nullptr;
    manager.reset();
}

}  // namespace
}  // namespace skin
