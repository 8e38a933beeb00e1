#include "vcl/controls/buttons.h"

#include <algorithm>

#include "platform/controls/classic_paint.h"
#include "platform/controls/standard_controls.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "vcl/graphics/image_list.h"

namespace vcl {

// The glyph of a button: the bitmap strip, its frames cut into an image list on demand, and
// the layout of glyph and caption.
class TButtonGlyph {
public:
    explicit TButtonGlyph(TNotifyEvent onChange) : onChange_(onChange) {
        original_.OnChange = TNotifyEvent(this, &TButtonGlyph::Changed);
    }

    TBitmap* Original() { return &original_; }
    TButtonLayout layout = blGlyphLeft;
    int margin = -1;
    int spacing = 4;
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int n) {
        n = std::clamp(n, 1, 4);
        if (n == numGlyphs_) return;
        numGlyphs_ = n;
        list_.reset();
        onChange_(nullptr);
    }
    TPoint Size() const {
        if (original_.Empty()) return {0, 0};
        return {original_.Width() / numGlyphs_, original_.Height()};
    }

    // The glyph's top-left corner and the caption's rectangle in `client`, moved by `offset`.
    void Layout(win::HDC dc, const TRect& client, TPoint offset, const std::string& caption,
                TButtonLayout layout, int margin, int spacing, uint32_t textFlags, TPoint& glyphPos,
                TRect& textBounds) const {
        // Beyond any button's size a margin or spacing places the same, without overflowing.
        margin = std::min(margin, 1 << 20);
        spacing = std::clamp(spacing, -(1 << 20), 1 << 20);
        const TPoint cs{client.Width(), client.Height()};
        const TPoint gs = Size();
        const bool across = layout == blGlyphLeft || layout == blGlyphRight;
        TPoint ts{0, 0};
        textBounds = Rect(0, 0, 0, 0);
        if (!caption.empty()) {
            // A wrapped caption beside the glyph has the width the glyph leaves.
            int room = cs.X;
            if (across && gs.X > 0) room -= gs.X + std::max(spacing, 0);
            win::RECT r{0, 0, std::max(room, 1), 0};
            win::DrawText(dc, caption.c_str(), static_cast<int>(caption.size()), &r,
                          textFlags | win::DT_CALCRECT);
            textBounds = r;
            ts = {r.right - r.left, r.bottom - r.top};
        }
        TPoint tp{0, 0};
        if (across) {
            glyphPos.Y = (cs.Y - gs.Y + 1) / 2;
            tp.Y = (cs.Y - ts.Y + 1) / 2;
        } else {
            glyphPos.X = (cs.X - gs.X + 1) / 2;
            tp.X = (cs.X - ts.X + 1) / 2;
        }
        if (ts.X == 0 || gs.X == 0) spacing = 0;
        // Along the axis of the layout: the room and the glyph and text sizes.
        const int room = across ? cs.X : cs.Y;
        const int g = across ? gs.X : gs.Y, t = across ? ts.X : ts.Y;
        if (margin == -1) {
            if (spacing == -1) {
                margin = (room - g - t) / 3;
                spacing = margin;
            } else {
                margin = (room - (g + spacing + t) + 1) / 2;
            }
        } else if (spacing == -1) {
            spacing = (room - (margin + g) - t) / 2;
        }
        switch (layout) {
            case blGlyphLeft:
                glyphPos.X = margin;
                tp.X = glyphPos.X + gs.X + spacing;
                break;
            case blGlyphRight:
                glyphPos.X = cs.X - margin - gs.X;
                tp.X = glyphPos.X - spacing - ts.X;
                break;
            case blGlyphTop:
                glyphPos.Y = margin;
                tp.Y = glyphPos.Y + gs.Y + spacing;
                break;
            case blGlyphBottom:
                glyphPos.Y = cs.Y - margin - gs.Y;
                tp.Y = glyphPos.Y - spacing - ts.Y;
                break;
        }
        glyphPos.X += client.Left + offset.X;
        glyphPos.Y += client.Top + offset.Y;
        textBounds =
            Rect(tp.X + client.Left + offset.X, tp.Y + client.Top + offset.Y,
                 tp.X + client.Left + offset.X + ts.X, tp.Y + client.Top + offset.Y + ts.Y);
    }

    TRect Draw(win::HDC dc, const TRect& client, TPoint offset, const std::string& caption,
               TButtonState state, bool transparent, uint32_t textFlags) {
        TPoint glyphPos;
        TRect text;
        Layout(dc, client, offset, caption, layout, margin, spacing, textFlags, glyphPos, text);
        DrawGlyph(dc, glyphPos, state, transparent);
        DrawCaption(dc, caption, text, state, textFlags);
        return text;
    }

private:
    void Changed(TObject*) {
        list_.reset();
        // A strip of squares tells its number of frames.
        if (!original_.Empty() && original_.Width() % original_.Height() == 0) {
            const int n = original_.Width() / original_.Height();
            if (n >= 1 && n <= 4) numGlyphs_ = n;
        }
        onChange_(nullptr);
    }

