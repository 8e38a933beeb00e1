// The list chooser and manager on the headless screen, over a database of the test's own, in
// virtual time: stored lists are made directly in the tables, and the dialogs are driven through
// the rig's script while they run their modal loops.
#pragma once

#include <string>
#include <vector>

#include "platform/os/clock.h"
#include "tests/gateway/window_rig.h"

namespace lists_test {

class ListFormsRig {
public:
    // A stored list with `numbers` numbers, the first `processed` of them processed, each with
    // `values` values; its ID.
    int AddList(const std::string& name, int numbers, int processed = 0, int values = 1);
    void SetActive(int id, bool active);
    // The count of rows a statement finds.
    int Count(const std::string& sql);
    // The List rows' names in ID order.
    std::vector<std::string> Names();
    void Exec(const std::string& sql);

    // The caption of the active window (a dialog the form opened).
    static std::string ActiveCaption();
    // The left button pressed twice at a point of a control's client area.
    void DoubleClick(vcl::TControl* control, int x, int y);
    // The composed screen's pixel at a point of a control's client area.
    static win::COLORREF ScreenPixel(vcl::TControl* control, int x, int y);

    os::FakeClock clock;
    os::ScopedClock useClock{clock};  // before the rig, whose timer runs on it
    gateway_test::WindowRig rig;

    db::TMainDataSets Data() { return rig.main->DataSets(); }
};

}  // namespace lists_test
