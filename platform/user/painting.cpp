// Invalidation, validation and the order of paint messages.
#include "platform/user/painting.h"

#include <algorithm>

#include "platform/user/internal.h"
#include "platform/user/styles.h"
#include "platform/user/window_pos.h"

namespace win {

using detail::Window;

namespace detail {

namespace {

bool Empty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

RECT ClientBox(const Window* w) {
    return RECT{0, 0, std::max(0, w->client.right - w->client.left),
                std::max(0, w->client.bottom - w->client.top)};
}

bool HasUpdate(const Window* w) {
    return !Empty(w->update);
}

void AddUpdate(Window* w, const RECT& r) {
    RECT box = ClientBox(w), part;
    if (!IntersectRect(&part, &r, &box)) return;
    UnionRect(&w->update, &w->update, &part);
}

// Removes `r` from the update rectangle where the result is still one rectangle.
void RemoveUpdate(Window* w, const RECT* r) {
    if (r == nullptr) {
        w->update = RECT{};
        return;
    }
    RECT& u = w->update;
    if (r->left <= u.left && r->right >= u.right) {
        if (r->top <= u.top && r->bottom >= u.bottom) {
            u = RECT{};
        } else if (r->top <= u.top && r->bottom > u.top) {
            u.top = r->bottom;
        } else if (r->bottom >= u.bottom && r->top < u.bottom) {
            u.bottom = r->top;
        }
    } else if (r->top <= u.top && r->bottom >= u.bottom) {
        if (r->left <= u.left && r->right > u.left) {
            u.left = r->right;
        } else if (r->right >= u.right && r->left < u.right) {
            u.right = r->left;
        }
    }
    if (Empty(u)) u = RECT{};
}

bool Locked(const Window* w) {
    for (; w != nullptr; w = w->parent)
        if (w->redrawLocked) return true;
    return false;
}

bool ChildrenIncluded(const Window* w, UINT flags) {
    if (flags & RDW_ALLCHILDREN) return true;
    if (flags & RDW_NOCHILDREN) return false;
    return !(w->style & WS_CLIPCHILDREN);
}

bool NeedsPaint(const Window* w) {
    return HasUpdate(w) || w->internalPaint || w->needsFrame;
}

// `r` in the window's client coordinates, or nullptr for all of it (frame included).
void Invalidate(Window* w, const RECT* r, UINT flags) {
    if (!w->Visible() || Locked(w)) return;
    RECT all = ClientBox(w);
    if (flags & RDW_INVALIDATE) {
        AddUpdate(w, r ? *r : all);
        if (flags & RDW_ERASE) w->needsErase = w->needsErase || HasUpdate(w);
        if (flags & RDW_FRAME) {
            // The frame is pending when the area reaches outside the client rectangle.
            RECT wr = w->rect;
            OffsetRect(&wr, -w->client.left, -w->client.top);
            RECT hit;
            if (r == nullptr || (IntersectRect(&hit, r, &wr) &&
                                 !(r->left >= 0 && r->top >= 0 && r->right <= all.right &&
                                   r->bottom <= all.bottom)))
                w->needsFrame = true;
        }
    }
    if (flags & RDW_INTERNALPAINT) w->internalPaint = true;
    if (!ChildrenIncluded(w, flags)) return;
    for (Window* c : w->children) {
        if (!c->Visible()) continue;
        RECT cr = c->rect;  // in w's client coordinates
        RECT part;
        if (r != nullptr && !IntersectRect(&part, r, &cr)) continue;
        if (r == nullptr) part = cr;
        RECT local = part;
        OffsetRect(&local, -c->client.left, -c->client.top);
        bool whole = r == nullptr || EqualRect(&part, &cr);
        Invalidate(c, whole ? nullptr : &local, flags | RDW_ALLCHILDREN);
    }
}

void Validate(Window* w, const RECT* r, UINT flags) {
    if (flags & RDW_VALIDATE) {
        RemoveUpdate(w, r);
        if (!HasUpdate(w)) w->needsErase = false;
    }
    if (flags & RDW_NOERASE) w->needsErase = false;
    if (flags & RDW_NOFRAME) w->needsFrame = false;
    if (flags & RDW_NOINTERNALPAINT) w->internalPaint = false;
    if (!ChildrenIncluded(w, flags)) return;
    for (Window* c : w->children) {
        RECT local;
        const RECT* cr = nullptr;
        if (r != nullptr) {
            local = *r;
            OffsetRect(&local, -c->client.left, -c->client.top);
            cr = &local;
        }
        Validate(c, cr, flags | RDW_ALLCHILDREN);
    }
}

void PaintNow(Window* w, UINT flags) {
    HWND h = w->handle;
    if (!Paintable(w)) return;
    if (w->needsFrame && !HasUpdate(w) && !w->internalPaint) {
        w->needsFrame = false;
        Send(h, WM_NCPAINT, 1, 0);
        if (!Peek(h)) return;
    }
    if ((flags & RDW_UPDATENOW) && NeedsPaint(w) && !w->inPaint) {
        Send(h, WM_PAINT, 0, 0);
        if (!Peek(h)) return;
        ValidateAfterPaint(h);
    }
    if (!ChildrenIncluded(w, flags)) return;
    std::vector<HWND> kids;
    for (Window* c : w->children)
        kids.push_back(c->handle);
    for (HWND k : kids)
        if (Window* c = Peek(k)) PaintNow(c, flags | RDW_ALLCHILDREN);
}

Window* FindPaintWindow(Window* w, HWND filter) {
    if (!w->Visible() || w->redrawLocked) return nullptr;
    bool eligible = w->parent != nullptr && MatchesWindowFilter(w->handle, filter);
    if (eligible && NeedsPaint(w) && !w->inPaint) return w;
    for (Window* c : w->children)
        if (Window* p = FindPaintWindow(c, filter)) return p;
    return nullptr;
}

}  // namespace

bool Paintable(const Window* w) {
    return IsReallyVisible(w) && !Locked(w);
}

bool NextPaintMessage(MSG* out, HWND filter) {
    Window* w = FindPaintWindow(Desktop(), filter);
    if (w == nullptr) return false;
    *out = MSG{w->handle, WM_PAINT, 0, 0, 0, {}};
    return true;
}

void ValidateAfterPaint(HWND hwnd) {
    Window* w = Peek(hwnd);
    if (w == nullptr) return;
    RemoveUpdate(w, nullptr);
    w->internalPaint = false;
    w->needsErase = false;
    w->needsFrame = false;
}

void ForgetPaintState(Window* w) {
    w->update = RECT{};
}

void WindowGeometryChanged(Window* w, const RECT& oldScreen, bool wasVisible, UINT flags) {
    bool visible = w->Visible();
    bool shown = visible && !wasVisible;
    // A new frame that leaves the client area where and as big as it was (a menu bar redrawn
    // with as many rows) repaints the frame only: the client's pixels and the children stay.
    const bool clientKept = (flags & SWP_NOCLIENTSIZE) && (flags & SWP_NOCLIENTMOVE);
    bool sizeChanged = !(flags & SWP_NOSIZE) || ((flags & SWP_FRAMECHANGED) && !clientKept);
    bool moved = !(flags & SWP_NOMOVE);
    if (!(flags & SWP_NOREDRAW) && visible && (shown || sizeChanged || (flags & SWP_NOCOPYBITS)))
        Invalidate(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    else if (visible && (flags & SWP_FRAMECHANGED))
        w->needsFrame = true;
    // A child leaves its old place in the parent's picture.
    bool left = wasVisible && (!visible || moved || sizeChanged);
    if (left && w->IsChild() && w->parent && !(flags & SWP_NOREDRAW)) {
        RECT old = oldScreen;
        POINT o = ClientOrigin(w->parent);
        OffsetRect(&old, -o.x, -o.y);
        Invalidate(w->parent, &old, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    NoteScreenChange(w, oldScreen);
}

void ScreenResized() {
    for (Window* t : Desktop()->children)
        NoteScreenChange(t, ScreenRect(t));
}

void SetRedraw(Window* w, bool allow) {
    w->redrawLocked = !allow;
}

bool TakeUpdate(Window* w, RECT* client, bool* erase) {
    HWND h = w->handle;
    if (w->needsFrame) {
        w->needsFrame = false;
        Send(h, WM_NCPAINT, 1, 0);
        if (!Peek(h)) return false;
    }
    *client = w->update;
    *erase = w->needsErase;
    ValidateAfterPaint(h);
    return true;
}

}  // namespace detail

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    if (hwnd == nullptr) {
        for (Window* t : detail::Desktop()->children)
            detail::Invalidate(t, nullptr,
                               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        return TRUE;
    }
    return RedrawWindow(hwnd, rect, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
    return RedrawWindow(hwnd, rect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL InvalidateRgn(HWND hwnd, HRGN, BOOL erase) {
    return RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL ValidateRgn(HWND hwnd, HRGN) {
    return RedrawWindow(hwnd, nullptr, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN, UINT flags) {
    Window* w = hwnd ? detail::Find(hwnd) : detail::Desktop();
    if (w == nullptr) return FALSE;
    if ((flags & (RDW_INVALIDATE | RDW_VALIDATE)) == (RDW_INVALIDATE | RDW_VALIDATE)) {
        SetLastError(ERROR_INVALID_FLAGS);
        return FALSE;
    }
    if (w == detail::Desktop()) {
        for (Window* t : w->children)
            RedrawWindow(t->handle, nullptr, nullptr, flags);
        return TRUE;
    }
    if (flags & (RDW_INVALIDATE | RDW_INTERNALPAINT))
        detail::Invalidate(w, rect, flags & ~(RDW_VALIDATE | RDW_NOINTERNALPAINT));
    // "No erase" and "no frame" are validation flags: beside RDW_INVALIDATE they only keep this
    // call from adding an erase or a frame, and what a resize or a move already left pending
    // (the newly exposed area) is still erased.
    if (flags & RDW_VALIDATE)
        detail::Validate(w, rect, flags);
    else if (flags & RDW_NOINTERNALPAINT)
        detail::Validate(w, rect, RDW_NOINTERNALPAINT | (flags & (RDW_ALLCHILDREN | RDW_NOCHILDREN)));
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) detail::PaintNow(w, flags);
    return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
    return RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_NOCHILDREN);
}

BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase) {
    Window* w = detail::Find(hwnd);
    if (w == nullptr) return FALSE;
    RECT u = w->update;
    if (rect) *rect = u;
    (void)erase;  // erasing happens in BeginPaint
    return !detail::Empty(u);
}

bool IsRedrawLocked(HWND hwnd) {
    Window* w = detail::Peek(hwnd);
    return w && detail::Locked(w);
}

}  // namespace win
