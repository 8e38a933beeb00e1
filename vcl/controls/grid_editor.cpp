// The grid's in-place editor.
#include "vcl/controls/grids.h"

namespace vcl {

bool TCustomGrid::CanEditShow() const {
    return false;
}

void TCustomGrid::SetEditorMode(bool on) {
    editorMode_ = on && CanEditShow();
}

void TCustomGrid::ShowEditor() {}
void TCustomGrid::HideEditor() {}
void TCustomGrid::UpdateEditor() {}
void TCustomGrid::InvalidateEditor() {}
void TCustomGrid::TypeIntoEditor(char) {}

std::string TCustomGrid::GetEditText(int, int) {
    return {};
}

void TCustomGrid::SetEditText(int, int, const std::string&) {}

}  // namespace vcl
