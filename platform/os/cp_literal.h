// The "_cp" literal: a UTF-8 source literal turned into cp1251 bytes at compile time.
//
//   AddLog("Пользователь прервал рассылку"_cp);
//
// A character that cp1251 lacks is not a constant expression, so it fails to compile.
#pragma once

#include <cstddef>

#include "platform/os/cp1251.h"

namespace os::detail {

template <std::size_t N>
struct Utf8Literal {
    char text[N]{};
    consteval Utf8Literal(const char (&s)[N]) {
        for (std::size_t i = 0; i < N; ++i)
            text[i] = s[i];
    }
};

template <std::size_t N>
struct Cp1251Bytes {
    char text[N]{};  // at most as many bytes as the UTF-8 form, NUL-terminated
};

inline void CharacterOutsideCp1251() {}  // not constexpr: calling it stops compilation

template <Utf8Literal S>
consteval auto ToCp1251() {
    Cp1251Bytes<sizeof(S.text)> out{};
    const std::string_view in(S.text, sizeof(S.text) - 1);
    std::size_t o = 0;
    for (std::size_t i = 0; i < in.size();) {
        const auto c = DecodeUtf8(in, i);
        const auto b = c ? UnicodeToCp1251(*c) : std::nullopt;
        if (!b) CharacterOutsideCp1251();
        out.text[o++] = static_cast<char>(*b);
    }
    return out;
}

template <Utf8Literal S>
inline constexpr auto kCp1251Of = ToCp1251<S>();

}  // namespace os::detail

template <os::detail::Utf8Literal S>
consteval const char* operator""_cp() {
    return os::detail::kCp1251Of<S>.text;
}
