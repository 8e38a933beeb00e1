// The modem link's receive path (DataReceived, ExtractLine) under arbitrary bytes in arbitrary
// chunks; see modem_lines_feed.h for the input's form.
#include "gateway/fuzz/modem_lines_feed.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gateway::fuzz::FeedModemBytes(data, size);
    return 0;
}
