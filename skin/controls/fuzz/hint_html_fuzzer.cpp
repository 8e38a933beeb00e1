// Feeds arbitrary hint text to the HTML renderer: measured, then drawn, as a hint is. A crash,
// undefined behaviour, a leak or a hang is a finding, and so is a measured size below zero.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "skin/controls/hint_html.h"
#include "vcl/graphics/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static vcl::TBitmap* bmp = [] {
        auto* b = vcl::New<vcl::TBitmap>();
        b->SetPixelFormat(vcl::pf24bit);
        b->SetSize(200, 100);
        return b;
    }();
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (int pass = 0; pass < 2; ++pass) {
        vcl::TFont* font = bmp->Canvas()->Font();
        font->SetName("DejaVu Sans");
        font->SetSize(8);
        font->SetStyle({});
        skin::TsHtml html;
        html.Init(bmp, text, vcl::Rect(0, 0, 200, 100));
        vcl::TRect r;
        html.Render(r);
        if (r.Right < 0 || r.Bottom < 0) std::abort();
    }
    return 0;
}
