// Colours and the drawing objects of a canvas: TFont, TPen and TBrush.
//
// A drawing object keeps its properties and makes its drawing-layer handle when first asked;
// any change drops the handle (the next Handle call makes a new one) and fires OnChange, which
// is how a canvas or a control learns that it must select the object again or repaint.
#pragma once

#include <cstdint>
#include <string>

#include "platform/gdi/win_types.h"
#include "vcl/system/delegate.h"
#include "vcl/system/persistent.h"
#include "vcl/system/set.h"

namespace vcl {

// 0x00BBGGRR for a plain colour; clSystemColor | index for a system colour; clNone and clDefault
// are markers that ColorToRGB leaves alone.
using TColor = int32_t;

inline constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000);
inline constexpr TColor SysColor(int index) {
    return clSystemColor | index;
}

inline constexpr TColor clScrollBar = SysColor(0);
inline constexpr TColor clBackground = SysColor(1);
inline constexpr TColor clActiveCaption = SysColor(2);
inline constexpr TColor clInactiveCaption = SysColor(3);
inline constexpr TColor clMenu = SysColor(4);
inline constexpr TColor clWindow = SysColor(5);
inline constexpr TColor clWindowFrame = SysColor(6);
inline constexpr TColor clMenuText = SysColor(7);
inline constexpr TColor clWindowText = SysColor(8);
inline constexpr TColor clCaptionText = SysColor(9);
inline constexpr TColor clActiveBorder = SysColor(10);
inline constexpr TColor clInactiveBorder = SysColor(11);
inline constexpr TColor clAppWorkSpace = SysColor(12);
inline constexpr TColor clHighlight = SysColor(13);
inline constexpr TColor clHighlightText = SysColor(14);
inline constexpr TColor clBtnFace = SysColor(15);
inline constexpr TColor clBtnShadow = SysColor(16);
inline constexpr TColor clGrayText = SysColor(17);
inline constexpr TColor clBtnText = SysColor(18);
inline constexpr TColor clInactiveCaptionText = SysColor(19);
inline constexpr TColor clBtnHighlight = SysColor(20);
inline constexpr TColor cl3DDkShadow = SysColor(21);
inline constexpr TColor cl3DLight = SysColor(22);
inline constexpr TColor clInfoText = SysColor(23);
inline constexpr TColor clInfoBk = SysColor(24);
inline constexpr TColor clHotLight = SysColor(26);
inline constexpr TColor clGradientActiveCaption = SysColor(27);
inline constexpr TColor clGradientInactiveCaption = SysColor(28);
inline constexpr TColor clMenuHighlight = SysColor(29);
inline constexpr TColor clMenuBar = SysColor(30);

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clLtGray = 0xC0C0C0;
inline constexpr TColor clDkGray = 0x808080;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

// The RGB value of a colour: system colours from the drawing layer's table, anything else as is.
win::COLORREF ColorToRGB(TColor color);
inline constexpr win::COLORREF RGB(int r, int g, int b) {
    return static_cast<win::COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
inline constexpr int GetRValue(win::COLORREF c) {
    return c & 0xFF;
}
inline constexpr int GetGValue(win::COLORREF c) {
    return (c >> 8) & 0xFF;
}
inline constexpr int GetBValue(win::COLORREF c) {
    return (c >> 16) & 0xFF;
}

// The base of TFont, TPen and TBrush.
class TGraphicsObject : public TPersistent {
public:
    VCL_CLASS(TGraphicsObject, TPersistent)

    ~TGraphicsObject() override;
    TNotifyEvent OnChange;
    // The object that owns this one (a control for its font), told to the persistence code.
    TPersistent* Owner = nullptr;
    TPersistent* GetOwner() const override { return Owner; }

protected:
    // Drops the handle and fires OnChange.
    void Changed();
    win::HGDIOBJ handle_ = nullptr;
};

enum TFontStyle : uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = Set<TFontStyle>;
enum TFontPitch : uint8_t { fpDefault, fpVariable, fpFixed };
using TFontCharset = uint8_t;
inline constexpr TFontCharset DEFAULT_CHARSET_VALUE = 1;
inline constexpr TFontCharset RUSSIAN_CHARSET_VALUE = 204;

class TFont : public TGraphicsObject {
public:
    VCL_CLASS_PUBLISHED(TFont, TGraphicsObject)

    TFont();

    win::HFONT Handle();
    // Takes the look of a font handle made elsewhere; the handle stays its maker's.
    void SetHandle(win::HFONT font);

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);
    // Points; Height is pixels (negative: the character height, as fonts are asked for).
    int Size() const;
    void SetSize(int points);
    int Height() const { return height_; }
    void SetHeight(int height);
    TColor Color() const { return color_; }
    void SetColor(TColor color);  // changes no handle, still fires OnChange
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    TFontCharset Charset() const { return charset_; }
    void SetCharset(TFontCharset charset);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch pitch);
    int PixelsPerInch = 96;

    void Assign(const TPersistent* source) override;
    bool SameAs(const TFont& other) const;

private:
    int64_t StyleBits() const { return static_cast<int64_t>(style_.Bits()); }
    void SetStyleBits(int64_t bits) { SetStyle(TFontStyles(static_cast<uint64_t>(bits), 0)); }

    std::string name_ = "MS Sans Serif";
    int height_ = -11;  // 8 points at 96 pixels per inch
    TColor color_ = clWindowText;
    TFontStyles style_;
    TFontCharset charset_ = DEFAULT_CHARSET_VALUE;
    TFontPitch pitch_ = fpDefault;
};

enum TPenStyle : uint8_t {
    psSolid,
    psDash,
    psDot,
    psDashDot,
    psDashDotDot,
    psClear,
    psInsideFrame
};
enum TPenMode : uint8_t {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};
// The raster operation (R2_) of a pen mode.
int PenModeToRop2(TPenMode mode);

class TPen : public TGraphicsObject {
public:
    VCL_CLASS_PUBLISHED(TPen, TGraphicsObject)

    win::HPEN Handle();
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    int Width() const { return width_; }
    void SetWidth(int width);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle style);
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode mode);

    void Assign(const TPersistent* source) override;

private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
};

enum TBrushStyle : uint8_t {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

class TBrush : public TGraphicsObject {
public:
    VCL_CLASS_PUBLISHED(TBrush, TGraphicsObject)

    // Hatched styles are filled solid: the drawing layer has no hatch patterns, and nothing in
    // the program draws with them.
    win::HBRUSH Handle();
    TColor Color() const { return color_; }
    void SetColor(TColor color);  // a clear brush becomes solid, as the class library does
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle style);

    void Assign(const TPersistent* source) override;

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
};

}  // namespace vcl
