// Adapters of push buttons, check boxes and radio buttons. Each paints the button into the skin
// state's cache over the parent's background and copies the cache to the window in one go, so
// the standard look never shows.
#pragma once

#include <memory>

#include "skin/windows/adapters/window_adapter.h"
#include "vcl/graphics/bitmap.h"

namespace skin {

class TacBtnWnd : public TacMainWnd {
public:
    void AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                        const std::string& section, bool flag) override;
    void AdapterWindowProc(vcl::TMessage& m) override;

    // 2 pushed, 1 focused, hot or default, else 0.
    int CtrlState() const;

protected:
    virtual void DrawCaption(int state);
    virtual void DrawGlyph(int /*state*/) {}
    virtual vcl::TPoint GlyphSize() const { return {0, 0}; }
    virtual void WriteText(vcl::TCanvas* canvas, const vcl::TRect& r, int state);
    virtual vcl::TRect CaptionRect(vcl::TCanvas* canvas, int state);
    virtual vcl::TPoint GlyphOffset(int /*state*/) { return {0, 0}; }
    virtual vcl::TPoint TextSize(vcl::TCanvas* canvas);
    virtual void PaintButton();

    uint32_t TextFlags() const;
    void SelectFont(vcl::TCanvas* canvas);
    void Paint(win::HDC dc);
    // The window's own handling with drawing off, then a fresh paint.
    void BracketAndRepaint(vcl::TMessage& m, bool callBase);
};

// Where a glyph of size `glyph` and a caption of size `text` go inside a button of size `size`:
// the glyph beside the caption as `layout` says (0 left, 1 right, 2 top, 3 bottom), `margin`
// pixels from that side (-1 centres glyph, spacing and caption as one block), `spacing` pixels
// between them (only when both are there).
struct GlyphTextPlace {
    vcl::TRect Glyph, Text;
};
GlyphTextPlace PlaceGlyphAndText(vcl::TPoint size, vcl::TPoint glyph, vcl::TPoint text,
                                 int layout, int margin, int spacing);

// A push button with a glyph: the class library's bit button (its Glyph, NumGlyphs, Layout,
// Margin and Spacing), or a plain button window with an image (BM_GETIMAGE, copied once).
class TacBitBtnWnd : public TacBtnWnd {
protected:
    vcl::TRect CaptionRect(vcl::TCanvas* canvas, int state) override;
    vcl::TPoint GlyphSize() const override;
    void DrawGlyph(int state) override;
    vcl::TPoint GlyphOffset(int state) override;

private:
    vcl::TBitmap* Glyph() const;
    int NumGlyphs() const;
    GlyphTextPlace Place(vcl::TCanvas* canvas, int state);

    // The plain window's image, kept from its first paint; `imageRead_` once asked.
    mutable std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> image_;
    mutable bool imageRead_ = false;
};

class TacCheckBoxWnd : public TacMainWnd {
public:
    void AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                        const std::string& section, bool flag) override;
    void AdapterWindowProc(vcl::TMessage& m) override;
    // Radio buttons are those of styles BS_RADIOBUTTON and BS_AUTORADIOBUTTON.
    static bool IsRadio(uint32_t style);

private:
    void Paint(win::HDC dc);
};

// The disabled look of an adapter's cache: mixed 0.4 toward what lies behind the window.
void FadeDisabledCache(TsCommonData* data, win::HWND wnd);

}  // namespace skin
