#include "skin/controls/hints.h"

#include <algorithm>
#include <cmath>

#include "platform/gdi/gdi.h"
#include "platform/os/clock.h"
#include "platform/user/system_metrics.h"
#include "platform/user/user.h"
#include "platform/user/window_region.h"
#include "skin/controls/control_frame.h"
#include "skin/controls/hint_html.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/png_graphic.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/state/skin_text.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/system/resources.h"
#include "vcl/system/sysutils.h"

namespace skin {

using namespace vcl;

namespace {

TsAlphaHints* gCurrent = nullptr;

std::string Trimmed(const std::string& s) {
    const std::size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

}  // namespace

TsAlphaHints* CurrentAlphaHints() {
    return gCurrent;
}

// --- template pictures ---

void TacBordersSizes::Set(int index, int value) {
    const int size = !image_                ? INT32_MAX
                     : index % 2 == 0 ? image_->ImageHeight()
                                      : image_->ImageWidth();
    if (image_) value = std::min(value, size - 1);
    v_[size_t(index)] = value;
    // The opposite border leaves one pixel between them.
    int& opposite = v_[size_t((index + 2) % 4)];
    if (image_ && std::max(value, 0) + std::max(opposite, 0) > size - 1)
        opposite = std::max(size - 1 - std::max(value, 0), 0);
    if (image_) image_->Changed();
}

void TacBordersSizes::Assign(const TPersistent* source) {
    if (const auto* b = dynamic_cast<const TacBordersSizes*>(source)) {
        v_ = b->v_;
        return;
    }
    TPersistent::Assign(source);
}

void TacBorderDrawModes::Assign(const TPersistent* source) {
    if (const auto* m = dynamic_cast<const TacBorderDrawModes*>(source)) {
        Top = m->Top;
        Left = m->Left;
        Bottom = m->Bottom;
        Right = m->Right;
        Center = m->Center;
        return;
    }
    TPersistent::Assign(source);
}

TacHintImage::TacHintImage() : image_(new TPNGGraphic) {}

TacHintImage::~TacHintImage() = default;

bool TacHintImage::Empty() const {
    return image_->Width() < 1 || image_->Height() < 1;
}

int TacHintImage::ImageWidth() const {
    return Empty() ? 0 : image_->Width();
}

int TacHintImage::ImageHeight() const {
    return Empty() ? 0 : image_->Height();
}

void TacHintImage::SetImage(const TPersistent* picture) {
    image_->Assign(picture);
    if (image_->PixelFormat() == pf32bit) {
        for (int y = 0; y < image_->Height(); ++y) {
            uint8_t* p = image_->ScanLine(y);
            for (int x = 0; x < image_->Width(); ++x, p += 4)
                if (p[3] == 0) p[0] = p[1] = p[2] = 0;
        }
    }
    const int w = (ImageWidth() - 1) / 2, h = (ImageHeight() - 1) / 2;
    for (TacBordersSizes* b : {&margins_, &borders_})
        b->v_ = {std::max(h, 0), std::max(w, 0), std::max(h, 0), std::max(w, 0)};
    Changed();
}

void TacHintImage::Assign(const TPersistent* source) {
    if (const auto* i = dynamic_cast<const TacHintImage*>(source)) {
        image_->Assign(i->image_.get());
        margins_.v_ = i->margins_.v_;
        borders_.v_ = i->borders_.v_;
        modes_.Assign(&i->modes_);
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

void TacHintImage::Changed() {
    if (changing_) return;
    changing_ = true;
    try {
        OnChange(this);
    } catch (...) {
        changing_ = false;
        throw;
    }
    changing_ = false;
}

// --- TacHintTemplate ---

std::vector<TPropInfo> TacHintTemplate::Published() {
    return {Property("Name", &TacHintTemplate::Name, &TacHintTemplate::SetName),
            Property("ImageDefault", &TacHintTemplate::ImageDefault),
            Property("Img_LeftBottom", &TacHintTemplate::Img_LeftBottom),
            Property("Img_RightTop", &TacHintTemplate::Img_RightTop),
            Property("Img_RightBottom", &TacHintTemplate::Img_RightBottom)};
}

TacHintTemplate::TacHintTemplate(TCollection* collection) : TCollectionItem(collection) {
    for (auto& i : images_) i.reset(new TacHintImage);
}

TacHintTemplate::~TacHintTemplate() = default;

TacHintImage* TacHintTemplate::ImageFor(int corner) const {
    TacHintImage* i = corner >= 1 && corner <= 3 ? images_[size_t(corner)].get() : nullptr;
    return i && !i->Empty() ? i : ImageDefault();
}

TacHintTemplate* BuiltInHintTemplate() {
    static TacHintTemplate* const balloon = [] {
        auto* t = new TacHintTemplate(nullptr);
        TacHintImage* i = t->ImageDefault();
        try {
            TResourceStream stream("ACHINT");
            TPNGGraphic png;
            png.LoadFromStream(&stream);
            i->SetImage(&png);
        } catch (const std::exception&) {
            // Without the picture the balloon is the application's hint colour.
        }
        TacBordersSizes* b = i->BordersWidths();
        b->SetLeft(7);
        b->SetTop(7);
        b->SetRight(15);
        b->SetBottom(15);
        TacBordersSizes* m = i->ClientMargins();
        m->SetLeft(11);
        m->SetTop(7);
        m->SetRight(15);
        m->SetBottom(14);
        return t;
    }();
    return balloon;
}

// --- TsAlphaHints ---

std::vector<TPropInfo> TsAlphaHints::Published() {
    using H = TsAlphaHints;
    return {Property("Active", &H::Active, &H::SetActive),
            Property("Animated", &H::Animated, &H::SetAnimated),
            Property("MaxWidth", &H::MaxWidth, &H::SetMaxWidth),
            Property("HTMLMode", &H::HTMLMode, &H::SetHTMLMode),
            Property("PauseHide", &H::PauseHide, &H::SetPauseHide),
            Property("SkinSection", &H::SkinSection, &H::SetSkinSection),
            Property("UseSkinData", &H::UseSkinData, &H::SetUseSkinData),
            Property("TemplateName", &H::TemplateName, &H::SetTemplateName)};
}

TsAlphaHints::TsAlphaHints(TComponent* owner)
    : TComponent(owner),
      templates_(New<TCollection>([](TCollection* c) { return new TacHintTemplate(c); })) {}

TsAlphaHints::~TsAlphaHints() {
    TApplication* app = Application();
    // The application keeps no handler of a component that is gone, current or not.
    if (app && app->OnShowHint == TShowHintEvent(this, &TsAlphaHints::ShowHintHandler))
        app->OnShowHint = {};
    if (gCurrent == this) {
        gCurrent = nullptr;
        if (app) app->SetHintWindowClass({});
    }
    templates_->Free();
}

void TsAlphaHints::ChooseWindowClass() {
    if (ComponentState().Contains(csDesigning) || Tag() == -98) return;
    TApplication* app = Application();
    if (active_ && win::kLayeredWindowsAvailable && !ComponentState().Contains(csDestroying)) {
        gCurrent = this;
        if (app)
            app->SetHintWindowClass([](TComponent* owner) { return New<TacPngHintWindow>(owner); });
    } else if (gCurrent == this) {
        gCurrent = nullptr;
        if (app) app->SetHintWindowClass({});
    }
}

void TsAlphaHints::SetActive(bool on) {
    active_ = on;
    ChooseWindowClass();
}

void TsAlphaHints::SetPauseHide(int ms) {
    pauseHide_ = ms;
    if (!ComponentState().Contains(csDesigning))
        if (TApplication* app = Application()) app->HintHidePause = ms;
}

void TsAlphaHints::SetTemplateName(const std::string& name) {
    templateName_ = name;
    templateIndex_ = -1;
    const std::string wanted = Trimmed(name);
    for (int i = 0; i < templates_->Count(); ++i)
        if (Trimmed(static_cast<TacHintTemplate*>(templates_->Items(i))->Name()) == wanted) {
            templateIndex_ = i;
            return;
        }
}

bool TsAlphaHints::UsesSkinSection() const {
    const TsSkinManager* mgr = DefaultManager;
    return gCurrent == this && mgr && useSkinData_ && mgr->GetSkinIndex(skinSection_) >= 0;
}

void TsAlphaHints::Loaded() {
    TComponent::Loaded();
    if (skinSection_.empty()) skinSection_ = "HINT";
    if (ComponentState().Contains(csDesigning) || Tag() == -98) return;
    if (TApplication* app = Application()) {
        app->HintHidePause = pauseHide_;
        app->HintPause = 500;
        app->HintShortPause = 200;
        app->OnShowHint = TShowHintEvent(this, &TsAlphaHints::ShowHintHandler);
    }
    ClearLastPosition();
    ChooseWindowClass();
}

void TsAlphaHints::ShowHintHandler(std::string& text, bool& canShow, THintInfo& info) {
    lastPos_ = info.HintPos;
    OnShowHint(text, canShow, info);
    lastPos_ = info.HintPos;
}

// --- TacCustomHintWindow ---

namespace {

// The built-in balloon's client margins.
constexpr TRect kBalloonMargins(11, 7, 15, 14);
constexpr int kTextFlags = win::DT_WORDBREAK | win::DT_CENTER | win::DT_NOPREFIX;

}  // namespace

TacCustomHintWindow::TacCustomHintWindow(TComponent* owner)
    : THintWindow(owner),
      data_(std::make_unique<TsCommonData>(this, true)),
      work_(New<TBitmap>()),
      picture_(New<TBitmap>()) {
    work_->SetPixelFormat(pf24bit);
    work_->SetSize(1, 1);
    if (TsAlphaHints* h = CurrentAlphaHints()) data_->SetSkinSection(h->SkinSection());
}

TacCustomHintWindow::~TacCustomHintWindow() = default;

void TacCustomHintWindow::CreateParams(TCreateParams& p) {
    THintWindow::CreateParams(p);
    p.Style &= ~uint32_t(win::WS_BORDER);
    // The hint takes no mouse input.
    p.ExStyle |= win::WS_EX_TRANSPARENT;
    const TsAlphaHints* h = CurrentAlphaHints();
    if (h && h->UsesSkinSection())
        p.ClassStyle |= win::CS_DROPSHADOW;
    else
        p.ClassStyle &= ~uint32_t(win::CS_DROPSHADOW);
}

bool TacCustomHintWindow::SkinDrawn() const {
    const TsAlphaHints* h = CurrentAlphaHints();
    return h && h->UsesSkinSection();
}

int TacCustomHintWindow::SkinIndex() const {
    const TsSkinManager* mgr = DefaultManager;
    const TsAlphaHints* h = CurrentAlphaHints();
    if (!mgr || !h) return -1;
    const int i = mgr->GetSkinIndex(h->SkinSection());
    return i >= 0 ? i : mgr->GetSkinIndex("EDIT");
}

TRect TacCustomHintWindow::SkinBorders() const {
    TsSkinManager* mgr = DefaultManager;
    const int index = SkinIndex();
    if (!mgr || !mgr->IsValidSkinIndex(index)) return {};
    const int mask = mgr->Skin().Sections[size_t(index)].BordersMask;
    if (!mgr->Skin().IsValidImgIndex(mask)) return {};
    const TsMaskData& m = mgr->Masks()[size_t(mask)];
    if (m.BorderWidth > 0) return TRect(m.BorderWidth, m.BorderWidth, m.BorderWidth, m.BorderWidth);
    // A border the mask leaves unset is a third of one image.
    const win::SIZE one = mgr->GetMaskStateSize(mask);
    return TRect(m.WL > 0 ? m.WL : one.cx / 3, m.WT > 0 ? m.WT : one.cy / 3,
                 m.WR > 0 ? m.WR : one.cx / 3, m.WB > 0 ? m.WB : one.cy / 3);
}

TRect TacCustomHintWindow::MeasureText(const std::string& text, TRect r) {
    const TsAlphaHints* h = CurrentAlphaHints();
    if (h && h->HTMLMode()) {
        TsHtml html;
        html.Init(work_.get(), text, r);
        html.Render(r);
        return r;
    }
    win::RECT box = r;
    win::DrawText(work_->Canvas()->Handle(), text.c_str(), int(text.size()), &box,
                  win::DT_CALCRECT | kTextFlags | win::DT_VCENTER);
    return TRect(box.left, box.top, box.right, box.bottom);
}

TacHintTemplate* TacCustomHintWindow::CurrentTemplate() const {
    const TsAlphaHints* h = CurrentAlphaHints();
    const int i = h ? h->TemplateIndex() : -1;
    if (h && i >= 0 && i < h->Templates()->Count())
        return static_cast<TacHintTemplate*>(h->Templates()->Items(i));
    return BuiltInHintTemplate();
}

TRect TacCustomHintWindow::FitImage(TacHintImage* image, const TRect& text) {
    if (!image || image->Empty())
        return TRect(0, 0, text.Width() + kBalloonMargins.Left + kBalloonMargins.Right,
                     text.Height() + kBalloonMargins.Top + kBalloonMargins.Bottom);
    const TRect m = image->ClientMargins()->AsRect();
    return TRect(0, 0, std::max(text.Width() + m.Left + m.Right, image->ImageWidth()),
                 std::max(text.Height() + m.Top + m.Bottom, image->ImageHeight()));
}

TRect TacCustomHintWindow::TextBox(const std::string& hint) {
    if (measuredValid_ && hint == measured_) return textBox_;
    const TsAlphaHints* h = CurrentAlphaHints();
    work_->Canvas()->SetFont(SkinDrawn() ? Screen()->HintFont() : CurrentTemplate()->Font());
    const int w = h && h->MaxWidth() >= 1 ? h->MaxWidth() : Screen()->Width();
    const TRect r = MeasureText(hint, TRect(0, 0, w, 0));
    measured_ = hint;
    measuredValid_ = true;
    textBox_ = TRect(0, 0, r.Width(), r.Height());
    return textBox_;
}

TPoint TacCustomHintWindow::HintPosition(TPoint stored) const {
    if (stored.X != 0 && stored.Y != 0) return stored;
    const TsAlphaHints* h = CurrentAlphaHints();
    if (h && h->LastPosition().X != -1) return h->LastPosition();
    win::POINT cursor{};
    win::GetCursorPos(&cursor);
    return {cursor.x, cursor.y};
}

TacCustomHintWindow::Layout TacCustomHintWindow::LayOut(const std::string& hint, TPoint at) {
    const TRect text = TextBox(hint);
    win::MONITORINFO mi;
    win::GetMonitorInfo(win::MonitorFromPoint({at.X, at.Y}, win::MONITOR_DEFAULTTONEAREST), &mi);
    const TRect monitor(mi.rcMonitor.left, mi.rcMonitor.top, mi.rcMonitor.right,
                        mi.rcMonitor.bottom);
    Layout l;
    if (SkinDrawn()) {
        const TRect b = SkinBorders();
        l.rect = Bounds(at.X, at.Y, text.Width() + b.Left + b.Right + 8,
                        text.Height() + b.Top + b.Bottom + 8);
        l.corner = PlaceHint(l.rect, at, 0, monitor, true);
        return l;
    }
    // The corner chooses the picture, whose size may move the hint to another corner: a few
    // turns settle on a picture that fits where it is put.
    const TacHintTemplate* t = CurrentTemplate();
    l.image = t->ImageDefault();
    for (int turn = 0; turn < 4; ++turn) {
        const TRect size = FitImage(l.image, text);
        l.rect = Bounds(at.X, at.Y, size.Width(), size.Height());
        l.corner = PlaceHint(l.rect, at, 0, monitor, false);
        TacHintImage* next = t->ImageFor(l.corner);
        if (next == l.image) break;
        l.image = next;
    }
    return l;
}

TRect TacCustomHintWindow::CalcHintRect(int, const std::string& hint) {
    measuredValid_ = false;  // fonts and widths may have changed since the last hint
    const Layout l = LayOut(hint, HintPosition({0, 0}));
    return TRect(0, 0, l.rect.Width(), l.rect.Height());
}

void TacCustomHintWindow::PaintSkinned(const std::string& text) {
    TsCommonData* d = data_.get();
    d->SetSkinSection(CurrentAlphaHints()->SkinSection());
    PaintSectionIntoCache(this, d, 0, true);
    TBitmap* cache = d->CacheBmp();
    const TRect b = SkinBorders();
    const TRect inner(b.Left + 4, b.Top + 4, Width() - b.Right - 4, Height() - b.Bottom - 4);
    TCanvas* canvas = cache->Canvas();
    canvas->SetFont(Screen()->HintFont());
    canvas->Brush()->SetStyle(bsClear);
    if (CurrentAlphaHints()->HTMLMode()) {
        if (const TsGeneralData* s = d->Section()) canvas->Font()->SetColor(TColor(s->FontColor));
        TsHtml html;
        html.Init(cache, text, inner);
        TRect out;
        html.Render(out);
    } else {
        DrawSectionText(canvas, text, true, DefaultManager, 0, SkinIndex(),
                        kTextFlags | win::DT_EXPANDTABS, inner);
    }
    canvas->Refresh();
    // The key-coloured corners of the border mask are fully clear.
    picture_->SetPixelFormat(pf32bit);
    picture_->SetSize(Width(), Height());
    for (int y = 0; y < Height(); ++y) {
        const uint8_t* src = cache->ScanLine(y);
        uint8_t* dst = picture_->ScanLine(y);
        for (int x = 0; x < Width(); ++x, src += 3, dst += 4) {
            const bool clear = src[0] == 0xFF && src[1] == 0x00 && src[2] == 0xFF;
            dst[0] = clear ? 0 : src[0];
            dst[1] = clear ? 0 : src[1];
            dst[2] = clear ? 0 : src[2];
            dst[3] = clear ? 0 : 255;
        }
    }
}

void TacCustomHintWindow::PaintTemplate(const std::string& text) {
    TacHintTemplate* t = CurrentTemplate();
    TacHintImage* image = image_ ? image_ : t->ImageDefault();
    picture_->SetPixelFormat(pf32bit);
    picture_->SetSize(Width(), Height());
    TCanvas* canvas = picture_->Canvas();
    TRect margins = kBalloonMargins;
    if (!image->Empty()) {
        // The picture over the whole hint, its borders kept.
        canvas->Brush()->SetColor(clBlack);
        canvas->FillRect(Rect(0, 0, Width(), Height()));
        for (int y = 0; y < Height(); ++y) {
            uint8_t* p = picture_->ScanLine(y);
            for (int x = 0; x < Width(); ++x) p[x * 4 + 3] = 0;
        }
        const TacBorderDrawModes* m = image->BorderDrawModes();
        const TRect borders = image->BordersWidths()->AsRect();
        PaintBitmapNineSlice(canvas->Handle(), image->Image()->Canvas()->Handle(),
                             Rect(0, 0, Width(), Height()),
                             Rect(0, 0, image->ImageWidth(), image->ImageHeight()), borders,
                             borders, {m->Left, m->Top, m->Right, m->Bottom, m->Center}, true);
        margins = image->ClientMargins()->AsRect();
    } else {
        // Without a picture the hint is the application's hint colour, opaque.
        canvas->Brush()->SetColor(Application() ? Application()->HintColor : clInfoBk);
        canvas->FillRect(Rect(0, 0, Width(), Height()));
        for (int y = 0; y < Height(); ++y) {
            uint8_t* p = picture_->ScanLine(y);
            for (int x = 0; x < Width(); ++x) p[x * 4 + 3] = 255;
        }
    }
    // The text keeps the picture's alpha.
    std::vector<uint8_t> alpha(size_t(Width()) * size_t(Height()));
    for (int y = 0; y < Height(); ++y) {
        const uint8_t* p = picture_->ScanLine(y);
        for (int x = 0; x < Width(); ++x) alpha[size_t(y) * size_t(Width()) + size_t(x)] = p[x * 4 + 3];
    }
    canvas->SetFont(t->Font());
    canvas->Brush()->SetStyle(bsClear);
    const TRect inner(margins.Left, margins.Top, Width() - margins.Right, Height() - margins.Bottom);
    if (CurrentAlphaHints() && CurrentAlphaHints()->HTMLMode()) {
        TsHtml html;
        html.Init(picture_.get(), text, inner);
        TRect out;
        html.Render(out);
    } else {
        win::RECT box = inner;
        win::HDC dc = canvas->Handle();
        win::SelectObject(dc, canvas->Font()->Handle());
        win::SetTextColor(dc, vcl::ColorToRGB(canvas->Font()->Color()));
        const int mode = win::SetBkMode(dc, win::TRANSPARENT);
        win::DrawText(dc, text.c_str(), int(text.size()), &box, kTextFlags);
        win::SetBkMode(dc, mode);
    }
    canvas->Refresh();
    // The layered window takes its colours premultiplied by their alpha.
    for (int y = 0; y < Height(); ++y) {
        uint8_t* p = picture_->ScanLine(y);
        for (int x = 0; x < Width(); ++x, p += 4) {
            const unsigned a = alpha[size_t(y) * size_t(Width()) + size_t(x)];
            p[3] = uint8_t(a);
            for (int k = 0; k < 3; ++k) p[k] = uint8_t((p[k] * a + 127) / 255);
        }
    }
}

void TacCustomHintWindow::MakeRegion() {
    TBitmap* cache = data_->CacheBmp();
    if (!HandleAllocated() || !SkinDrawn() || !cache || cache->Width() != Width() ||
        cache->Height() != Height())
        return;
    // The window owns the region it is given.
    win::SetWindowRgn(Handle(), RegionFromBitmap(ViewOf(cache), TColor(0xFF00FF)), win::TRUE);
}

void TacCustomHintWindow::ActivateHint(TRect rect, const std::string& hint) {
    TsAlphaHints* h = CurrentAlphaHints();
    if (!h) {
        THintWindow::ActivateHint(rect, hint);
        return;
    }
    SetCaption(hint);
    const bool skinned = SkinDrawn();
    // The same sources and layout as CalcHintRect: the size measured for the hint is the one
    // of the picture of the corner it shows at.
    const Layout l = LayOut(hint, HintPosition(rect.TopLeft()));
    measuredValid_ = false;
    corner_ = l.corner;
    image_ = l.image;
    const TRect r = l.rect;
    SetBounds(r.Left, r.Top, r.Width(), r.Height());
    if (r.Width() < 1 || r.Height() < 1) return;
    if (skinned)
        PaintSkinned(hint);
    else
        PaintTemplate(hint);
    win::HWND wnd = Handle();
    // A skin-drawn hint takes its section's shape; a picture's alpha is its own shape.
    if (skinned)
        MakeRegion();
    else
        win::SetWindowRgn(wnd, nullptr, win::FALSE);
    win::SetWindowPos(wnd, win::HWND_TOPMOST, r.Left, r.Top, r.Width(), r.Height(),
                      win::SWP_NOACTIVATE);
    win::SetWindowLongA(wnd, win::GWL_EXSTYLE,
                        win::GetWindowLongA(wnd, win::GWL_EXSTYLE) | win::WS_EX_LAYERED);
    const win::SIZE size{r.Width(), r.Height()};
    const win::POINT origin{0, 0}, place{r.Left, r.Top};
    win::BLENDFUNCTION blend{win::AC_SRC_OVER, 0, 255, win::AC_SRC_ALPHA};
    const auto update = [&](uint8_t alpha) {
        blend.SourceConstantAlpha = alpha;
        return win::UpdateLayeredWindow(wnd, nullptr, &place, &size, picture_->Canvas()->Handle(),
                                        &origin, 0, &blend, win::ULW_ALPHA);
    };
    if (h->Animated()) {
        const TsGeneralData* s = skinned ? data_->Section() : nullptr;
        const auto steps = HintFadeSteps(s ? s->Transparency : 0);
        update(0);
        win::ShowWindow(wnd, win::SW_SHOWNOACTIVATE);
        for (uint8_t alpha : steps) {
            // A window gone while the fade sleeps ends it.
            if (!HandleAllocated() || !win::IsWindow(wnd)) break;
            update(alpha);
            os::Sleep(8);
        }
    } else {
        update(255);
        win::ShowWindow(wnd, win::SW_SHOWNOACTIVATE);
    }
    h->ClearLastPosition();
}

void TacCustomHintWindow::WndProc(TMessage& m) {
    if (m.Msg == SM_ALPHACMD) {
        switch (SkinCommandCode(m.WParam)) {
            case SKC_ISSEETHROUGH:
                m.LParam = 1;
                return;
            case SKC_GETBGINFO:
                if (m.LParam) {
                    auto& info = *reinterpret_cast<BackgroundInfo*>(m.LParam);
                    info.BgType = btCache;
                    info.Bmp = data_->CacheBmp();
                    info.Offset = {0, 0};
                }
                m.Result = 1;
                return;
            default:
                break;
        }
    }
    if (m.Msg == win::WM_ERASEBKGND) {
        m.Result = 1;
        return;
    }
    if (m.Msg == win::WM_NCPAINT) {
        MakeRegion();
        m.Result = 0;
        return;
    }
    THintWindow::WndProc(m);
}

// --- placement and fading ---

int PlaceHint(TRect& r, TPoint at, int corner, const TRect& m, bool skinDrawn) {
    const int w = r.Width(), h = r.Height();
    int left = at.X, top = at.Y;
    if (corner == 1 || corner == 3) top -= h;
    if (corner == 2 || corner == 3) left -= w;
    bool below = corner == 0 || corner == 2, right = corner == 0 || corner == 1;
    bool moved = false;
    if (top + h > m.Bottom) {
        top = skinDrawn ? m.Bottom - h : at.Y - h;
        below = false;
        moved = true;
    }
    if (top < m.Top) {
        top = m.Top;
        below = true;
        moved = true;
    }
    if (left + w > m.Right) {
        if (skinDrawn) {
            left = m.Right - w;
        } else {
            left = at.X - w;
            // Below the point the tail rises beside it; a hint moved above stays there.
            if (below) top = std::max(at.Y - 16, m.Top);
        }
        right = false;
        moved = true;
    }
    if (left < m.Left) {
        left = m.Left;
        right = true;
        moved = true;
    }
    if (moved) corner = below ? (right ? 0 : 2) : (right ? 1 : 3);
    // A balloon pointing down stands clear of the cursor under its tail.
    if (!skinDrawn && (corner == 1 || corner == 3)) top = std::max(top - 16, m.Top);
    r = Bounds(left, top, w, h);
    return corner;
}

std::array<uint8_t, 12> HintFadeSteps(int t) {
    t = std::clamp(t, 0, 100);
    const double target = double(std::nearbyint((100 - t) * 2.55));  // halves to even
    std::array<uint8_t, 12> steps{};
    double alpha = 0;
    for (uint8_t& s : steps) {
        alpha += target / 12;
        s = uint8_t(std::clamp(std::nearbyint(alpha), 0.0, 255.0));
    }
    return steps;
}

}  // namespace skin
