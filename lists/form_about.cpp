#include "lists/form_about.h"

#include "gateway/form_building.h"
#include "gateway/main_window_link.h"
#include "gateway/program_images.h"
#include "platform/os/cp_literal.h"

namespace lists {

using gateway::MakeComponent;

std::string GetVersionText(bool shortForm, const version::TFileVersion& v) {
    std::string text = std::to_string(v.Major) + "." + std::to_string(v.Minor);
    if (!shortForm) text += "." + std::to_string(v.Release) + "." + std::to_string(v.Build);
    return text;
}

void PaintHorizontalGradient(vcl::TCanvas* canvas, const vcl::TRect& rect, vcl::TColor from,
                             vcl::TColor to) {
    const int w = rect.Right - rect.Left;
    if (w <= 0) return;
    const vcl::TColor a = vcl::ColorToRGB(from), b = vcl::ColorToRGB(to);
    // Integer steps: exact, and truncated toward zero as the band's colours require.
    auto step = [w](vcl::TColor a, vcl::TColor b, int shift, int i) {
        const int s = static_cast<int>((a >> shift) & 0xFF),
                  e = static_cast<int>((b >> shift) & 0xFF);
        return static_cast<vcl::TColor>(s + (e - s) * i / w) << shift;
    };
    for (int i = 0; i < w; ++i) {
        canvas->Pen()->SetColor(step(a, b, 0, i) | step(a, b, 8, i) | step(a, b, 16, i));
        canvas->MoveTo(rect.Left + i, rect.Top);
        canvas->LineTo(rect.Left + i, rect.Bottom);
    }
}

TformAbout::TformAbout(vcl::TComponent* owner) : vcl::TForm(owner) {
    using vcl::Rect;
    gateway::SetUpDialog(this, "formAbout", "О программе"_cp, 360, 250);

    Paint = MakeComponent<vcl::TPaintBox>(this, this, "Paint", Rect(0, 0, 360, 64));
    Paint->OnPaint = {this, &TformAbout::PaintPaint};
    ImageLogo = MakeComponent<vcl::TImage>(this, this, "ImageLogo", Rect(16, 16, 48, 48));
    ImageLogo->SetCenter(true);
    ImageLogo->SetTransparent(true);
    Bevel1 = MakeComponent<skin::TsBevel>(this, this, "Bevel1", Rect(0, 64, 360, 66));
    Bevel1->SetShape(vcl::bsTopLine);
    pnlBottom = MakeComponent<skin::TsPanel>(this, this, "pnlBottom", Rect(0, 66, 360, 250));
    pnlBottom->SetBevelOuter(vcl::bvNone);
    labComplex = MakeComponent<skin::TsLabel>(this, pnlBottom, "labComplex", Rect(16, 12, 340, 30),
                                              "Tessary Varnock");
    labComplex->Font()->SetStyle({vcl::fsBold});
    labVer = MakeComponent<skin::TsLabel>(this, pnlBottom, "labVer", Rect(16, 36, 340, 52),
                                          "версия "_cp);
    labMaker = MakeComponent<skin::TsLabel>(this, pnlBottom, "labMaker", Rect(16, 64, 340, 80),
                                            "Разработка: Varnock"_cp);
    sWebLabel1 = MakeComponent<skin::TsWebLabel>(this, pnlBottom, "sWebLabel1",
                                                 Rect(16, 84, 340, 100), kMakerSite);
    sWebLabel1->SetURL(kMakerSite);
    btnClose = MakeComponent<skin::TsBitBtn>(this, pnlBottom, "btnClose", Rect(268, 146, 352, 172),
                                             "Закрыть"_cp);
    btnClose->SetCancel(true);  // Escape presses it
    btnClose->OnClick = {this, &TformAbout::btnCloseClick};
    OnCreate = {this, &TformAbout::FormCreate};
    OnShow = {this, &TformAbout::FormShow};
}

// ---- event handlers ----

void TformAbout::FormCreate(vcl::TObject*) {
    if (gateway::TMainWindowLink* main = gateway::MainWindowLink())
        main->AlphaImageList()->GetBitmap(gateway::piAbout, ImageLogo->Picture()->Bitmap());
}

void TformAbout::FormShow(vcl::TObject*) {
    labVer->SetCaption("версия "_cp + GetVersionText(false));
}

void TformAbout::PaintPaint(vcl::TObject*) {
    PaintHorizontalGradient(Paint->Canvas(), Paint->ClientRect(), vcl::clWhite, vcl::clSilver);
}

void TformAbout::btnCloseClick(vcl::TObject*) {
    Close();
}

}  // namespace lists
