#include "vcl/system/streams.h"

#include <gtest/gtest.h>

#include "platform/os/cp_literal.h"
#include "platform/os/files.h"
#include "tests/support/temp_dir.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/resources.h"

namespace {

using namespace vcl;

TEST(TMemoryStream, GrowsOnWriteAndReadsWhatIsThere) {
    TMemoryStream m;
    m.WriteBuffer("abcdef", 6);
    EXPECT_EQ(m.Size(), 6);
    EXPECT_EQ(m.Position(), 6);
    m.SetPosition(10);  // past the end: the next write fills the gap with zeros
    m.WriteBuffer("!", 1);
    EXPECT_EQ(m.Size(), 11);
    EXPECT_EQ(m.Memory()[7], 0);
    m.Seek(-3, soEnd);
    char buf[16] = {};
    EXPECT_EQ(m.Read(buf, 8), 3);
    EXPECT_EQ(m.Read(buf, 8), 0);
    m.SetPosition(0);
    EXPECT_THROW(m.ReadBuffer(buf, 12), EReadError);
    m.SetPosition(-5);
    EXPECT_EQ(m.Read(buf, 1), 0);
    EXPECT_EQ(m.Write("x", 1), 0);
    m.SetSize(2);
    EXPECT_EQ(m.Position(), -5);
    m.Clear();
    EXPECT_EQ(m.Size(), 0);
    EXPECT_EQ(m.Position(), 0);
}

TEST(TStream, CopyFromTakesAWholeStreamOrAPart) {
    TStringStream src(std::string(100000, 'q') + "tail");
    TMemoryStream dst;
    EXPECT_EQ(dst.CopyFrom(&src, 0), 100004);
    EXPECT_EQ(dst.Size(), 100004);
    src.SetPosition(100000);
    TStringStream part;
    part.CopyFrom(&src, 4);
    EXPECT_EQ(part.DataString(), "tail");
    src.SetPosition(100002);
    EXPECT_THROW(part.CopyFrom(&src, 4), EReadError);
}

TEST(TFileStream, CreatesOpensAndFailsClearly) {
    testing_support::TempDir dir;
    // A cp1251 name reaches the disk as UTF-8.
    const std::string name = dir.path() + "Журнал.txt"_cp;
    {
        TFileStream f(name, fmCreate);
        f.WriteBuffer("hello", 5);
        f.SetSize(4);
        EXPECT_EQ(f.Position(), 4);
    }
    EXPECT_TRUE(os::FileExists(dir.path() + "Журнал.txt"));
    {
        TFileStream f(name, fmOpenReadWrite);
        EXPECT_EQ(f.Size(), 4);
        f.Seek(0, soEnd);
        f.WriteBuffer("!", 1);
    }
    TMemoryStream m;
    m.LoadFromFile(name);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(m.Memory()), 5), "hell!");
    {
        TFileStream r(name, fmOpenRead);
        EXPECT_THROW(r.WriteBuffer("x", 1), EWriteError);
    }

    try {
        TFileStream f(dir / "nope.txt", fmOpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_NE(e.Message.find("nope.txt"), std::string::npos);
    }
    EXPECT_THROW(TFileStream(dir.path(), fmOpenRead), EFOpenError);  // a folder
    EXPECT_THROW(TFileStream(dir / "no/such/dir.txt", fmCreate), EFCreateError);
}

TEST(TResourceStream, FindsRegisteredBlocksByTypeAndName) {
    static const unsigned char kData[] = {1, 2, 3};
    RegisterResource(RT_RCDATA, "acSHDA", kData, sizeof kData);
    TResourceStream r("ACSHDA");
    EXPECT_EQ(r.Size(), 3);
    unsigned char b[3];
    r.ReadBuffer(b, 3);
    EXPECT_EQ(b[2], 3);
    EXPECT_THROW(r.WriteBuffer(b, 1), EStreamError);
    EXPECT_THROW(TResourceStream("acSHDA", "BITMAP"), EResNotFound);
    UnregisterResource(RT_RCDATA, "acSHDA");
    EXPECT_THROW(TResourceStream("acSHDA"), EResNotFound);
}

}  // namespace
