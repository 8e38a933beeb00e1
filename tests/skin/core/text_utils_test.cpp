#include "skin/core/pixels/text_utils.h"

#include <gtest/gtest.h>

#include "platform/os/clock.h"
#include "vcl/system/string_list.h"

namespace skin {
namespace {

TEST(TextUtils, WordsIgnoreRunsOfDelimiters) {
    const TCharSet bang("!");
    EXPECT_EQ(WordCount("!!a!!b!", bang), 2);
    EXPECT_EQ(ExtractWord(2, "!!a!!b!", bang), "b");
    EXPECT_EQ(WordPosition(2, "!!a!!b!", bang), 6);
    EXPECT_EQ(WordPosition(3, "!!a!!b!", bang), 0);
    EXPECT_EQ(WordPosition(0, "a", bang), 0);
    EXPECT_EQ(ExtractWord(1, "!GLOW.PNG!1!0!3", bang), "GLOW.PNG");
    EXPECT_EQ(ExtractWord(4, "!GLOW.PNG!1!0!3", bang), "3");
    EXPECT_EQ(ExtractWord(-1, "abc", bang), "");
    EXPECT_EQ(WordCount("", bang), 0);
    EXPECT_TRUE(OnlyDelimiters("", bang));
    EXPECT_TRUE(OnlyDelimiters("!!!", bang));
    EXPECT_FALSE(OnlyDelimiters("!a", bang));
    EXPECT_EQ(CountWords("x, y;z", TCharSet(", ;")), 3);
}

TEST(TextUtils, HexAndStrings) {
    EXPECT_EQ(HexToInt64("ffh"), 255);
    EXPECT_EQ(HexToInt64("FF"), 255);
    EXPECT_EQ(HexToInt64("FG"), 0);
    EXPECT_EQ(HexToInt64(""), 0);
    EXPECT_EQ(HexToInt64(std::string(255, '0') + "1"), 1);  // the whole text is read
    EXPECT_EQ(MakeStr('x', 3), "xxx");
    EXPECT_EQ(MakeStr('x', 0), "");
    std::string s = "abcdef";
    FillStr(s, 2, '-');
    EXPECT_EQ(s, "--");
    EXPECT_EQ(DelChars("a,b,,c", ','), "abc");
    EXPECT_EQ(ReplaceStr("aaa", "aa", "a"), "aa");
    EXPECT_EQ(ReplaceStr("abc", "", "x"), "abc");
    EXPECT_EQ(AddTrailingBackslash("C"), "C:\\");
    EXPECT_EQ(AddTrailingBackslash("dir/"), "dir\\");
    EXPECT_EQ(AddTrailingBackslash("dir\\"), "dir\\");
    EXPECT_EQ(AddTrailingBackslash("dir"), "dir\\");
    EXPECT_EQ(AddTrailingBackslash(""), "");
}

TEST(TextUtils, NumbersAndRectangles) {
    EXPECT_EQ(ClampByte(300), 255);
    EXPECT_EQ(ClampByte(-1), 0);
    EXPECT_EQ(ClampInt(5, 7, 9), 7);
    EXPECT_EQ(ClampInt(15, 7, 9), 9);
    EXPECT_EQ(WidthOf({10, 0, 5, 0}), -5);
    EXPECT_EQ(WidthOf({10, 0, 5, 0}, true), 0);
    EXPECT_EQ(IntersectRects({0, 0, 10, 10}, {5, 5, 20, 20}), (TRect{5, 5, 10, 10}));
    EXPECT_EQ(IntersectRects({0, 0, 1, 1}, {5, 5, 20, 20}), (TRect{5, 5, 1, 1}));
    EXPECT_TRUE(RectsOverlap({0, 0, 10, 10}, {9, 9, 20, 20}));
    EXPECT_FALSE(RectsOverlap({0, 0, 10, 10}, {10, 0, 20, 10}));  // touching
    EXPECT_FALSE(RectsOverlap({0, 0, 10, 10}, {2, 2, 2, 5}));     // empty
    EXPECT_TRUE(RectIsInRect({0, 0, 10, 10}, {0, 0, 10, 10}));
    EXPECT_FALSE(RectIsInRect({0, 0, 10, 10}, {0, 0, 11, 10}));
}

TEST(TextUtils, SetTextComparesWholeElements) {
    std::string t = "x,abc";
    EXPECT_FALSE(ChangeSetText(t, "ab", false));
    EXPECT_EQ(t, "x,abc");
    EXPECT_TRUE(ChangeSetText(t, "ab", true));
    EXPECT_EQ(t, "x,abc,ab");
    EXPECT_FALSE(ChangeSetText(t, "x", true));
    EXPECT_TRUE(ChangeSetText(t, "x", false));
    EXPECT_EQ(t, "abc,ab");
}

TEST(TextUtils, IniLinesKeepTheirTextAndLookupsIgnoreCase) {
    auto sections = ParseIniStrings({"KEY=before", "[A]", ";comment", "Key=value", "", "[B]",
                                     "# also a comment", "NoEquals", " [C]", "Spaced =x", "[a]",
                                     "Later=1", "Key=second"});
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0].Lines, (std::vector<std::string>{"Key=value", "Later=1", "Key=second"}));
    EXPECT_EQ(sections[1].Lines, (std::vector<std::string>{"NoEquals", " [C]", "Spaced =x"}));
    EXPECT_EQ(ReadIniString(sections, "a", "KEY", "?"), "value");
    EXPECT_EQ(ReadIniString(sections, "B", "Spaced", "?"), "?");
    EXPECT_EQ(ReadIniString(sections, "B", "Spaced ", "?"), "x");
    EXPECT_EQ(ReadIniString(sections, "B", "NoEquals", "?"), "?");
    EXPECT_EQ(ReadIniString(sections, "Z", "Key", "?"), "?");

