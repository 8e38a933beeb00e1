// The "Edit" class: single-line and multi-line text entry.
//
// The text and its lines live in EditText; this file keeps the selection, the caret, the view
// (first line shown, horizontal offset, formatting rectangle), the one-step undo and the
// scroll bars, and answers the messages. Rules it keeps:
//   1. Text is drawn only inside the formatting rectangle; children are never painted over
//      (the window clips them with WS_CLIPCHILDREN and nothing here invalidates them).
//   2. An edit repaints only the lines it changed, or everything below them when the number
//      of lines changed; painting draws only the lines that meet the area to be painted.
//   3. The parent is told EN_CHANGE after every change of the text, typed or sent; the state
//      is not touched after a notification, since the parent may have changed or destroyed
//      the control.
//   4. Thumb positions come from GetScrollInfo's nTrackPos, never from the 16-bit word of the
//      scroll message, so another window's bar may scroll past 65 535 lines.
// The clipboard keys: Ctrl+C, X, V and Z arrive as the control characters they make; Ctrl+Ins,
// Shift+Ins, Shift+Del and Alt+Backspace as key presses.
#include "platform/controls/edit_control.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/controls/edit_text.h"
#include "platform/controls/native_control.h"
#include "platform/gdi/gdi.h"
#include "platform/os/cp1251.h"
#include "platform/user/message_box.h"
#include "platform/user/user.h"

namespace win {

namespace {

constexpr std::size_t kDefaultLimit = 32767;
constexpr std::size_t kSingleMaxLimit = 0x7FFFFFFE;
constexpr std::size_t kMultiMaxLimit = 0xFFFFFFFF;
constexpr int kWheelLines = 3;
constexpr UINT_PTR kDragTimer = 1;
constexpr UINT kDragInterval = 100;

enum class Source {
    Typing,   // one typed character; joins the typing before it for undo
    User,     // pasted, cut, deleted by a key
    Replace,  // EM_REPLACESEL
    Undo,     // puts back what the last change took; selects it; no limit
    SetText,  // WM_SETTEXT: no limit, no undo, not a modification
};

struct Undo {
    bool can = false;
    bool typing = false;  // the next typed character joins it
    std::size_t pos = 0;
    std::size_t inserted = 0;  // bytes now at pos that the undo takes away
    std::string removed;       // bytes the undo puts back
};

struct EditState {
    EditText text;
    bool multiline = false;
    HFONT font = nullptr;
    std::array<int, 256> advances{};
    int lineHeight = 1;
    int charWidth = 1;
    std::size_t anchor = 0, caret = 0;
    bool afterWrap = false;  // the caret shows at the end of a wrapped line
    int desiredX = -1;       // kept by Up and Down
    std::size_t limit = kDefaultLimit;
    bool modified = false;
    int topLine = 0;
    int xOffset = 0;
    RECT format{};
    char password = 0;
    Undo undo;
    bool focused = false;
    bool tracking = false;
    POINT dragPoint{};
    bool caretShown = false;

