// Shared set-up of the form skin provider's tests: forms of any border style, window state and
// number of menu rows, each with a provider, under the internal skin or a synthetic skin whose
// every mask piece has a colour of its own and whose caption corners are round (runs of the
// transparent key), with the caption-button pictures and skin values a test asks for.
#pragma once

#include <map>
#include <set>
#include <string>

#include "skin/windows/provider/skin_provider.h"
#include "tests/skin/windows/windows_fixture.h"

namespace skin::testing {

// The synthetic skin's masks; their pieces are coloured by PieceColour.
enum SynthMask : int {
    kSynForm,         // FORM BORDERSMASK: 2 states, round corners at top and bottom
    kSynTitle,        // FORMTITLE BORDERSMASK: 2 states, round top corners
    kSynTitleButton,  // GLOBALINFO TITLEBUTTON: 3 states
    kSynBIconClose,
    kSynBIconMax,
    kSynBIconMin,
    kSynBIconNorm,
    kSynBIconHelp,
    kSynBICloseAlone,
    kSynSIconClose,
    kSynSIconMax,
    kSynSIconMin,
    kSynSIconNorm,
    kSynSIconHelp,
    kSynGrip,
    kSynMaskCount
};

// Where a mask lies in the master picture. Border masks have borders of `Border` pixels on
// every side and nine pieces per state (0 top-left, 1 top, 2 top-right, 3 left, 4 centre,
// 5 right, 6 bottom-left, 7 bottom, 8 bottom-right); glyphs (Border 0) one piece per state.
struct SynthMaskInfo {
    const char* Section;
    const char* Name;
    int X, Y, States, FrameW, FrameH, Border;
};
extern const SynthMaskInfo kSynthMasks[kSynMaskCount];

// How many key-coloured pixels row `row` (0 at the outer edge) of a round corner holds: 3, 2,
// 1, then none.
int CornerRun(int row);
// The colour of a piece of a state of a mask (never the transparent key).
win::COLORREF PieceColour(int mask, int state, int piece);
// The client colour of the synthetic skin (GLOBALINFO and FORM COLOR).
inline constexpr win::COLORREF kSynthClientColour = 0x00C8D0D8;
// The close-glow picture: BICONCLOSEGLOW0, this size, half-transparent red.
inline constexpr int kSynthGlowW = 30, kSynthGlowH = 28;

struct SynthSkin {
    // GLOBALINFO values set over the defaults (BIRIGHT, BISPACE, BITOP, BIVALIGN, TITLEHEIGHT,
    // BORDERWIDTH, BICONCLOSEGLOWMARGIN...).
    std::map<std::string, std::string> Global;
    // Mask names left out ("BORDERSMASK" leaves out both border masks of FORM and FORMTITLE).
    std::set<std::string> Omit;
    std::string Packed() const;
};

struct FormShape {
    vcl::TFormBorderStyle Border = vcl::bsSizeable;
    vcl::TWindowState State = vcl::wsNormal;
    int MenuRows = 0;  // rows of the main menu's bar; 0 makes no menu
    int Width = 400, Height = 300;
    vcl::TBorderIcons Icons{vcl::biSystemMenu, vcl::biMinimize, vcl::biMaximize};
    bool Show = true;
};

class ProviderTest : public WindowsTest {
protected:
    // Makes the synthetic skin the default manager's active skin.
    void UseSynthetic(const SynthSkin& skin = {});
    // A form made by the application at (60, 40) as `shape` says, with a provider, shown (and
    // pumped) unless asked otherwise; `provider` is its provider.
    vcl::TForm* MakeForm(const FormShape& shape);
    // Rows of the form's menu bar as the platform laid it out.
    static int MenuBarRows(vcl::TForm* f);

    TsSkinProvider* provider = nullptr;
};

}  // namespace skin::testing
