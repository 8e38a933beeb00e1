// Where the dialog hook places the next skinned system dialog when it attaches it. Both -1 (the
// rest state) leave the system's placement; a message box asked for at a point sets them for
// exactly as long as it is up.
#pragma once

namespace skin {

extern int DialogPosX;
extern int DialogPosY;

// Sets the position for its lifetime and puts -1 back on every way out: a box that failed
// must not move every later dialog.
class TDialogPlacement {
public:
    TDialogPlacement(int x, int y) {
        DialogPosX = x;
        DialogPosY = y;
    }
    ~TDialogPlacement() {
        DialogPosX = -1;
        DialogPosY = -1;
    }
    TDialogPlacement(const TDialogPlacement&) = delete;
    TDialogPlacement& operator=(const TDialogPlacement&) = delete;
};

}  // namespace skin
