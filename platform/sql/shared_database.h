// The connection of each database folder, shared by every data set of the process that names
// that folder, so that their statements see one another's changes and share transactions.
#pragma once

#include <memory>
#include <string>

#include "platform/sql/database.h"

namespace sql {

// The file that holds all tables of a folder.
inline constexpr const char* kDatabaseFileName = "Tessary.db";

std::string DatabaseFile(const std::string& folder);

// Opens the folder's connection on first use. The folder must exist.
std::shared_ptr<Database> SharedDatabase(const std::string& folder);

// Forgets every shared connection; each closes when its last user lets go of it. For shutdown,
// and for tests that start another process on the same file.
void CloseSharedDatabases();

}  // namespace sql