    TImageList* List() {
        if (!list_ && !original_.Empty()) {
            const TPoint s = Size();
            if (s.X < 1) return nullptr;
            list_.reset(New<TImageList>(nullptr, s.X, s.Y));
            list_->AddMasked(&original_, original_.TransparentColor());
        }
        return list_.get();
    }

    void DrawGlyph(win::HDC dc, TPoint pos, TButtonState state, bool transparent) {
        TImageList* list = List();
        if (!list) return;
        // A state without a frame of its own shows the up frame; disabled, embossed.
        int frame = state;
        if (frame >= numGlyphs_) frame = state == bsExclusive && numGlyphs_ >= 3 ? bsDown : bsUp;
        const bool embossed = state == bsDisabled && frame != bsDisabled;
        const bool clear = transparent || state == bsExclusive;
        list->SetBkColor(clear ? clNone : clBtnFace);
        TCanvas canvas;
        canvas.SetHandle(dc);
        list->Draw(&canvas, pos.X, pos.Y, frame, clear ? dsTransparent : dsNormal, itImage,
                   !embossed);
        canvas.SetHandle(nullptr);
    }

    static void DrawCaption(win::HDC dc, const std::string& caption, TRect r, TButtonState state,
                            uint32_t flags) {
        if (caption.empty()) return;
        const int mode = win::SetBkMode(dc, win::TRANSPARENT);
        const win::COLORREF ink = win::GetTextColor(dc);
        auto draw = [&](int dx, win::COLORREF color) {
            win::RECT box{r.Left + dx, r.Top + dx, r.Right + dx, r.Bottom + dx};
            win::SetTextColor(dc, color);
            win::DrawText(dc, caption.c_str(), static_cast<int>(caption.size()), &box, flags);
        };
        if (state == bsDisabled) {
            draw(1, win::GetSysColor(win::COLOR_BTNHIGHLIGHT));
            draw(0, win::GetSysColor(win::COLOR_BTNSHADOW));
        } else {
            draw(0, ink);
        }
        win::SetTextColor(dc, ink);
        win::SetBkMode(dc, mode);
    }

    TBitmap original_;
    int numGlyphs_ = 1;
    std::unique_ptr<TImageList, FreeDeleter> list_;
    TNotifyEvent onChange_;
};

// --- TGlyphButton ---

template <class Base>
TGlyphButton<Base>::TGlyphButton(TComponent* owner)
    : Base(owner),
      glyph_(std::make_unique<TButtonGlyph>(TNotifyEvent(this, &TGlyphButton::GlyphChanged))) {}

template <class Base>
TGlyphButton<Base>::~TGlyphButton() = default;

template <class Base>
TBitmap* TGlyphButton<Base>::Glyph() const {
    return glyph_->Original();
}

template <class Base>
void TGlyphButton<Base>::SetGlyph(TBitmap* glyph) {
    glyph_->Original()->Assign(glyph);
}

template <class Base>
TNumGlyphs TGlyphButton<Base>::NumGlyphs() const {
    return glyph_->NumGlyphs();
}

template <class Base>
void TGlyphButton<Base>::SetNumGlyphs(TNumGlyphs n) {
    glyph_->SetNumGlyphs(n);
}

template <class Base>
TButtonLayout TGlyphButton<Base>::Layout() const {
    return glyph_->layout;
}

template <class Base>
void TGlyphButton<Base>::SetLayout(TButtonLayout layout) {
    if (layout == glyph_->layout) return;
    glyph_->layout = layout;
    this->Invalidate();
}

template <class Base>
int TGlyphButton<Base>::Margin() const {
    return glyph_->margin;
}

template <class Base>
void TGlyphButton<Base>::SetMargin(int margin) {
    if (margin == glyph_->margin || margin < -1) return;
    glyph_->margin = margin;
    this->Invalidate();
}

template <class Base>
int TGlyphButton<Base>::Spacing() const {
    return glyph_->spacing;
}

template <class Base>
void TGlyphButton<Base>::SetSpacing(int spacing) {
    if (spacing == glyph_->spacing) return;
    glyph_->spacing = spacing;
    this->Invalidate();
}

template <class Base>
TRect TGlyphButton<Base>::DrawGlyphAndCaption(win::HDC dc, const TRect& client, TPoint offset,
                                              TButtonState state, bool transparent,
                                              uint32_t textFlags) {
    return glyph_->Draw(dc, client, offset, this->Caption(), state, transparent, textFlags);
}

