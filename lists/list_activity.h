// Whether a stored list is in use by a mailing run: its List row exists and its Active flag is
// set. Both look at the first matching row only, through Query3 of the main window's data sets.
#pragma once

#include <string>

#include "db/data_sets.h"

namespace lists {

bool IsListActiveByID(const db::TMainDataSets& ds, int id);
// The name matches ignoring case, as the database upper-cases it.
bool IsListActiveByName(const db::TMainDataSets& ds, const std::string& name);

// The warning that a list in use by a mailing run cannot be changed (cp1251).
std::string ListBusyText(const std::string& name);

}  // namespace lists