    std::size_t SelMin() const { return std::min(anchor, caret); }
    std::size_t SelMax() const { return std::max(anchor, caret); }
};

EditState* StateOf(HWND h) {
    return ControlState<EditState>(h);
}
DWORD StyleOf(HWND h) {
    return ControlStyle(h);
}

bool WordWraps(const EditState* st, DWORD style) {
    return st->multiline && !(style & (ES_AUTOHSCROLL | WS_HSCROLL));
}

int FormatWidth(const EditState* st) {
    return std::max<int>(st->format.right - st->format.left, 1);
}

int VisibleLines(const EditState* st) {
    return std::max<int>((st->format.bottom - st->format.top) / st->lineHeight, 1);
}

int LastTopLine(const EditState* st) {
    return std::max(st->text.LineCount() - VisibleLines(st), 0);
}

// --- metrics and the formatting rectangle ---

void UpdateMetrics(EditState* st) {
    HDC dc = CreateCompatibleDC(nullptr);
    if (st->font) SelectObject(dc, st->font);
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    GetCharWidth32(dc, 0, 255, st->advances.data());
    DeleteDC(dc);
    st->lineHeight = std::max<int>(tm.tmHeight, 1);
    st->charWidth = std::max<int>(tm.tmAveCharWidth, 1);
    // Tab stops every 32 dialog units: 8 average characters.
    st->text.SetMetrics(st->advances, 8 * st->charWidth);
}

void ApplyWrap(HWND h, EditState* st) {
    st->text.SetWrapWidth(WordWraps(st, StyleOf(h)) ? FormatWidth(st) : 0);
}

// The client area, less a pixel on each side inside a border or an edge (top and bottom only
// when the line still fits).
RECT DefaultFormat(HWND h, const EditState* st) {
    RECT r;
    GetClientRect(h, &r);
    const DWORD ex = static_cast<DWORD>(GetWindowLongPtrA(h, GWL_EXSTYLE));
    if ((ex & WS_EX_CLIENTEDGE) || (StyleOf(h) & WS_BORDER)) {
        r.left += 1;
        r.right -= 1;
        if (r.bottom - r.top >= st->lineHeight + 2) {
            r.top += 1;
            r.bottom -= 1;
        }
    }
    r.right = std::max(r.right, r.left);
    r.bottom = std::max(r.bottom, r.top);
    return r;
}

// --- geometry of positions ---

int AlignOffset(HWND h, const EditState* st, int line) {
    const DWORD align = StyleOf(h) & (ES_CENTER | ES_RIGHT);
    if (align == ES_LEFT) return 0;
    const int free = FormatWidth(st) - st->text.LineWidth(line) - 1;
    if (free <= 0) return 0;
    return (align & ES_RIGHT) ? free : free / 2;
}

// The line a position shows on: a position at a wrap shows on the line it starts, unless the
// caret was put at the end of the line before.
int DisplayLine(const EditState* st, std::size_t pos, bool afterWrap) {
    int line = st->text.LineFromPos(pos);
    if (afterWrap && line > 0 && pos == st->text.LineStart(line) && st->text.IsWrapped(line - 1))
        --line;
    return line;
}

POINT PosToPoint(HWND h, const EditState* st, std::size_t pos, bool afterWrap) {
    const int line = DisplayLine(st, pos, afterWrap);
    return POINT{
        st->format.left - st->xOffset + AlignOffset(h, st, line) + st->text.XOfPos(line, pos),
        st->format.top + (line - st->topLine) * st->lineHeight};
}

std::size_t PointToPos(HWND h, const EditState* st, POINT p, bool* afterWrap) {
    int line = 0;
    if (st->multiline) {
        const int dy = p.y - st->format.top;
        line = st->topLine + (dy < 0 ? -1 - (-dy - 1) / st->lineHeight : dy / st->lineHeight);
        line = std::clamp(line, 0, st->text.LineCount() - 1);
    }
    const int x = p.x - st->format.left + st->xOffset - AlignOffset(h, st, line);
    const std::size_t pos = st->text.PosAtX(line, x);
    *afterWrap =
        st->text.IsWrapped(line) && pos == st->text.LineStart(line) + st->text.LineLength(line);
    return pos;
}

// --- painting ---

void InvalidateLines(HWND h, const EditState* st, int first, int end) {
    RECT r = st->format;
    if (st->multiline) {
        r.top = std::max<LONG>(r.top, st->format.top + (first - st->topLine) * st->lineHeight);
        if (end >= 0)
            r.bottom =
                std::min<LONG>(r.bottom, st->format.top + (end - st->topLine) * st->lineHeight);
        if (r.bottom <= r.top) return;
    }
    InvalidateRect(h, &r, FALSE);
}

void InvalidateRange(HWND h, const EditState* st, std::size_t from, std::size_t to) {
    if (from > to) std::swap(from, to);
    InvalidateLines(h, st, st->text.LineFromPos(from) - (st->afterWrap ? 1 : 0),
                    st->text.LineFromPos(to) + 1);
}

bool SelectionShown(HWND h, const EditState* st) {
    return st->focused || (StyleOf(h) & ES_NOHIDESEL);
}

HBRUSH ControlColor(HWND h, HDC dc) {
    const UINT msg =
        (StyleOf(h) & ES_READONLY) || !IsWindowEnabled(h) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
    HBRUSH brush = nullptr;
    if (HWND parent = GetParent(h))
        brush = reinterpret_cast<HBRUSH>(
            SendMessageA(parent, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h)));
    if (!brush)
        brush = reinterpret_cast<HBRUSH>(
            DefWindowProcA(h, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h)));
    return brush;
}

void DrawLine(HWND h, HDC dc, const EditState* st, int line, COLORREF ink, bool showSel) {
    const std::string_view view = st->text.LineText(line);
    const std::size_t start = st->text.LineStart(line);
    std::string shown(view);
    if (st->password) {
        std::fill(shown.begin(), shown.end(), st->password);
    } else {
        std::replace(shown.begin(), shown.end(), '\t', ' ');
    }
    static thread_local std::vector<int> dx;
    st->text.Advances(view, dx);
    const int x0 = st->format.left - st->xOffset + AlignOffset(h, st, line);
    const int y = st->format.top + (line - st->topLine) * st->lineHeight;
    const std::size_t n = shown.size();
    std::size_t sa = n, sb = n;
    if (showSel && st->anchor != st->caret) {
        sa = std::clamp(st->SelMin(), start, start + n) - start;
        sb = std::clamp(st->SelMax(), start, start + n) - start;
    }
    int x = x0;
    auto run = [&](std::size_t from, std::size_t to, bool selected) {
        if (from >= to) return;
        int w = 0;
        for (std::size_t i = from; i < to; ++i)
            w += dx[i];
        if (selected) {
            SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
            SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            const RECT box{x, y, x + w, y + st->lineHeight};
            ExtTextOut(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &box, shown.data() + from,
                       static_cast<UINT>(to - from), dx.data() + from);
        } else {
            SetTextColor(dc, ink);
            ExtTextOut(dc, x, y, 0, nullptr, shown.data() + from, static_cast<UINT>(to - from),
                       dx.data() + from);
        }
        x += w;
    };
    run(0, sa, false);
    run(sa, sb, true);
    run(sb, n, false);
}

void Paint(HWND h, HDC dc) {
    EditState* st = StateOf(h);
    if (!st) return;
    const int saved = SaveDC(dc);
    if (st->font) SelectObject(dc, st->font);
    HBRUSH brush = ControlColor(h, dc);
    const COLORREF ink = IsWindowEnabled(h) ? GetTextColor(dc) : GetSysColor(COLOR_GRAYTEXT);
    RECT client;
    GetClientRect(h, &client);
    FillRect(dc, &client, brush);
    IntersectClipRect(dc, st->format.left, st->format.top, st->format.right, st->format.bottom);
    RECT clip;
    if (GetClipBox(dc, &clip) != NULLREGION) {
        SetBkMode(dc, TRANSPARENT);
        const bool showSel = SelectionShown(h, st);
        int first = st->topLine, end = st->topLine + 1;
        if (st->multiline) {
            first += std::max<int>((clip.top - st->format.top) / st->lineHeight, 0);
            end = std::min(
                st->text.LineCount(),
                st->topLine + (clip.bottom - st->format.top + st->lineHeight - 1) / st->lineHeight);
        }
        for (int line = first; line < end; ++line)
            DrawLine(h, dc, st, line, ink, showSel);
    }
    RestoreDC(dc, saved);
}

