// The skin library's small text, number and rectangle helpers, and the reader of INI text held
// in lines (used to merge common sections into a loaded skin).
#pragma once

#include <bitset>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "skin/core/pixels/pixels.h"
#include "vcl/system/strings.h"

namespace skin {

// A set of single-byte delimiter characters.
class TCharSet {
public:
    TCharSet() = default;
    TCharSet(std::string_view chars) {  // NOLINT: a set is written as its characters
        for (char c : chars)
            bits_.set(uint8_t(c));
    }
    bool Has(char c) const { return bits_.test(uint8_t(c)); }

private:
    std::bitset<256> bits_;
};

// Words are maximal runs of characters outside the set; positions count from 1.
bool CharInDelimSet(char c, const TCharSet& delims);
int WordCount(std::string_view text, const TCharSet& delims);
inline int CountWords(std::string_view text, const TCharSet& delims) {
    return WordCount(text, delims);
}
int WordPosition(int n, std::string_view text, const TCharSet& delims);  // 0 when absent
inline int WordPositionInSet(int n, std::string_view text, const TCharSet& delims) {
    return WordPosition(n, text, delims);
}
std::string ExtractWord(int n, std::string_view text, const TCharSet& delims);
bool OnlyDelimiters(std::string_view text, const TCharSet& delims);

// Upper-cased, one trailing "H" dropped, then hex digits only; anything else gives 0.
int64_t HexToInt64(std::string_view text);

std::string MakeStr(char c, int n);
void FillStr(std::string& text, int n, char c);
std::string DelChars(std::string_view text, char c);
std::string ReplaceStr(std::string_view text, std::string_view from, std::string_view to);
std::string AddTrailingBackslash(std::string_view path);

inline int ClampByte(int v) {
    return v < 0 ? 0 : v > 255 ? 255 : v;
}
inline int MaxOf(int a, int b) {
    return a > b ? a : b;
}
inline int MinOf(int a, int b) {
    return a < b ? a : b;
}
inline int ClampInt(int v, int min, int max) {
    return v < min ? min : MinOf(v, max);
}
inline bool IsBetween(int v, int min, int max) {
    return min <= v && v <= max;
}
inline const std::string& ChooseStr(bool cond, const std::string& a, const std::string& b) {
    return cond ? a : b;
}
inline int ChooseInt(bool cond, int a, int b) {
    return cond ? a : b;
}
inline TRect MakeRect(int l, int t, int r, int b) {
    return {l, t, r, b};
}
inline int WidthOf(const TRect& r, bool nonNegative = false) {
    int w = r.Right - r.Left;
    return nonNegative && w < 0 ? 0 : w;
}
inline int HeightOf(const TRect& r, bool nonNegative = false) {
    int h = r.Bottom - r.Top;
    return nonNegative && h < 0 ? 0 : h;
}
// May come out empty or inverted.
TRect IntersectRects(const TRect& a, const TRect& b);
bool RectsOverlap(const TRect& a, const TRect& b);
bool RectIsInRect(const TRect& outer, const TRect& inner);

// Removes `item` from, or adds it to, the comma-separated text of a set; whole elements are
// compared. Returns false when nothing changes.
bool ChangeSetText(std::string& text, std::string_view item, bool include);

// The painters' record of a ready background: the bitmap, the offsets, no fill colour.
inline CacheInfo MakeCacheInfo(const PixelView* bmp, int x, int y) {
    return {bmp, x, y, kTransparentKey, true};
}

// This system counts as a current one; it runs no 32-bit code on a 64-bit system.
inline bool IsWindowsXPOrLater() {
    return true;
}
inline bool RunsUnderWow64() {
    return false;
}

// Processes pending messages at least once, then again each millisecond, until `ms` have passed
// (tick differences survive the counter's wrap).
void DelayWithMessages(uint32_t ms, const std::function<void()>& processMessages);

// INI text parsed into sections of raw "key=value" lines.
struct IniSection {
    std::string Name;
    std::vector<std::string> Lines;
};
using IniSections = std::vector<IniSection>;

IniSections ParseIniStrings(const std::vector<std::string>& lines);
IniSections ParseIniStrings(const vcl::TStrings& lines);
std::string ReadIniString(const IniSections& sections, std::string_view section,
                          std::string_view key, std::string_view def);
int32_t ReadIniInteger(const IniSections& sections, std::string_view section, std::string_view key,
                       int32_t def);
// An INI value as an integer: decimal, "$" hex or "0x" hex; `def` when empty or not a number.
int32_t IniIntegerOf(std::string_view value, int32_t def);

}  // namespace skin
