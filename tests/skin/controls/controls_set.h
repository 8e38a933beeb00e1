// One set of the skinned controls in their states, 640 x 370 pixels from a point of a form: the
// screenshot shows one, the benchmark paints four. The states that need input (a focused edit,
// a hot button) are left to the caller.
#pragma once

#include <vector>

#include "skin/controls/bevel.h"
#include "skin/controls/buttons.h"
#include "skin/controls/check_box.h"
#include "skin/controls/edits.h"
#include "skin/controls/gauge.h"
#include "skin/controls/group_box.h"
#include "skin/controls/labels.h"
#include "skin/controls/panels.h"
#include "skin/controls/status_bar.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/image_list.h"

namespace skin_test {

struct ControlsSet {
    skin::TsEdit* edits[5];  // normal, to be focused, disabled blended, disabled greyed, password
    skin::TsMemo* memo;
    skin::TsCheckBox* checks[5];        // unchecked, checked, grey, disabled, disabled checked
    skin::TsBitBtn* bitBtns[6];         // normal, to be hot, pressed, default, disabled, list glyph
    skin::TsSpeedButton* speedBtns[5];  // flat, drop-down, down, separator, glyph above
    skin::TsDragBar* dragBar;
    skin::TsPanel* panel;
    skin::TsGroupBox* boxes[2];
    skin::TsGauge* emptyGauge;  // no text, 0 of 997, beside partGauge of the same size
    skin::TsGauge* partGauge;   // no text, 613 of 997
    skin::TsGauge* uprightGauge;
    // Every control above with a skin state, and those states.
    std::vector<vcl::TControl*> Controls;
    std::vector<skin::TsCommonData*> Data;
};

// The 16 x 16 picture the buttons show: a blue square with a yellow diagonal.
vcl::TImageList* ControlsGlyphs(vcl::TComponent* owner);
ControlsSet AddControlsSet(vcl::TForm* form, vcl::TPoint origin, vcl::TImageList* glyphs);
// A status bar of three panels with its grip at the bottom of the form.
skin::TsStatusBar* AddStatusBar(vcl::TForm* form);

}  // namespace skin_test
