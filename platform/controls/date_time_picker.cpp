#include "platform/controls/date_time_picker.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/controls/classic_paint.h"
#include "platform/controls/common_notify.h"
#include "platform/controls/native_control.h"
#include "platform/controls/up_down_control.h"
#include "platform/gdi/gdi.h"
#include "platform/os/clock.h"
#include "platform/user/user.h"

namespace win {

namespace {

enum class Part { Hour, Minute, Second, Text };

// One piece of the format: a field with its padding, or literal text.
struct Segment {
    Part part;
    int width = 1;     // digits at least
    std::string text;  // of a literal
};

std::vector<Segment> ParseFormat(const std::string& f) {
    std::vector<Segment> out;
    for (std::size_t i = 0; i < f.size();) {
        const char c = f[i];
        const Part part = c == 'H'   ? Part::Hour
                          : c == 'm' ? Part::Minute
                          : c == 's' ? Part::Second
                                     : Part::Text;
        if (part == Part::Text) {
            if (out.empty() || out.back().part != Part::Text) out.push_back({Part::Text, 0, ""});
            out.back().text += c;
            ++i;
            continue;
        }
        std::size_t n = 1;
        while (i + n < f.size() && f[i + n] == c)
            ++n;
        out.push_back({part, n >= 2 ? 2 : 1, ""});
        i += n;
    }
    return out;
}

int DayOfWeek(int year, int month, int day) {
    // 1899-12-30 was a Saturday.
    return static_cast<int>(((os::DaysFromCivil(year, month, day) % 7) + 7 + 6) % 7);
}

struct PickerState {
    PickerState();

