// The status-report decoder under arbitrary text: it never throws, and what it decodes holds
// values of their fields' ranges.
#include "gateway/fuzz/modem_lines_feed.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gateway::fuzz::CheckStatusReport(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
