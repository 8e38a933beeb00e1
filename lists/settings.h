// The operator's settings and the database set-up of the main window: what its creation and
// its closing do besides building the window.
//
// The settings live under HKEY_LOCAL_MACHINE "SOFTWARE\Tessary" of the registry stand-in. A
// value that is missing, or of another type than expected, keeps its default; the pause and the
// report wait are kept within their ranges. A key that cannot be opened is skipped silently.
#pragma once

#include <string>

#include "db/data_sets.h"
#include "gateway/run_settings.h"
#include "vcl/data/db_query.h"
#include "vcl/data/db_table.h"
#include "vcl/system/registry.h"

namespace lists {

inline constexpr const char* kSettingsKey = "SOFTWARE\\Tessary";

using gateway::ClampSettings;
using gateway::TSettings;

// Reads the values that exist under the key, then clamps.
void ReadSettings(vcl::TRegistry& registry, TSettings& s);
void WriteSettings(vcl::TRegistry& registry, const TSettings& s);

// The folder of the database: "Local Tables" in the executable's folder (no trailing "/"), or
// the one UseDatabaseFolder set (tests, benchmarks).
std::string DatabaseFolder();
void UseDatabaseFolder(const std::string& folder);

// Brings an older List table to the current layout: adds "Active" when it is missing, and
// turns a short-string TextSMS into a memo keeping every template. All of it in one
// transaction: a failure leaves the table exactly as it was, and raises.
void UpgradeListTable(vcl::TQuery& query, vcl::TTable& table);

using db::TMainDataSets;

// The body of the main window's creation, in order: seeds the random numbers, sets the
// defaults, reads the settings, points the five data sets at `folder`, creates the missing
// tables of a fresh database, upgrades List and, when no other copy runs, frees the lists a
// crashed run left marked in use. The window itself sets GridLocked, ListName
// and empties its list cache. A database failure is raised after the settings are in place.
void MainFormCreate(TSettings& settings, const TMainDataSets& dataSets,
                    const std::string& folder = DatabaseFolder());

// Writes the settings to the settings store (atomically): when the operator changes one, and
// when the main window closes.
void StoreSettings(const TSettings& settings);

// The body of the main window's closing: writes the settings back.
void MainFormClose(const TSettings& settings);

}  // namespace lists