    HFONT font = nullptr;
    SYSTEMTIME time;
    std::vector<Segment> format = ParseFormat(kLocaleTimeFormat);
    std::size_t field = 0;  // index into format of the selected field
    int typed = -1;         // the digits typed into the field so far, -1 for none
    bool focused = false;
    HWND spin = nullptr;
};

PickerState* StateOf(HWND h) {
    return ControlState<PickerState>(h);
}

bool Valid(const SYSTEMTIME& t) {
    return t.wYear >= 1 && t.wYear <= 9999 && t.wMonth >= 1 && t.wMonth <= 12 && t.wDay >= 1 &&
           t.wDay <= os::DaysInMonth(t.wYear, t.wMonth) && t.wHour < 24 && t.wMinute < 60 &&
           t.wSecond < 60 && t.wMilliseconds < 1000;
}

WORD* FieldOf(SYSTEMTIME& t, Part p) {
    return p == Part::Hour ? &t.wHour : p == Part::Minute ? &t.wMinute : &t.wSecond;
}

int MaxOf(Part p) {
    return p == Part::Hour ? 23 : 59;
}

std::vector<std::size_t> Fields(const PickerState& st) {
    std::vector<std::size_t> f;
    for (std::size_t i = 0; i < st.format.size(); ++i)
        if (st.format[i].part != Part::Text) f.push_back(i);
    return f;
}

// The time the control is made at, the hours chosen.
PickerState::PickerState() {
    const os::DateParts now = os::SplitDateTime(os::Now());
    time = {static_cast<WORD>(now.year),
            static_cast<WORD>(now.month),
            static_cast<WORD>(DayOfWeek(now.year, now.month, now.day)),
            static_cast<WORD>(now.day),
            static_cast<WORD>(now.hour),
            static_cast<WORD>(now.minute),
            static_cast<WORD>(now.second),
            0};
    field = Fields(*this).front();
}

std::string TextOf(const PickerState& st, const Segment& s) {
    if (s.part == Part::Text) return s.text;
    SYSTEMTIME t = st.time;
    std::string v = std::to_string(*FieldOf(t, s.part));
    if (static_cast<int>(v.size()) < s.width) v.insert(0, s.width - v.size(), '0');
    return v;
}

// Where each segment is drawn, left to right from the text's left edge.
std::vector<RECT> Layout(HWND h, HDC dc, const PickerState& st) {
    RECT rc;
    GetClientRect(h, &rc);
    SIZE line{};
    GetTextExtentPoint32(dc, "0", 1, &line);
    const int top = (rc.bottom - line.cy) / 2;
    std::vector<RECT> boxes;
    int x = rc.left + 2;
    for (const Segment& s : st.format) {
        const std::string text = TextOf(st, s);
        SIZE e{};
        GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &e);
        boxes.push_back({x, top, x + e.cx, top + line.cy});
        x += e.cx;
    }
    return boxes;
}

void Notify(HWND h) {
    PickerState* st = StateOf(h);
    if (!st) return;
    NMDATETIMECHANGE nm;
    nm.st = st->time;
    NotifyParent(h, DTN_DATETIMECHANGE, &nm.nmhdr);
}

void SetField(HWND h, int value) {
    PickerState* st = StateOf(h);
    WORD* f = FieldOf(st->time, st->format[st->field].part);
    if (*f == value) return;
    *f = static_cast<WORD>(value);
    InvalidateRect(h, nullptr, TRUE);
    Notify(h);
}

// Up (+1) or down (-1) within the field, round past its ends.
void StepField(HWND h, int delta) {
    PickerState* st = StateOf(h);
    if (!st) return;
    st->typed = -1;
    const Part p = st->format[st->field].part;
    const int max = MaxOf(p);
    SetField(h, (*FieldOf(st->time, p) + delta + max + 1) % (max + 1));
}

void MoveField(HWND h, int by) {
    PickerState* st = StateOf(h);
    const std::vector<std::size_t> fields = Fields(*st);
    const auto at = std::find(fields.begin(), fields.end(), st->field) - fields.begin();
    const auto next =
        std::clamp<std::ptrdiff_t>(at + by, 0, static_cast<std::ptrdiff_t>(fields.size()) - 1);
    st->typed = -1;
    if (fields[static_cast<std::size_t>(next)] == st->field) return;
    st->field = fields[static_cast<std::size_t>(next)];
    InvalidateRect(h, nullptr, TRUE);
}

void Type(HWND h, int digit) {
    PickerState* st = StateOf(h);
    const int max = MaxOf(st->format[st->field].part);
    // A second digit joins the first when the value still fits; else the digit starts over.
    const int joined = st->typed >= 0 ? st->typed * 10 + digit : -1;
    const int value = joined >= 0 && joined <= max ? joined : digit;
    const bool complete = value == joined || digit * 10 > max;
    st->typed = complete ? -1 : digit;
    SetField(h, value);
    if (complete) MoveField(h, +1);
}

void Paint(HWND h, HDC dc) {
    PickerState* st = StateOf(h);
    if (!st) return;
    RECT rc;
    GetClientRect(h, &rc);
    const int saved = SaveDC(dc);
    if (st->font) SelectObject(dc, st->font);
    const bool enabled = IsWindowEnabled(h);
    HBRUSH bg = AskControlColor(h, enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC, dc);
    FillRect(dc, &rc, bg);
    if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    SetBkMode(dc, TRANSPARENT);
    const COLORREF ink = GetTextColor(dc);
    const std::vector<RECT> boxes = Layout(h, dc, *st);
    for (std::size_t i = 0; i < st->format.size(); ++i) {
        const std::string text = TextOf(*st, st->format[i]);
        const bool selected = st->focused && i == st->field;
        if (selected) {
            FillSysColor(dc, boxes[i], COLOR_HIGHLIGHT);
            SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        }
        TextOut(dc, boxes[i].left, boxes[i].top, text.c_str(), static_cast<int>(text.size()));
        SetTextColor(dc, ink);
    }
    RestoreDC(dc, saved);
}

void PlaceSpin(HWND h) {
    PickerState* st = StateOf(h);
    if (!st || !st->spin) return;
    RECT rc;
    GetClientRect(h, &rc);
    const int w = GetSystemMetrics(SM_CXVSCROLL);
    MoveWindow(st->spin, rc.right - w, 0, w, rc.bottom, TRUE);
}

// The field under a client x: the one it falls in, else the nearest.
std::size_t FieldAt(HWND h, int x) {
    PickerState* st = StateOf(h);
    HDC dc = GetDC(h);
    const int saved = SaveDC(dc);
    if (st->font) SelectObject(dc, st->font);
    const std::vector<RECT> boxes = Layout(h, dc, *st);
    RestoreDC(dc, saved);
    ReleaseDC(h, dc);
    std::size_t best = st->field;
    int bestDistance = 1 << 30;
    for (std::size_t i : Fields(*st)) {
        const int d = x < boxes[i].left     ? boxes[i].left - x
                      : x >= boxes[i].right ? x - boxes[i].right + 1
                                            : 0;
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

}  // namespace

LRESULT DateTimePickerWndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    PickerState* st = KeepControlState<PickerState>(h, msg);
    switch (msg) {
        case WM_CREATE:
            if (st) {
                st->spin = CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                           h, nullptr, nullptr, nullptr);
                // The spin rests in the middle of a range of three: its position tells the way.
                SendMessageA(st->spin, UDM_SETRANGE32, static_cast<WPARAM>(-1), 1);
                SendMessageA(st->spin, UDM_SETPOS32, 0, 0);
                PlaceSpin(h);
            }
            return 0;
        case WM_SIZE:
            PlaceSpin(h);
            InvalidateRect(h, nullptr, TRUE);
            return 0;
        case WM_SETFONT:
            if (st) st->font = reinterpret_cast<HFONT>(wParam);
            if (lParam) InvalidateRect(h, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return st ? reinterpret_cast<LRESULT>(st->font) : 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case DTM_GETSYSTEMTIME:
            if (st && lParam) *reinterpret_cast<SYSTEMTIME*>(lParam) = st->time;
            return GDT_VALID;
        case DTM_SETSYSTEMTIME: {
            if (!st || wParam != GDT_VALID || !lParam) return FALSE;
            SYSTEMTIME t = *reinterpret_cast<const SYSTEMTIME*>(lParam);
            if (!Valid(t)) return FALSE;
            t.wDayOfWeek = static_cast<WORD>(DayOfWeek(t.wYear, t.wMonth, t.wDay));
            st->time = t;
            st->typed = -1;
            InvalidateRect(h, nullptr, TRUE);
            return TRUE;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (!st) return 0;
            SetFocus(h);
            st->field = FieldAt(h, GET_X_LPARAM(lParam));
            st->typed = -1;
            InvalidateRect(h, nullptr, TRUE);
            return 0;
        case WM_KEYDOWN:
            if (!st) break;
            switch (wParam) {
                case VK_UP:
                    StepField(h, +1);
                    return 0;
                case VK_DOWN:
                    StepField(h, -1);
                    return 0;
                case VK_LEFT:
                    MoveField(h, -1);
                    return 0;
                case VK_RIGHT:
                    MoveField(h, +1);
                    return 0;
                default:
                    break;
            }
            break;
        case WM_CHAR:
            if (st && wParam >= '0' && wParam <= '9') {
                Type(h, static_cast<int>(wParam - '0'));
                return 0;
            }
            break;
        case WM_VSCROLL:
            // The spin stepped: which way its position went tells the direction.
            if (st && reinterpret_cast<HWND>(lParam) == st->spin &&
                LOWORD(wParam) == SB_THUMBPOSITION) {
                const int pos = static_cast<int>(SendMessageA(st->spin, UDM_GETPOS32, 0, 0));
                SendMessageA(st->spin, UDM_SETPOS32, 0, 0);
                if (GetFocus() != h) SetFocus(h);
                if (pos) StepField(h, pos > 0 ? +1 : -1);
            }
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (st) {
                st->focused = msg == WM_SETFOCUS;
                st->typed = -1;
                InvalidateRect(h, nullptr, TRUE);
            }
            return 0;
        case WM_ENABLE:
            if (st && st->spin) EnableWindow(st->spin, static_cast<BOOL>(wParam));
            InvalidateRect(h, nullptr, TRUE);
            return 0;
        default:
            break;
    }
    return PaintedControlDefault(h, msg, wParam, lParam, Paint);
}

}  // namespace win