// --- caret, scroll bars and the view ---

void UpdateCaret(HWND h, EditState* st) {
    if (!st->focused) return;
    const POINT p = PosToPoint(h, st, st->caret, st->afterWrap);
    const bool inside = p.x >= st->format.left && p.x <= st->format.right &&
                        p.y >= st->format.top && p.y < st->format.bottom;
    if (inside) SetCaretPos(p.x, p.y);
    if (inside != st->caretShown) {
        st->caretShown = inside;
        if (inside)
            ShowCaret(h);
        else
            HideCaret(h);
    }
}

void SetBar(HWND h, int bar, int max, int page, int pos) {
    SCROLLINFO now;
    now.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (GetScrollInfo(h, bar, &now) && now.nMin == 0 && now.nMax == max &&
        now.nPage == static_cast<UINT>(page) && now.nPos == pos)
        return;
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = max;
    si.nPage = static_cast<UINT>(page);
    si.nPos = pos;
    SetScrollInfo(h, bar, &si, TRUE);
}

void UpdateScrollBars(HWND h, EditState* st) {
    const DWORD style = StyleOf(h);
    if (!st->multiline) return;
    if (style & WS_VSCROLL)
        SetBar(h, SB_VERT, st->text.LineCount() - 1, VisibleLines(st), st->topLine);
    if (style & WS_HSCROLL)
        SetBar(h, SB_HORZ, std::max(st->text.MaxLineWidth(), FormatWidth(st)), FormatWidth(st),
               st->xOffset);
}

int LastXOffset(HWND h, const EditState* st) {
    if (st->multiline)
        return WordWraps(st, StyleOf(h))
                   ? 0
                   : std::max(st->text.MaxLineWidth() - FormatWidth(st) + 1, 0);
    return std::max(st->text.LineWidth(0) - FormatWidth(st) + 1, 0);
}

// Moves the view; answers whether it moved.
bool ScrollView(HWND h, EditState* st, int topLine, int xOffset) {
    topLine = std::clamp(topLine, 0, st->multiline ? LastTopLine(st) : 0);
    xOffset = std::clamp(xOffset, 0, std::max(LastXOffset(h, st), st->xOffset));
    if (topLine == st->topLine && xOffset == st->xOffset) return false;
    st->topLine = topLine;
    st->xOffset = xOffset;
    InvalidateRect(h, &st->format, FALSE);
    UpdateScrollBars(h, st);
    UpdateCaret(h, st);
    return true;
}

// Scrolls the least that shows the caret: whole lines up or down, and sideways a third of
// the width at a time.
void ScrollCaret(HWND h, EditState* st) {
    int top = st->topLine, x = st->xOffset;
    const int line = DisplayLine(st, st->caret, st->afterWrap);
    if (st->multiline) {
        if (line < top) top = line;
        if (line >= top + VisibleLines(st)) top = line - VisibleLines(st) + 1;
    }
    const int w = FormatWidth(st);
    const int cx = st->text.XOfPos(line, st->caret) + AlignOffset(h, st, line);
    if (cx < x) x = std::max(cx - w / 3, 0);
    if (cx >= x + w) x = cx - w + w / 3;
    if (!ScrollView(h, st, top, x)) UpdateCaret(h, st);
}

void ResetFormat(HWND h, EditState* st, const RECT* r) {
    RECT client;
    GetClientRect(h, &client);
    st->format = r ? *r : DefaultFormat(h, st);
    if (r) IntersectRect(&st->format, &st->format, &client);
    st->format.right = std::max(st->format.right, st->format.left);
    st->format.bottom = std::max(st->format.bottom, st->format.top);
    ApplyWrap(h, st);
    st->topLine = std::min(st->topLine, LastTopLine(st));
    st->xOffset = std::min(st->xOffset, LastXOffset(h, st));
    UpdateScrollBars(h, st);
    ScrollCaret(h, st);
}

// --- selection ---

