#include "vcl/system/ini_files.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "vcl/system/sysutils.h"

namespace {

using namespace vcl;

TEST(TMemIniFile, ReadsTolerantlyFromAStringList) {
    TStringList text;
    text.SetText(
        "orphan=dropped\r\n"
        "; a comment\r\n"
        "  [ Options ]  \r\n"
        "# another comment=not a key\r\n"
        "  Version = 6.69 \r\n"
        "Hex=0x1F\r\n"
        "Dollar=$10\r\n"
        "Bad=12a\r\n"
        "Flag=1\r\n"
        "no equals sign\r\n"
        "\r\n"
        "[BUTTON]\r\n"
        "COLOR=clBtnFace\r\n"
        "[options]\r\n"
        "Later=x\r\n"
        "version=7\r\n"
        "Quoted = \"a b\" \r\n");
    TMemIniFile ini;
    ini.SetStrings(&text);
    TStringList sections;
    ini.ReadSections(&sections);
    EXPECT_EQ(sections.CommaText(), "Options,BUTTON");
    EXPECT_EQ(ini.ReadString("OPTIONS", "version", "?"), "6.69");
    EXPECT_EQ(ini.ReadInteger("Options", "Hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("Options", "Dollar", 0), 16);
    EXPECT_EQ(ini.ReadInteger("Options", "Bad", -1), -1);
    EXPECT_TRUE(ini.ReadBool("Options", "Flag", false));
    EXPECT_EQ(ini.ReadString("Options", "Later", ""), "x");         // a repeated section merges
    EXPECT_EQ(ini.ReadString("Options", "Version", ""), "6.69");    // the first key wins
    EXPECT_EQ(ini.ReadString("Options", "Quoted", ""), "\"a b\"");  // quotes stay
    EXPECT_FALSE(ini.ValueExists("Options", "# another comment"));
    EXPECT_EQ(ini.ReadString("Nowhere", "x", "def"), "def");
    EXPECT_FALSE(ini.ValueExists("Options", "orphan"));

    TStringList keys;
    ini.ReadSection("Options", &keys);
    // The line without "=" is not a key.
    EXPECT_EQ(keys.CommaText(), "Version,Hex,Dollar,Bad,Flag,Later,version,Quoted");
}

TEST(TMemIniFile, FloatsFollowTheDecimalSeparatorOfTheSettings) {
    TMemIniFile ini;
    ini.WriteFloat("S", "F", 0.5);
    EXPECT_EQ(ini.ReadString("S", "F", ""),
              "0" + std::string(1, FormatSettings.DecimalSeparator) + "5");
    EXPECT_EQ(ini.ReadFloat("S", "F", 0), 0.5);
    ini.WriteString("S", "G", "not a number");
    EXPECT_EQ(ini.ReadFloat("S", "G", 2.5), 2.5);
}

TEST(TMemIniFile, WritesEraseAndFileRoundTrip) {
    testing_support::TempDir dir;
    const std::string file = dir / "Options.dat";
    {
        TMemIniFile ini(file);  // missing file: empty
        ini.WriteString("A", "k", "v");
        ini.WriteInteger("A", "n", -7);
        ini.WriteBool("B", "on", true);
        ini.WriteString("a", "K", "v2");  // the same key, other case
        ini.UpdateFile();
    }
    TMemIniFile ini(file);
    EXPECT_EQ(ini.ReadString("A", "k", ""), "v2");
    EXPECT_EQ(ini.ReadInteger("A", "n", 0), -7);
    EXPECT_TRUE(ini.SectionExists("b"));
    ini.DeleteKey("A", "k");
    EXPECT_FALSE(ini.ValueExists("A", "k"));
    ini.EraseSection("B");
    EXPECT_FALSE(ini.SectionExists("B"));
    TStringList out;
    ini.GetStrings(&out);
    EXPECT_EQ(out.Text(), "[A]\r\nn=-7\r\n\r\n");
    ini.Rename(file, true);  // reading again drops the unsaved changes
    EXPECT_TRUE(ini.SectionExists("B"));
}

}  // namespace
