// TCustomGrid's input: keys, clicks, the wheel, column sizing with the mouse, and the
// messages that reach the grid window.
#include <algorithm>

#include "platform/user/user.h"
#include "vcl/controls/grids.h"

namespace vcl {

// The grid wants the arrows, and with goEditing the characters (which open the editor) and
// Enter (which opens and closes it) rather than leaving them to the dialog keys.
void TCustomGrid::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case win::WM_GETDLGCODE:
            m.Result = win::DLGC_WANTARROWS;
            if (options_.Contains(goEditing)) m.Result |= win::DLGC_WANTCHARS;
            return;
        case CM_WANTSPECIALKEY:
            if (m.WParam == win::VK_RETURN && options_.Contains(goEditing)) {
                m.Result = 1;
                return;
            }
            break;
        case win::WM_HSCROLL:
        case win::WM_VSCROLL:
            if (m.LParam == 0) {  // the window's own bars, or another window speaking for them
                Scroll(m.Msg == win::WM_VSCROLL, win::LOWORD(m.WParam));
                m.Result = 0;
                return;
            }
            break;
        case win::WM_SIZE:
            TCustomControl::Dispatch(m);
            ClientSized();
            return;
        case win::WM_ERASEBKGND:
            m.Result = 1;  // Paint covers the whole client area
            return;
        case win::WM_SETFOCUS:
        case win::WM_KILLFOCUS:
            InvalidateGridRect(Selection());
            break;
        case win::WM_CANCELMODE:
            sizingCol_ = -1;
            break;
        case win::WM_SETCURSOR:
            if (reinterpret_cast<win::HWND>(m.WParam) == Handle() &&
                static_cast<int16_t>(m.LParam & 0xFFFF) == win::HTCLIENT) {
                win::POINT p;
                win::GetCursorPos(&p);
                win::ScreenToClient(Handle(), &p);
                if (sizingCol_ >= 0 || SizingColumnAt(p.x, p.y) >= 0) {
                    win::SetCursor(Screen()->Cursors(crSizeWE));
                    m.Result = 1;
                    return;
                }
            }
            break;
        default:
            break;
    }
    TCustomControl::Dispatch(m);
}

bool TCustomGrid::DoKeyDown(uint16_t& key, TShiftState shift) {
    if (TCustomControl::DoKeyDown(key, shift)) return true;
    GridKeyDown(key, shift);
    return key == 0;
}

// A character that opens the editor goes to the editor, whose keys reach OnKeyPress first:
// so OnKeyPress sees it once, with EditorMode already on.
bool TCustomGrid::DoKeyPress(char& key) {
    const auto ch = static_cast<unsigned char>(key);
    if (options_.Contains(goEditing) && !editorMode_ && (ch >= 32 || ch == '\b')) {
        SetEditorMode(true);
        if (editorMode_) {
            TypeIntoEditor(key);
            return true;
        }
    }
    if (TCustomControl::DoKeyPress(key)) return true;
    GridKeyPress(key);
    return key == 0;
}

void TCustomGrid::GridKeyDown(uint16_t& key, TShiftState shift) {
    const bool ctrl = shift.Contains(ssCtrl);
    TGridCoord to = current_;
    int top = rows_.first;
    const int page = std::max(1, VisibleRowCount());
    switch (key) {
        case win::VK_UP:
            --to.Y;
            break;
        case win::VK_DOWN:
            ++to.Y;
            break;
        case win::VK_LEFT:
            --to.X;
            break;
        case win::VK_RIGHT:
            ++to.X;
            break;
        case win::VK_PRIOR:
            to.Y -= page;
            top -= page;
            break;
        case win::VK_NEXT:
            to.Y += page;
            top += page;
            break;
        case win::VK_HOME:
            to.X = cols_.fixed;
            if (ctrl) to.Y = rows_.fixed;
            break;
        case win::VK_END:
            to.X = cols_.count - 1;
            if (ctrl) to.Y = rows_.count - 1;
            break;
        case win::VK_F2:
            if (!options_.Contains(goEditing)) return;
            SetEditorMode(true);
            key = 0;
            return;
        default:
            return;
    }
    key = 0;
    to.X = std::clamp(to.X, cols_.fixed, cols_.count - 1);
    to.Y = std::clamp(to.Y, rows_.fixed, rows_.count - 1);
    if (top != rows_.first) MoveTopLeft(cols_.first, top);
    if (!(to == current_)) MoveCurrent(to.X, to.Y, true, true);
}

void TCustomGrid::GridKeyPress(char& key) {
    if (key == '\r' && options_.Contains(goEditing)) {
        SetEditorMode(!editorMode_);
        key = 0;
    }
}

// The column whose right edge is under the point, in the fixed rows, while columns may be
// sized; -1 elsewhere.
int TCustomGrid::SizingColumnAt(int x, int y) const {
    if (!options_.Contains(goColSizing) || y < 0 || y >= rows_.FixedExtent()) return -1;
    const int w = ClientW();
    int left = 0;
    for (int col = cols_.fixed > 0 ? 0 : cols_.first; col < cols_.count && left < w;
         col = col + 1 == cols_.fixed ? cols_.first : col + 1) {
        const int edge = left + cols_.Size(col);
        if (x >= edge - 2 && x <= edge + cols_.Line(col) + 1) return col;
        left = edge + cols_.Line(col);
    }
    return -1;
}

void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) {
        if (editorMode_) SetEditorMode(false);  // a click ends the editing
        if (CanFocus() && HandleAllocated() && !Focused()) win::SetFocus(Handle());
        const int sizing = SizingColumnAt(x, y);
        if (sizing >= 0) {
            sizingCol_ = sizing;
            sizingOffset_ = x - (cols_.Start(sizing, ClientW()) + cols_.Size(sizing));
        } else {
            const TGridCoord cell = MouseCoord(x, y);
            if (cell.X >= cols_.fixed && cell.Y >= rows_.fixed) {
                MoveCurrent(cell.X, cell.Y, true, true);
                if (shift.Contains(ssDouble) && options_.Contains(goEditing) && current_ == cell)
                    SetEditorMode(true);
            }
        }
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomGrid::MouseMove(TShiftState shift, int x, int y) {
    if (sizingCol_ >= 0) {
        const int start = cols_.Start(sizingCol_, ClientW());
        if (start >= 0) SetColWidths(sizingCol_, std::max(1, x - sizingOffset_ - start));
    }
    TCustomControl::MouseMove(shift, x, y);
}

void TCustomGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) sizingCol_ = -1;
    TCustomControl::MouseUp(button, shift, x, y);
}

// A turn of the wheel moves the current row, one row a notch, unless OnMouseWheel handled it.
bool TCustomGrid::DoMouseWheel(TShiftState shift, int delta, TPoint pos) {
    if (TCustomControl::DoMouseWheel(shift, delta, pos)) return true;
    wheelRest_ += delta;
    const int notches = wheelRest_ / win::WHEEL_DELTA;
    wheelRest_ -= notches * win::WHEEL_DELTA;
    if (notches != 0) MouseWheelMove(-notches);
    return true;
}

void TCustomGrid::MouseWheelMove(int rows) {
    const int row = std::clamp(current_.Y + rows, rows_.fixed, rows_.count - 1);
    if (row != current_.Y) MoveCurrent(current_.X, row, true, true);
}

}  // namespace vcl
