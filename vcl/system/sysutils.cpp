#include "vcl/system/sysutils.h"

#include <algorithm>
#include <cfenv>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/os/cp1251.h"

namespace vcl {

TFormatSettings TFormatSettings::Russian() {
    TFormatSettings fs;
    // Month and day names as cp1251 bytes (the literal is not available to a struct default).
    const char* longMonths[12] = {"\xDF\xED\xE2\xE0\xF0\xFC",
                                  "\xD4\xE5\xE2\xF0\xE0\xEB\xFC",
                                  "\xCC\xE0\xF0\xF2",
                                  "\xC0\xEF\xF0\xE5\xEB\xFC",
                                  "\xCC\xE0\xE9",
                                  "\xC8\xFE\xED\xFC",
                                  "\xC8\xFE\xEB\xFC",
                                  "\xC0\xE2\xE3\xF3\xF1\xF2",
                                  "\xD1\xE5\xED\xF2\xFF\xE1\xF0\xFC",
                                  "\xCE\xEA\xF2\xFF\xE1\xF0\xFC",
                                  "\xCD\xEE\xFF\xE1\xF0\xFC",
                                  "\xC4\xE5\xEA\xE0\xE1\xF0\xFC"};
    const char* shortMonths[12] = {"\xDF\xED\xE2", "\xD4\xE5\xE2", "\xCC\xE0\xF0", "\xC0\xEF\xF0",
                                   "\xCC\xE0\xE9", "\xC8\xFE\xED", "\xC8\xFE\xEB", "\xC0\xE2\xE3",
                                   "\xD1\xE5\xED", "\xCE\xEA\xF2", "\xCD\xEE\xFF", "\xC4\xE5\xEA"};
    const char* longDays[7] = {"\xE2\xEE\xF1\xEA\xF0\xE5\xF1\xE5\xED\xFC\xE5",
                               "\xEF\xEE\xED\xE5\xE4\xE5\xEB\xFC\xED\xE8\xEA",
                               "\xE2\xF2\xEE\xF0\xED\xE8\xEA",
                               "\xF1\xF0\xE5\xE4\xE0",
                               "\xF7\xE5\xF2\xE2\xE5\xF0\xE3",
                               "\xEF\xFF\xF2\xED\xE8\xF6\xE0",
                               "\xF1\xF3\xE1\xE1\xEE\xF2\xE0"};
    const char* shortDays[7] = {"\xC2\xF1", "\xCF\xED", "\xC2\xF2", "\xD1\xF0",
                                "\xD7\xF2", "\xCF\xF2", "\xD1\xE1"};
    for (int i = 0; i < 12; ++i) {
        fs.LongMonthNames[i] = longMonths[i];
        fs.ShortMonthNames[i] = shortMonths[i];
    }
    for (int i = 0; i < 7; ++i) {
        fs.LongDayNames[i] = longDays[i];
        fs.ShortDayNames[i] = shortDays[i];
    }
    fs.FirstDayOfWeek = 0;  // Monday
    return fs;
}

TFormatSettings FormatSettings = TFormatSettings::Russian();

// ---- integers ----

std::string IntToStr(int64_t v) {
    return std::to_string(v);
}

std::string IntToHex(int64_t v, int digits) {
    const uint64_t u =
        (v < 0 && v >= INT32_MIN) ? static_cast<uint32_t>(v) : static_cast<uint64_t>(v);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*llX", digits < 0 ? 0 : (digits > 16 ? 16 : digits),
                  static_cast<unsigned long long>(u));
    return buf;
}

