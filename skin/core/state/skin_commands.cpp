#include "skin/core/state/skin_commands.h"

#include <algorithm>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/message_queue.h"
#include "platform/user/styles.h"
#include "platform/user/window_class.h"
#include "platform/user/window_tree.h"
#include "skin/core/state/engine_state.h"
#include "skin/core/state/neighbour_services.h"
#include "vcl/controls/forms.h"

namespace skin {

namespace {

bool Destroying(const vcl::TComponent* c) {
    return c->ComponentState().Contains(vcl::csDestroying);
}

intptr_t Send(win::HWND wnd, const vcl::TMessage& m) {
    return win::SendMessage(wnd, m.Msg, m.WParam, m.LParam);
}

}  // namespace

void InitMessagesUnit() {
    static bool done = false;
    if (done) return;
    done = true;
    win::RegisterWindowMessageA("SM_ALPHACMD");
}

intptr_t SendSkinCommand(win::HWND wnd, uint16_t code, intptr_t lParam) {
    return win::SendMessage(wnd, SM_ALPHACMD, SkinCommandWParam(code), lParam);
}

intptr_t SendSkinCommandToControl(vcl::TControl* control, uint16_t code, intptr_t lParam) {
    if (!control || Destroying(control)) return 0;
    auto* win = dynamic_cast<vcl::TWinControl*>(control);
    if (!win) return control->Perform(SM_ALPHACMD, SkinCommandWParam(code), lParam);
    if (!win->HandleAllocated()) return 0;
    return SendSkinCommand(win->Handle(), code, lParam);
}

bool SendSkinQuery(win::HWND wnd, uint16_t code) {
    return SendSkinCommand(wnd, code, 0) == 1;
}

void BroadcastToChildControls(vcl::TWinControl* control, vcl::TMessage& message) {
    if (!control) return;
    // The count is read again each turn: a receiver may add or remove controls.
    for (int i = 0; i < control->ControlCount(); ++i) {
        vcl::TControl* child = control->Controls(i);
        // A dying child is skipped, not the end of the level: the later siblings still need
        // the news of a new or removed skin.
        if (Destroying(child)) continue;
        auto* win = dynamic_cast<vcl::TWinControl*>(child);
        if (!win || !win->HandleAllocated()) {
            child->Perform(message.Msg, message.WParam, message.LParam);
        } else if (SendSkinCommandNoParam(win, SKC_ISSKINAWARE) != 0) {
            Send(win->Handle(), message);
        } else if (!Neighbours().BroadcastToAdapter(win, message)) {
            BroadcastToChildControls(win, message);
        }
    }
}

namespace {

struct ChildWindowsBroadcast {
    win::HWND parent;
    const vcl::TMessage* message;
};

win::BOOL SendToDirectChild(win::HWND wnd, win::LPARAM lParam) {
    const auto* b = reinterpret_cast<const ChildWindowsBroadcast*>(lParam);
    if (win::GetParent(wnd) == b->parent) Send(wnd, *b->message);
    return 1;
}

}  // namespace

void BroadcastToChildWindows(win::HWND wnd, const vcl::TMessage& message) {
    ChildWindowsBroadcast b{wnd, &message};
    win::EnumChildWindows(wnd, SendToDirectChild, reinterpret_cast<win::LPARAM>(&b));
}

void RepaintChangedChildren(vcl::TWinControl* control) {
    if (AnimationRunning || !control) return;
    for (int i = 0; i < control->ControlCount(); ++i) {
        vcl::TControl* child = control->Controls(i);
        if (dynamic_cast<vcl::TGraphicControl*>(child) || Destroying(child)) continue;
        auto* win = dynamic_cast<vcl::TWinControl*>(child);
        if (!win) {
            SendSkinCommandToControl(child, SKC_ENDPARENTUPDATE, 0);
        } else if (win->HandleAllocated() && win->Showing()) {
            SendSkinCommand(win->Handle(), SKC_ENDPARENTUPDATE, 0);
        }
    }
}

void RepaintChangedChildWindows(win::HWND wnd) {
    for (win::HWND child = win::GetTopWindow(wnd); child;) {
        // Taken first: the receiver may destroy its own window.
        const win::HWND next = win::GetWindow(child, win::GW_HWNDNEXT);
        if (win::GetWindowLongPtr(child, win::GWL_STYLE) & win::WS_CHILD)
            SendSkinCommand(child, SKC_ENDPARENTUPDATE, 0);
        child = next;
    }
}

intptr_t NotifyParentForm(vcl::TControl* control) {
    if (!control) return 0;
    const auto state = control->ComponentState();
    if (state.Contains(vcl::csDesigning) || state.Contains(vcl::csLoading)) return 0;
    vcl::TCustomForm* form = vcl::GetParentForm(control);
    if (!form || !form->HandleAllocated()) return 0;
    return win::SendMessage(form->Handle(), SM_ALPHACMD, SkinCommandWParam(SKC_CHILDCREATED),
                            reinterpret_cast<intptr_t>(control));
}

TColor AskControlBackColor(vcl::TControl* control) {
    if (!control) return kTransparentKey;
    if (SendSkinCommandNoParam(control, SKC_ISSKINAWARE) == 1) {
        return ControlColorToRGB(TColor(control->Perform(
            SM_ALPHACMD, SkinCommandWParam(SKC_GETBGCOLOR), intptr_t(kTransparentKey))));
    }
    return ControlColorToRGB(TColor(control->Color()));
}

namespace {

// What a window that does not paint through the skin erases its background with.
TColor ClassBackground(win::HWND wnd) {
    const auto brush = win::GetClassLongPtr(wnd, win::GCL_HBRBACKGROUND);
    if (brush >= 1 && brush <= uintptr_t(win::kSysColorCount))
        return win::GetSysColor(int(brush) - 1);
    win::LOGBRUSH lb;
    if (brush != 0 &&
        win::GetObject(reinterpret_cast<win::HBRUSH>(brush), sizeof lb, &lb) == sizeof lb &&
        lb.lbStyle == win::BS_SOLID) {
        return lb.lbColor;
    }
    return win::GetSysColor(win::COLOR_BTNFACE);
}

}  // namespace

TColor AskWindowBackColor(win::HWND wnd) {
    if (!wnd) return kTransparentKey;
    if (SendSkinQuery(wnd, SKC_ISSKINAWARE))
        return ControlColorToRGB(
            TColor(SendSkinCommand(wnd, SKC_GETBGCOLOR, intptr_t(kTransparentKey))));
    return ClassBackground(wnd);
}

TColor AnswerBackgroundColor(const BackgroundColorQuery& q,
                             const std::function<TColor()>& askParent) {
    if (!q.Skinned) return ControlColorToRGB(q.OwnerColor);
    if (q.Transparency == 0) return q.SectionColor;
    if (q.Transparency == 100) {
        if (!q.HasParent) return ControlColorToRGB(q.OwnerColor);
        const TColor p = askParent();
        return p == kTransparentKey ? ControlColorToRGB(q.ParentColor) : p;
    }
    const TColor p = q.HasParent ? askParent() : ControlColorToRGB(q.OwnerColor);
    const uint32_t a = uint32_t(std::clamp(q.Transparency, 0, 100) * 255 / 100);
    auto mix = [&](int shift) {
        const uint32_t own = q.SectionColor >> shift & 0xFF, parent = p >> shift & 0xFF;
        return (own * (255 - a) + parent * a + 127) >> 8 << shift;
    };
    return (p & 0xFF000000) | mix(0) | mix(8) | mix(16);
}

}  // namespace skin
