// Fonts and text output. Text is cp1251 bytes. Fonts are found through fontconfig and drawn
// through FreeType with grey antialiasing; the classic interface faces ("MS Sans Serif",
// "Tahoma", "Arial", "Verdana", ...) map to DejaVu Sans, serif faces to DejaVu Serif and
// fixed-pitch ones to DejaVu Sans Mono, so text looks and measures the same on every machine
// that has the bundled fonts. "Webdings" is drawn by the layer itself for the window-button
// glyphs ("0" minimise, "1" maximise, "2" restore, "r" close, "3" to "6" arrows).
#pragma once

#include "platform/gdi/win_types.h"

namespace win {

inline constexpr int LF_FACESIZE = 32;

inline constexpr LONG FW_DONTCARE = 0;
inline constexpr LONG FW_THIN = 100;
inline constexpr LONG FW_LIGHT = 300;
inline constexpr LONG FW_NORMAL = 400;
inline constexpr LONG FW_MEDIUM = 500;
inline constexpr LONG FW_SEMIBOLD = 600;
inline constexpr LONG FW_BOLD = 700;
inline constexpr LONG FW_HEAVY = 900;

inline constexpr BYTE ANSI_CHARSET = 0;
inline constexpr BYTE DEFAULT_CHARSET = 1;
inline constexpr BYTE SYMBOL_CHARSET = 2;
inline constexpr BYTE RUSSIAN_CHARSET = 204;
inline constexpr BYTE OUT_DEFAULT_PRECIS = 0;
inline constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
inline constexpr BYTE DEFAULT_QUALITY = 0;
inline constexpr BYTE NONANTIALIASED_QUALITY = 3;
inline constexpr BYTE ANTIALIASED_QUALITY = 4;
inline constexpr BYTE CLEARTYPE_QUALITY = 5;
inline constexpr BYTE DEFAULT_PITCH = 0;
inline constexpr BYTE FIXED_PITCH = 1;
inline constexpr BYTE VARIABLE_PITCH = 2;
inline constexpr BYTE FF_DONTCARE = 0x00;
inline constexpr BYTE FF_ROMAN = 0x10;
inline constexpr BYTE FF_SWISS = 0x20;
inline constexpr BYTE FF_MODERN = 0x30;
inline constexpr BYTE TMPF_FIXED_PITCH = 0x01;  // set when the font is NOT fixed pitch
inline constexpr BYTE TMPF_VECTOR = 0x02;
inline constexpr BYTE TMPF_TRUETYPE = 0x04;

// lfHeight < 0: the character height (em) in pixels; > 0: the cell height (ascent + descent);
// 0: the default size. lfEscapement is in tenths of a degree, counter-clockwise.
struct LOGFONT {
    LONG lfHeight = 0;
    LONG lfWidth = 0;
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = FW_NORMAL;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = DEFAULT_CHARSET;
    BYTE lfOutPrecision = OUT_DEFAULT_PRECIS;
    BYTE lfClipPrecision = CLIP_DEFAULT_PRECIS;
    BYTE lfQuality = DEFAULT_QUALITY;
    BYTE lfPitchAndFamily = DEFAULT_PITCH;
    char lfFaceName[LF_FACESIZE] = {};
};
using LOGFONTA = LOGFONT;

struct TEXTMETRIC {
    LONG tmHeight = 0;
    LONG tmAscent = 0;
    LONG tmDescent = 0;
    LONG tmInternalLeading = 0;
    LONG tmExternalLeading = 0;
    LONG tmAveCharWidth = 0;
    LONG tmMaxCharWidth = 0;
    LONG tmWeight = 0;
    LONG tmOverhang = 0;
    LONG tmDigitizedAspectX = 96;
    LONG tmDigitizedAspectY = 96;
    BYTE tmFirstChar = 0x20;
    BYTE tmLastChar = 0xFF;
    BYTE tmDefaultChar = 0x1F;
    BYTE tmBreakChar = 0x20;
    BYTE tmItalic = 0;
    BYTE tmUnderlined = 0;
    BYTE tmStruckOut = 0;
    BYTE tmPitchAndFamily = 0;
    BYTE tmCharSet = 0;
};
using TEXTMETRICA = TEXTMETRIC;

HFONT CreateFontIndirect(const LOGFONT* font);
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                 DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCSTR face);
inline HFONT CreateFontIndirectA(const LOGFONT* font) {
    return CreateFontIndirect(font);
}

// The file and face a font handle was matched to (for tests and diagnostics), UTF-8.
bool GetFontFile(HFONT font, char* path, int size);

// Text alignment.
inline constexpr UINT TA_NOUPDATECP = 0;
inline constexpr UINT TA_UPDATECP = 1;
inline constexpr UINT TA_LEFT = 0;
inline constexpr UINT TA_RIGHT = 2;
inline constexpr UINT TA_CENTER = 6;
inline constexpr UINT TA_TOP = 0;
inline constexpr UINT TA_BOTTOM = 8;
inline constexpr UINT TA_BASELINE = 24;
inline constexpr UINT TA_RTLREADING = 256;
UINT SetTextAlign(HDC dc, UINT align);
UINT GetTextAlign(HDC dc);

inline constexpr UINT ETO_OPAQUE = 0x0002;
inline constexpr UINT ETO_CLIPPED = 0x0004;
inline constexpr UINT ETO_RTLREADING = 0x0080;

BOOL TextOut(HDC dc, int x, int y, LPCSTR text, int count);
// `dx`, when given, holds the advance of every character.
BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count,
                const INT* dx);
BOOL GetTextExtentPoint32(HDC dc, LPCSTR text, int count, SIZE* size);
BOOL GetTextMetrics(HDC dc, TEXTMETRIC* metrics);
// Advances of the characters first..last (cp1251 codes).
BOOL GetCharWidth(HDC dc, UINT first, UINT last, INT* widths);
BOOL GetCharWidth32(HDC dc, UINT first, UINT last, INT* widths);
int GetTextFace(HDC dc, int size, LPSTR face);

inline BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int count) {
    return TextOut(dc, x, y, text, count);
}
inline BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text,
                        UINT count, const INT* dx) {
    return ExtTextOut(dc, x, y, options, rect, text, count, dx);
}
inline BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int count, SIZE* size) {
    return GetTextExtentPoint32(dc, text, count, size);
}
inline BOOL GetTextMetricsA(HDC dc, TEXTMETRIC* metrics) {
    return GetTextMetrics(dc, metrics);
}

}  // namespace win
