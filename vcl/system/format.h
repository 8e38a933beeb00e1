// Format: the class library's printf-like formatting of cp1251 text.
//
//   Format("CreateFile error: %u (%s)", code, text)
//
// Specifiers: "%" [index ":"] ["-"] [width] ["." precision] type, with "*" for index, width or
// precision taken from the arguments, and the types d u x (upper-case) e f g n m p s. Arguments
// are checked against their specifiers: a mismatch or a missing argument raises EConvertError,
// never undefined behaviour, so only program literals (not user text) are formats.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

namespace vcl {

class FormatArg {
public:
    enum class Kind { Int, Float, String, Pointer };

    template <typename T>
    requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char>)
        FormatArg(T v)  // NOLINT: implicit by design
        : kind_(Kind::Int),
          int_(static_cast<int64_t>(v)),
          wide_(sizeof(T) > 4),
          unsigned_(std::is_unsigned_v<T>) {}
    template <typename T>
    requires std::is_enum_v<T> FormatArg(T v)
        : FormatArg(static_cast<std::underlying_type_t<T>>(v)) {}
    FormatArg(double v) : kind_(Kind::Float), float_(v) {}
    FormatArg(float v) : kind_(Kind::Float), float_(v) {}
    FormatArg(long double v) : kind_(Kind::Float), float_(static_cast<double>(v)) {}
    FormatArg(char c) : kind_(Kind::String), str_(&c_, 1), c_(c) {}
    FormatArg(const char* s) : kind_(Kind::String), str_(s ? s : "") {}
    FormatArg(std::string_view s) : kind_(Kind::String), str_(s) {}
    FormatArg(const std::string& s) : kind_(Kind::String), str_(s) {}
    FormatArg(const void* p) : kind_(Kind::Pointer), ptr_(p) {}

    FormatArg(const FormatArg& o)
        : kind_(o.kind_),
          int_(o.int_),
          float_(o.float_),
          str_(o.str_),
          ptr_(o.ptr_),
          wide_(o.wide_),
          unsigned_(o.unsigned_),
          c_(o.c_) {
        if (o.str_.data() == &o.c_) str_ = std::string_view(&c_, 1);
    }
    FormatArg& operator=(const FormatArg&) = delete;

    Kind kind() const { return kind_; }
    int64_t AsInt() const { return int_; }
    uint64_t AsUnsigned() const;  // as the class library reinterprets negative numbers
    double AsFloat() const { return float_; }
    std::string_view AsString() const { return str_; }
    const void* AsPointer() const { return ptr_; }

private:
    Kind kind_;
    int64_t int_ = 0;
    double float_ = 0;
    std::string_view str_;
    const void* ptr_ = nullptr;
    bool wide_ = false;
    bool unsigned_ = false;
    char c_ = 0;
};

std::string FormatList(std::string_view format, std::initializer_list<FormatArg> args);

template <typename... Args>
std::string Format(std::string_view format, const Args&... args) {
    return FormatList(format, {FormatArg(args)...});
}

}  // namespace vcl
