// DrawText: breaking text into lines, shortening lines with an ellipsis, and placing them.
#include "platform/gdi/draw_text.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/dc_impl.h"
#include "platform/gdi/font_impl.h"
#include "platform/gdi/rect.h"

namespace win {

using namespace detail;

namespace {

// A line being laid out: its characters and which of them carry the prefix underline.
struct Line {
    std::string text;
    std::vector<bool> underline;
};

struct Layout {
    FaceRealization& face;
    UINT format;
    int tabWidth;

    // Advances of every character, tabs taken to the next stop.
    std::vector<INT> Advances(const std::string& s) const {
        std::vector<INT> dx(s.size());
        int pen = 0;
        for (size_t i = 0; i < s.size(); ++i) {
            int a = face.GlyphOf(BYTE(s[i])).advance;
            if (s[i] == '\t' && (format & DT_EXPANDTABS) && tabWidth > 0)
                a = (pen / tabWidth + 1) * tabWidth - pen;
            dx[i] = a;
            pen += a;
        }
        return dx;
    }
    int Width(const std::string& s) const {
        int w = 0;
        for (INT a : Advances(s))
            w += a;
        return w;
    }
};

// Strips the "&" marks, remembering which characters they marked.
Line StripPrefixes(const std::string& s, bool keepMarks) {
    Line out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&' && i + 1 < s.size()) {
            ++i;
            out.text += s[i];
            out.underline.push_back(keepMarks && s[i] != '&');
            continue;
        }
        if (s[i] == '&') continue;  // a lone mark at the end
        out.text += s[i];
        out.underline.push_back(false);
    }
    return out;
}

Line Slice(const Line& l, size_t from, size_t to) {
    Line out;
    out.text = l.text.substr(from, to - from);
    out.underline.assign(l.underline.begin() + ptrdiff_t(from),
                         l.underline.begin() + ptrdiff_t(to));
    return out;
}

void TrimRightSpaces(Line& l) {
    while (!l.text.empty() && l.text.back() == ' ') {
        l.text.pop_back();
        l.underline.pop_back();
    }
}

// Greedy word wrap of one paragraph.
void Wrap(const Layout& lay, const Line& para, int width, bool breakWords, std::vector<Line>& out) {
    size_t start = 0;
    const size_t n = para.text.size();
    if (n == 0) {
        out.push_back(para);
        return;
    }
    while (start < n) {
        const std::vector<INT> dx = lay.Advances(para.text.substr(start));
        int w = 0;
        size_t i = start, lastBreak = std::string::npos;
        for (; i < n; ++i) {
            if (para.text[i] == ' ') lastBreak = i;
            if (w + dx[i - start] > width && para.text[i] != ' ' && i > start) break;
            w += dx[i - start];
        }
        size_t end = i, next = i;
        if (i < n) {
            if (lastBreak != std::string::npos && lastBreak > start) {
                end = lastBreak;
                next = lastBreak + 1;
            } else if (!breakWords) {
                // A word longer than the line stays whole, up to the next space.
                end = para.text.find(' ', i);
                if (end == std::string::npos) end = n;
                next = end < n ? end + 1 : n;
            }
        }
        Line l = Slice(para, start, end);
        TrimRightSpaces(l);
        out.push_back(std::move(l));
        // Spaces at the start of the next line fall into the break.
        while (next < n && para.text[next] == ' ')
            ++next;
        start = next;
    }
}

constexpr const char* kDots = "...";

Line WithDots(Line head) {
    head.text += kDots;
    head.underline.insert(head.underline.end(), 3, false);
    return head;
}

// The longest prefix that fits with dots after it; when even the dots alone are too wide
// they still stand (clipped by the rectangle).
Line EndEllipsis(const Layout& lay, const Line& l, int width) {
    const std::vector<INT> dx = lay.Advances(l.text);
    const int dots = lay.Width(kDots);
    int w = 0;
    size_t n = 0;
    while (n < l.text.size() && w + dx[n] + dots <= width)
        w += dx[n++];
    return WithDots(Slice(l, 0, n));
}

Line WordEllipsis(const Layout& lay, const Line& l, int width) {
    const int dots = lay.Width(kDots);
    // The longest run of whole words that fits with the dots.
    size_t best = std::string::npos;
    for (size_t i = 0; i <= l.text.size(); ++i) {
        if (i < l.text.size() && l.text[i] != ' ') continue;
        Line head = Slice(l, 0, i);
        TrimRightSpaces(head);
        if (!head.text.empty() && lay.Width(head.text) + dots <= width) best = head.text.size();
    }
    if (best == std::string::npos) return EndEllipsis(lay, l, width);
    return WithDots(Slice(l, 0, best));
}

// Keeps the last part of a path and as much of its start as fits: "C:\Pro...\file.txt".
Line PathEllipsis(const Layout& lay, const Line& l, int width) {
    const size_t slash = l.text.find_last_of("\\/");
    if (slash == std::string::npos || slash == 0) return EndEllipsis(lay, l, width);
    const Line tail = Slice(l, slash, l.text.size());
    const int fixed = lay.Width(kDots) + lay.Width(tail.text);
    if (fixed > width) return EndEllipsis(lay, l, width);
    const std::vector<INT> dx = lay.Advances(l.text);
    int w = 0;
    size_t n = 0;
    while (n < slash && w + dx[n] + fixed <= width)
        w += dx[n++];
    Line out = WithDots(Slice(l, 0, n));
    out.text += tail.text;
    out.underline.insert(out.underline.end(), tail.underline.begin(), tail.underline.end());
    return out;
}

}  // namespace

