// The list import under arbitrary bytes: line ends, runs of separators, NUL bytes, invalid
// UTF-8 and huge lines either give whole rows or an error.
#include "lists/fuzz/list_import_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lists::fuzz::CheckListImport(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
