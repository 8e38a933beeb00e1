// Feeds arbitrary text to the date scanner under every order and separator of the date format.
// Any text must give a date or a refusal; a crash, undefined behaviour or a hang is a finding,
// and so is an accepted date that is not a valid one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "skin/controls/date_utils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const char* const kFormats[] = {
        "dd.MM.yyyy", "DD/MM/YYYY", "M/d/yy", "yyyy-MM-dd", "d MMMM yyyy", "MM.dd.yy",
        "yy/MM/dd", "dd-MMM-yyyy", "", "dd.MM.yyyy          x"};
    const std::string_view format = kFormats[data[0] % std::size(kFormats)];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    vcl::TDateTime date = 0;
    if (skin::StrToDateByFormat(format, text, date) && date != 0 && !skin::IsDateValid(date))
        std::abort();
    int pos = 1, day = 0, month = 0, year = 0;
    if (skin::ScanDateFree(text, format, pos, day, month, year) &&
        !skin::IsDateTripleValid(year, month, day))
        std::abort();
    return 0;
}