int DrawText(HDC hdc, LPCSTR text, int count, RECT* rect, UINT format) {
    auto dc = GetDc(hdc);
    if (!dc || !rect || (!text && count != 0)) return 0;
    if (count < 0) count = int(std::strlen(text));
    Font& font = *dc->st.font;
    FaceRealization& face = font.Face();
    const TEXTMETRIC& tm = face.Metrics();
    const int tabChars = (format & DT_TABSTOP) ? int((format >> 8) & 0xFF) : 8;
    Layout lay{face, format, tm.tmAveCharWidth * (tabChars ? tabChars : 8)};
    const int lineHeight = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
    const int width = rect->right - rect->left;
    const bool single = (format & DT_SINGLELINE) != 0;
    const bool prefixes = !(format & DT_NOPREFIX);
    const bool marks = prefixes && !(format & DT_HIDEPREFIX);

    // Paragraphs, then lines.
    const std::string all(text ? text : "", size_t(count));
    std::vector<std::string> paras;
    if (single) {
        paras.push_back(all);
    } else {
        size_t start = 0;
        for (size_t i = 0; i <= all.size(); ++i) {
            if (i == all.size() || all[i] == '\r' || all[i] == '\n') {
                paras.push_back(all.substr(start, i - start));
                if (i + 1 < all.size() && all[i] == '\r' && all[i + 1] == '\n') ++i;
                start = i + 1;
            }
        }
        // A break at the very end opens no new line.
        if (paras.size() > 1 && paras.back().empty()) paras.pop_back();
    }
    std::vector<Line> lines;
    for (const std::string& p : paras) {
        Line l = prefixes ? StripPrefixes(p, marks) : Line{p, std::vector<bool>(p.size(), false)};
        if ((format & DT_WORDBREAK) && !single) {
            Wrap(lay, l, width, (format & DT_EDITCONTROL) != 0, lines);
        } else {
            lines.push_back(std::move(l));
        }
    }
    const UINT ellipsis = format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS);
    if (ellipsis && !(format & DT_CALCRECT)) {
        for (Line& l : lines) {
            if (lay.Width(l.text) <= width) continue;
            if (format & DT_PATH_ELLIPSIS)
                l = PathEllipsis(lay, l, width);
            else if (format & DT_WORD_ELLIPSIS)
                l = WordEllipsis(lay, l, width);
            else
                l = EndEllipsis(lay, l, width);
        }
    }
    const int textHeight = int(lines.size()) * lineHeight;
    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const Line& l : lines)
            widest = std::max(widest, lay.Width(l.text));
        rect->right = rect->left + widest;
        rect->bottom = rect->top + textHeight;
        return textHeight;
    }

    int y = rect->top;
    if (single && (format & DT_VCENTER))
        y = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
    else if (single && (format & DT_BOTTOM))
        y = rect->bottom - lineHeight;
    RECT clipT = dc->ToTarget(*rect);
    const RECT* clip = (format & DT_NOCLIP) ? nullptr : &clipT;
    const bool onlyMarks = (format & DT_PREFIXONLY) != 0;
    for (const Line& l : lines) {
        const std::vector<INT> dx = lay.Advances(l.text);
        int lw = 0;
        for (INT a : dx)
            lw += a;
        int x = rect->left;
        if (format & DT_CENTER)
            x = rect->left + (width - lw) / 2;
        else if (format & DT_RIGHT)
            x = rect->right - lw;
        const int tx = x + dc->Dx(), baseline = y + tm.tmAscent + dc->Dy();
        if (!onlyMarks) {
            if (dc->st.bkMode == OPAQUE) {
                RECT bg{tx, y + dc->Dy(), tx + lw, y + dc->Dy() + tm.tmHeight};
                if (clip) bg = Intersection(bg, *clip);
                if (!RectIsEmpty(bg)) RopFill(*dc, bg, 0xF0, ColorToPixel(dc->st.bkColor));
            }
            PaintTextRun(*dc, face, font.lf, tx, baseline, l.text.data(), int(l.text.size()),
                         dx.data(), clip);
        }
        int pen = tx;
        for (size_t i = 0; i < l.text.size(); ++i) {
            if (l.underline[i]) {
                const int top = baseline + face.UnderlinePosition();
                RECT u{pen, top, pen + dx[i], top + face.UnderlineThickness()};
                if (clip) u = Intersection(u, *clip);
                if (!RectIsEmpty(u)) RopFill(*dc, u, 0xF0, ColorToPixel(dc->st.textColor));
            }
            pen += dx[i];
        }
        y += lineHeight;
    }
    if (single && (format & (DT_VCENTER | DT_BOTTOM))) return y - rect->top;
    return textHeight;
}

}  // namespace win
