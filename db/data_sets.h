// The main window's data sets. The list code and the mailing run both work through them; the
// main window owns them and points them at the database folder when it is created.
#pragma once

#include <string>

#include "vcl/data/db_query.h"
#include "vcl/data/db_table.h"

namespace db {

struct TMainDataSets {
    vcl::TTable& Table;
    vcl::TTable& Table2;
    vcl::TQuery& Query;
    vcl::TQuery& Query2;
    vcl::TQuery& Query3;

    // Closes each and points it at `folder`.
    void PointAt(const std::string& folder) const {
        for (vcl::TDataSet* ds :
             {static_cast<vcl::TDataSet*>(&Table), static_cast<vcl::TDataSet*>(&Table2),
              static_cast<vcl::TDataSet*>(&Query), static_cast<vcl::TDataSet*>(&Query2),
              static_cast<vcl::TDataSet*>(&Query3)}) {
            ds->Close();
            ds->SetDatabaseName(folder);
        }
    }
};

// Data sets of their own for code that runs without the main window (tests, benchmarks).
struct TOwnDataSets {
    explicit TOwnDataSets(const std::string& folder) { Refs().PointAt(folder); }
    TMainDataSets Refs() { return {Table, Table2, Query, Query2, Query3}; }

    vcl::TTable Table, Table2;
    vcl::TQuery Query, Query2, Query3;
};

}  // namespace db
