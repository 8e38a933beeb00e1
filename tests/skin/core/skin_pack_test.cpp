#include "skin/core/data/skin_pack.h"

#include <gtest/gtest.h>

#include "skin/core/pixels/errors.h"
#include "tests/skin/core/skin_writer.h"
#include "tests/support/temp_dir.h"

namespace skin {
namespace {

using skin_test::Deflate, skin_test::Entry, skin_test::kNatural, skin_test::Le32, skin_test::Pack;

// The caller's stream, lent to the convertor.
struct Lent {
    explicit Lent(const std::string& blob) : stream(blob), c(std::make_unique<TacSkinConvertor>()) {
        c->LendPackedData(&stream);
    }
    vcl::TStringStream stream;
    std::unique_ptr<TacSkinConvertor> c;
};

std::string Text(const MemoryStreamPtr& m) {
    return std::string(reinterpret_cast<const char*>(m->Memory()), size_t(m->Size()));
}

TEST(SkinPack, UnpacksOptionsAndImagesInFileOrder) {
    std::string big(70000, 'x');  // stored blocks: longer packed than unpacked
    const std::string stored = Deflate(big, 0);
    const std::string blob =
        Pack({Entry("Master.bmp", "BM..."), Entry("options.DAT", "[GLOBALINFO]"),
              Entry("MASTER.BMP", "second"), Entry("glow.png", big, kNatural, &stored)});
    Lent lent(blob);
    auto& c = lent.c;
    ExtractPackedSkin(c);
    ASSERT_TRUE(c->Options);
    EXPECT_EQ(Text(c->Options), "[GLOBALINFO]");
    EXPECT_EQ(lent.stream.Position(), int64_t(blob.size()));
    EXPECT_FALSE(c->OwnsPackedData());
    ASSERT_EQ(c->Files.size(), 3u);
    EXPECT_EQ(c->ImageCount, 3);
    EXPECT_EQ(c->Files[0].Name, "Master.bmp");
    EXPECT_EQ(Text(c->FindImage("MASTER.BMP")->Data), "BM...");
    EXPECT_EQ(Text(c->FindImage("GLOW.PNG")->Data), big);  // the last image is found too
    EXPECT_EQ(c->FindImage("master.bmp"), nullptr);

    Lent empty(Pack({}));
    ExtractPackedSkin(empty.c);
    EXPECT_FALSE(empty.c->Options);
    EXPECT_EQ(empty.c->ImageCount, 0);
}

TEST(SkinPack, ABadSignatureFreesTheConvertorButNotTheLentBlob) {
    for (std::string blob :
         {std::string("ASZF") + Le32(0), std::string("asZf"), std::string("AS")}) {
        Lent lent(blob);
        try {
            ExtractPackedSkin(lent.c);
            FAIL();
        } catch (const ESkinPackError& e) {
            EXPECT_EQ(e.Message, "Loaded data is not a packed Quillor file");
        }
        EXPECT_EQ(lent.c, nullptr);
        // The lent stream is still the caller's, alive and whole.
        EXPECT_EQ(lent.stream.DataString(), blob);
    }
}

template <typename E>
void ExpectFails(const std::string& blob, size_t keptFiles = 0) {
    SCOPED_TRACE(testing::PrintToString(blob));
    Lent lent(blob);
    auto& c = lent.c;
    EXPECT_THROW(ExtractPackedSkin(c), E);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Files.size(), keptFiles);
}

TEST(SkinPack, RefusesCountsLengthsAndSizesTheBlobCannotHold) {
    const std::string good = Entry("a.bmp", "abc");
    ExpectFails<vcl::EReadError>(Pack({good}, 1000000));
    ExpectFails<vcl::EReadError>(Pack({Le32(-5) + "x"}, 1));
    ExpectFails<vcl::EReadError>(Pack({Le32(100000) + "x"}, 1));
    ExpectFails<EZDecompressionError>(Pack({good, Entry("b.bmp", "abc", int32_t(0x7FFFFFFF))}), 1);
    ExpectFails<EZDecompressionError>(Pack({Entry("b.bmp", "abc", -2)}));
    // More or fewer bytes than stated are an error for that entry.
    ExpectFails<EZDecompressionError>(Pack({Entry("b.bmp", "abcd", 3), good}));
    ExpectFails<EZDecompressionError>(Pack({good, Entry("b.bmp", "ab", 3)}), 1);
    // Raw deflate without the zlib header, a bad Adler-32, a cut stream.
    std::string z = Deflate("abc");
    std::string raw = z.substr(2), badAdler = z;
    badAdler.back() ^= 1;
    ExpectFails<EZDecompressionError>(Pack({Entry("b", "abc", 3, &raw)}));
    ExpectFails<EZDecompressionError>(Pack({Entry("b", "abc", 3, &badAdler)}));
    std::string blob = Pack({Entry("b", "abc")});
    ExpectFails<vcl::EReadError>(blob.substr(0, blob.size() - 3));
    ExpectFails<vcl::EReadError>(Pack({good}, 2), 1);
    // Count 0 or below reads nothing, whatever follows.
    Lent negative(Pack({good}, -3));
    ExtractPackedSkin(negative.c);
    EXPECT_TRUE(negative.c->Files.empty());
}

TEST(SkinPack, ReadsFilesAndLeavesTheConvertorAloneWhenTheFileIsMissing) {
    testing_support::TempDir dir;
    testing_support::WriteFile(dir / "skin.asz",
                               Pack({Entry("Options.dat", "[X]"), Entry("p.png", "1")}));
    std::unique_ptr<TacSkinConvertor> c;
    ReadPackedSkinFile(dir / "missing.asz", c, true);
    EXPECT_EQ(c, nullptr);
    ReadPackedSkinFile(dir / "skin.asz", c, true);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(Text(c->Options), "[X]");
    EXPECT_EQ(c->PackedData, nullptr);
    TacSkinConvertor* same = c.get();
    ReadPackedSkinFile(dir / "missing.asz", c, true);
    EXPECT_EQ(c.get(), same);
    EXPECT_EQ(c->Files.size(), 1u);
    ReadPackedSkinFile(dir / "skin.asz", c, false);
    EXPECT_EQ(c.get(), same);
    ASSERT_NE(c->PackedData, nullptr);
    EXPECT_TRUE(c->OwnsPackedData());
    EXPECT_EQ(c->Files.size(), 1u);
}

}  // namespace
}  // namespace skin
