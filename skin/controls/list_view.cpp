#include "skin/controls/list_view.h"

namespace skin {

using namespace vcl;

std::vector<TPropInfo> TsCustomListView::Published() {
    using L = TsCustomListView;
    return {Property("SkinData", &L::SkinData), Property("BoundLabel", &L::BoundLabel),
            Property("HighlightHeaders", &L::HighlightHeaders, &L::SetHighlightHeaders)};
}

TsCustomListView::TsCustomListView(TComponent* owner) : TCustomListView(owner), skin_(this, 10) {}

TsCustomListView::~TsCustomListView() = default;

void TsCustomListView::AfterConstruction() {
    TCustomListView::AfterConstruction();
    SkinData()->Loaded();
}

void TsCustomListView::Loaded() {
    TCustomListView::Loaded();
    SkinData()->Loaded();
}

void TsCustomListView::SetParent(TWinControl* parent) {
    TCustomListView::SetParent(parent);
    skin_.Placed();
}

void TsCustomListView::SetBounds(int left, int top, int width, int height) {
    TCustomListView::SetBounds(left, top, width, height);
    skin_.Placed();
}

void TsCustomListView::WndProc(TMessage& m) {
    skin_.Before(m);
    TCustomListView::WndProc(m);
    skin_.After(m);
}

}  // namespace skin
