// Replays the inputs the list import's fuzz target started from and once failed on.
#include <gtest/gtest.h>

#include "lists/fuzz/list_import_check.h"
#include "platform/os/files.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(ListsFuzzRegression, ImportInputsGiveWholeRowsOrAnError) {
    const auto files = testing_support::FuzzInputs("lists", "list_import");
    EXPECT_GE(files.size(), 5u);
    for (const auto& file : files) {
        SCOPED_TRACE(file);
        lists::fuzz::CheckListImport(*os::ReadWholeFile(file));
    }
}

}  // namespace
