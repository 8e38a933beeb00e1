// The program's tables: their layout on a fresh database, and its creation.
//
// Keys are INTEGER PRIMARY KEY AUTOINCREMENT, so a deleted ID is never handed out again (a
// run's journal rows form one range of IDs). Text columns are VARCHAR (text affinity), so a
// number such as "0079..." keeps its zeros. Booleans are BOOLEAN (stored 1/0), date-times
// DATETIME (stored as "YYYY-MM-DD HH:MM:SS.SSS" text). List.TextSMS is declared BLOB(160,1),
// the memo type, which is what the upgrade of an older List table checks for.
#pragma once

#include <string>

namespace db {

// The folder next to the executable that holds the database.
inline constexpr const char* kDatabaseFolderName = "Local Tables";

struct TableDefinition {
    const char* name;
    const char* create;  // CREATE TABLE IF NOT EXISTS ...
};

inline constexpr TableDefinition kTables[] = {
    {"List",
     "CREATE TABLE IF NOT EXISTS List (\n"
     "  ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
     "  Name VARCHAR(255),\n"
     "  TextSMS BLOB(160,1),\n"
     "  Active BOOLEAN)"},
    {"NumberList",
     "CREATE TABLE IF NOT EXISTS NumberList (\n"
     "  ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
     "  ListID INTEGER,\n"
     "  Number VARCHAR(255),\n"
     "  Processed BOOLEAN)"},
    {"UserValues",
     "CREATE TABLE IF NOT EXISTS UserValues (\n"
     "  ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
     "  NumberID INTEGER,\n"
     "  Val VARCHAR(255))"},
    {"NumberLog",
     "CREATE TABLE IF NOT EXISTS NumberLog (\n"
     "  ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
     "  NumID INTEGER,\n"
     "  Number VARCHAR(64),\n"
     "  SendResultOK BOOLEAN,\n"
     "  SendTime DATETIME,\n"
     "  ReceiveTimeClient DATETIME,\n"
     "  ReceiveTimeSC DATETIME,\n"
     "  StatusSC SMALLINT,\n"
     "  TextSMS VARCHAR(160),\n"
     "  Name VARCHAR(255),\n"
     "  StartTime VARCHAR(19),\n"
     "  IMEI VARCHAR(32),\n"
     "  MR SMALLINT,\n"
     "  ListID INTEGER,\n"
     "  ReportOrig VARCHAR(255),\n"
     "  MMS BOOLEAN)"},
};

// The indexes the statements rely on: a list's numbers, a number's values, the report
// matching (number and reference), the counts of one modem's run (IMEI and ID range), the
// rows of one number, and the journal viewer's keys and counts: all of them in order (an index
// on ID is read instead of the whole table), those of one mailing and those of a status class.
inline constexpr const char* kIndexes[] = {
    "CREATE INDEX IF NOT EXISTS NumberList_ListID ON NumberList (ListID)",
    "CREATE INDEX IF NOT EXISTS UserValues_NumberID ON UserValues (NumberID)",
    "CREATE INDEX IF NOT EXISTS NumberLog_Number_MR ON NumberLog (Number, MR)",
    "CREATE INDEX IF NOT EXISTS NumberLog_IMEI_ID ON NumberLog (IMEI, ID)",
    "CREATE INDEX IF NOT EXISTS NumberLog_NumID ON NumberLog (NumID)",
    "CREATE INDEX IF NOT EXISTS NumberLog_ID ON NumberLog (ID)",
    "CREATE INDEX IF NOT EXISTS NumberLog_StartTime_IMEI ON NumberLog (StartTime, IMEI)",
    "CREATE INDEX IF NOT EXISTS NumberLog_StatusSC ON NumberLog (StatusSC, SendResultOK)",
};

// Creates the folder when it is missing, then every missing table and index, all in one
// transaction. Tables that exist are left as they are (an older List is upgraded separately).
// Raises EDatabaseError.
void CreateMissingTables(const std::string& folder);

}  // namespace db
