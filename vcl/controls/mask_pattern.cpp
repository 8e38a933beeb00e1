#include "vcl/controls/mask_pattern.h"

#include <algorithm>

#include "platform/os/cp1251.h"
#include "vcl/system/sysutils.h"

namespace vcl {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return os::UpperCp1251(u) != os::LowerCp1251(u);
}

// The fields of "mask;save;blank"; a ';' after '\' belongs to the mask.
std::vector<std::string_view> Fields(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
            continue;
        }
        if (text[i] == ';' && out.size() < 2) {
            out.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    out.push_back(text.substr(start));
    return out;
}

}  // namespace

MaskPattern::MaskPattern(std::string_view text, char dateSeparator, char timeSeparator) {
    if (!dateSeparator) dateSeparator = FormatSettings.DateSeparator;
    if (!timeSeparator) timeSeparator = FormatSettings.TimeSeparator;
    const std::vector<std::string_view> fields = Fields(text);
    if (fields.size() > 1 && !fields[1].empty()) save_ = fields[1][0] != '0';
    if (fields.size() > 2 && !fields[2].empty()) blank_ = fields[2][0];
    const std::string_view mask = fields[0];
    int8_t letterCase = 0;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        const char c = mask[i];
        Slot s;
        s.letterCase = letterCase;
        switch (c) {
            case '!':
                reverse_ = true;
                continue;
            case '>':
                if (i + 1 < mask.size() && mask[i + 1] == '<') {
                    ++i;
                    letterCase = 0;
                } else {
                    letterCase = 1;
                }
                continue;
            case '<':
                letterCase = -1;
                continue;
            case '\\':
                if (i + 1 < mask.size()) s.literal = mask[++i];
                break;
            case '0':
            case 'L':
            case 'A':
            case 'C':
                s.kind = Kind::Required;
                s.test = c;
                break;
            case '9':
            case '#':
            case 'l':
            case 'a':
            case 'c':
                s.kind = Kind::Optional;
                s.test = c;
                break;
            case '/':
                s.literal = dateSeparator;
                break;
            case ':':
                s.literal = timeSeparator;
                break;
            case '_':
                s.literal = ' ';
                break;
            default:
                s.literal = c;
                break;
        }
        slots_.push_back(s);
    }
}

char MaskPattern::Accept(std::size_t pos, char c) const {
    if (!IsInput(pos)) return 0;
    const Slot& s = slots_[pos];
    const bool blank = c == ' ' && s.kind == Kind::Optional;
    bool ok = false;
    switch (s.test) {
        case '0':
        case '9':
            ok = IsDigit(c) || blank;
            break;
        case '#':
            ok = IsDigit(c) || c == '+' || c == '-' || blank;
            break;
        case 'L':
        case 'l':
            ok = IsLetter(c) || blank;
            break;
        case 'A':
        case 'a':
            ok = IsLetter(c) || IsDigit(c) || blank;
            break;
        default:  // 'C', 'c'
            ok = static_cast<unsigned char>(c) >= 0x20;
            break;
    }
    if (!ok) return 0;
    const auto u = static_cast<unsigned char>(c);
    if (s.letterCase > 0) return static_cast<char>(os::UpperCp1251(u));
    if (s.letterCase < 0) return static_cast<char>(os::LowerCp1251(u));
    return c;
}

std::size_t MaskPattern::NextInput(std::size_t pos) const {
    while (pos < slots_.size() && !IsInput(pos))
        ++pos;
    return std::min(pos, slots_.size());
}

std::size_t MaskPattern::PrevInput(std::size_t pos) const {
    pos = std::min(pos, slots_.size());
    while (pos > 0) {
        if (IsInput(--pos)) return pos;
    }
    return std::string::npos;
}

std::string MaskPattern::Strip(std::string_view editText) const {
    std::string raw;
    for (std::size_t i = 0; i < slots_.size(); ++i)
        if (IsInput(i)) raw += i < editText.size() ? editText[i] : blank_;
    if (reverse_) {
        raw.erase(0, std::min(raw.find_first_not_of(blank_), raw.size()));
    } else {
        const std::size_t last = raw.find_last_not_of(blank_);
        raw.resize(last == std::string::npos ? 0 : last + 1);
    }
    std::replace(raw.begin(), raw.end(), blank_, ' ');
    return raw;
}

void MaskPattern::Place(std::string& out, std::size_t from, std::size_t to, std::string_view raw,
                        char blank) const {
    std::vector<std::size_t> inputs;
    for (std::size_t i = from; i < to; ++i) {
        if (IsInput(i))
            inputs.push_back(i);
        else
            out[i] = slots_[i].literal;
    }
    const std::size_t n = std::min(inputs.size(), raw.size());
    // Right-aligned masks take the end of a long entry, left-aligned ones its start.
    const std::size_t skipRaw = reverse_ ? raw.size() - n : 0;
    const std::size_t skipPos = reverse_ ? inputs.size() - n : 0;
    for (std::size_t k = 0; k < inputs.size(); ++k) {
        char c = blank;
        if (k >= skipPos && k - skipPos < n) {
            const char r = raw[skipRaw + (k - skipPos)];
            if (const char a = r == ' ' ? 0 : Accept(inputs[k], r)) c = a;
        }
        out[inputs[k]] = c;
    }
}

std::string MaskPattern::Format(std::string_view raw, char blank) const {
    std::string out(slots_.size(), ' ');
    Place(out, 0, slots_.size(), raw, blank);
    return out;
}

std::string MaskPattern::TextOf(std::string_view editText) const {
    const std::string raw = Strip(editText);
    return save_ ? Format(raw, ' ') : raw;
}

std::string MaskPattern::EditTextOf(std::string_view text) const {
    if (!save_) return Format(text, blank_);
    std::string out(slots_.size(), ' ');
    std::size_t ti = 0;
    for (std::size_t pos = 0; pos < slots_.size();) {
        if (!IsInput(pos)) {
            out[pos] = slots_[pos].literal;
            if (ti < text.size() && text[ti] == slots_[pos].literal) ++ti;
            ++pos;
            continue;
        }
        std::size_t end = pos;
        while (end < slots_.size() && IsInput(end))
            ++end;
        // The text's run ends at the literal that ends this run of positions.
        const bool closed = end < slots_.size();
        std::size_t stop = ti;
        while (stop < text.size() && !(closed && text[stop] == slots_[end].literal))
            ++stop;
        Place(out, pos, end, text.substr(ti, stop - ti), blank_);
        ti = stop;
        pos = end;
    }
    return out;
}

}  // namespace vcl