template class TGlyphButton<TButton>;
template class TGlyphButton<TGraphicControl>;

namespace {

template <class B>
std::vector<TPropInfo> GlyphProperties() {
    return {Property("Glyph", &B::Glyph, &B::SetGlyph),
            Property("NumGlyphs", &B::NumGlyphs, &B::SetNumGlyphs),
            Property("Layout", &B::Layout, &B::SetLayout),
            Property("Margin", &B::Margin, &B::SetMargin),
            Property("Spacing", &B::Spacing, &B::SetSpacing)};
}

}  // namespace

// --- TBitBtn ---

std::vector<TPropInfo> TBitBtn::Published() {
    std::vector<TPropInfo> p = GlyphProperties<TBitBtn>();
    p.push_back(Property("WordWrap", &TBitBtn::WordWrap, &TBitBtn::SetWordWrap));
    return p;
}

void TBitBtn::SetWordWrap(bool on) {
    if (on == wordWrap_) return;
    wordWrap_ = on;
    Invalidate();
}

void TBitBtn::CreateParams(TCreateParams& p) {
    TButton::CreateParams(p);
    p.Style = (p.Style & ~win::BS_TYPEMASK) | win::BS_OWNERDRAW;
}

void TBitBtn::ApplyButtonStyle(bool) {
    // The native button draws nothing of its own: the default frame is ours.
    Invalidate();
}

void TBitBtn::Dispatch(TMessage& m) {
    if (m.Msg == CN_DRAWITEM && m.LParam) {
        DrawItem(*reinterpret_cast<const win::DRAWITEMSTRUCT*>(m.LParam));
        m.Result = 1;
        return;
    }
    TButton::Dispatch(m);
}

void TBitBtn::DrawItem(const win::DRAWITEMSTRUCT& item) {
    win::HDC dc = item.hDC;
    const bool down = item.itemState & win::ODS_SELECTED;
    const bool focused = item.itemState & win::ODS_FOCUS;
    const bool disabled = item.itemState & win::ODS_DISABLED;
    const int saved = win::SaveDC(dc);
    const win::RECT face = win::DrawPushFace(dc, item.rcItem, Active() || focused, down);
    win::SelectObject(dc, Font()->Handle());
    win::SetTextColor(dc, ColorToRGB(Font()->Color()));
    const TRect content(face.left + 2, face.top + 2, face.right - 2, face.bottom - 2);
    const TButtonState state = disabled ? bsDisabled : down ? bsDown : bsUp;
    const uint32_t flags = win::DT_CENTER | win::DT_VCENTER | (wordWrap_ ? win::DT_WORDBREAK : 0);
    DrawGlyphAndCaption(dc, content, down ? TPoint{1, 1} : TPoint{0, 0}, state, false, flags);
    if (focused)
        win::DrawDottedFocus(dc, {face.left + 3, face.top + 3, face.right - 3, face.bottom - 3});
    win::RestoreDC(dc, saved);
}

// --- TSpeedButton ---

std::vector<TPropInfo> TSpeedButton::Published() {
    using B = TSpeedButton;
    std::vector<TPropInfo> p = GlyphProperties<B>();
    for (TPropInfo& i :
         std::vector<TPropInfo>{Property("Flat", &B::Flat, &B::SetFlat),
                                Property("Transparent", &B::Transparent, &B::SetTransparent),
                                Property("GroupIndex", &B::GroupIndex, &B::SetGroupIndex),
                                Property("AllowAllUp", &B::AllowAllUp, &B::SetAllowAllUp),
                                Property("Down", &B::Down, &B::SetDown)})
        p.push_back(std::move(i));
    return p;
}

TSpeedButton::TSpeedButton(TComponent* owner) : TGlyphButton(owner) {
    // Clicks are the button's own: on release over it, and for grouped buttons after Down.
    ControlStyle = {csCaptureMouse, csDoubleClicks};
    SetBounds(0, 0, 23, 22);
    SetParentColor(true);
}

void TSpeedButton::SetFlat(bool on) {
    if (on == flat_) return;
    flat_ = on;
    Invalidate();
}

void TSpeedButton::SetTransparent(bool on) {
    if (on == transparent_) return;
    transparent_ = on;
    if (on)
        ControlStyle >> csOpaque;
    else
        ControlStyle << csOpaque;
    Invalidate();
}

void TSpeedButton::SetGroupIndex(int index) {
    if (index == groupIndex_) return;
    groupIndex_ = index;
    UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool on) {
    if (on == allowAllUp_) return;
    allowAllUp_ = on;
    UpdateExclusive();
}