void SetSelection(HWND h, EditState* st, std::size_t anchor, std::size_t caret, bool scroll) {
    anchor = st->text.Snap(anchor);
    caret = st->text.Snap(caret);
    if (SelectionShown(h, st)) {
        // Only the part of the highlight that changes is painted again.
        const bool hadSel = st->anchor != st->caret, hasSel = anchor != caret;
        if (hadSel && hasSel && anchor == st->anchor)
            InvalidateRange(h, st, st->caret, caret);
        else if (hadSel || hasSel) {
            if (hadSel) InvalidateRange(h, st, st->SelMin(), st->SelMax());
            if (hasSel) InvalidateRange(h, st, std::min(anchor, caret), std::max(anchor, caret));
        }
    }
    st->anchor = anchor;
    st->caret = caret;
    if (scroll)
        ScrollCaret(h, st);
    else
        UpdateCaret(h, st);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Word moves stay inside a paragraph; at its ends they cross the line break.
std::size_t NextWord(const EditState* st, std::size_t pos) {
    const EditText::Paragraph p = st->text.ParagraphAt(pos);
    std::size_t o = pos - p.start;
    if (o >= p.text.size()) return std::min(pos + 2, st->text.Length());
    while (o < p.text.size() && !IsBlank(p.text[o]))
        ++o;
    while (o < p.text.size() && IsBlank(p.text[o]))
        ++o;
    return p.start + o;
}

std::size_t PrevWord(const EditState* st, std::size_t pos) {
    const EditText::Paragraph p = st->text.ParagraphAt(pos);
    std::size_t o = pos - p.start;
    if (o == 0) return pos >= 2 ? pos - 2 : 0;
    while (o > 0 && IsBlank(p.text[o - 1]))
        --o;
    while (o > 0 && !IsBlank(p.text[o - 1]))
        --o;
    return p.start + o;
}

std::size_t NextChar(const EditState* st, std::size_t pos) {
    const EditText::Paragraph p = st->text.ParagraphAt(pos);
    if (pos - p.start < p.text.size()) return pos + 1;
    return std::min(pos + 2, st->text.Length());
}

std::size_t PrevChar(const EditState* st, std::size_t pos) {
    if (pos == 0) return 0;
    const EditText::Paragraph p = st->text.ParagraphAt(pos);
    return pos == p.start ? pos - 2 : pos - 1;
}

// --- changing the text ---

bool Fits(HWND h, const EditState* st) {
    const DWORD style = StyleOf(h);
    if (!st->multiline) return (style & ES_AUTOHSCROLL) || st->text.LineWidth(0) < FormatWidth(st);
    return (style & ES_AUTOVSCROLL) || st->text.LineCount() <= VisibleLines(st);
}

void CheckText(const EditState* st) {
#ifndef NDEBUG
    assert(st->text.CheckInvariants());
#else
    (void)st;
#endif
}

// Replaces the selection; answers whether the text changed. Notifies last (rule 3).
bool ReplaceSelection(HWND h, EditState* st, std::string s, Source src) {
    const DWORD style = StyleOf(h);
    const bool user = src == Source::Typing || src == Source::User;
    if (user && !st->multiline) s.resize(std::min(s.size(), s.find_first_of("\r\n")));
    if (style & (ES_UPPERCASE | ES_LOWERCASE))
        for (char& c : s) {
            const auto u = static_cast<unsigned char>(c);
            c = static_cast<char>((style & ES_UPPERCASE) ? os::UpperCp1251(u) : os::LowerCp1251(u));
        }
    if (src == Source::SetText) {
        st->text.SetText(s);
        CheckText(st);
        st->undo = Undo{};
        st->modified = false;
        st->anchor = st->caret = 0;
        st->afterWrap = false;
        st->desiredX = -1;
        st->topLine = 0;
        st->xOffset = 0;
        InvalidateRect(h, &st->format, FALSE);
        UpdateScrollBars(h, st);
        UpdateCaret(h, st);
        CommandToParent(h, EN_UPDATE);
        CommandToParent(h, EN_CHANGE);
        return true;
    }
    const std::size_t a = st->SelMin(), b = st->SelMax();
    bool maxed = false;
    if (src != Source::Undo) {
        const std::size_t rest = st->text.Length() - (b - a);
        const std::size_t room = st->limit > rest ? st->limit - rest : 0;
        if (s.size() > room) {
            s.resize(room);
            if (!s.empty() && s.back() == '\r') s.pop_back();  // never half a line break
            maxed = true;
        }
    }
    if (s.empty() && a == b) {
        if (maxed) {
            MessageBeep(0);
            CommandToParent(h, EN_MAXTEXT);
        }
        return false;
    }
    const bool wide = st->multiline && (style & WS_HSCROLL);
    const int linesBefore = st->text.LineCount();
    // Lines before the one ahead of the change keep their wrapping: only a word ending the line
    // before may move up.
    const int firstChanged = std::max(st->text.LineFromPos(a) - 1, 0);
    const int widthBefore = wide ? st->text.MaxLineWidth() : 0;
    std::string removed = st->text.Range(a, b);
    const EditText::Change ch = st->text.Replace(a, b, s);
    CheckText(st);
    if (user && !Fits(h, st)) {
        st->text.Replace(a, a + s.size(), removed);
        MessageBeep(0);
        CommandToParent(h, EN_MAXTEXT);
        return false;
    }

    Undo& u = st->undo;
    if (src == Source::Typing && u.can && u.typing && a == b && u.pos + u.inserted == a)
        u.inserted += s.size();
    else
        u = Undo{true, src == Source::Typing, a, s.size(), std::move(removed)};
    st->modified = true;
    st->anchor = src == Source::Undo ? a : a + s.size();
    st->caret = a + s.size();
    st->afterWrap = false;
    st->desiredX = -1;
    const bool moved = st->text.LineCount() != linesBefore || !st->multiline;
    InvalidateLines(h, st, std::max(ch.firstLine, firstChanged), moved ? -1 : ch.newEnd);
    if (st->text.LineCount() != linesBefore || (wide && st->text.MaxLineWidth() != widthBefore)) {
        st->topLine = std::min(st->topLine, LastTopLine(st));
        UpdateScrollBars(h, st);
    }
    ScrollCaret(h, st);
    if (maxed) CommandToParent(h, EN_MAXTEXT);
    CommandToParent(h, EN_UPDATE);
    CommandToParent(h, EN_CHANGE);
    return true;
}

// The restored text comes back selected, and the undo can itself be undone.
bool UndoLast(HWND h, EditState* st) {
    if (!st->undo.can) return false;
    st->anchor = st->undo.pos;
    st->caret = st->undo.pos + st->undo.inserted;
    std::string back = st->undo.removed;
    if (back.empty() && st->anchor == st->caret) return false;
    ReplaceSelection(h, st, std::move(back), Source::Undo);
    return true;
}

// --- clipboard ---

bool Copy(HWND h, EditState* st) {
    if (st->password || st->anchor == st->caret) return false;
    return SetClipboardText(h, st->text.Range(st->SelMin(), st->SelMax()));
}

void Paste(HWND h, EditState* st) {
    if (std::string s = GetClipboardText(h); !s.empty())
        ReplaceSelection(h, st, std::move(s), Source::User);
}

// --- keys and the mouse ---

bool ReadOnly(HWND h) {
    return (StyleOf(h) & ES_READONLY) != 0;
}

void DeleteKey(HWND h, EditState* st, bool back) {
    if (ReadOnly(h)) {
        MessageBeep(0);
        return;
    }
    if (st->anchor == st->caret) {
        const std::size_t other = back ? PrevChar(st, st->caret) : NextChar(st, st->caret);
        if (other == st->caret) return;
        st->anchor = other;
    }
    ReplaceSelection(h, st, {}, Source::User);
}

void MoveCaret(HWND h, EditState* st, std::size_t pos, bool extend, bool afterWrap = false) {
    st->afterWrap = afterWrap;
    SetSelection(h, st, extend ? st->anchor : pos, pos, true);
}

void VerticalMove(HWND h, EditState* st, int lines, bool extend) {
    const int line = DisplayLine(st, st->caret, st->afterWrap);
    if (st->desiredX < 0) st->desiredX = PosToPoint(h, st, st->caret, st->afterWrap).x;
    const int x = st->desiredX;
    const int target = std::clamp(line + lines, 0, st->text.LineCount() - 1);
    if (std::abs(lines) > 1) ScrollView(h, st, st->topLine + (target - line), st->xOffset);
    const POINT p{x, st->format.top + (target - st->topLine) * st->lineHeight};
    bool after = false;
    const std::size_t pos = PointToPos(h, st, p, &after);
    MoveCaret(h, st, pos, extend, after);
    st->desiredX = x;
}

void KeyDown(HWND h, EditState* st, WPARAM vk) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool hasSel = st->anchor != st->caret;
    if (vk != VK_UP && vk != VK_DOWN && vk != VK_PRIOR && vk != VK_NEXT) st->desiredX = -1;
    switch (vk) {
        case VK_LEFT:
        case VK_RIGHT: {
            const bool left = vk == VK_LEFT;
            std::size_t pos;
            if (!shift && hasSel && !ctrl)
                pos = left ? st->SelMin() : st->SelMax();
            else if (ctrl)
                pos = left ? PrevWord(st, st->caret) : NextWord(st, st->caret);
            else
                pos = left ? PrevChar(st, st->caret) : NextChar(st, st->caret);
            MoveCaret(h, st, pos, shift);
            return;
        }
        case VK_UP:
        case VK_DOWN:
            if (!st->multiline) {
                KeyDown(h, st, vk == VK_UP ? VK_LEFT : VK_RIGHT);
                return;
            }
            VerticalMove(h, st, vk == VK_UP ? -1 : 1, shift);
            return;
        case VK_PRIOR:
        case VK_NEXT:
            if (st->multiline)
                VerticalMove(h, st, (vk == VK_PRIOR ? -1 : 1) * VisibleLines(st), shift);
            return;
        case VK_HOME:
        case VK_END: {
            const bool home = vk == VK_HOME;
            if (ctrl) {
                MoveCaret(h, st, home ? 0 : st->text.Length(), shift);
                return;
            }
            const int line = DisplayLine(st, st->caret, st->afterWrap);
            const std::size_t start = st->text.LineStart(line);
            const std::size_t end = start + st->text.LineLength(line);
            MoveCaret(h, st, home ? start : end, shift, !home && st->text.IsWrapped(line));
            return;
        }
        case VK_DELETE:
            if (shift)
                SendMessageA(h, WM_CUT, 0, 0);
            else
                DeleteKey(h, st, false);
            return;
        case VK_INSERT:
            if (ctrl) SendMessageA(h, WM_COPY, 0, 0);
            if (shift) SendMessageA(h, WM_PASTE, 0, 0);
            return;
        default:
            return;
    }
}

