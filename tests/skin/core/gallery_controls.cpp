#include "tests/skin/core/gallery_controls.h"

#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/draw_text.h"
#include "platform/user/painting.h"
#include "platform/user/window_dc.h"
#include "platform/user/window_pos.h"
#include "skin/core/paint/alpha_image_list.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/pixels/text_utils.h"
#include "skin/core/state/graphic_children.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/state/skin_text.h"
#include "tests/skin/core/png_reference.h"
#include "vcl/graphics/bitmap.h"

namespace skin_test {

using skin::TPoint;
using skin::TRect;

namespace {

skin::TsSkinManager* ManagerOf(skin::TsCommonData* data) {
    return data->GetSkinManager();
}

// Section `name` in `r` of the cache, over what the cache already holds there.
void PaintPart(vcl::TBitmap* cache, skin::TsSkinManager* manager, const char* name, int state,
               TRect r) {
    const int index = manager->GetSkinIndex(name);
    if (index < 0) return;
    const skin::PixelView view = skin::ViewOf(cache);
    const skin::CacheInfo self = skin::MakeCacheInfo(&view, 0, 0);
    skin::PaintMaskWithBorders(index, name, self, true, state, r, {0, 0}, cache, manager, -1, -1);
}

// The state's frame of mask `mask` at `p`, its key colour showing the cache.
void PaintGlyph(vcl::TBitmap* cache, skin::TsSkinManager* manager, int mask, int state, TPoint p) {
    if (mask < 0 || size_t(mask) >= manager->Masks().size()) return;
    const skin::PixelView view = skin::ViewOf(cache);
    const skin::CacheInfo self = skin::MakeCacheInfo(&view, 0, 0);
    skin::BlendMaskRegion(cache, p, state, 0, manager->Masks()[size_t(mask)], self);
}

// The glyph centred in `r`.
void PaintGlyphIn(vcl::TBitmap* cache, skin::TsSkinManager* manager, int mask, int state, TRect r) {
    if (mask < 0 || size_t(mask) >= manager->Masks().size()) return;
    const skin::TsMaskData& m = manager->Masks()[size_t(mask)];
    PaintGlyph(cache, manager, mask, state,
               {r.Left + (r.Width() - skin::SkinFrameWidth(m)) / 2,
                r.Top + (r.Height() - skin::SkinFrameHeight(m)) / 2});
}

// A caption in the colours of section `name`.
void Caption(vcl::TBitmap* cache, skin::TsSkinManager* manager, const char* name, int state,
             const std::string& text, TRect r, uint32_t flags, bool enabled = true) {
    skin::DrawSectionText(cache->Canvas(), text, enabled, manager, state,
                          manager->GetSkinIndex(name), flags, r);
}

constexpr uint32_t kCentre = win::DT_CENTER | win::DT_VCENTER | win::DT_SINGLELINE;
constexpr uint32_t kLeft = win::DT_LEFT | win::DT_VCENTER | win::DT_SINGLELINE;

}  // namespace

TGalleryControl::TGalleryControl(vcl::TWinControl* parent, const std::string& section, int kind,
                                 TRect bounds)
    : vcl::TCustomControl(parent), SkinData(new skin::TsCommonData(this, true)) {
    SkinData->COC = kind;
    SetParent(parent);
    SetBoundsRect(bounds);
    SkinData->SetSkinSection(section);
}

TGalleryControl::~TGalleryControl() {
    delete SkinData;
}

void TGalleryControl::RebuildCache() {
    SkinData->InitCacheBmp();
    vcl::TBitmap* cache = SkinData->CacheBmp();
    if (Width() < 1 || Height() < 1) return;
    const TRect all(0, 0, Width(), Height());
    if (FaceOnly) {
        CopyParent(all);
    } else {
        skin::BackgroundInfo info;
        skin::CacheInfo parent;
        skin::PixelView parentView;
        skin::GetParentBackground(info, Parent(), false);
        skin::BGInfoToCacheInfo(info, parent, parentView);
        skin::PaintControlSection(SkinData, parent, true, State, all, {Left(), Top()}, cache, 1);
    }
    cache->Canvas()->SetFont(Font());
    if (Face) Face(*this, cache);
    SkinData->CacheStale = false;
}

void TGalleryControl::CopyParent(TRect r) {
    skin::BackgroundInfo info;
    skin::GetParentBackground(info, Parent(), false);
    vcl::TBitmap* cache = SkinData->CacheBmp();
    if (info.BgType == skin::btCache && info.Bmp) {
        win::BitBlt(cache->Canvas()->Handle(), r.Left, r.Top, r.Width(), r.Height(),
                    info.Bmp->Canvas()->Handle(), r.Left + Left() + info.Offset.X,
                    r.Top + Top() + info.Offset.Y, win::SRCCOPY);
    } else {
        skin::FillRectSolid(cache->Canvas()->Handle(), r, info.Color);
    }
}

void TGalleryControl::WndProc(vcl::TMessage& m) {
    if (m.Msg == skin::SM_ALPHACMD) {
        switch (skin::SkinCommandCode(m.WParam)) {
            case skin::SKC_GETBGINFO:
                // Children ask the skin state, as of any skinned control, once the cache is
                // up to date.
                if (SkinData->CacheStale) RebuildCache();
                if (m.LParam)
                    SkinData->GetBGInfo(*reinterpret_cast<skin::BackgroundInfo*>(m.LParam), false,
                                        nullptr);
                m.Result = 1;
                return;
            case skin::SKC_SETHALFVISIBLE:
                m.Result = 0;
                return;
        }
    }
    if (m.Msg == win::WM_ERASEBKGND) {
        m.Result = 1;
        return;
    }
    if (m.Msg == win::WM_PAINT) {
        win::HDC dc = reinterpret_cast<win::HDC>(m.WParam);
        win::PAINTSTRUCT ps;
        if (!dc) dc = win::BeginPaint(Handle(), &ps);
        PaintWindow(dc);
        if (!m.WParam) win::EndPaint(Handle(), &ps);
        m.Result = 0;
        return;
    }
    vcl::TCustomControl::WndProc(m);
}

void TGalleryControl::PaintWindow(win::HDC dc) {
    if (SkinData->CacheStale) RebuildCache();
    vcl::TBitmap* cache = SkinData->CacheBmp();
    win::BitBlt(dc, 0, 0, Width(), Height(), cache->Canvas()->Handle(), 0, 0, win::SRCCOPY);
    skin::PaintParentBackground(dc, this, {0, 0});
}

TGalleryLabel::TGalleryLabel(vcl::TWinControl* parent, const std::string& text, TRect bounds)
    : vcl::TGraphicControl(parent) {
    SetParent(parent);
    SetBoundsRect(bounds);
    SetCaption(text);
}

void TGalleryLabel::Paint() {
    vcl::TCanvas* c = Canvas();
    c->SetFont(Font());
    c->Font()->SetColor(skin::TColor(0x1C1816));
    win::SetBkMode(c->Handle(), win::TRANSPARENT);
    TRect r(0, 0, Width(), Height());
    skin::CanvasDrawText(c, Caption(), kLeft, r);
}

namespace {

TGalleryControl* Add(Gallery& g, vcl::TWinControl* parent, const char* section, int kind, TRect r,
                     std::function<void(TGalleryControl&, vcl::TBitmap*)> face = {}) {
    auto* c = new TGalleryControl(parent, section, kind, r);
    c->Face = std::move(face);
    g.Controls.push_back(c);
    return c;
}

TRect At(TPoint o, int l, int t, int w, int h) {
    return TRect(o.X + l, o.Y + t, o.X + l + w, o.Y + t + h);
}

// A button-like control: its section in `state`, its caption centred.
std::function<void(TGalleryControl&, vcl::TBitmap*)> Captioned(std::string text,
                                                               bool enabled = true) {
    return [text, enabled](TGalleryControl& self, vcl::TBitmap* cache) {
        skin::DrawSkinText(cache->Canvas(), text, enabled, self.State, self.SkinData, kCentre,
                           TRect(0, 0, self.Width(), self.Height()));
    };
}

// A check box or radio button: `glyph` (a CheckBoxes index) in `state`, then its caption.
std::function<void(TGalleryControl&, vcl::TBitmap*)> Checked(int glyph, std::string text,
                                                             bool enabled = true) {
    return [glyph, text, enabled](TGalleryControl& self, vcl::TBitmap* cache) {
        skin::TsSkinManager* m = ManagerOf(self.SkinData);
        const int mask = m->ConstData().CheckBoxes[glyph];
        PaintGlyphIn(cache, m, mask, enabled ? self.State : 0, TRect(0, 0, 16, self.Height()));
        skin::DrawSkinText(cache->Canvas(), text, enabled, self.State, self.SkinData, kLeft,
                           TRect(20, 0, self.Width(), self.Height()));
    };
}

}  // namespace

skin::TsAlphaImageList* MakeGalleryImages(vcl::TComponent* owner) {
    auto* list = vcl::New<skin::TsAlphaImageList>(owner);
    list->SetSize(16, 16);
    // Discs with soft edges in six colours, and a half-transparent square.
    const uint32_t colours[] = {0x3050D0, 0x30A040, 0xD08020, 0x8040C0, 0x2090C0, 0x606060};
    for (int k = 0; k < 6; ++k) {
        PngSpec png;
        png.width = png.height = 16;
        png.colorType = 6;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const int dx = 2 * x - 15, dy = 2 * y - 15, d2 = dx * dx + dy * dy;
                int a = d2 <= 144 ? 255 : d2 >= 225 ? 0 : 255 * (225 - d2) / 81;
                if (k == 5) a = x >= 2 && x < 14 && y >= 2 && y < 14 ? 128 : 0;
                const uint32_t c = colours[k];
                png.samples.insert(png.samples.end(),
                                   {uint16_t(c >> 16 & 255), uint16_t(c >> 8 & 255),
                                    uint16_t(c & 255), uint16_t(a)});
            }
        }
        const std::string bytes = WritePng(png);
        skin::TsImgListItem* item = list->Items()->Add();
        item->ImgData()->Write(bytes.data(), int64_t(bytes.size()));
    }
    list->GenerateImages();
    return list;
}

