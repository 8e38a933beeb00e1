#include <benchmark/benchmark.h>

#include <random>

#include "bench/bench_folder.h"
#include "db/statements.h"
#include "db/tables.h"
#include "gateway/send_journal.h"
#include "platform/os/cp_literal.h"
#include "platform/sql/date_text.h"
#include "platform/sql/shared_database.h"
#include "vcl/data/db_database.h"
#include "vcl/data/db_table.h"
#include "vcl/system/date_utils.h"

namespace {

using bench::Folder;

constexpr const char* kImei = "356938035643809";

std::string NumberOf(int i) {
    return "7916" + std::to_string(1000000 + i);
}

// One journal row per message, each its own statement and commit, as the mailing run writes.
void BM_InsertJournalRows(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        {
            Folder folder;
            vcl::TQuery query;
            query.SetDatabaseName(folder.path());
            gateway::TSendJournal journal(query);
            journal.IMEI = kImei;
            const os::TDateTime now = vcl::Now();
            state.ResumeTiming();
            for (int i = 0; i < rows; ++i)
                journal.InsertNumberLog(NumberOf(i), "Текст сообщения"_cp, true, now, now, 1, i,
                                        i % 256, "Список"_cp);
            state.PauseTiming();
        }
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_InsertJournalRows)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

// One report matched and written in a journal of a million rows: an index lookup, not a scan.
void BM_ApplyStatusReport(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    Folder folder;
    const os::TDateTime now = vcl::Now();
    {
        auto db = sql::SharedDatabase(folder.path());
        sql::Transaction t(*db);
        const std::string sent = *sql::DateTimeToText(now - 0.5);
        for (int i = 0; i < rows; ++i)
            db->ExecuteRaw(
                "insert into NumberLog (NumID, Number, SendResultOK, SendTime, TextSMS, Name, "
                "StartTime, IMEI, MR, ListID) values (?1, ?2, 1, ?3, 'text', 'list', "
                "'2024.03.05 09:07:01', ?4, ?5, 1)",
                {sql::Value(i), sql::Value(NumberOf(i % 100000)), sql::Value(sent),
                 sql::Value(i % 7 ? kImei : "356938035643800"), sql::Value(i % 256)});
        t.Commit();
    }
    vcl::TQuery query;
    query.SetDatabaseName(folder.path());
    gateway::TSendJournal journal(query);
    journal.IMEI = kImei;
    std::mt19937 random(1);
    for (auto _ : state) {
        const int i = static_cast<int>(random() % rows);
        journal.ApplyStatusReport(NumberOf(i % 100000), "0791", i % 256, 48, 12, 12, now - 0.5,
                                  now - 0.49, false);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ApplyStatusReport)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// A list of numbers with five values each, appended row by row as the list is saved, in one
// transaction. The million-number save is how long another copy's mailing run waits for the
// write lock when it journals a message meanwhile.
void BM_SaveList(benchmark::State& state) {
    const int numbers = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        {
            Folder folder;
            vcl::TTable list, values;
            list.SetDatabaseName(folder.path());
            list.SetTableName("NumberList");
            values.SetDatabaseName(folder.path());
            values.SetTableName("UserValues");
            vcl::TDatabase database(folder.path());
            state.ResumeTiming();
            database.StartTransaction();
            list.Open();
            values.Open();
            for (int i = 0; i < numbers; ++i) {
                list.Append();
                list.FieldByName("ListID").SetAsInteger(1);
                list.FieldByName("Number").SetAsString(NumberOf(i));
                list.FieldByName("Processed").SetAsBoolean(false);
                list.Post();
                const int id = list.FieldByName("ID").AsInteger();
                for (int c = 0; c < 5; ++c) {
                    values.Append();
                    values.FieldByName("NumberID").SetAsInteger(id);
                    values.FieldByName("Val").SetAsString("value " + std::to_string(c));
                    values.Post();
                }
            }
            list.Close();
            values.Close();
            database.Commit();
            state.PauseTiming();
        }
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * numbers);
}
BENCHMARK(BM_SaveList)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
