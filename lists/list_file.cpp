#include "lists/list_file.h"

#include "platform/os/cp1251.h"
#include "platform/os/cp_literal.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/format.h"

namespace lists {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Whether text without a byte-order mark is UTF-8 (rule 4). Text that is valid UTF-8 throughout
// is. Otherwise, Cyrillic in cp1251 makes a valid pair only where a capital is followed by a byte
// 0x80..0xBF (a quote, a dash, "ё", a Ukrainian letter), and such a pair mostly stands for a
// Latin-1 sign cp1251 lacks ("ВІ" is "²"); its small letters, followed by letters, are damaged
// sequences. So only valid sequences of characters cp1251 has count for UTF-8: cp1251 text, a
// chance pair or two included, stays well below two thirds of them, while UTF-8 with a few
// damaged bytes stays far above and is then refused rather than read as garbled cp1251.
bool LooksLikeUtf8(std::string_view s) {
    std::size_t valid = 0, foreign = 0, damaged = 0;
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t start = i;
        if (static_cast<unsigned char>(s[i]) < 0x80) {
            ++i;
            continue;
        }
        if (const auto c = os::DecodeUtf8(s, i))
            (os::UnicodeToCp1251(*c) ? valid : foreign) += i - start;
        else
            ++damaged;
    }
    if (damaged == 0) return valid + foreign > 0;
    return valid > 0 && valid >= 2 * damaged;
}

// UTF-8 to cp1251; a damaged sequence, or a character without a cp1251 byte, names its line.
std::string FromUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    int line = 1;
    for (std::size_t i = 0; i < s.size();) {
        if (s[i] == '\n') ++line;
        const auto c = os::DecodeUtf8(s, i);
        if (!c)
            throw vcl::EConvertError(vcl::Format(
                "Строка %d файла содержит поврежденный символ в кодировке UTF-8."_cp, line));
        const auto b = os::UnicodeToCp1251(*c);
        if (!b)
            throw vcl::EConvertError(vcl::Format(
                "Строка %d файла содержит символ, которого нет в кодировке Windows-1251."_cp,
                line));
        out += static_cast<char>(*b);
    }
    return out;
}

// The cells of one line that hold something (rule 2): those past the count are dropped, and so
// are the empty ones after the last that is not.
TListRow SplitLine(std::string_view line, std::size_t fieldCount) {
    TListRow row;
    std::size_t next = 0;
    std::string pending;
    auto put = [&] {
        if (next < fieldCount && !pending.empty()) {
            row.resize(next + 1);
            row[next] = std::move(pending);
        }
        ++next;
        pending.clear();
    };
    for (std::size_t i = 0; i < line.size() && next < fieldCount; ++i) {
        if (line[i] == ';') {
            put();
            continue;
        }
        pending += line[i];
        if (i + 1 == line.size()) put();
    }
    return row;
}

}  // namespace

TListFile ParseListFile(std::string_view text) {
    std::string converted;
    if (text.starts_with(kBom)) {
        converted = FromUtf8(text.substr(kBom.size()));
        text = converted;
    } else if (LooksLikeUtf8(text)) {
        converted = FromUtf8(text);
        text = converted;
    }

    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (next != end && line.ends_with('\r')) line.remove_suffix(1);
        lines.push_back(line);
        start = next;
    }

    TListFile file;
    if (lines.empty() || lines.front().empty()) return file;
    const std::string_view first = lines.front();
    std::size_t n = 0;
    for (char c : first)
        n += c == ';';
    if (first.back() != ';') ++n;
    // Checked before any row is made: a short file of many separators and many empty lines
    // would otherwise ask for a grid far beyond any memory.
    if (n > kMaxListCells / lines.size())
        throw vcl::EConvertError(vcl::Format(
            "Файл слишком велик для списка: в нем %s строк по %s полей, а в списке может быть не "
            "более %s ячеек."_cp,
            std::to_string(lines.size()).c_str(), std::to_string(n).c_str(),
            std::to_string(kMaxListCells).c_str()));
    file.fieldCount = static_cast<int>(n);
    file.rows.reserve(lines.size());
    for (std::string_view line : lines)
        file.rows.push_back(SplitLine(line, n));
    return file;
}

std::string FormatListFile(const std::vector<TListRow>& rows) {
    std::string out;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (r) out += "\r\n";
        for (const std::string& cell : rows[r]) {
            out += cell;
            out += ';';
        }
    }
    return out;
}

}  // namespace lists
