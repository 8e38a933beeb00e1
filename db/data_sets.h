// The main window's data sets. The list code and the mailing run both work through them; the
// main window owns them and points them at the database folder when it is created.
#pragma once

#include "vcl/data/db_query.h"
#include "vcl/data/db_table.h"

namespace db {

struct TMainDataSets {
    vcl::TTable& Table;
    vcl::TTable& Table2;
    vcl::TQuery& Query;
    vcl::TQuery& Query2;
    vcl::TQuery& Query3;
};

}  // namespace db