void AddGallerySet(Gallery& g, TPoint o) {
    vcl::TWinControl* face = g.Face;
    // A title band whose caption glows.
    Add(g, face, "BARTITLE", 20, At(o, 10, 10, 620, 30),
        [](TGalleryControl& self, vcl::TBitmap* cache) {
            const TRect r(12, 0, self.Width(), self.Height());
            skin::BitmapPtr mask;
            cache->Canvas()->Font()->SetSize(12);
            skin::DrawGlowText(cache, "Tessary: the skin gallery", r, mask, 0xF0A060, 4, 15, kLeft);
            Caption(cache, ManagerOf(self.SkinData), "BARTITLE", 0, "Tessary: the skin gallery", r,
                    kLeft);
        });

    // Panels with graphic captions over them.
    TGalleryControl* panel = Add(g, face, "PANEL", 51, At(o, 10, 50, 95, 60));
    new TGalleryLabel(panel, "PANEL", TRect(10, 20, 90, 40));
    TGalleryControl* low = Add(g, face, "PANEL_LOW", 52, At(o, 115, 50, 95, 60));
    new TGalleryLabel(low, "PANEL_LOW", TRect(10, 20, 90, 40));

    // A group box: its frame below the caption band, the caption over the background.
    TGalleryControl* group = Add(
        g, face, "GROUPBOX", 74, At(o, 10, 118, 200, 134),
        [](TGalleryControl& self, vcl::TBitmap* cache) {
            skin::TsSkinManager* m = ManagerOf(self.SkinData);
            const skin::PixelView view = skin::ViewOf(cache);
            const skin::CacheInfo same = skin::MakeCacheInfo(&view, 0, 0);
            skin::PaintControlSection(self.SkinData, same, true, 0,
                                      TRect(0, 7, self.Width(), self.Height()), {0, 0}, cache, 1);
            // The frame gives way to the caption.
            const TRect caption(6, 0, 62, 15);
            self.CopyParent(caption);
            Caption(cache, m, "GROUPBOX", 0, "Options", caption, kCentre);
        });
    group->FaceOnly = true;
    const char* on = "On";
    const char* off = "Off";
    // Check boxes and radio buttons: unchecked, checked, grayed; normal, hot, pressed, disabled.
    Add(g, group, "CHECKBOX", 32, TRect(8, 20, 68, 40), Checked(1, off));
    Add(g, group, "CHECKBOX", 32, TRect(68, 20, 128, 40), Checked(0, on));
    Add(g, group, "CHECKBOX", 32, TRect(128, 20, 194, 40), Checked(2, "Mixed"));
    Add(g, group, "CHECKBOX", 32, TRect(8, 44, 68, 64), Checked(0, "Hot"))->State = 1;
    Add(g, group, "CHECKBOX", 32, TRect(68, 44, 128, 64), Checked(1, "Down"))->State = 2;
    Add(g, group, "CHECKBOX", 32, TRect(128, 44, 194, 64), Checked(0, "Dim", false));
    Add(g, group, "RADIOBUTTON", 33, TRect(8, 72, 68, 92), Checked(4, off));
    Add(g, group, "RADIOBUTTON", 33, TRect(68, 72, 128, 92), Checked(3, on));
    Add(g, group, "RADIOBUTTON", 33, TRect(128, 72, 194, 92), Checked(5, "Mixed"));
    Add(g, group, "RADIOBUTTON", 33, TRect(8, 96, 68, 116), Checked(3, "Hot"))->State = 1;
    Add(g, group, "RADIOBUTTON", 33, TRect(68, 96, 128, 116), Checked(4, "Down"))->State = 2;
    Add(g, group, "RADIOBUTTON", 33, TRect(128, 96, 194, 116), Checked(3, "Dim", false));

    // A gauge at 60 percent.
    Add(g, face, "GAUGE", 161, At(o, 10, 262, 200, 22),
        [](TGalleryControl& self, vcl::TBitmap* cache) {
            skin::TsSkinManager* m = ManagerOf(self.SkinData);
            const TRect bar(2, 2, 2 + (self.Width() - 4) * 60 / 100, self.Height() - 2);
            PaintPart(cache, m, "PROGRESSH", 1, bar);
            // The figure in the bar's light text over the bar, in the gauge's text beside it.
            const TRect all(0, 0, self.Width(), self.Height());
            win::HDC dc = cache->Canvas()->Handle();
            int saved = win::SaveDC(dc);
            win::ExcludeClipRect(dc, bar.Left, bar.Top, bar.Right, bar.Bottom);
            Caption(cache, m, "GAUGE", 0, "60%", all, kCentre);
            win::RestoreDC(dc, saved);
            saved = win::SaveDC(dc);
            win::IntersectClipRect(dc, bar.Left, bar.Top, bar.Right, bar.Bottom);
            Caption(cache, m, "PROGRESSH", 1, "60%", all, kCentre);
            win::RestoreDC(dc, saved);
        });

    // Buttons: normal, hot, pressed, disabled.
    Add(g, face, "BUTTON", 93, At(o, 220, 50, 95, 26), Captioned("Normal"));
    Add(g, face, "BUTTON", 93, At(o, 325, 50, 95, 26), Captioned("Hot"))->State = 1;
    Add(g, face, "BUTTON", 93, At(o, 220, 84, 95, 26), Captioned("Pressed"))->State = 2;
    Add(g, face, "BUTTON", 93, At(o, 325, 84, 95, 26), Captioned("Disabled", false));

    // A tool bar of flat tool buttons: normal (no frame), hot, pressed, normal.
    TGalleryControl* bar = Add(g, face, "TOOLBAR", 53, At(o, 220, 118, 200, 32));
    for (int i = 0; i < 4; ++i) {
        TGalleryControl* b = Add(g, bar, "TOOLBUTTON", 98, TRect(4 + i * 28, 4, 28 + i * 28, 28),
                                 Captioned(std::string(1, "BIUS"[i])));
        b->State = i == 1 ? 1 : i == 2 ? 2 : 0;
    }

    // An edit with text and the focus, and a combo box with its button.
    TGalleryControl* edit =
        Add(g, face, "EDIT", 2, At(o, 220, 158, 200, 22),
            [](TGalleryControl& self, vcl::TBitmap* cache) {
                const TRect r(5, 0, self.Width() - 4, self.Height());
                skin::DrawSkinText(cache->Canvas(), "+7 900 123-45-67", true, self.State,
                                   self.SkinData, kLeft, r);
                // The caret after the text.
                cache->Canvas()->Brush()->SetColor(0x1C1816);
                const int x = 5 + skin::TextSizeOf(cache->Canvas(), "+7 900 123-45-67").X + 1;
                cache->Canvas()->FillRect(TRect(x, 4, x + 1, 18));
            });
    edit->SkinData->Focused = true;
    edit->State = 1;
    Add(g, face, "COMBOBOX", 11, At(o, 220, 188, 200, 22),
        [](TGalleryControl& self, vcl::TBitmap* cache) {
            skin::TsSkinManager* m = ManagerOf(self.SkinData);
            skin::DrawSkinText(cache->Canvas(), "COM3", true, 0, self.SkinData, kLeft,
                               TRect(5, 0, self.Width() - 20, self.Height()));
            const TRect button(self.Width() - 19, 2, self.Width() - 2, self.Height() - 2);
            PaintPart(cache, m, "COMBOBTN", 0, button);
            PaintGlyphIn(cache, m, m->ConstData().ComboGlyph, 0, button);
        });

    // Tabs over a page.
    TGalleryControl* tabs =
        Add(g, face, "PAGECONTROL", 141, At(o, 220, 220, 200, 108),
            [](TGalleryControl& self, vcl::TBitmap* cache) {
                skin::TsSkinManager* m = ManagerOf(self.SkinData);
                PaintPart(cache, m, "PAGECONTROL", 0, TRect(0, 22, self.Width(), self.Height()));
                const char* names[] = {"Lists", "Journal", "Port"};
                for (int i = 0; i < 3; ++i) {
                    const int state = i == 0 ? 2 : i == 1 ? 1 : 0;
                    TRect r(2 + i * 62, i == 0 ? 0 : 3, 64 + i * 62, 24);
                    PaintPart(cache, m, "TABTOP", state, r);
                    Caption(cache, m, "TABTOP", state, names[i], r, kCentre);
                }
            });
    tabs->FaceOnly = true;
    new TGalleryLabel(tabs, "Page of the first tab", TRect(10, 40, 190, 60));

    // Both scroll bars.
    auto scroll = [](bool vertical) {
        return [vertical](TGalleryControl& self, vcl::TBitmap* cache) {
            skin::TsSkinManager* m = ManagerOf(self.SkinData);
            const skin::TConstantSkinData& k = m->ConstData();
            const int w = self.Width(), h = self.Height();
            const int s = vertical ? w : h;
            const TRect first = TRect(0, 0, s, s);
            const TRect last = vertical ? TRect(0, h - s, w, h) : TRect(w - s, 0, w, h);
            const TRect thumb =
                vertical ? TRect(0, s + 30, w, s + 70) : TRect(s + 40, 0, s + 90, h);
            const char* const a = vertical ? "SCROLLBTNTOP" : "SCROLLBTNLEFT";
            const char* const b = vertical ? "SCROLLBTNBOTTOM" : "SCROLLBTNRIGHT";
            PaintPart(cache, m, a, 0, first);
            PaintGlyphIn(cache, m, k.ScrollButtons[vertical ? 0 : 2].GlyphMask, 0, first);
            PaintPart(cache, m, b, 1, last);
            PaintGlyphIn(cache, m, k.ScrollButtons[vertical ? 1 : 3].GlyphMask, 1, last);
            PaintPart(cache, m, vertical ? "SCROLLSLIDERV" : "SCROLLSLIDERH", 0, thumb);
            PaintGlyphIn(cache, m, k.Sliders[vertical ? 0 : 1].GlyphMask, 0, thumb);
        };
    };
    Add(g, face, "SCROLLBAR1V", 0, At(o, 610, 50, 17, 230), scroll(true));
    Add(g, face, "SCROLLBAR1H", 0, At(o, 430, 263, 170, 17), scroll(false));

    // A low panel for the glyph row.
    TGalleryControl* glyphs = Add(g, face, "PANEL_LOW", 52, At(o, 430, 50, 170, 40));
    skin::TsAlphaImageList* images = g.Images;
    glyphs->Face = [images](TGalleryControl&, vcl::TBitmap* cache) {
        if (!images) return;
        for (int i = 0; i < images->Count(); ++i)
            skin::DrawImageListGlyph(images, cache, {8 + i * 26, 12}, 1, 0, i, false, vcl::clNone,
                                     0);
    };
    // A check box over the low panel shows the panel through it.
    Add(g, low, "CHECKBOX", 32, TRect(4, 40, 90, 58), Checked(1, "Low"));
    // A caption straight on the form.
    new TGalleryLabel(face, "Plain form background",
                      TRect(o.X + 430, o.Y + 120, o.X + 600, o.Y + 140));
}

