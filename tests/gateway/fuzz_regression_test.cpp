// Replays the inputs the gateway's fuzz targets started from and once failed on, under the
// sanitizers like every test.
#include <gtest/gtest.h>

#include "gateway/fuzz/modem_lines_feed.h"
#include "platform/os/files.h"
#include "tests/support/temp_dir.h"

namespace {

std::vector<std::string> Inputs(const std::string& target) {
    return testing_support::FuzzInputs("gateway", target);
}

TEST(GatewayFuzzRegression, StatusReportInputsDecodeOrAreRefused) {
    const auto files = Inputs("status_report");
    EXPECT_GE(files.size(), 3u);
    for (const auto& file : files) {
        SCOPED_TRACE(file);
        gateway::fuzz::CheckStatusReport(*os::ReadWholeFile(file));
    }
}

TEST(GatewayFuzzRegression, ModemLineInputsKeepTheParsersChecks) {
    const auto files = Inputs("modem_lines");
    EXPECT_GE(files.size(), 2u);
    for (const auto& file : files) {
        SCOPED_TRACE(file);
        const std::string data = *os::ReadWholeFile(file);
        gateway::fuzz::FeedModemBytes(reinterpret_cast<const uint8_t*>(data.data()), data.size());
    }
}

}  // namespace
