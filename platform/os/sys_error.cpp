#include "platform/os/sys_error.h"

#include <cerrno>
#include <cstring>

#include "platform/os/cp1251.h"

namespace os {

SysError ErrorFromCode(int code) {
    char buf[256];
    // GNU strerror_r returns the text, which may or may not be buf.
    const char* text = strerror_r(code, buf, sizeof buf);
    return SysError{static_cast<uint32_t>(code), Utf8ToCp1251(text ? text : "")};
}

SysError LastError() {
    return ErrorFromCode(errno);
}

}  // namespace os
