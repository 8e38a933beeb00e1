#include "platform/os/settings_store.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/os/cp_literal.h"
#include "platform/os/files.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::TempDir;

constexpr const char* kKey = "SOFTWARE\\Tessary";

TEST(SettingsStore, RoundTripOfEveryType) {
    TempDir dir;
    const std::string file = dir / "cfg/Tessary/settings.ini";
    {
        os::SettingsStore s(file);
        EXPECT_FALSE(s.KeyExists(kKey));
        s.WriteString(kKey, "COMPort", "ttyUSB0");
        s.WriteInteger(kKey, "SMSDelay", -5);
        s.WriteBool(kKey, "ReportRequire", false);
        s.WriteString(kKey, "Note", "Привет \"кавычки\" \\ \t\r\n\x01"_cp);
        ASSERT_TRUE(s.Save());
    }
    os::SettingsStore s(file);
    EXPECT_TRUE(s.KeyExists("software\\tessary\\"));
    EXPECT_EQ(s.ReadString(kKey, "comport"), "ttyUSB0");
    EXPECT_EQ(s.ReadInteger(kKey, "SMSDelay"), -5);
    EXPECT_EQ(s.ReadBool(kKey, "ReportRequire"), false);
    EXPECT_EQ(s.ReadString(kKey, "Note"), std::string("Привет \"кавычки\" \\ \t\r\n\x01"_cp));
    EXPECT_EQ(s.ValueNames(kKey).size(), 4u);
    // The file is readable text: UTF-8, quoted strings, bare integers.
    const std::string text = *os::ReadWholeFile(file);
    EXPECT_NE(text.find("[SOFTWARE\\Tessary]"), std::string::npos);
    EXPECT_NE(text.find("SMSDelay=-5"), std::string::npos);
    EXPECT_NE(text.find("Привет"), std::string::npos);
}

TEST(SettingsStore, MissingAndWrongTypedValuesReadAsAbsent) {
    TempDir dir;
    testing_support::WriteFile(dir / "s.ini",
                               "[SOFTWARE\\Tessary]\n"
                               "SMSDelay=\"five\"\n"
                               "COMPort=7\n"
                               "ReportRequire=2\n"
                               "ReportWaitForMins=12abc\n");
    os::SettingsStore s(dir / "s.ini");
    EXPECT_FALSE(s.ReadInteger(kKey, "SMSDelay"));
    EXPECT_FALSE(s.ReadBool(kKey, "SMSDelay"));
    EXPECT_FALSE(s.ReadString(kKey, "COMPort"));
    EXPECT_EQ(s.ReadBool(kKey, "ReportRequire"), true);  // any non-zero integer
    EXPECT_FALSE(s.ValueExists(kKey, "ReportWaitForMins"));
    EXPECT_FALSE(s.ReadString(kKey, "Nothing"));
    EXPECT_FALSE(s.ReadString("SOFTWARE\\Other", "COMPort"));
}

TEST(SettingsStore, DamagedFileNeverStopsReading) {
    TempDir dir;
    using namespace std::string_literals;
    const std::string junk =
        "\x00\xFF garbage [broken\n=novalue\n[SOFTWARE\\Tessary]\nA=\"unterminated\n"
        "B=\"bad \\q escape\"\nC=1\nC=2\n[]\nD=3\n\x80\x81\n"s;
    testing_support::WriteFile(dir / "s.ini", junk);
    os::SettingsStore s(dir / "s.ini");
    EXPECT_FALSE(s.ValueExists(kKey, "A"));
    EXPECT_FALSE(s.ValueExists(kKey, "B"));
    EXPECT_EQ(s.ReadInteger(kKey, "C"), 1);  // the first of duplicates wins
    EXPECT_FALSE(s.ValueExists(kKey, "D"));  // after a nameless section, no key is current
}

TEST(SettingsStore, ConcurrentSavesMergeTheirChanges) {
    TempDir dir;
    const std::string file = dir / "s.ini";
    os::SettingsStore a(file), b(file);
    a.WriteInteger(kKey, "SMSDelay", 3);
    b.WriteString(kKey, "COMPort", "ttyS1");
    ASSERT_TRUE(a.Save());
    ASSERT_TRUE(b.Save());  // b never read a's value, yet keeps it
    os::SettingsStore c(file);
    EXPECT_EQ(c.ReadInteger(kKey, "SMSDelay"), 3);
    EXPECT_EQ(c.ReadString(kKey, "COMPort"), "ttyS1");
}

TEST(SettingsStore, UnwritableLocationKeepsChangesPending) {
    TempDir dir;
    testing_support::WriteFile(dir / "file", "x");
    os::SettingsStore s(dir / "file/under/a/file.ini");
    s.WriteInteger(kKey, "SMSDelay", 2);
    EXPECT_FALSE(s.Save());
    EXPECT_EQ(s.ReadInteger(kKey, "SMSDelay"), 2);
}

TEST(SettingsStore, DefaultFileFollowsXdgConfigHome) {
    testing_support::ScopedEnv env("XDG_CONFIG_HOME", "/some/where");
    EXPECT_EQ(os::DefaultSettingsFile(), "/some/where/Tessary/settings.ini");
}

}  // namespace
