// A mailing run wired to the in-process virtual modem in virtual time, over a fresh database,
// with a view that records what the window would show and answers the questions as told.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "db/data_sets.h"
#include "db/tables.h"
#include "gateway/mailing_run.h"
#include "link_rig.h"
#include "platform/sql/shared_database.h"
#include "tests/support/temp_dir.h"

namespace gateway_test {

class RecordingView : public gateway::TMailingView {
public:
    void SetStage(const std::string& t) override { stage = t; }
    void SetAllNumbers(const std::string& t) override { all = t; }
    void SetProcessed(const std::string& t) override { processed = t; }
    void SetSentOK(const std::string& t) override { sent = t; }
    void SetReport(const std::string& t) override { report = t; }
    void SetCurrentNumber(const std::string& t) override { current = t; }
    void SetMessageText(const std::string& t) override { memo = t; }
    void SetGauge(int p, int m) override {
        progress = p;
        max = m;
    }
    void SetGaugeColor(uint32_t c) override { color = c; }
    void ShowSignal(int l, const std::string& h) override {
        level = l;
        hint = h;
    }
    void SetButtons(bool s, bool t, bool c) override {
        start = s;
        stop = t;
        close = c;
    }
    void SetSettingsReadOnly(bool r) override { readOnly = r; }
    void SetJournalEnabled(bool e) override { journal = e; }
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
        boxes.push_back({text, caption, flags});
        if (answers.empty()) return gateway::kIdYes;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    void MessageBeep(unsigned type) override { beeps.push_back(type); }

    std::string stage, all, processed, sent, report, current, memo, hint;
    int progress = -1, max = -1, level = -1;
    uint32_t color = 0;
    bool start = false, stop = false, close = false, readOnly = false, journal = false;
    std::vector<Box> boxes;
    std::deque<int> answers;  // for the questions, in order; Yes when none is left
    std::vector<unsigned> beeps;
};

// Processed flags of the numbers, in ID order.
inline std::vector<bool> ProcessedFlags(sql::Database& db) {
    const auto rs = db.QueryRaw("select Processed from NumberList order by ID");
    std::vector<bool> out;
    for (std::size_t r = 0; r < rs.RowCount(); ++r)
        out.push_back(rs.At(r, 0).Integer() != 0);
    return out;
}

// The database can take no more pages from now on; `fill` also uses up the room left in them,
// with rows of NumID -1.
inline void LimitGrowth(sql::Database& db, bool fill) {
    const int64_t pages = db.QueryRaw("PRAGMA page_count").At(0, 0).Integer();
    db.ExecuteRaw("PRAGMA max_page_count=" + std::to_string(pages));
    try {
        while (fill)
            db.ExecuteRaw("insert into NumberLog (Number, NumID) values ('filler', -1)");
    } catch (const std::exception&) {}
}

struct RunRig {
    explicit RunRig(vmodem::Options options = {}) : link(std::move(options)) {
        settings.SMSDelay = 0;
        settings.ReportWaitForMins = 1;
        link.link.ProcessMessages = [this] {
            if (pump) pump();
        };
    }
    ~RunRig() { sql::CloseSharedDatabases(); }

    sql::Database& Db() { return *sql::SharedDatabase(dir.path()); }

    // A stored list: numbers with their values, all unprocessed.
    int SaveList(const std::string& name, const std::string& smsText,
                 const std::vector<std::vector<std::string>>& rows) {
        const int list = SaveRows(Db(), name, smsText, rows);
        run.Reset("ttyUSB0", list, name, smsText);
        return list;
    }
    static int SaveRows(sql::Database& db, const std::string& name, const std::string& smsText,
                        const std::vector<std::vector<std::string>>& rows) {
        db.ExecuteRaw("insert into List (Name, TextSMS, Active) values (?1, ?2, 0)",
                      {sql::Value(os::Cp1251ToUtf8(name)), sql::Value(os::Cp1251ToUtf8(smsText))});
        const int64_t list = db.LastInsertRowId();
        for (const auto& row : rows) {
            db.ExecuteRaw("insert into NumberList (ListID, Number, Processed) values (?1, ?2, 0)",
                          {sql::Value(list), sql::Value(row[0])});
            const int64_t number = db.LastInsertRowId();
            for (std::size_t c = 1; c < row.size(); ++c)
                db.ExecuteRaw("insert into UserValues (NumberID, Val) values (?1, ?2)",
                              {sql::Value(number), sql::Value(os::Cp1251ToUtf8(row[c]))});
        }
        return static_cast<int>(list);
    }

    // The whole list of numbers with `count` numbers "7916000000<i>" and no values.
    int SaveNumbers(int count, const std::string& smsText) {
        std::vector<std::vector<std::string>> rows;
        for (int i = 0; i < count; ++i)
            rows.push_back({"+7916" + std::to_string(1000000 + i)});
        return SaveList("Список"_cp, smsText, rows);
    }

    void Start() { run.btnStartClick(); }

    struct Row {
        int id, numID, mr;
        bool ok;
        std::string number, text, imei;
        bool hasStatus;
        int status;
    };
    std::vector<Row> Journal() {
        const auto rs = Db().QueryRaw(
            "select ID, NumID, MR, SendResultOK, Number, TextSMS, IMEI, StatusSC from NumberLog "
            "order by ID");
        std::vector<Row> rows;
        for (std::size_t r = 0; r < rs.RowCount(); ++r)
            rows.push_back({static_cast<int>(rs.At(r, 0).Integer()),
                            static_cast<int>(rs.At(r, 1).Integer()),
                            static_cast<int>(rs.At(r, 2).Integer()), rs.At(r, 3).Integer() != 0,
                            rs.At(r, 4).Text(), os::Utf8ToCp1251(rs.At(r, 5).Text()),
                            rs.At(r, 6).Text(), !rs.At(r, 7).IsNull(),
                            rs.At(r, 7).IsNull() ? -1 : static_cast<int>(rs.At(r, 7).Integer())});
        return rows;
    }
    std::vector<bool> Processed() { return ProcessedFlags(Db()); }
    bool Active(int list) {
        return Db().QueryRaw("select coalesce(Active, 0) from List where ID=?1", {sql::Value(list)})
                   .At(0, 0)
                   .Integer() != 0;
    }
    // The commands the modem was given, without the PDUs.
    int CommandCount(const std::string& prefix) const {
        int n = 0;
        for (const std::string& c : link.modem.commands())
            n += c.rfind(prefix, 0) == 0;
        return n;
    }

    testing_support::TempDir dir;
    bool created = (db::CreateMissingTables(dir.path()), true);
    Rig link;
    db::TOwnDataSets data{dir.path()};
    gateway::TSettings settings;
    RecordingView view;
    std::function<void()> pump;  // runs in every wait, as window messages would
    gateway::TMailingRun run{link.link, data.Refs(), settings, view};
};

}  // namespace gateway_test
