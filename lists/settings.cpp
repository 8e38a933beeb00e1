#include "lists/settings.h"

#include "db/statements.h"
#include "db/tables.h"
#include "db/transaction.h"
#include "lists/startup.h"
#include "platform/os/files.h"
#include "vcl/data/db_database.h"
#include "vcl/system/sysutils.h"

namespace lists {

namespace {

// Reads one value when it exists; a value of another type keeps the default.
template <typename T, typename Read>
void ReadValue(vcl::TRegistry& registry, const char* name, T& field, Read read) {
    if (!registry.ValueExists(name)) return;
    try {
        field = read(name);
    } catch (const vcl::ERegistryException&) {}
}

template <std::size_t N>
void Run(vcl::TQuery& query, const char* const (&lines)[N]) {
    db::SetStatement(query, lines);
    query.ExecSQL();
}

}  // namespace

void ReadSettings(vcl::TRegistry& registry, TSettings& s) {
    registry.RootKey = vcl::HKEY_LOCAL_MACHINE;
    if (registry.OpenKeyReadOnly(kSettingsKey)) {
        ReadValue(registry, "COMPort", s.COMPort, [&](auto n) { return registry.ReadString(n); });
        ReadValue(registry, "SMSDelay", s.SMSDelay,
                  [&](auto n) { return registry.ReadInteger(n); });
        ReadValue(registry, "ReportRequire", s.ReportRequire,
                  [&](auto n) { return registry.ReadBool(n); });
        ReadValue(registry, "ReportWaitForMins", s.ReportWaitForMins,
                  [&](auto n) { return registry.ReadInteger(n); });
        registry.CloseKey();
    }
    ClampSettings(s);
}

void WriteSettings(vcl::TRegistry& registry, const TSettings& s) {
    registry.RootKey = vcl::HKEY_LOCAL_MACHINE;
    if (!registry.OpenKey(kSettingsKey, true)) return;
    registry.WriteString("COMPort", s.COMPort);
    registry.WriteInteger("SMSDelay", s.SMSDelay);
    registry.WriteInteger("ReportWaitForMins", s.ReportWaitForMins);
    registry.WriteBool("ReportRequire", s.ReportRequire);
    registry.CloseKey();
}

namespace {
std::string gDatabaseFolder;
}

std::string DatabaseFolder() {
    return gDatabaseFolder.empty() ? os::ExecutableDir() + db::kDatabaseFolderName
                                   : gDatabaseFolder;
}

void UseDatabaseFolder(const std::string& folder) {
    gDatabaseFolder = folder;
}

void UpgradeListTable(vcl::TQuery& query, vcl::TTable& table) {
    table.Close();
    table.SetTableName("List");
    table.Open();
    const bool hasActive = table.FieldDefs().IndexOf("Active") >= 0;
    const vcl::TFieldDef* text = table.FieldDefs().Find("TextSMS");
    const bool memo = text && text->DataType == vcl::ftMemo;
    table.Close();
    if (hasActive && memo) return;

    // Schema changes are transactional: a failure half-way must never leave the templates
    // stranded in TextSMS2 with TextSMS gone.
    db::RunInTransaction(query.DatabaseName(), [&] {
        try {
            if (!hasActive) Run(query, db::kAddActive);
            if (!memo) {
                for (const auto& step : db::kTextSMSToMemo)
                    Run(query, step);
                table.Open();
                for (table.First(); !table.Eof(); table.Next()) {
                    table.Edit();
                    table.FieldByName("TextSMS").SetValue(table.FieldByName("TextSMS2").Value());
                    table.Post();
                }
                table.Close();
                query.Close();
                Run(query, db::kDropTextSMS2);
            }
        } catch (...) {
            // Open data sets would hold the rows the rollback must undo.
            table.Close();
            query.Close();
            throw;
        }
    });
}

void MainFormCreate(TSettings& settings, const TMainDataSets& dataSets, const std::string& folder) {
    vcl::Randomize();
    settings = TSettings{};
    {
        vcl::TRegistry registry;
        ReadSettings(registry, settings);
    }
    dataSets.PointAt(folder);
    db::CreateMissingTables(folder);
    UpgradeListTable(dataSets.Query, dataSets.Table);
    ClearStaleActiveFlags(dataSets.Query, folder);
}

void StoreSettings(const TSettings& settings) {
    vcl::TRegistry registry;
    WriteSettings(registry, settings);
}

void MainFormClose(const TSettings& settings) {
    StoreSettings(settings);
}

}  // namespace lists