constexpr unsigned char Ctrl(char letter) {
    return static_cast<unsigned char>(letter - 'A' + 1);
}

void Char(HWND h, EditState* st, unsigned char c) {
    switch (c) {
        case '\b':
            DeleteKey(h, st, true);
            return;
        case Ctrl('C'):
            SendMessageA(h, WM_COPY, 0, 0);
            return;
        case Ctrl('X'):
            SendMessageA(h, WM_CUT, 0, 0);
            return;
        case Ctrl('V'):
            SendMessageA(h, WM_PASTE, 0, 0);
            return;
        case Ctrl('Z'):
            if (!ReadOnly(h)) SendMessageA(h, WM_UNDO, 0, 0);
            return;
        default:
            break;
    }
    std::string s;
    if (c == '\r' || c == '\n') {
        if (!st->multiline) return;
        s = "\r\n";
    } else if (c == '\t') {
        if (!st->multiline) return;
        s = "\t";
    } else if (c < 0x20 || c == 0x7F) {
        return;
    } else {
        s.assign(1, static_cast<char>(c));
    }
    if (ReadOnly(h)) {
        MessageBeep(0);
        return;
    }
    ReplaceSelection(h, st, std::move(s), Source::Typing);
}

void DragTo(HWND h, EditState* st, POINT p) {
    // Outside the rectangle the view follows the mouse.
    int top = st->topLine, x = st->xOffset;
    if (st->multiline) {
        if (p.y < st->format.top) --top;
        if (p.y >= st->format.bottom) ++top;
    }
    if (p.x < st->format.left) x -= st->charWidth * 2;
    if (p.x >= st->format.right) x += st->charWidth * 2;
    if (top != st->topLine || x != st->xOffset) {
        x = std::clamp(x, 0, LastXOffset(h, st));
        ScrollView(h, st, top, x);
    }
    bool after = false;
    const std::size_t pos = PointToPos(h, st, p, &after);
    st->afterWrap = after;
    SetSelection(h, st, st->anchor, pos, false);
}

