#include "skin/controls/list_view.h"

namespace skin {

using namespace vcl;

std::vector<TPropInfo> TsCustomListView::Published() {
    using L = TsCustomListView;
    return {Property("SkinData", &L::SkinData), Property("BoundLabel", &L::BoundLabel),
            Property("HighlightHeaders", &L::HighlightHeaders, &L::SetHighlightHeaders)};
}

}  // namespace skin
