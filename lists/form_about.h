// TformAbout: the about box, with the product's title, the program's version and the maker's
// lines under a gradient band.
#pragma once

#include <string>

#include "program_version.h"
#include "skin/controls/bevel.h"
#include "skin/controls/buttons.h"
#include "skin/controls/labels.h"
#include "skin/controls/panels.h"
#include "vcl/controls/ext_ctrls.h"
#include "vcl/controls/forms.h"

namespace lists {

// The maker's site behind the link label.
inline constexpr const char* kMakerSite = "https://tessary.example.org/";

// major.minor in the short form, major.minor.release.build otherwise.
std::string GetVersionText(bool shortForm,
                           const version::TFileVersion& v = version::kProgramVersion);

// Fills `rect` column by column from `from` on the left towards `to`: column i of w has each
// component from + (to - from) * i / w, truncated, so the last column stops one step short.
void PaintHorizontalGradient(vcl::TCanvas* canvas, const vcl::TRect& rect, vcl::TColor from,
                             vcl::TColor to);

class TformAbout : public vcl::TForm {
public:
    VCL_CLASS(TformAbout, vcl::TForm)
    explicit TformAbout(vcl::TComponent* owner);

    // The components, in the order they are made.
    vcl::TPaintBox* Paint;
    vcl::TImage* ImageLogo;
    skin::TsBevel* Bevel1;
    skin::TsPanel* pnlBottom;
    skin::TsLabel* labComplex;
    skin::TsLabel* labVer;
    skin::TsLabel* labMaker;
    skin::TsWebLabel* sWebLabel1;
    skin::TsBitBtn* btnClose;

    // Event handlers, bound by name.
    void FormCreate(vcl::TObject* Sender);
    void FormShow(vcl::TObject* Sender);
    void PaintPaint(vcl::TObject* Sender);
    void btnCloseClick(vcl::TObject* Sender);
};

}  // namespace lists
