#include "skin/controls/text_size.h"

#include "platform/gdi/gdi.h"

namespace skin {

vcl::TPoint TextSizeOf(vcl::TFont* font, std::string_view text) {
    win::HDC dc = win::CreateCompatibleDC(nullptr);
    win::HGDIOBJ old = win::SelectObject(dc, font->Handle());
    win::SIZE s{};
    win::GetTextExtentPoint32(dc, text.data(), static_cast<int>(text.size()), &s);
    win::SelectObject(dc, old);
    win::DeleteDC(dc);
    return {s.cx, s.cy};
}

}  // namespace skin
