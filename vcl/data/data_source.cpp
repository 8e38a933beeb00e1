#include "vcl/data/data_source.h"

#include <algorithm>
#include <vector>

namespace vcl {

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
    if (dataSet_) {
        std::erase(dataSet_->sources_, this);
        dataSet_ = nullptr;
    }
    while (!links_.empty())
        links_.back()->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
    if (dataSet == dataSet_) return;
    if (dataSet_) {
        std::erase(dataSet_->sources_, this);
    }
    dataSet_ = dataSet;
    if (dataSet_) dataSet_->sources_.push_back(this);
    DataEvent(deActiveChanged);
}

void TDataSource::DataEvent(TDataEvent event) {
    // A link may leave (or another may join) while the links are told.
    const std::vector<TDataLink*> links = links_;
    for (TDataLink* l : links) {
        if (std::find(links_.begin(), links_.end(), l) == links_.end()) continue;
        switch (event) {
            case deActiveChanged:
                l->ActiveChanged();
                break;
            case deDataSetChange:
                l->DataSetChanged();
                break;
            case deDataSetScroll:
                l->DataSetScrolled();
                break;
        }
    }
}

TDataLink::~TDataLink() {
    if (source_) {
        std::erase(source_->links_, this);
    }
}

void TDataLink::SetDataSource(TDataSource* source) {
    if (source == source_) return;
    if (source_) {
        std::erase(source_->links_, this);
    }
    source_ = source;
    if (source_) source_->links_.push_back(this);
    ActiveChanged();
}

}  // namespace vcl
