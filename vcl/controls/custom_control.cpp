// TCustomControl and TGraphicControl, the controls that paint on a canvas, and TControlCanvas.
#include "vcl/controls/controls.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <map>
#include <unordered_map>

#include "platform/gdi/gdi.h"
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

TCustomControl::TCustomControl(TComponent* owner)
    : TWinControl(owner), canvas_(new TControlCanvas(this)) {}

TCustomControl::~TCustomControl() {
    delete canvas_;
}

void TCustomControl::PaintWindow(win::HDC dc) {
    TPaintDCLease lease(canvas_, dc);
    Paint();
}

TGraphicControl::TGraphicControl(TComponent* owner)
    : TControl(owner), canvas_(new TControlCanvas(this)) {}

TGraphicControl::~TGraphicControl() {
    delete canvas_;
}

void TGraphicControl::Dispatch(TMessage& m) {
    if (m.Msg == win::WM_PAINT && m.WParam) {
        TPaintDCLease lease(canvas_, reinterpret_cast<win::HDC>(m.WParam));
        Paint();
        return;
    }
    TControl::Dispatch(m);
}

void TControlCanvas::UsePaintDC(win::HDC dc) {
    FreeHandle();
    if (dc) SetHandle(dc);
}

TPaintDCLease::TPaintDCLease(TCanvas* canvas, win::HDC dc)
    : canvas_(static_cast<TControlCanvas*>(canvas)) {
    canvas_->Lock();
    canvas_->UsePaintDC(dc);
}

TPaintDCLease::~TPaintDCLease() {
    canvas_->UsePaintDC(nullptr);
    canvas_->Unlock();
}

namespace {

// The canvases that hold a DC of a window, so that the DC goes back before the window goes.
std::vector<TControlCanvas*>& CanvasesWithDC() {
    static std::vector<TControlCanvas*> v;
    return v;
}

}  // namespace

void TControlCanvas::FreeHandlesOf(win::HWND window) {
    std::vector<TControlCanvas*> holding;
    for (TControlCanvas* c : CanvasesWithDC())
        if (c->window_ == window) holding.push_back(c);
    for (TControlCanvas* c : holding)
        c->FreeHandle();
}

void TControlCanvas::FreeHandle() {
    SetHandle(nullptr);
    if (dc_ && own_) {
        win::ReleaseDC(window_, dc_);
        auto& v = CanvasesWithDC();
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    dc_ = nullptr;
    window_ = nullptr;
    own_ = false;
}

void TControlCanvas::CreateHandle() {
    if (auto* w = dynamic_cast<TWinControl*>(control_)) {
        window_ = w->Handle();
        dc_ = win::GetDC(window_);
    } else if (control_->Parent()) {
        // A graphic control draws on its parent's window, moved and clipped to its bounds.
        window_ = control_->Parent()->Handle();
        dc_ = win::GetDC(window_);
        win::SetWindowOrgEx(dc_, -control_->Left(), -control_->Top(), nullptr);
        win::IntersectClipRect(dc_, 0, 0, control_->Width(), control_->Height());
    }
    own_ = dc_ != nullptr;
    if (own_) CanvasesWithDC().push_back(this);
    if (dc_) SetHandle(dc_);
}

}  // namespace vcl