void SelectWordAt(HWND h, EditState* st, std::size_t pos) {
    const EditText::Paragraph p = st->text.ParagraphAt(pos);
    std::size_t a = pos - p.start, b = a;
    if (b < p.text.size()) {
        const bool blank = IsBlank(p.text[b]);
        while (b < p.text.size() && IsBlank(p.text[b]) == blank)
            ++b;
        while (a > 0 && IsBlank(p.text[a - 1]) == blank)
            --a;
    }
    SetSelection(h, st, p.start + a, p.start + b, true);
}

void Scroll(HWND h, EditState* st, bool vertical, WORD code) {
    SCROLLINFO si;
    si.fMask = SIF_TRACKPOS;
    const bool known = GetScrollInfo(h, vertical ? SB_VERT : SB_HORZ, &si) != 0;
    const int line = vertical ? 1 : st->charWidth;
    const int page = vertical ? std::max(VisibleLines(st) - 1, 1) : FormatWidth(st);
    int pos = vertical ? st->topLine : st->xOffset;
    switch (code) {
        case SB_LINEUP:
            pos -= line;
            break;
        case SB_LINEDOWN:
            pos += line;
            break;
        case SB_PAGEUP:
            pos -= page;
            break;
        case SB_PAGEDOWN:
            pos += page;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            if (known) pos = si.nTrackPos;
            break;
        case SB_TOP:
            pos = 0;
            break;
        case SB_BOTTOM:
            pos = vertical ? LastTopLine(st) : LastXOffset(h, st);
            break;
        default:
            return;
    }
    if (vertical)
        ScrollView(h, st, pos, st->xOffset);
    else
        ScrollView(h, st, st->topLine, std::clamp(pos, 0, LastXOffset(h, st)));
}

// --- the line messages ---

int LineOfIndex(const EditState* st, WPARAM index) {
    if (static_cast<int32_t>(index) < 0)
        return DisplayLine(st, st->SelMin(), st->anchor == st->caret && st->afterWrap);
    return st->text.LineFromPos(std::min<std::size_t>(index, st->text.Length()));
}

LRESULT GetLine(const EditState* st, WPARAM line, LPARAM buffer) {
    char* out = reinterpret_cast<char*>(buffer);
    if (!out) return 0;
    WORD room;
    std::memcpy(&room, out, sizeof room);
    const int l = st->multiline ? static_cast<int>(line) : 0;
    if (l < 0 || l >= st->text.LineCount()) return 0;
    const std::string_view t = st->text.LineText(l);
    const std::size_t n = std::min<std::size_t>(t.size(), room);
    std::memcpy(out, t.data(), n);
    return static_cast<LRESULT>(n);
}

LRESULT DlgCode(const EditState* st, HWND h, const MSG* m) {
    LRESULT code = DLGC_HASSETSEL | DLGC_WANTCHARS | DLGC_WANTARROWS;
    if (!st || !st->multiline) return code;
    code |= DLGC_WANTALLKEYS;
    if (m && m->message == WM_KEYDOWN) {
        // In a dialog, Tab and Escape stay the dialog's; so does Enter without ES_WANTRETURN.
        if (m->wParam == VK_TAB || m->wParam == VK_ESCAPE ||
            (m->wParam == VK_RETURN && !(StyleOf(h) & ES_WANTRETURN)))
            code &= ~DLGC_WANTALLKEYS;
    }
    return code;
}

void Create(HWND h, EditState* st, const CREATESTRUCTA* cs) {
    const DWORD style = StyleOf(h);
    st->multiline = (style & ES_MULTILINE) != 0;
    st->text.SetMultiline(st->multiline);
    if ((style & ES_PASSWORD) && !st->multiline) st->password = '*';
    st->text.SetMask(st->password);
    UpdateMetrics(st);
    ResetFormat(h, st, nullptr);
    if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) {
        st->text.SetText(cs->lpszName);
        UpdateScrollBars(h, st);
    }
}

}  // namespace