Gallery BuildGalleryForm(vcl::TForm* form, skin::TsSkinManager* manager, int width, int height) {
    Gallery g;
    form->SetBorderStyle(vcl::bsNone);
    form->SetBounds(0, 0, width, height);
    form->Font()->SetName("DejaVu Sans");
    form->Font()->SetSize(8);
    g.Face = Add(g, form, "FORM", 0, TRect(0, 0, width, height));
    g.Face->SkinData->SetSkinManager(manager);
    g.Images = MakeGalleryImages(form);
    AddGallerySet(g, {0, 0});
    // The status bar along the bottom: panels divided, the grip in the corner.
    Add(g, g.Face, "STATUSBAR", 151, TRect(3, height - 25, width - 3, height - 3),
        [](TGalleryControl& self, vcl::TBitmap* cache) {
            skin::TsSkinManager* m = ManagerOf(self.SkinData);
            const char* texts[] = {"Port: COM3", "Sent: 120 of 200", "Ready"};
            int x = 0;
            for (int i = 0; i < 3; ++i) {
                const int w = i == 2 ? self.Width() - x - 16 : 160;
                Caption(cache, m, "STATUSBAR", 0, texts[i], TRect(x + 6, 0, x + w, self.Height()),
                        kLeft);
                x += w;
                if (i < 2) PaintPart(cache, m, "DIVIDER", 0, TRect(x - 2, 3, x, self.Height() - 3));
            }
            const int grip = m->GetMaskIndexByNames("GLOBALINFO", "GRIPIMAGE");
            if (grip >= 0) {
                const skin::TsMaskData& gm = m->Masks()[size_t(grip)];
                PaintGlyph(cache, m, grip, 0,
                           {self.Width() - skin::SkinFrameWidth(gm) - 2,
                            self.Height() - skin::SkinFrameHeight(gm) - 2});
            }
        });
    return g;
}

void RepaintGallery(Gallery& g) {
    for (TGalleryControl* c : g.Controls)
        c->SkinData->CacheStale = true;
    g.Face->Repaint();
}

}  // namespace skin_test