namespace {

// The class library's Val for integers; `bits` is 32 or 64.
bool ParseInteger(std::string_view s, int bits, int64_t& out) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    bool hex = false;
    if (i < s.size() && s[i] == '$') {
        hex = true;
        ++i;
    } else if (i < s.size() && (s[i] == 'x' || s[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= s.size()) return false;
    const uint64_t limit = bits == 32 ? 0xFFFFFFFFull : ~0ull;
    uint64_t v = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        const uint64_t base = hex ? 16 : 10;
        if (v > (limit - d) / base) return false;
        v = v * base + d;
    }
    if (hex) {
        // Hex digits fill the whole word: $FFFFFFFF is -1 as a 32-bit integer.
        int64_t r =
            bits == 32 ? static_cast<int32_t>(static_cast<uint32_t>(v)) : static_cast<int64_t>(v);
        out = negative ? -r : r;
        return true;
    }
    const uint64_t maxPos = bits == 32 ? INT32_MAX : INT64_MAX;
    if (negative) {
        if (v > maxPos + 1) return false;
        out = v == maxPos + 1 ? (bits == 32 ? INT32_MIN : INT64_MIN) : -static_cast<int64_t>(v);
    } else {
        if (v > maxPos) return false;
        out = static_cast<int64_t>(v);
    }
    return true;
}

[[noreturn]] void NotInteger(std::string_view s) {
    throw EConvertError(Format("'%s' is not a valid integer value", s));
}

}  // namespace

bool TryStrToInt(std::string_view s, int32_t& v) {
    int64_t r;
    if (!ParseInteger(s, 32, r)) return false;
    v = static_cast<int32_t>(r);
    return true;
}

bool TryStrToInt64(std::string_view s, int64_t& v) {
    return ParseInteger(s, 64, v);
}

int32_t StrToInt(std::string_view s) {
    int32_t v;
    if (!TryStrToInt(s, v)) NotInteger(s);
    return v;
}

int64_t StrToInt64(std::string_view s) {
    int64_t v;
    if (!TryStrToInt64(s, v)) NotInteger(s);
    return v;
}

int32_t StrToIntDef(std::string_view s, int32_t def) {
    int32_t v;
    return TryStrToInt(s, v) ? v : def;
}

// ---- floats ----

std::string FloatToStrG(double v, int precision) {
    if (std::isnan(v)) return "NAN";
    if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
    if (v == 0) return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*E", precision - 1, v);
    std::string s = buf;
    const auto e = s.find('E');
    const int exponent = std::atoi(s.c_str() + e + 1);
    std::string digits;
    for (std::size_t i = 0; i < e; ++i)
        if (s[i] >= '0' && s[i] <= '9') digits += s[i];
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const std::string sign = v < 0 ? "-" : "";
    const char dec = FormatSettings.DecimalSeparator;
    if (exponent >= precision || exponent < -5) {
        std::string m = digits.substr(0, 1);
        if (digits.size() > 1) m += dec + digits.substr(1);
        return sign + m + "E" + std::to_string(exponent);
    }
    std::string out;
    if (exponent < 0) {
        out = "0";
        out += dec;
        out += std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else {
        const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= whole) {
            out = digits + std::string(whole - digits.size(), '0');
        } else {
            out = digits.substr(0, whole) + dec + digits.substr(whole);
        }
    }
    return sign + out;
}

std::string FloatToStr(double v) {
    return FloatToStrG(v, 15);
}

bool TryStrToFloat(std::string_view s, double& v, const TFormatSettings& fs) {
    const std::string t = Trim(s);
    if (t.empty()) return false;
    std::string c;
    std::size_t i = 0;
    if (t[i] == '+' || t[i] == '-') c += t[i++];
    bool digits = false;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9')
        c += t[i++], digits = true;
    if (i < t.size() && t[i] == fs.DecimalSeparator) {
        c += '.';
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9')
            c += t[i++], digits = true;
    }
    if (!digits) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        c += 'E';
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) c += t[i++];
        bool exp = false;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9')
            c += t[i++], exp = true;
        if (!exp) return false;
    }
    if (i != t.size()) return false;
    v = std::strtod(c.c_str(), nullptr);
    return std::isfinite(v);
}

double StrToFloat(std::string_view s) {
    double v;
    if (!TryStrToFloat(s, v))
        throw EConvertError(Format("'%s' is not a valid floating point value", s));
    return v;
}

int64_t Round(double v) {
    // nearbyint rounds in the current mode, which is to-nearest-even unless someone changed it.
    const int mode = std::fegetround();
    if (mode != FE_TONEAREST) std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(v);
    if (mode != FE_TONEAREST) std::fesetround(mode);
    return static_cast<int64_t>(r);
}

