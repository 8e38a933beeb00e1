#include "vcl/system/registry.h"

#include <gtest/gtest.h>

#include "platform/os/cp_literal.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::TempDir;

TEST(Registry, KeysOpenReadOnlyOrForWritingAndValuesKeepTheirTypes) {
    TempDir dir;
    const std::string file = dir / "settings.ini";
    {
        vcl::TRegistry r(file);
        r.RootKey = vcl::HKEY_LOCAL_MACHINE;
        EXPECT_FALSE(r.OpenKeyReadOnly("SOFTWARE\\Tessary"));
        EXPECT_FALSE(r.OpenKey("SOFTWARE\\Tessary", false));
        ASSERT_TRUE(r.OpenKey("SOFTWARE\\Tessary", true));
        r.WriteString("COMPort", "ttyUSB0");
        r.WriteInteger("SMSDelay", -5);
        r.WriteBool("ReportRequire", false);
        r.WriteString("Note", "Ёлка"_cp);
    }  // written when the object goes
    vcl::TRegistry r(file);
    r.RootKey = vcl::HKEY_LOCAL_MACHINE;
    ASSERT_TRUE(r.OpenKeyReadOnly("\\software\\tessary\\"));
    EXPECT_TRUE(r.ValueExists("comport"));
    EXPECT_EQ(r.ReadString("COMPort"), "ttyUSB0");
    EXPECT_EQ(r.ReadInteger("SMSDelay"), -5);
    EXPECT_FALSE(r.ReadBool("ReportRequire"));
    EXPECT_EQ(r.ReadString("Note"), std::string("Ёлка"_cp));
    std::vector<std::string> names;
    r.GetValueNames(names);
    EXPECT_EQ(names.size(), 4u);
    // Wrong types and missing numbers raise; a missing string is empty.
    EXPECT_THROW(r.ReadInteger("COMPort"), vcl::ERegistryException);
    EXPECT_THROW(r.ReadString("SMSDelay"), vcl::ERegistryException);
    EXPECT_THROW(r.ReadBool("Missing"), vcl::ERegistryException);
    EXPECT_EQ(r.ReadString("Missing"), "");
    EXPECT_THROW(r.WriteInteger("SMSDelay", 1), vcl::ERegistryException);  // read-only
    r.CloseKey();
    EXPECT_FALSE(r.ValueExists("COMPort"));
    EXPECT_THROW(r.ReadString("COMPort"), vcl::ERegistryException);
    // Other roots are kept apart from the machine's keys.
    r.RootKey = vcl::HKEY_CURRENT_USER;
    EXPECT_FALSE(r.KeyExists("SOFTWARE\\Tessary"));
}

TEST(Registry, RelativeKeysOpenBelowTheCurrentOne) {
    TempDir dir;
    vcl::TRegistry r(dir / "s.ini");
    ASSERT_TRUE(r.OpenKey("SOFTWARE", true));
    ASSERT_TRUE(r.OpenKey("Tessary", true));
    EXPECT_EQ(r.CurrentPath(), "SOFTWARE\\Tessary");
    ASSERT_TRUE(r.OpenKey("\\HARDWARE", true));
    EXPECT_EQ(r.CurrentPath(), "HARDWARE");
}

TEST(Registry, AnUnwritableFileLosesTheWritesSilently) {
    TempDir dir;
    vcl::TRegistry r(dir / "no/such/dir/\0x/s.ini");
    r.RootKey = vcl::HKEY_LOCAL_MACHINE;
    ASSERT_TRUE(r.OpenKey("SOFTWARE\\Tessary", true));
    r.WriteInteger("SMSDelay", 3);
    EXPECT_NO_THROW(r.CloseKey());
}

}  // namespace