LRESULT EditWndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    EditState* st = KeepControlState<EditState>(h, msg);
    if (!st) return DefWindowProcA(h, msg, wParam, lParam);
    switch (msg) {
        case WM_CREATE:
            Create(h, st, reinterpret_cast<const CREATESTRUCTA*>(lParam));
            return 0;
        case WM_SIZE:
            ResetFormat(h, st, nullptr);
            InvalidateRect(h, nullptr, FALSE);
            return 0;
        case WM_SETFONT:
            st->font = reinterpret_cast<HFONT>(wParam);
            UpdateMetrics(st);
            if (st->focused) {
                DestroyCaret();
                CreateCaret(h, nullptr, 1, st->lineHeight);
                st->caretShown = false;
            }
            ResetFormat(h, st, nullptr);
            if (lParam) InvalidateRect(h, nullptr, FALSE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(st->font);
        case WM_SETTEXT:
            ReplaceSelection(h, st, lParam ? reinterpret_cast<const char*>(lParam) : "",
                             Source::SetText);
            return TRUE;
        case WM_GETTEXT: {
            if (wParam == 0 || !lParam) return 0;
            const std::string t = st->text.Range(0, wParam - 1);
            CopyTextOut(t, reinterpret_cast<LPSTR>(lParam), static_cast<int>(t.size() + 1));
            return static_cast<LRESULT>(t.size());
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(st->text.Length());
        case WM_GETDLGCODE:
            return DlgCode(st, h, reinterpret_cast<const MSG*>(lParam));
        case WM_SETFOCUS:
            st->focused = true;
            CreateCaret(h, nullptr, 1, st->lineHeight);
            st->caretShown = false;
            UpdateCaret(h, st);
            if (!(StyleOf(h) & ES_NOHIDESEL)) InvalidateRange(h, st, st->SelMin(), st->SelMax());
            CommandToParent(h, EN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            st->focused = false;
            st->caretShown = false;
            DestroyCaret();
            if (st->tracking) ReleaseCapture();
            if (!(StyleOf(h) & ES_NOHIDESEL)) InvalidateRange(h, st, st->SelMin(), st->SelMax());
            CommandToParent(h, EN_KILLFOCUS);
            return 0;
        case WM_STYLECHANGED:
            InvalidateRect(h, nullptr, FALSE);
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(static_cast<DWORD>(lParam)) == HTCLIENT) {
                SetCursor(LoadCursorA(nullptr, IDC_IBEAM));
                return TRUE;
            }
            break;
        case WM_KEYDOWN:
            KeyDown(h, st, wParam);
            return 0;
        case WM_SYSKEYDOWN:
            if (wParam == VK_BACK && (lParam & 0x20000000)) {
                if (!ReadOnly(h)) SendMessageA(h, WM_UNDO, 0, 0);
                return 0;
            }
            break;
        case WM_CHAR:
            Char(h, st, static_cast<unsigned char>(wParam));
            return 0;
        case WM_LBUTTONDOWN: {
            if (!st->focused) SetFocus(h);
            if (!(st = StateOf(h)) || !st->focused) return 0;
            bool after = false;
            const std::size_t pos =
                PointToPos(h, st, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, &after);
            st->afterWrap = after;
            st->desiredX = -1;
            SetSelection(h, st, (wParam & MK_SHIFT) ? st->anchor : pos, pos, true);
            SetCapture(h);
            st->tracking = true;
            SetTimer(h, kDragTimer, kDragInterval, nullptr);
            return 0;
        }
        case WM_LBUTTONDBLCLK: {
            bool after = false;
            SelectWordAt(h, st,
                         PointToPos(h, st, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, &after));
            return 0;
        }
        case WM_MOUSEMOVE:
            if (st->tracking && GetCapture() == h) {
                st->dragPoint = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                DragTo(h, st, st->dragPoint);
            }
            return 0;
        case WM_TIMER:
            if (wParam == kDragTimer) {
                const RECT& f = st->format;
                const POINT p = st->dragPoint;
                if (st->tracking &&
                    (p.x < f.left || p.x >= f.right || p.y < f.top || p.y >= f.bottom))
                    DragTo(h, st, p);
                return 0;
            }
            break;
        case WM_LBUTTONUP:
            if (st->tracking) {
                st->tracking = false;
                KillTimer(h, kDragTimer);
                if (GetCapture() == h) ReleaseCapture();
            }
            return 0;
        case WM_CAPTURECHANGED:
            st->tracking = false;
            KillTimer(h, kDragTimer);
            return 0;
        case WM_MOUSEWHEEL:
            if (!st->multiline) break;
            ScrollView(h, st,
                       st->topLine - static_cast<short>(HIWORD(static_cast<DWORD>(wParam))) /
                                         WHEEL_DELTA * kWheelLines,
                       st->xOffset);
            return 0;
        case WM_VSCROLL:
        case WM_HSCROLL:
            if (!st->multiline) return 0;
            CommandToParent(h, msg == WM_VSCROLL ? EN_VSCROLL : EN_HSCROLL);
            if ((st = StateOf(h)))
                Scroll(h, st, msg == WM_VSCROLL, LOWORD(static_cast<DWORD>(wParam)));
            return 0;
        case WM_CUT:
            if (ReadOnly(h) || st->password || st->anchor == st->caret) return 0;
            Copy(h, st);
            ReplaceSelection(h, st, {}, Source::User);
            return 0;
        case WM_COPY:
            Copy(h, st);
            return 0;
        case WM_PASTE:
            if (!ReadOnly(h)) Paste(h, st);
            return 0;
        case WM_CLEAR:
            if (!ReadOnly(h) && st->anchor != st->caret) ReplaceSelection(h, st, {}, Source::User);
            return 0;
        case WM_UNDO:
        case EM_UNDO:
            return UndoLast(h, st) ? TRUE : FALSE;
        case EM_CANUNDO:
            return st->undo.can ? TRUE : FALSE;
        case EM_EMPTYUNDOBUFFER:
            st->undo = Undo{};
            return 0;
        case EM_GETSEL: {
            const auto a = static_cast<DWORD>(st->SelMin()), b = static_cast<DWORD>(st->SelMax());
            if (wParam) *reinterpret_cast<DWORD*>(wParam) = a;
            if (lParam) *reinterpret_cast<DWORD*>(lParam) = b;
            return MAKELONG(static_cast<WORD>(std::min<DWORD>(a, 0xFFFF)),
                            static_cast<WORD>(std::min<DWORD>(b, 0xFFFF)));
        }
        case EM_SETSEL: {
            const auto start = static_cast<int32_t>(wParam), end = static_cast<int32_t>(lParam);
            const std::size_t len = st->text.Length();
            st->afterWrap = false;
            if (start < 0) {
                SetSelection(h, st, st->caret, st->caret, true);
                return 0;
            }
            SetSelection(h, st, std::min<std::size_t>(start, len),
                         end < 0 ? len : std::min<std::size_t>(end, len), true);
            return 0;
        }
        case EM_REPLACESEL:
            // Without wParam the replacement cannot be undone: the undo buffer ends empty.
            if (!ReplaceSelection(h, st, lParam ? reinterpret_cast<const char*>(lParam) : "",
                                  Source::Replace) ||
                wParam)
                return 0;
            if ((st = StateOf(h))) st->undo = Undo{};
            return 0;
        case EM_LIMITTEXT:
            st->limit = wParam ? wParam : (st->multiline ? kMultiMaxLimit : kSingleMaxLimit);
            return 0;
        case EM_GETLIMITTEXT:
            return static_cast<LRESULT>(st->limit);
        case EM_GETMODIFY:
            return st->modified ? TRUE : FALSE;
        case EM_SETMODIFY:
            st->modified = wParam != 0;
            return 0;
        case EM_SCROLLCARET:
            ScrollCaret(h, st);
            return TRUE;
        case EM_GETRECT:
            if (lParam) *reinterpret_cast<RECT*>(lParam) = st->format;
            return 0;
        case EM_SETRECT:
        case EM_SETRECTNP:
            ResetFormat(h, st, reinterpret_cast<const RECT*>(lParam));
            if (msg == EM_SETRECT) InvalidateRect(h, nullptr, FALSE);
            return 0;
        case EM_SETREADONLY: {
            const DWORD style = StyleOf(h);
            SetWindowLongPtrA(h, GWL_STYLE, wParam ? style | ES_READONLY : style & ~ES_READONLY);
            InvalidateRect(h, nullptr, FALSE);
            return TRUE;
        }
        case EM_SETPASSWORDCHAR: {
            if (st->multiline) return 0;
            st->password = static_cast<char>(wParam);
            const DWORD style = StyleOf(h);
            SetWindowLongPtrA(h, GWL_STYLE,
                              st->password ? style | ES_PASSWORD : style & ~ES_PASSWORD);
            st->text.SetMask(st->password);
            st->xOffset = std::min(st->xOffset, LastXOffset(h, st));
            InvalidateRect(h, nullptr, FALSE);
            UpdateCaret(h, st);
            return 0;
        }
        case EM_GETPASSWORDCHAR:
            return static_cast<unsigned char>(st->password);
        case EM_GETLINECOUNT:
            return st->text.LineCount();
        case EM_LINEINDEX: {
            const int line = static_cast<int32_t>(wParam) < 0
                                 ? DisplayLine(st, st->caret, st->afterWrap)
                                 : static_cast<int>(wParam);
            if (line >= st->text.LineCount()) return -1;
            return static_cast<LRESULT>(st->text.LineStart(line));
        }
        case EM_LINELENGTH: {
            if (!st->multiline) return static_cast<LRESULT>(st->text.Length());
            if (static_cast<int32_t>(wParam) < 0) {
                // The characters not selected on the lines the selection touches.
                const int a = st->text.LineFromPos(st->SelMin()),
                          b = st->text.LineFromPos(st->SelMax());
                return static_cast<LRESULT>(st->SelMin() - st->text.LineStart(a) +
                                            st->text.LineStart(b) + st->text.LineLength(b) -
                                            st->SelMax());
            }
            if (wParam > st->text.Length()) return 0;
            return static_cast<LRESULT>(st->text.LineLength(st->text.LineFromPos(wParam)));
        }
        case EM_GETLINE:
            return GetLine(st, wParam, lParam);
        case EM_LINEFROMCHAR:
            return LineOfIndex(st, wParam);
        case EM_GETFIRSTVISIBLELINE:
            if (st->multiline) return st->topLine;
            return static_cast<LRESULT>(st->text.PosAtX(0, st->xOffset));
        case EM_LINESCROLL:
            if (!st->multiline) return FALSE;
            ScrollView(h, st, st->topLine + static_cast<int>(lParam),
                       std::clamp(st->xOffset + static_cast<int>(wParam) * st->charWidth, 0,
                                  LastXOffset(h, st)));
            return TRUE;
        case EM_SCROLL: {
            if (!st->multiline) return FALSE;
            const int before = st->topLine;
            const int page = std::max(VisibleLines(st) - 1, 1);
            int delta = 0;
            switch (wParam) {
                case SB_LINEUP:
                    delta = -1;
                    break;
                case SB_LINEDOWN:
                    delta = 1;
                    break;
                case SB_PAGEUP:
                    delta = -page;
                    break;
                case SB_PAGEDOWN:
                    delta = page;
                    break;
                default:
                    return FALSE;
            }
            ScrollView(h, st, before + delta, st->xOffset);
            return MAKELONG(static_cast<WORD>(st->topLine - before), TRUE);
        }
        case EM_POSFROMCHAR: {
            if (wParam > st->text.Length()) return -1;
            const POINT p = PosToPoint(h, st, wParam, false);
            return MAKELONG(static_cast<WORD>(p.x), static_cast<WORD>(p.y));
        }
        case EM_CHARFROMPOS: {
            bool after = false;
            const std::size_t pos =
                PointToPos(h, st, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, &after);
            return MAKELONG(static_cast<WORD>(std::min<std::size_t>(pos, 0xFFFF)),
                            static_cast<WORD>(DisplayLine(st, pos, after)));
        }
        default:
            break;
    }
    return PaintedControlDefault(h, msg, wParam, lParam, Paint);
}

}  // namespace win
