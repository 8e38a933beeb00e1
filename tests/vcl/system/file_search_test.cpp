#include "vcl/system/file_search.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/os/files.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::TempDir;

std::set<std::string> Names(const std::string& pattern, int attr) {
    std::set<std::string> names;
    vcl::TSearchRec rec;
    for (int r = vcl::FindFirst(pattern, attr, rec); r == 0; r = vcl::FindNext(rec))
        names.insert(rec.Name + ((rec.Attr & vcl::faDirectory) ? "/" : ""));
    vcl::FindClose(rec);
    return names;
}

TEST(FileSearch, WildcardsIgnoreCaseAndFoldersNeedAsking) {
    TempDir dir;
    testing_support::WriteFile(dir / "Topaz.ASZ", "12345");
    testing_support::WriteFile(dir / "other.asz", "");
    testing_support::WriteFile(dir / "Options.dat", "");
    testing_support::WriteFile(dir / ".hidden.asz", "");
    os::MakeDirectories(dir / "Folder.asz");

    EXPECT_EQ(Names(dir / "*.asz", 0), (std::set<std::string>{"Topaz.ASZ", "other.asz"}));
    EXPECT_EQ(Names(dir / "*.asz", vcl::faAnyFile),
              (std::set<std::string>{"Topaz.ASZ", "other.asz", ".hidden.asz", "Folder.asz/"}));
    EXPECT_EQ(Names(dir / "options.DAT", 0), (std::set<std::string>{"Options.dat"}));
    EXPECT_EQ(Names(dir / "?????.asz", 0), (std::set<std::string>{"other.asz", "Topaz.ASZ"}));

    vcl::TSearchRec rec;
    ASSERT_EQ(vcl::FindFirst(dir / "Topaz.asz", 0, rec), 0);
    EXPECT_EQ(rec.Size, 5);
    EXPECT_GT(rec.Time, 40000);  // a plausible modification date
    EXPECT_NE(vcl::FindNext(rec), 0);
    vcl::FindClose(rec);
}

TEST(FileSearch, NothingFoundOrNoFolderGivesAnErrorCode) {
    TempDir dir;
    vcl::TSearchRec rec;
    EXPECT_NE(vcl::FindFirst(dir / "*.none", vcl::faAnyFile, rec), 0);
    EXPECT_NE(vcl::FindFirst(dir / "missing/*", vcl::faAnyFile, rec), 0);
    EXPECT_NE(vcl::FindNext(rec), 0);  // safe after a failed start
}

}  // namespace
