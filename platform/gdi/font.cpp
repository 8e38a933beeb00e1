// Font objects: creation and the stock fonts.
#include "platform/gdi/font.h"

#include <cstring>

#include "platform/gdi/font_impl.h"
#include "platform/gdi/gdi_objects.h"

namespace win {

using namespace detail;

namespace {

void SetFace(LOGFONT& lf, const char* face) {
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    lf.lfFaceName[LF_FACESIZE - 1] = 0;
}

}  // namespace

std::shared_ptr<Font> detail::MakeStockFont(int index) {
    auto f = std::make_shared<Font>();
    LOGFONT& lf = f->lf;
    switch (index) {
        case OEM_FIXED_FONT:
        case ANSI_FIXED_FONT:
        case SYSTEM_FIXED_FONT:
            lf.lfHeight = 16;
            lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
            SetFace(lf, "Courier New");
            break;
        case SYSTEM_FONT:
        case DEVICE_DEFAULT_FONT:
            // The classic system font: a bold sans of a 16-pixel cell.
            lf.lfHeight = 16;
            lf.lfWeight = FW_BOLD;
            SetFace(lf, "System");
            break;
        default:  // ANSI_VAR_FONT, DEFAULT_GUI_FONT
            lf.lfHeight = -11;
            SetFace(lf, "MS Sans Serif");
            break;
    }
    return f;
}

HFONT CreateFontIndirect(const LOGFONT* font) {
    if (!font) return nullptr;
    auto f = std::make_shared<Font>();
    f->lf = *font;
    f->lf.lfFaceName[LF_FACESIZE - 1] = 0;
    return Add<HFONT>(f);
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                 DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCSTR face) {
    LOGFONT lf;
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = BYTE(italic != 0);
    lf.lfUnderline = BYTE(underline != 0);
    lf.lfStrikeOut = BYTE(strikeOut != 0);
    lf.lfCharSet = BYTE(charSet);
    lf.lfOutPrecision = BYTE(outPrecision);
    lf.lfClipPrecision = BYTE(clipPrecision);
    lf.lfQuality = BYTE(quality);
    lf.lfPitchAndFamily = BYTE(pitchAndFamily);
    if (face) SetFace(lf, face);
    return CreateFontIndirect(&lf);
}

}  // namespace win
