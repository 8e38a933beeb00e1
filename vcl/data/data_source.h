// TDataSource and TDataLink: how controls are bound to a data set.
//
// A control keeps a data link, the link names a data source, and the source names the data set.
// The data set tells its sources what happened (data_set.h), each source tells its links, and
// each link tells its control. Any of the three may go first: a freed data set leaves its
// sources without one, a freed source leaves its links without one, and the links hear it as
// the data set closing.
#pragma once

#include <vector>

#include "vcl/data/data_set.h"
#include "vcl/system/component.h"

namespace vcl {

class TDataLink;

class TDataSource : public TComponent {
public:
    VCL_CLASS(TDataSource, TComponent)

    explicit TDataSource(TComponent* owner);
    ~TDataSource() override;

    TDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(TDataSet* dataSet);
    TDataSetState State() const { return dataSet_ ? dataSet_->State() : dsInactive; }

private:
    friend class TDataSet;
    friend class TDataLink;
    void DataEvent(TDataEvent event);

    TDataSet* dataSet_ = nullptr;
    std::vector<TDataLink*> links_;
};

class TDataLink {
public:
    TDataLink() = default;
    virtual ~TDataLink();
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* DataSource() const { return source_; }
    void SetDataSource(TDataSource* source);
    TDataSet* DataSet() const { return source_ ? source_->DataSet() : nullptr; }
    // The link has an open data set.
    bool Active() const { return DataSet() && DataSet()->Active(); }

protected:
    friend class TDataSource;
    // The data set opened or closed, or the link now reaches another one (or none).
    virtual void ActiveChanged() {}
    // The rows or their values changed, or the controls were enabled again.
    virtual void DataSetChanged() {}
    // The current record moved.
    virtual void DataSetScrolled() {}

private:
    TDataSource* source_ = nullptr;
};

}  // namespace vcl
