// Mouse and key bookkeeping: shift states, button state and capture, graphic children under
// the mouse, mouse enter and leave, the wheel, key preview and the notifications reflected to
// child controls.
#include "vcl/controls/controls.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <map>
#include <unordered_map>

#include "platform/gdi/gdi.h"
#include "platform/os/cp1251.h"
#include "platform/user/dialog_manager.h"
#include "platform/user/user.h"
#include "platform/user/window_dc.h"
#include "vcl/controls/control_internals.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/menus.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/format.h"
#include "vcl/system/list.h"
#include "vcl/system/window_exceptions.h"

namespace vcl {

using namespace controls_internal;

TShiftState KeysToShiftState(uint32_t keys) {
    TShiftState s;
    if (keys & win::MK_SHIFT) s << ssShift;
    if (keys & win::MK_CONTROL) s << ssCtrl;
    if (keys & win::MK_LBUTTON) s << ssLeft;
    if (keys & win::MK_RBUTTON) s << ssRight;
    if (keys & win::MK_MBUTTON) s << ssMiddle;
    if (win::GetKeyState(win::VK_MENU) < 0) s << ssAlt;
    return s;
}

bool IsAccel(uint32_t key, const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return os::UpperCp1251(static_cast<unsigned char>(caption[i + 1])) ==
               os::UpperCp1251(static_cast<unsigned char>(key));
    }
    return false;
}

TShiftState KeyDataToShiftState(intptr_t keyData) {
    TShiftState s;
    if (win::GetKeyState(win::VK_SHIFT) < 0) s << ssShift;
    if (win::GetKeyState(win::VK_CONTROL) < 0) s << ssCtrl;
    if (keyData & 0x20000000) s << ssAlt;
    return s;
}

void TControl::WndProc(TMessage& m) {
    if (IsMouseMsg(m.Msg)) HandleMouse(m);
    Dispatch(m);
}

// Button state and capture for the mouse messages every control receives.
void TControl::HandleMouse(TMessage& m) {
    switch (m.Msg) {
        case win::WM_LBUTTONDOWN:
        case win::WM_LBUTTONDBLCLK:
            if (ControlStyle.Contains(csCaptureMouse)) ControlState << csLButtonDown;
            if (ControlStyle.Contains(csClickEvents)) ControlState << csClicked;
            break;
        case win::WM_LBUTTONUP:
            ControlState >> csLButtonDown;
            break;
        default:
            break;
    }
}

void TControl::MouseWheelHandler(TMessage& m) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != this)
        form->MouseWheelHandler(m);
    else
        m.Result = Perform(m.Msg, m.WParam, m.LParam);
}

bool TControl::DoMouseWheel(TShiftState shift, int delta, TPoint pos) {
    bool handled = false;
    OnMouseWheel(this, shift, delta, pos, handled);
    return handled;
}

void TControl::SendCancelMode(TControl* sender) {
    for (TControl* c = this; c; c = c->Parent())
        if (auto* form = dynamic_cast<TCustomForm*>(c)) form->SendCancelMode(sender);
}

void TControl::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    OnMouseDown(this, b, s, x, y);
}

void TControl::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
    OnMouseUp(this, b, s, x, y);
}

void TControl::MouseMove(TShiftState s, int x, int y) {
    OnMouseMove(this, s, x, y);
}

bool TWinControl::IsControlMouseMsg(TMessage& m) {
    TControl* c = captureControl_;
    const TPoint p = PointFromLParam(m.LParam);
    if (!c || win::GetCapture() != handle_) {
        captureControl_ = nullptr;
        c = ControlAtPos(p, false);
    }
    if (!c) return false;
    const TPoint local{p.X - c->Left(), p.Y - c->Top()};
    if (m.Msg == win::WM_LBUTTONDOWN && c->ControlStyle.Contains(csCaptureMouse)) {
        captureControl_ = c;
        win::SetCapture(handle_);
    }
    m.Result = c->Perform(m.Msg, m.WParam, LParamFromPoint(local));
    if (m.Msg == win::WM_LBUTTONUP && captureControl_ == c) {
        captureControl_ = nullptr;
        if (win::GetCapture() == handle_) win::ReleaseCapture();
    }
    return true;
}

// The control under the mouse changed: the old one hears it left, the new one that it came.
static void TrackMouseControl(TControl* now) {
    if (now == gMouseControl) return;
    TControl* old = gMouseControl;
    gMouseControl = now;
    if (old) old->Perform(CM_MOUSELEAVE);
    if (now && gMouseControl == now) now->Perform(CM_MOUSEENTER);
}