void TSpeedButton::SetDown(bool on) {
    if (groupIndex_ == 0) on = false;
    if (on == down_) return;
    // The one button down in a group stays down unless the group may be all up.
    if (down_ && !allowAllUp_) return;
    down_ = on;
    state_ = on ? bsExclusive : bsUp;
    Invalidate();
    if (on) UpdateExclusive();
}

void TSpeedButton::UpdateExclusive() {
    if (groupIndex_ == 0 || !Parent()) return;
    TWinControl* parent = Parent();
    for (int i = 0; i < parent->ControlCount(); ++i)
        parent->Controls(i)->Perform(CM_BUTTONPRESSED, static_cast<uintptr_t>(groupIndex_),
                                     reinterpret_cast<intptr_t>(this));
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !Enabled()) return;
    if (!down_) {
        state_ = bsDown;
        Invalidate();
    }
    dragging_ = true;
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    if (!dragging_) return;
    const bool inside = ClientRect().Contains({x, y});
    const TButtonState s = down_ ? bsExclusive : inside ? bsDown : bsUp;
    if (s == state_) return;
    state_ = s;
    Invalidate();
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!dragging_) return;
    dragging_ = false;
    const bool inside = ClientRect().Contains({x, y});
    if (groupIndex_ == 0) {
        state_ = bsUp;
        Invalidate();
    } else if (inside) {
        SetDown(!down_);
    } else {
        state_ = down_ ? bsExclusive : bsUp;
        Invalidate();
    }
    if (inside) Click();
}

void TSpeedButton::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case CM_BUTTONPRESSED: {
            auto* sender = reinterpret_cast<TSpeedButton*>(m.LParam);
            if (static_cast<int>(m.WParam) != groupIndex_ || !sender || sender == this) return;
            if (sender->Down() && down_) {
                down_ = false;
                state_ = bsUp;
                Invalidate();
            }
            allowAllUp_ = sender->AllowAllUp();
            return;
        }
        case CM_MOUSEENTER:
            if (!mouseInControl_ && Enabled()) {
                mouseInControl_ = true;
                if (flat_) Invalidate();
            }
            TGraphicControl::Dispatch(m);
            return;
        case CM_MOUSELEAVE:
            if (mouseInControl_ && !dragging_) {
                mouseInControl_ = false;
                if (flat_) Invalidate();
            }
            TGraphicControl::Dispatch(m);
            return;
        case CM_ENABLEDCHANGED:
            if (!Enabled()) mouseInControl_ = false;
            TGraphicControl::Dispatch(m);
            return;
        case CM_DIALOGCHAR:
            m.Result = 0;
            if (IsAccel(static_cast<uint32_t>(m.WParam), Caption()) && Enabled() && Visible() &&
                Parent() && Parent()->Showing()) {
                Click();
                m.Result = 1;
            }
            return;
        default:
            TGraphicControl::Dispatch(m);
            return;
    }
}

void TSpeedButton::Paint() {
    if (!Enabled()) {
        state_ = bsDisabled;
        dragging_ = false;
    } else if (state_ == bsDisabled) {
        state_ = down_ && groupIndex_ != 0 ? bsExclusive : bsUp;
    }
    TCanvas* c = Canvas();
    win::HDC dc = c->Handle();
    const bool pushed = state_ == bsDown || state_ == bsExclusive;
    win::RECT r = ClientRect();
    if (!flat_) {
        win::DrawFrameControl(
            dc, &r, win::DFC_BUTTON,
            win::DFCS_BUTTONPUSH | win::DFCS_ADJUSTRECT | (pushed ? win::DFCS_PUSHED : 0));
    } else {
        if (pushed || (mouseInControl_ && state_ != bsDisabled)) {
            win::RECT edge = r;
            win::DrawEdge(dc, &edge, pushed ? win::BDR_SUNKENOUTER : win::BDR_RAISEDINNER,
                          win::BF_RECT | (transparent_ ? 0 : win::BF_MIDDLE));
        } else if (!transparent_) {
            c->Brush()->SetColor(Color());
            c->FillRect(r);
        }
        win::InflateRect(&r, -1, -1);
    }
    if (state_ == bsExclusive && (!flat_ || !mouseInControl_))
        win::FillCheckered(dc, r, win::COLOR_BTNFACE, win::COLOR_BTNHIGHLIGHT);
    win::SelectObject(dc, Font()->Handle());
    win::SetTextColor(dc, ColorToRGB(Font()->Color()));
    DrawGlyphAndCaption(dc, r, pushed ? TPoint{1, 1} : TPoint{0, 0}, state_, transparent_,
                        win::DT_CENTER | win::DT_VCENTER);
    c->Refresh();
}

}  // namespace vcl
