// TsCustomListView and TsListView: the skinned list view (kind 10, section "EDIT") with a
// bound label. Its column headings light up under the mouse (HighlightHeaders) once a skin
// paints them; until then it is the class library's list view.
#pragma once

#include "skin/controls/edit_skin.h"
#include "vcl/controls/list_view.h"

namespace skin {

class TsCustomListView : public TsEditSkinned<vcl::TCustomListView> {
public:
    VCL_CLASS_PUBLISHED(TsCustomListView, vcl::TCustomListView)
    explicit TsCustomListView(vcl::TComponent* owner) : TsEditSkinned(owner, 10) {}

    bool HighlightHeaders() const { return highlightHeaders_; }
    void SetHighlightHeaders(bool on) { highlightHeaders_ = on; }

private:
    bool highlightHeaders_ = true;
};

class TsListView : public TsCustomListView {
public:
    VCL_CLASS(TsListView, TsCustomListView)
    explicit TsListView(vcl::TComponent* owner) : TsCustomListView(owner) {}
};

}  // namespace skin
