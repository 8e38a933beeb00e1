#include "tools/skinbuild/skin_build.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "tests/support/temp_dir.h"

namespace skinbuild {
namespace {

std::vector<SkinFile> Topaz() {
    return ReadSkinFolder(std::string(SKIN_DATA) + "/topaz");
}

std::vector<std::string> Faults(const std::vector<SkinFile>& files) {
    skin::TsSkinContent content;
    LoadPackedSkin(PackSkin(files), content);
    return CheckSkin(content);
}

void Replace(std::string& text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
}

bool AnyHas(const std::vector<std::string>& faults, const std::string& text) {
    return std::any_of(faults.begin(), faults.end(),
                       [&](const std::string& f) { return f.find(text) != std::string::npos; });
}

TEST(SkinBuild, ContrastRatios) {
    EXPECT_DOUBLE_EQ(ContrastRatio(0x000000, 0xFFFFFF), 21);
    EXPECT_DOUBLE_EQ(ContrastRatio(0x808080, 0x808080), 1);
    EXPECT_NEAR(ContrastRatio(0x767676, 0xFFFFFF), 4.54, 0.01);  // the usual 4.5 boundary grey
    EXPECT_DOUBLE_EQ(ContrastRatio(0x0000FF, 0xFFFFFF), ContrastRatio(0xFFFFFF, 0x0000FF));
}

TEST(SkinBuild, PackingIsStableAndUnpacksToTheSameFiles) {
    const auto files = Topaz();
    ASSERT_GE(files.size(), 9u);
    EXPECT_EQ(files.front().first, "Options.dat");
    EXPECT_TRUE(std::is_sorted(files.begin() + 1, files.end()));
    const std::string blob = PackSkin(files);
    EXPECT_EQ(blob, PackSkin(Topaz()));
    EXPECT_EQ(blob.substr(0, 4), "ASzf");
    EXPECT_EQ(UnpackSkin(blob), files);
}

TEST(SkinBuild, OurSkinPassesAndEachKindOfFaultIsFound) {
    EXPECT_EQ(Faults(Topaz()), std::vector<std::string>());

    auto files = Topaz();
    Replace(files[0].second, "[EDIT]", "[EDITOR]");
    EXPECT_TRUE(AnyHas(Faults(files), "section EDIT missing"));
    EXPECT_TRUE(AnyHas(Faults(files), "EDIT BORDERSMASK does not resolve"));

    files = Topaz();
    Replace(files[0].second, "GLYPHMASK=@", "GLYPHMASK=@0500@0000@0600@0010@1@0\r\nX=@");
    EXPECT_TRUE(AnyHas(Faults(files), "mask COMBOBOX GLYPHMASK leaves the master bitmap"));

    // Light grey text on the light surface of the status bar.
    files = Topaz();
    const size_t bar = files[0].second.find("[STATUSBAR]");
    const size_t font = files[0].second.find("FONTCOLOR=", bar);
    files[0].second.replace(font, files[0].second.find('\r', font) - font, "FONTCOLOR=12632256");
    EXPECT_TRUE(AnyHas(Faults(files), "STATUSBAR FONTCOLOR C0C0C0 on"));

    // A frame as light as the surface it stands on.
    files = Topaz();
    Replace(files[0].second, "[PANEL]\r\nCOLOR=16250356", "[PANEL]\r\nCOLOR=8419184");
    const auto faults = Faults(files);
    EXPECT_TRUE(AnyHas(faults, "PANEL BORDERSMASK does not stand out")) << faults.size();
}

TEST(SkinBuild, UnpackRefusesNamesThatLeaveTheFolderAndWritesNothing) {
    const char* names[] = {"../x.bmp", "..\\x.bmp", "sub/../../x.bmp", "/tmp/x.bmp", "c:x.bmp", ""};
    for (const char* name : names) {
        testing_support::TempDir tmp;
        const std::string asz = tmp / "bad.asz", out = tmp / "a/out";
        testing_support::WriteFile(asz, PackSkin({{"Options.dat", "[GLOBALINFO]\r\n"},
                                                  {"ok.bmp", "B"},
                                                  {name, "X"}}));
        const std::string command =
            std::string(SKINBUILD) + " --unpack '" + asz + "' '" + out + "' 2>/dev/null";
        EXPECT_NE(std::system(command.c_str()), 0) << name;
        EXPECT_FALSE(std::filesystem::exists(tmp / "a/x.bmp")) << name;
        EXPECT_FALSE(std::filesystem::exists(out + "/ok.bmp")) << name;
    }
    testing_support::TempDir tmp;
    WriteSkinFolder({{"Options.dat", "O"}, {"sub\\pic.bmp", "P"}}, tmp / "out");
    EXPECT_TRUE(std::filesystem::exists(tmp / "out/sub/pic.bmp"));
}

}  // namespace
}  // namespace skinbuild
