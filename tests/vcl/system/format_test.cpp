#include "vcl/system/format.h"

#include <gtest/gtest.h>

#include "platform/os/cp_literal.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/sysutils.h"

namespace {

using vcl::Format;

TEST(Format, IntegersWidthsAndPrecisions) {
    EXPECT_EQ(Format("%d|%5d|%-5d|%.3d|%.3d", 42, 42, 42, 5, -5), "42|   42|42   |005|-005");
    EXPECT_EQ(Format("%.2d:%.2d:%.2d.%.3d", 9, 5, 0, 7), "09:05:00.007");
    EXPECT_EQ(Format("%u", -1), "4294967295");  // a 32-bit value seen unsigned
    EXPECT_EQ(Format("%u", int64_t{-1}), "18446744073709551615");
    EXPECT_EQ(Format("%x|%.4x|%X", 255, 255, 3054), "FF|00FF|BEE");
    EXPECT_EQ(Format("%x", -1), "FFFFFFFF");
    EXPECT_EQ(Format("%*d|%-*d|%.*d", 4, 1, 3, 2, 3, 7), "   1|2  |007");
    EXPECT_EQ(Format("%d%%", 100), "100%");
}

TEST(Format, StringsAndIndexes) {
    EXPECT_EQ(Format("CreateFile error: %u (%s)", 2u, "No such file or directory"),
              "CreateFile error: 2 (No such file or directory)");
    EXPECT_EQ(Format("[%6s][%-6s][%.2s]", "abc", std::string("abc"), "abc"),
              "[   abc][abc   ][ab]");
    EXPECT_EQ(Format("%1:s %0:s %s", "a", "b"), "b a b");
    EXPECT_EQ(Format("%s", 'x'), "x");
    EXPECT_EQ(Format("Нельзя запускать более %d экземпляров Tessary. "_cp, 20),
              std::string("Нельзя запускать более 20 экземпляров Tessary. "_cp));
}

TEST(Format, FloatsUseTheDecimalSeparator) {
    const char saved = vcl::FormatSettings.DecimalSeparator;
    vcl::FormatSettings.DecimalSeparator = '.';
    EXPECT_EQ(Format("%f|%.1f|%.0f", 1.0, 2.25, 2.5), "1.00|2.2|2");
    EXPECT_EQ(Format("%e", 1234.5), "1.23450000000000E+003");
    EXPECT_EQ(Format("%.3e", -0.000123), "-1.23E-004");
    EXPECT_EQ(Format("%g|%g", 1234.5, 1e20), "1234.5|1E20");
    vcl::FormatSettings.DecimalSeparator = ',';
    EXPECT_EQ(Format("%.2f", 3.14159), "3,14");
    vcl::FormatSettings.DecimalSeparator = saved;
}

TEST(Format, MismatchesRaiseInsteadOfMisbehaving) {
    EXPECT_THROW(Format("%d", "text"), vcl::EConvertError);
    EXPECT_THROW(Format("%s", 5), vcl::EConvertError);
    EXPECT_THROW(Format("%f", 5), vcl::EConvertError);
    EXPECT_THROW(Format("%d %d", 5), vcl::EConvertError);
    EXPECT_THROW(Format("%q", 5), vcl::EConvertError);
    EXPECT_THROW(Format("50%"), vcl::EConvertError);
    try {
        Format("%d", "x");
    } catch (const vcl::EConvertError& e) {
        EXPECT_EQ(e.Message, "Format '%d' invalid or incompatible with argument");
    }
    // A user's text as an argument is never interpreted.
    EXPECT_EQ(Format("%s", "%s%d%n"), "%s%d%n");
}

}  // namespace