    vcl::TStringList list{"[S]", "k=v"};
    EXPECT_EQ(ReadIniString(ParseIniStrings(list), "s", "K", "?"), "v");
}

TEST(TextUtils, IniIntegersTakeHexAndFallBack) {
    auto sections =
        ParseIniStrings({"[S]", "a=0xFF", "b=0XFF", "c=$FF", "d=12", "e=0x", "f=?", "g="});
    EXPECT_EQ(ReadIniInteger(sections, "S", "a", -1), 255);
    EXPECT_EQ(ReadIniInteger(sections, "S", "b", -1), 255);
    EXPECT_EQ(ReadIniInteger(sections, "S", "c", -1), 255);
    EXPECT_EQ(ReadIniInteger(sections, "S", "d", -1), 12);
    EXPECT_EQ(ReadIniInteger(sections, "S", "e", -1), -1);
    EXPECT_EQ(ReadIniInteger(sections, "S", "f", -1), -1);
    EXPECT_EQ(ReadIniInteger(sections, "S", "g", -1), -1);
    EXPECT_EQ(ReadIniInteger(sections, "S", "missing", 7), 7);
}

TEST(TextUtils, DelayKeepsProcessingMessagesAcrossTheTickWrap) {
    os::FakeClock clock(46000.5, 0xFFFFFFF0u);
    os::ScopedClock use(clock);
    int turns = 0;
    DelayWithMessages(40, [&] { ++turns; });
    EXPECT_EQ(clock.SleptMs(), 40u);
    EXPECT_EQ(turns, 41);
    DelayWithMessages(0, [&] { ++turns; });
    EXPECT_EQ(turns, 42);
    const PixelView v{};
    CacheInfo c = MakeCacheInfo(&v, 3, 4);
    EXPECT_TRUE(c.Ready);
    EXPECT_EQ(c.FillColor, kTransparentKey);
}

}  // namespace
}  // namespace skin

#include "platform/os/files.h"
#include "skin/core/state/system_utils.h"

namespace skin {
namespace {

TEST(SystemUtils, ProgramFolderCaptionFontAndFileIcons) {
    EXPECT_EQ(GetAppPath(), os::ExecutableDir());
    EXPECT_EQ(GetAppPath().back(), '/');
    const int height = GetCaptionFontHeight();
    EXPECT_NE(height, 0);
    win::HFONT font = CreateCaptionFont();
    ASSERT_NE(font, nullptr);
    win::LOGFONTA lf{};
    ASSERT_GT(win::GetObject(font, sizeof lf, &lf), 0);
    EXPECT_EQ(lf.lfHeight, height);
    win::DeleteObject(font);
    EXPECT_EQ(GetFileIcon(os::ExecutablePath(), 1), nullptr);
}

}  // namespace
}  // namespace skin
