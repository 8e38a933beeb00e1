#include "vcl/system/format.h"

#include <cmath>
#include <cstdio>

#include "vcl/system/exceptions.h"
#include "vcl/system/sysutils.h"

namespace vcl {

uint64_t FormatArg::AsUnsigned() const {
    if (unsigned_ || int_ >= 0) return static_cast<uint64_t>(int_);
    // A negative 32-bit integer prints as the 32-bit unsigned value it would be in memory.
    return wide_ ? static_cast<uint64_t>(int_) : static_cast<uint32_t>(int_);
}

namespace {

[[noreturn]] void Invalid(std::string_view format) {
    throw EConvertError("Format '" + std::string(format) +
                        "' invalid or incompatible with argument");
}

[[noreturn]] void NoArgument(std::string_view format) {
    throw EConvertError("No argument for format '" + std::string(format) + "'");
}

std::string Pad(std::string s, int width, bool left) {
    if (width > 0 && static_cast<int>(s.size()) < width) {
        const std::string fill(static_cast<std::size_t>(width) - s.size(), ' ');
        s = left ? s + fill : fill + s;
    }
    return s;
}

// Digits of a whole number with at least `minDigits` of them.
std::string Digits(uint64_t v, int base, int minDigits) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string s;
    do {
        s.insert(s.begin(), kDigits[v % base]);
        v /= base;
    } while (v);
    if (minDigits > static_cast<int>(s.size()))
        s.insert(0, static_cast<std::size_t>(minDigits) - s.size(), '0');
    return s;
}

std::string WithSeparator(const std::string& fixed, char thousands) {
    // fixed: optional '-', digits, optional '.' fraction (already with the decimal separator)
    std::size_t start = fixed[0] == '-' ? 1 : 0;
    std::size_t end = start;
    while (end < fixed.size() && fixed[end] >= '0' && fixed[end] <= '9')
        ++end;
    std::string out = fixed.substr(0, start);
    const std::string whole = fixed.substr(start, end - start);
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) out += thousands;
        out += whole[i];
    }
    return out + fixed.substr(end);
}

std::string ReplaceDecimal(std::string s, char decimal) {
    for (char& c : s)
        if (c == '.') c = decimal;
    return s;
}

std::string FormatFloat(char type, double v, int prec) {
    const TFormatSettings& fs = FormatSettings;
    if (std::isnan(v)) return "NAN";
    if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
    char buf[512];
    switch (type) {
        case 'f':
        case 'n':
        case 'm': {
            if (prec < 0) prec = type == 'm' ? fs.CurrencyDecimals : 2;
            if (prec > 18) prec = 18;
            if (std::fabs(v) >= 1e18) return FormatFloat('e', v, 15);
            std::snprintf(buf, sizeof buf, "%.*f", prec, v);
            std::string s = buf;
            if (s == "-0" || s.rfind("-0.", 0) == 0) {
                bool zero = true;
                for (char c : s.substr(1))
                    if (c != '0' && c != '.') zero = false;
                if (zero) s.erase(0, 1);
            }
            s = ReplaceDecimal(s, fs.DecimalSeparator);
            if (type == 'f') return s;
            s = WithSeparator(s, fs.ThousandSeparator);
            if (type == 'm') s += ' ' + fs.CurrencyString;
            return s;
        }
        case 'e': {
            if (prec < 0 || prec > 18) prec = 15;
            if (prec < 1) prec = 1;
            std::snprintf(buf, sizeof buf, "%.*E", prec - 1, v);
            // The class library writes a signed exponent of at least three digits.
            std::string s = buf;
            const auto e = s.find('E');
            std::string mant = s.substr(0, e);
            const char sign = s[e + 1];
            std::string exp = s.substr(e + 2);
            while (exp.size() < 3)
                exp.insert(exp.begin(), '0');
            return ReplaceDecimal(mant, fs.DecimalSeparator) + "E" + sign + exp;
        }
        default:  // 'g'
            if (prec < 0 || prec > 18) prec = 15;
            if (prec < 1) prec = 1;
            return FloatToStrG(v, prec);
    }
}

}  // namespace

std::string FormatList(std::string_view format, std::initializer_list<FormatArg> args) {
    std::string out;
    const FormatArg* argv = args.begin();
    const int argc = static_cast<int>(args.size());
    int next = 0;
    auto take = [&]() -> const FormatArg& {
        if (next >= argc) NoArgument(format);
        return argv[next++];
    };
    auto number = [&](std::size_t& i, int& value) -> bool {  // digits or '*'
        if (i < format.size() && format[i] == '*') {
            const FormatArg& a = take();
            if (a.kind() != FormatArg::Kind::Int) Invalid(format);
            value = static_cast<int>(a.AsInt());
            ++i;
            return true;
        }
        bool any = false;
        value = 0;
        while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
            if (value < 100000) value = value * 10 + (format[i] - '0');
            ++i;
            any = true;
        }
        return any;
    };

    for (std::size_t i = 0; i < format.size();) {
        const char c = format[i++];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i >= format.size()) Invalid(format);
        if (format[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        int width = -1, prec = -1, n = 0;
        bool left = false;
        // An index comes first when a number is followed by ':'.
        std::size_t j = i;
        while (j < format.size() && format[j] >= '0' && format[j] <= '9')
            ++j;
        if (j > i && j < format.size() && format[j] == ':') {
            number(i, n);
            next = n;
            i = j + 1;
        }
        if (i < format.size() && format[i] == '-') {
            left = true;
            ++i;
        }
        if (number(i, n)) width = n;
        if (i < format.size() && format[i] == '.') {
            ++i;
            prec = number(i, n) ? n : 0;
        }
        if (i >= format.size()) Invalid(format);
        const char type = static_cast<char>(format[i] | 0x20);
        ++i;
        const FormatArg& a = take();
        std::string piece;
        switch (type) {
            case 'd':
                if (a.kind() != FormatArg::Kind::Int) Invalid(format);
                if (a.AsInt() < 0)
                    piece = "-" + Digits(0 - static_cast<uint64_t>(a.AsInt()), 10, prec);
                else
                    piece = Digits(a.AsUnsigned(), 10, prec);
                break;
            case 'u':
                if (a.kind() != FormatArg::Kind::Int) Invalid(format);
                piece = Digits(a.AsUnsigned(), 10, prec);
                break;
            case 'x':
                if (a.kind() != FormatArg::Kind::Int) Invalid(format);
                piece = Digits(a.AsUnsigned(), 16, prec);
                break;
            case 'e':
            case 'f':
            case 'g':
            case 'n':
            case 'm':
                if (a.kind() == FormatArg::Kind::Float)
                    piece = FormatFloat(type, a.AsFloat(), prec);
                else
                    Invalid(format);
                break;
            case 'p':
                if (a.kind() != FormatArg::Kind::Pointer) Invalid(format);
                piece = Digits(reinterpret_cast<uintptr_t>(a.AsPointer()), 16,
                               static_cast<int>(sizeof(void*) * 2));
                break;
            case 's':
                if (a.kind() != FormatArg::Kind::String) Invalid(format);
                piece = std::string(a.AsString());
                if (prec >= 0 && static_cast<int>(piece.size()) > prec)
                    piece.resize(static_cast<std::size_t>(prec));
                break;
            default:
                Invalid(format);
        }
        out += Pad(std::move(piece), width, left);
    }
    return out;
}

}  // namespace vcl