int64_t Trunc(double v) {
    return static_cast<int64_t>(std::trunc(v));
}
double Frac(double v) {
    return v - std::trunc(v);
}

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    const int64_t p = static_cast<int64_t>(a) * b;
    int64_t q = p / c;
    const int64_t r = p % c;
    // Round halves away from zero.
    if (2 * std::llabs(r) >= std::llabs(static_cast<int64_t>(c)))
        q += ((p < 0) != (c < 0)) ? -1 : 1;
    if (q > INT32_MAX || q < INT32_MIN) return -1;
    return static_cast<int32_t>(q);
}

// ---- text ----

std::string TrimLeft(std::string_view s) {
    std::size_t b = 0;
    while (b < s.size() && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
    std::size_t e = s.size();
    while (e > 0 && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    return std::string(s.substr(0, e));
}

std::string Trim(std::string_view s) {
    return TrimRight(TrimLeft(s));
}

std::string UpperCase(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return r;
}

std::string LowerCase(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return r;
}

std::string AnsiUpperCase(std::string_view s) {
    return os::UpperCaseCp1251(s);
}
std::string AnsiLowerCase(std::string_view s) {
    return os::LowerCaseCp1251(s);
}

int CompareStr(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int d = static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i]);
        if (d) return d;
    }
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

int CompareText(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto up = [](char c) {
            const auto u = static_cast<unsigned char>(c);
            return u >= 'a' && u <= 'z' ? u - 32 : u;
        };
        const int d = up(a[i]) - up(b[i]);
        if (d) return d;
    }
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

bool SameText(std::string_view a, std::string_view b) {
    return CompareText(a, b) == 0;
}

int AnsiCompareStr(std::string_view a, std::string_view b) {
    return os::CompareCp1251(a, b, false);
}
int AnsiCompareText(std::string_view a, std::string_view b) {
    return os::CompareCp1251(a, b, true);
}
bool AnsiSameText(std::string_view a, std::string_view b) {
    return AnsiCompareText(a, b) == 0;
}

int Pos(std::string_view sub, std::string_view s, int offset) {
    if (sub.empty() || offset < 1 || static_cast<std::size_t>(offset) > s.size()) return 0;
    const auto p = s.find(sub, static_cast<std::size_t>(offset - 1));
    return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

std::string Copy(std::string_view s, int index, int count) {
    if (index < 1) index = 1;
    if (count <= 0 || static_cast<std::size_t>(index) > s.size()) return {};
    return std::string(
        s.substr(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(count)));
}

std::string StringOfChar(char c, int count) {
    return count > 0 ? std::string(static_cast<std::size_t>(count), c) : std::string();
}

std::string StringReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(s);
    std::string out;
    std::size_t pos = 0;
    for (;;) {
        const auto hit = s.find(from, pos);
        if (hit == std::string_view::npos) break;
        out.append(s.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
    out.append(s.substr(pos));
    return out;
}

std::string QuotedStr(std::string_view s) {
    return "'" + StringReplaceAll(s, "'", "''") + "'";
}

// ---- random numbers: the class library's linear congruential generator ----

namespace {
uint32_t gRandSeed = 0;
}

void RandSeed(uint32_t seed) {
    gRandSeed = seed;
}

void Randomize() {
    const auto t = std::chrono::system_clock::now().time_since_epoch();
    gRandSeed =
        static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(t).count());
}

int32_t Random(int32_t range) {
    gRandSeed = gRandSeed * 0x08088405u + 1u;
    if (range <= 0) return 0;
    return static_cast<int32_t>((static_cast<uint64_t>(gRandSeed) * static_cast<uint32_t>(range)) >>
                                32);
}

double RandomFloat() {
    gRandSeed = gRandSeed * 0x08088405u + 1u;
    return gRandSeed / 4294967296.0;
}

namespace {
std::vector<std::string>& CommandLine() {
    static std::vector<std::string> args;
    return args;
}
}  // namespace

void SetCommandLine(int argc, const char* const* argv) {
    CommandLine().assign(argv, argv + std::max(argc, 0));
}

int ParamCount() {
    return std::max(int(CommandLine().size()) - 1, 0);
}

std::string ParamStr(int index) {
    const auto& args = CommandLine();
    return index >= 0 && size_t(index) < args.size() ? args[size_t(index)] : std::string();
}

}  // namespace vcl
