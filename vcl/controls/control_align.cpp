// Alignment: Align and Anchors, and the parent placing its children by them.
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

void TControl::UpdateAnchorRules() {
    if (!parent_ || anchorMove_) return;
    const TRect pc = parent_->ClientRect();
    anchorParentW_ = pc.Width();
    anchorParentH_ = pc.Height();
    anchorLeft_ = left_;
    anchorTop_ = top_;
    anchorWidth_ = width_;
    anchorHeight_ = height_;
}

void TControl::SetAlign(TAlign align) {
    if (align == align_) return;
    align_ = align;
    RequestAlign();
}

void TControl::SetAnchors(TAnchors anchors) {
    anchors_ = anchors;
    UpdateAnchorRules();
}

void TControl::RequestAlign() {
    if (parent_) parent_->Realign();
}

void TWinControl::Realign() {
    if (alignDisabled_ > 0 || aligning_) return;
    DoAlignChildren();
}

void TWinControl::EnableAlign() {
    if (alignDisabled_ > 0 && --alignDisabled_ == 0) Realign();
}

void TWinControl::DoAlignChildren() {
    aligning_ = true;
    TRect r = ClientRect();
    AdjustClientRect(r);
    try {
        AlignControls(nullptr, r);
    } catch (...) {
        aligning_ = false;
        throw;
    }
    aligning_ = false;
}

void TWinControl::AlignControls(TControl*, TRect& rect) {
    std::vector<TControl*> all(controls_.begin(), controls_.end());
    all.insert(all.end(), winControls_.begin(), winControls_.end());
    const TRect client = rect;

    // Anchored controls are placed from where they were given their place, by how much the
    // parent has grown or shrunk since.
    for (TControl* c : all) {
        if (c->Align() != alNone || c->anchorParentW_ < 0) continue;
        const int dw = client.Width() - c->anchorParentW_;
        const int dh = client.Height() - c->anchorParentH_;
        int l = c->anchorLeft_, t = c->anchorTop_, w = c->anchorWidth_, h = c->anchorHeight_;
        const TAnchors a = c->Anchors();
        if (a.Contains(akRight)) {
            if (a.Contains(akLeft))
                w += dw;
            else
                l += dw;
        } else if (!a.Contains(akLeft)) {
            l += dw / 2;
        }
        if (a.Contains(akBottom)) {
            if (a.Contains(akTop))
                h += dh;
            else
                t += dh;
        } else if (!a.Contains(akTop)) {
            t += dh / 2;
        }
        struct Placing {
            TControl* c;
            ~Placing() { c->anchorMove_ = false; }
        } placing{c};
        c->anchorMove_ = true;
        c->SetBounds(l, t, w, h);
    }

    // Aligned controls take the edges in the order top, bottom, left, right, then the rest;
    // among equals the one nearer the edge goes first.
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> list;
        for (TControl* c : all)
            if (c->Align() == a && c->Visible()) list.push_back(c);
        std::stable_sort(list.begin(), list.end(), [a](TControl* x, TControl* y) {
            switch (a) {
                case alTop:
                    return x->Top() < y->Top();
                case alBottom:
                    return x->Top() + x->Height() > y->Top() + y->Height();
                case alLeft:
                    return x->Left() < y->Left();
                case alRight:
                    return x->Left() + x->Width() > y->Left() + y->Width();
                default:
                    return false;
            }
        });
        for (TControl* c : list) {
            int l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
            switch (a) {
                case alTop:
                    l = rect.Left, t = rect.Top, w = rect.Width();
                    rect.Top += h;
                    break;
                case alBottom:
                    l = rect.Left, t = rect.Bottom - h, w = rect.Width();
                    rect.Bottom -= h;
                    break;
                case alLeft:
                    l = rect.Left, t = rect.Top, h = rect.Height();
                    rect.Left += w;
                    break;
                case alRight:
                    l = rect.Right - w, t = rect.Top, h = rect.Height();
                    rect.Right -= w;
                    break;
                default:
                    l = rect.Left, t = rect.Top, w = rect.Width(), h = rect.Height();
                    break;
            }
            c->SetBounds(l, t, std::max(w, 0), std::max(h, 0));
        }
    }
    lastClientW_ = client.Width();
    lastClientH_ = client.Height();
}

}  // namespace vcl
