// Operating-system error codes with their system texts, for log lines such as
// "CreateFile error: %u (%s)" and for message boxes.
#pragma once

#include <cstdint>
#include <string>

namespace os {

struct SysError {
    uint32_t code = 0;
    std::string text;  // the system's message for the code, cp1251
};

// The error of the last failed call of this thread (errno).
SysError LastError();
SysError ErrorFromCode(int code);

// The reason for `code` in the operator's language, as the Russian messages that show it
// (the system's own texts are English); cp1251.
std::string RussianErrorText(int code);

}  // namespace os