void TWinControl::WndProc(TMessage& m) {
    if (IsMouseMsg(m.Msg)) {
        if (m.Msg == win::WM_MOUSEMOVE || m.Msg == win::WM_LBUTTONDOWN) {
            const TPoint p = PointFromLParam(m.LParam);
            TControl* over = captureControl_ ? captureControl_ : ControlAtPos(p, true);
            TrackMouseControl(over ? over : this);
            if (m.Msg == win::WM_MOUSEMOVE && handle_) {
                win::TRACKMOUSEEVENT t;
                t.dwFlags = win::TME_LEAVE;
                t.hwndTrack = handle_;
                win::TrackMouseEvent(&t);
            }
        }
        if (IsControlMouseMsg(m)) {
            // What the graphic control left alone gets the default handling of this window
            // (a right button's release becomes WM_CONTEXTMENU).
            if (m.Result == 0 && handle_)
                m.Result = win::DefWindowProcA(handle_, m.Msg, m.WParam, m.LParam);
            return;
        }
        if (m.Msg == win::WM_LBUTTONDOWN && handle_ && ControlStyle.Contains(csCaptureMouse))
            win::SetCapture(handle_);
        TControl::WndProc(m);
        if (m.Msg == win::WM_LBUTTONUP && handle_ && win::GetCapture() == handle_)
            win::ReleaseCapture();
        return;
    } else if (m.Msg == win::WM_MOUSELEAVE) {
        if (gMouseControl && (gMouseControl == this || gMouseControl->Parent() == this))
            TrackMouseControl(nullptr);
    }
    TControl::WndProc(m);
}

namespace {

TWinControl* PreviewingParent(TWinControl* c) {
    for (TWinControl* p = c->Parent(); p; p = p->Parent())
        if (p->WantsKeyPreview()) return p;
    return nullptr;
}

}  // namespace

bool TWinControl::DoKeyDown(uint16_t& key, TShiftState shift) {
    if (TWinControl* p = PreviewingParent(this); p && p->DoKeyDown(key, shift)) return true;
    OnKeyDown(this, key, shift);
    return key == 0;
}

bool TWinControl::DoKeyUp(uint16_t& key, TShiftState shift) {
    if (TWinControl* p = PreviewingParent(this); p && p->DoKeyUp(key, shift)) return true;
    OnKeyUp(this, key, shift);
    return key == 0;
}

bool TWinControl::DoKeyPress(char& key) {
    if (TWinControl* p = PreviewingParent(this); p && p->DoKeyPress(key)) return true;
    OnKeyPress(this, key);
    return key == 0;
}

TWinControl* TWinControl::ReflectTarget(const TMessage& m) {
    win::HWND child = nullptr;
    switch (m.Msg) {
        case win::WM_NOTIFY:
            if (m.LParam) child = reinterpret_cast<const win::NMHDR*>(m.LParam)->hwndFrom;
            break;
        case win::WM_DRAWITEM:
            // A menu item is told by the record's type, whatever the id.
            if (const auto* dis = reinterpret_cast<const win::DRAWITEMSTRUCT*>(m.LParam);
                dis && dis->CtlType != win::ODT_MENU)
                child = dis->hwndItem;
            break;
        case win::WM_MEASUREITEM:
            if (m.WParam) child = win::GetDlgItem(handle_, static_cast<int>(m.WParam));
            break;
        default:
            child = reinterpret_cast<win::HWND>(m.LParam);
            break;
    }
    TWinControl* c = FindControl(child);
    return c && c != this ? c : nullptr;
}

bool TWinControl::HandleKey(TMessage& m) {
    switch (m.Msg) {
        case win::WM_KEYDOWN:
        case win::WM_SYSKEYDOWN: {
            auto key = static_cast<uint16_t>(m.WParam);
            if (DoKeyDown(key, KeyDataToShiftState(m.LParam))) return true;
            m.WParam = key;
            return false;
        }
        case win::WM_KEYUP:
        case win::WM_SYSKEYUP: {
            auto key = static_cast<uint16_t>(m.WParam);
            if (DoKeyUp(key, KeyDataToShiftState(m.LParam))) return true;
            m.WParam = key;
            return false;
        }
        case win::WM_CHAR: {
            char c = static_cast<char>(m.WParam);
            if (DoKeyPress(c)) return true;
            m.WParam = static_cast<unsigned char>(c);
            return false;
        }
        default:
            return false;
    }
}

}  // namespace vcl
