#include "skin/core/pixels/text_utils.h"

#include <algorithm>

#include "platform/os/clock.h"
#include "vcl/system/sysutils.h"

namespace skin {

bool CharInDelimSet(char c, const TCharSet& delims) {
    return delims.Has(c);
}

int WordCount(std::string_view text, const TCharSet& delims) {
    int n = 0;
    bool inWord = false;
    for (char c : text) {
        bool d = delims.Has(c);
        if (!d && !inWord) ++n;
        inWord = !d;
    }
    return n;
}

int WordPosition(int n, std::string_view text, const TCharSet& delims) {
    if (n < 1) return 0;
    bool inWord = false;
    int count = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        bool d = delims.Has(text[i]);
        if (!d && !inWord && ++count == n) return int(i) + 1;
        inWord = !d;
    }
    return 0;
}

std::string ExtractWord(int n, std::string_view text, const TCharSet& delims) {
    int pos = WordPosition(n, text, delims);
    if (pos == 0) return {};
    size_t start = size_t(pos) - 1, end = start;
    while (end < text.size() && !delims.Has(text[end]))
        ++end;
    return std::string(text.substr(start, end - start));
}

bool OnlyDelimiters(std::string_view text, const TCharSet& delims) {
    return std::all_of(text.begin(), text.end(), [&](char c) { return delims.Has(c); });
}

int64_t HexToInt64(std::string_view text) {
    std::string t = vcl::UpperCase(text);
    if (!t.empty() && t.back() == 'H') t.pop_back();
    uint64_t v = 0;
    for (char c : t) {
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0) return 0;
        v = v << 4 | uint64_t(digit);
    }
    return int64_t(v);
}

std::string MakeStr(char c, int n) {
    return n < 1 ? std::string() : std::string(size_t(n), c);
}

void FillStr(std::string& text, int n, char c) {
    size_t len = n < 1 ? 0 : size_t(n);
    if (text.size() != len) text.resize(len);
    std::fill(text.begin(), text.end(), c);
}

std::string DelChars(std::string_view text, char c) {
    std::string r;
    for (char x : text) {
        if (x != c) r += x;
    }
    return r;
}

std::string ReplaceStr(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string r;
    size_t pos = 0;
    for (size_t hit; (hit = text.find(from, pos)) != std::string_view::npos;
         pos = hit + from.size()) {
        r.append(text.substr(pos, hit - pos)).append(to);
    }
    return r.append(text.substr(pos));
}

std::string AddTrailingBackslash(std::string_view path) {
    std::string r(path);
    if (r.empty() || r.back() == '\\') return r;
    if (r.back() == '/') {
        r.back() = '\\';
        return r;
    }
    return r + (r.size() == 1 ? ":\\" : "\\");
}

TRect IntersectRects(const TRect& a, const TRect& b) {
    return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
}

bool RectsOverlap(const TRect& a, const TRect& b) {
    if (b.Right <= b.Left || b.Bottom <= b.Top) return false;
    return !(b.Bottom <= a.Top || b.Right <= a.Left || b.Left >= a.Right || b.Top >= a.Bottom);
}

bool RectIsInRect(const TRect& outer, const TRect& inner) {
    auto inside = [&](int x, int y) {
        return IsBetween(x, outer.Left, outer.Right) && IsBetween(y, outer.Top, outer.Bottom);
    };
    return inside(inner.Left, inner.Top) && inside(inner.Right, inner.Bottom);
}

bool ChangeSetText(std::string& text, std::string_view item, bool include) {
    std::vector<std::string> items;
    for (size_t start = 0; start <= text.size();) {
        size_t comma = std::min(text.find(',', start), text.size());
        if (comma > start) items.emplace_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    auto it = std::find(items.begin(), items.end(), item);
    if (include == (it != items.end())) return false;
    if (include)
        items.emplace_back(item);
    else
        items.erase(it);
    text.clear();
    for (const auto& s : items)
        text += (text.empty() ? "" : ",") + s;
    return true;
}

void DelayWithMessages(uint32_t ms, const std::function<void()>& processMessages) {
    const uint32_t start = os::GetTickCount();
    for (;;) {
        if (processMessages) processMessages();
        if (os::TickDiff(start, os::GetTickCount()) >= ms) return;
        os::Sleep(1);
    }
}

IniSections ParseIniStrings(const std::vector<std::string>& lines) {
    IniSections sections;
    IniSection* current = nullptr;
    for (const auto& line : lines) {
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            std::string name = line.substr(1, line.size() - 2);
            // A section named again continues the first one.
            auto it = std::find_if(sections.begin(), sections.end(), [&](const IniSection& s) {
                return vcl::SameText(s.Name, name);
            });
            if (it == sections.end()) {
                sections.push_back({name, {}});
                it = sections.end() - 1;
            }
            current = &*it;
            continue;
        }
        if (current) current->Lines.push_back(line);
    }
    return sections;
}

IniSections ParseIniStrings(const vcl::TStrings& lines) {
    std::vector<std::string> v;
    v.reserve(size_t(lines.Count()));
    for (int i = 0; i < lines.Count(); ++i)
        v.push_back(lines.Get(i));
    return ParseIniStrings(v);
}

std::string ReadIniString(const IniSections& sections, std::string_view section,
                          std::string_view key, std::string_view def) {
    for (const auto& s : sections) {
        if (!vcl::SameText(s.Name, section)) continue;
        for (const auto& line : s.Lines) {
            size_t eq = line.find('=');
            if (eq == std::string::npos) continue;
            if (vcl::SameText(std::string_view(line).substr(0, eq), key)) {
                return line.substr(key.size() + 1);
            }
        }
        break;
    }
    return std::string(def);
}

int32_t ReadIniInteger(const IniSections& sections, std::string_view section, std::string_view key,
                       int32_t def) {
    return IniIntegerOf(ReadIniString(sections, section, key, ""), def);
}

int32_t IniIntegerOf(std::string_view value, int32_t def) {
    std::string v(value);
    if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) v = "$" + v.substr(2);
    // "0x" alone is read as a decimal number, and fails.
    if (v.size() == 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) return def;
    int32_t result;
    return !v.empty() && vcl::TryStrToInt(v, result) ? result : def;
}

}  // namespace skin
