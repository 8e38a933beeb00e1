#include "skin/controls/hint_html.h"

#include <algorithm>
#include <cstdint>

#include "skin/core/pixels/color_helpers.h"
#include "vcl/system/sysutils.h"

namespace skin {

using namespace vcl;

namespace {

constexpr int kMinFontSize = 1, kMaxFontSize = 400;

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return s;
}

// Hex digits one by one, a trailing "H" ignored; anything else makes the value 0.
uint32_t ReadHex(std::string_view s) {
    if (!s.empty() && s.back() == 'H') s.remove_suffix(1);
    uint32_t v = 0;
    for (char c : s) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return 0;
        v = v << 4 | uint32_t(digit);
    }
    return v;
}

std::vector<std::string> Words(std::string_view tag) {
    std::vector<std::string> words;
    std::string word;
    for (char c : tag) {
        if (c == '\n' || c == '\r' || c == ' ' || c == '"' || c == '<' || c == '=' || c == '>') {
            if (!word.empty()) words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(std::move(word));
    return words;
}

// A closing tag of `name`: "</" and the name right there (where it is found first, "<" and
// "/" being no part of a name). Looks at no more than the name, however long the tag.
bool Closes(std::string_view tag, std::string_view name) {
    return tag.size() > 2 && tag[1] == '/' && tag.substr(2, name.size()) == name;
}

// An opening tag with nothing but `name` between the brackets.
bool Opens(std::string_view tag, std::string_view name) {
    return tag.size() == name.size() + 2 && tag.substr(1, name.size()) == name;
}

}  // namespace

vcl::TColor HtmlColor(const std::string& value) {
    static const struct {
        const char* name;
        uint32_t bgr;
    } kNames[] = {{"AQUA", 0xFFFF00},   {"BLACK", 0x000000}, {"BLUE", 0xFF0000},
                  {"FUCHSIA", 0xFF00FF}, {"GRAY", 0x808080},  {"GREEN", 0x008000},
                  {"LIME", 0x00FF00},   {"MAROON", 0x000080}, {"NAVY", 0x800000},
                  {"OLIVE", 0x008080},  {"PURPLE", 0x800080}, {"RED", 0x0000FF},
                  {"SILVER", 0xC0C0C0}, {"TEAL", 0x808000},   {"WHITE", 0xFFFFFF},
                  {"YELLOW", 0x00FFFF}};
    std::string_view v = value;
    if (!v.empty() && v.front() == '#') {
        v.remove_prefix(1);
    } else {
        for (const auto& n : kNames)
            if (v == n.name) return vcl::TColor(n.bgr);
    }
    // Only the three colour bytes: a value never reads as a system colour.
    return vcl::TColor(uint32_t(SwapRedBlue(skin::TColor(ReadHex(v)))) & 0xFFFFFF);
}

void TsHtml::Init(TBitmap* bitmap, std::string text, TRect rect) {
    bitmap_ = bitmap;
    text_ = std::move(text);
    upper_ = Upper(text_);
    rect_ = rect;
    x_ = rect.Left;
    y_ = rect.Top;
    widest_ = lineWidth_ = lineHeight_ = 0;
    align_ = haLeft;
}

void TsHtml::DrawRun(std::size_t from, std::size_t to) {
    if (to <= from) return;
    std::string run;
    run.reserve(to - from);
    for (std::size_t i = from; i < to; ++i)
        if (text_[i] != '\r' && text_[i] != '\n') run += text_[i];
    if (run.empty()) return;
    TCanvas* canvas = bitmap_->Canvas();
    canvas->TextOut(x_, y_, run);
    x_ += canvas->TextWidth(run);
    lineWidth_ = x_;
    lineHeight_ = std::max(lineHeight_, canvas->TextHeight("X"));
}

void TsHtml::NewLine() {
    y_ += lineHeight_ + 2;
    widest_ = std::max(widest_, lineWidth_);
    lineWidth_ = lineHeight_ = 0;
}

void TsHtml::ApplyFontAttributes(std::string_view tag) {
    TFont* font = bitmap_->Canvas()->Font();
    const std::vector<std::string> words = Words(tag);
    for (std::size_t w = 0; w + 1 < words.size(); ++w) {
        const std::string& key = words[w];
        const std::string& value = words[w + 1];
        if (key == "SIZE") {
            const bool relative = value[0] == '-' || value[0] == '+';
            int64_t n = 0;
            if (!TryStrToInt64(relative ? value.substr(1) : value, n) || n < 0) continue;
            int64_t size = value[0] == '-' ? int64_t(font->Size()) - n
                           : value[0] == '+' ? int64_t(font->Size()) + n
                                             : n;
            font->SetSize(int(std::clamp<int64_t>(size, kMinFontSize, kMaxFontSize)));
        } else if (key == "COLOR") {
            font->SetColor(HtmlColor(value));
        } else if (key == "FACE") {
            const std::size_t at = tag.find("FACE");
            const std::size_t open = tag.find('"', at);
            if (open == std::string_view::npos) continue;
            const std::size_t close = tag.find('"', open + 1);
            if (close == std::string_view::npos) continue;
            // The name as matched (upper case); font names are found ignoring case.
            if (close > open + 1)
                font->SetName(std::string(tag.substr(open + 1, close - open - 1)));
        }
    }
}

bool TsHtml::ApplyTag(std::string_view tag, bool hasFont) {
    TFont* font = bitmap_->Canvas()->Font();
    const std::pair<const char*, TFontStyle> styles[] = {
        {"B", fsBold}, {"I", fsItalic}, {"U", fsUnderline}};
    for (const auto& [name, style] : styles)
        if (Closes(tag, name)) {
            TFontStyles s = font->Style();
            s >> style;
            font->SetStyle(s);
            return true;
        }
    if (Closes(tag, "FONT")) {
        if (!fonts_.empty()) {
            font->Assign(fonts_.back().get());
            fonts_.pop_back();
        }
        return true;
    }
    if (Opens(tag, "BR") || Opens(tag, "BR/")) {
        x_ = rect_.Left;
        NewLine();
        return true;
    }
    for (const auto& [name, style] : styles)
        if (Opens(tag, name)) {
            TFontStyles s = font->Style();
            s << style;
            font->SetStyle(s);
            return true;
        }
    if (tag.size() > 2 && tag[1] == 'P' && (tag[2] == '>' || tag[2] == ' ')) {
        x_ = rect_.Left;
        NewLine();
        const std::vector<std::string> words = Words(tag);
        for (std::size_t w = 0; w + 1 < words.size(); ++w)
            if (words[w] == "ALIGN") {
                if (words[w + 1] == "CENTER") align_ = haCenter;
                if (words[w + 1] == "LEFT") align_ = haLeft;
                if (words[w + 1] == "RIGHT") align_ = haRight;
            }
        return true;
    }
    if (tag[1] != '/' && hasFont) {
        auto saved = std::unique_ptr<TFont, FreeDeleter>(New<TFont>());
        saved->Assign(font);
        fonts_.push_back(std::move(saved));
        ApplyFontAttributes(tag);
        return true;
    }
    return false;
}

void TsHtml::Render(TRect& out) {
    const std::string_view text = upper_;
    const std::size_t n = text.size();
    std::size_t start = 0;
    // The next ">" and the next "FONT", each found once for all the "<" before it: a text of
    // many "<" sharing one distant ">" is still read in one pass.
    std::size_t close = 0, font = 0;
    bool known = false;
    std::size_t i = 0;
    while (i < n) {
        if (text[i] != '<') {
            ++i;
            continue;
        }
        DrawRun(start, i);
        if (i + 1 < n && text[i + 1] == '<') {
            start = i + 1;  // the second "<" begins the next run
            i += 2;
            continue;
        }
        if (!known || (close != std::string_view::npos && close < i)) close = text.find('>', i);
        if (!known || (font != std::string_view::npos && font < i)) font = text.find("FONT", i);
        known = true;
        if (close == std::string_view::npos) {
            start = ++i;  // dropped
            continue;
        }
        const bool hasFont = font != std::string_view::npos && font + 4 <= close + 1;
        if (ApplyTag(text.substr(i, close - i + 1), hasFont)) {
            i = close + 1;
            start = i;
        } else {
            DrawRun(i, i + 1);  // the "<" as text; the rest of the tag follows as text
            start = ++i;
        }
    }
    DrawRun(start, n);
    widest_ = std::max(widest_, lineWidth_);
    out = TRect(0, 0, widest_, y_ + lineHeight_);
}

}  // namespace skin
