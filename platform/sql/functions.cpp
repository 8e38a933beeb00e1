#include "platform/sql/functions.h"

#include <sqlite3.h>

#include <vector>

#include "platform/os/cp1251.h"

namespace sql {

namespace {

// A byte that is not valid UTF-8 stands for itself, outside the Unicode range, so that it
// only ever matches the same byte.
constexpr char32_t kRawByte = 0x110000;

std::vector<char32_t> Decode(std::string_view s) {
    std::vector<char32_t> out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t at = i;
        const auto c = os::DecodeUtf8(s, i);
        out.push_back(c ? *c : kRawByte + static_cast<unsigned char>(s[at]));
    }
    return out;
}

std::string_view TextArg(sqlite3_value* v) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return p ? std::string_view(p, static_cast<std::size_t>(sqlite3_value_bytes(v))) : "";
}

void UpperFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const std::string out = UpperUtf8(TextArg(argv[0]));
    sqlite3_result_text(ctx, out.data(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
}

void LikeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const std::string_view pattern = TextArg(argv[0]);
    const int limit =
        sqlite3_limit(sqlite3_context_db_handle(ctx), SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1);
    if (pattern.size() > static_cast<std::size_t>(limit))
        return sqlite3_result_error(ctx, "LIKE or GLOB pattern too complex", -1);
    std::optional<char32_t> escape;
    if (argc == 3) {
        const auto e = Decode(TextArg(argv[2]));
        if (e.size() != 1)
            return sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
        escape = e[0];
    }
    sqlite3_result_int(ctx, LikeMatch(pattern, TextArg(argv[1]), escape) ? 1 : 0);
}

}  // namespace

std::string UpperUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t at = i;
        const auto c = os::DecodeUtf8(text, i);
        const auto b = c ? os::UnicodeToCp1251(*c) : std::nullopt;
        if (b)
            os::AppendUtf8(out, os::Cp1251ToUnicode(os::UpperCp1251(*b)));
        else
            out.append(text.substr(at, i - at));  // no cp1251 letter: unchanged
    }
    return out;
}

// The usual greedy match with one point to return to: each "%" only ever moves forwards, so
// the cost stays within pattern length times text length whatever the pattern.
bool LikeMatch(std::string_view patternText, std::string_view textText,
               std::optional<char32_t> escape) {
    const std::vector<char32_t> p = Decode(patternText), t = Decode(textText);
    std::size_t pi = 0, ti = 0;
    std::size_t starP = std::string::npos, starT = 0;
    while (ti < t.size()) {
        if (pi < p.size()) {
            const char32_t c = p[pi];
            if (escape && c == *escape) {
                if (pi + 1 < p.size() && p[pi + 1] == t[ti]) {
                    pi += 2;
                    ++ti;
                    continue;
                }
            } else if (c == U'%') {
                starP = pi++;
                starT = ti;
                continue;
            } else if (c == U'_' || c == t[ti]) {
                ++pi;
                ++ti;
                continue;
            }
        }
        if (starP == std::string::npos) return false;
        pi = starP + 1;
        ti = ++starT;
    }
    while (pi < p.size() && p[pi] == U'%' && !(escape && *escape == U'%'))
        ++pi;
    return pi == p.size();
}

void RegisterFunctions(sqlite3* db) {
    constexpr int kFlags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "upper", 1, kFlags, nullptr, UpperFunction, nullptr, nullptr);
    sqlite3_create_function(db, "like", 2, kFlags, nullptr, LikeFunction, nullptr, nullptr);
    sqlite3_create_function(db, "like", 3, kFlags, nullptr, LikeFunction, nullptr, nullptr);
}

}  // namespace sql
