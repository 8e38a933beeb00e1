#include "gateway/send_journal.h"

#include <gtest/gtest.h>

#include "db/statements.h"
#include "db/tables.h"
#include "gateway/log_thread.h"
#include "platform/os/cp_literal.h"
#include "platform/os/files.h"
#include "platform/sql/date_text.h"
#include "platform/sql/shared_database.h"
#include "tests/support/temp_dir.h"
#include "vcl/system/date_utils.h"

namespace {

using testing_support::TempDir;

constexpr const char* kImei = "356938035643809";

class SendJournal : public ::testing::Test {
protected:
    void SetUp() override {
        db::CreateMissingTables(dir_.path());
        query_.SetDatabaseName(dir_.path());
        journal_.IMEI = kImei;
        journal_.LocalZone = 12;
    }
    void TearDown() override { sql::CloseSharedDatabases(); }

    // A row sent `ageDays` before now, accepted (MR given) or failed (MR 256).
    int Sent(const std::string& number, int mr, double ageDays, bool ok = true, int numID = 1) {
        journal_.InsertNumberLog(number, "text", ok, start_, now_ - ageDays, 3, numID,
                                 ok ? mr : 256, "Список"_cp);
        return journal_.GetMaxLogID();
    }
    void Report(const std::string& number, int mr, int status, os::TDateTime scts, int zone = 12) {
        journal_.ApplyStatusReport(number, "PDU" + std::to_string(status), mr, status, zone, zone,
                                   scts, scts + 1.0 / 1440, false);
    }
    sql::Value Cell(int id, const char* column) {
        return sql::SharedDatabase(dir_.path())
            ->QueryRaw(std::string("select ") + column + " from NumberLog where ID=?1",
                       {sql::Value(id)})
            .At(0, 0);
    }
    void SetNull(int id, const char* column) {
        sql::SharedDatabase(dir_.path())
            ->ExecuteRaw(std::string("update NumberLog set ") + column + "=null where ID=?1",
                         {sql::Value(id)});
    }
    void SetStatus(int id, int status) {
        sql::SharedDatabase(dir_.path())
            ->ExecuteRaw("update NumberLog set StatusSC=?1 where ID=?2",
                         {sql::Value(status), sql::Value(id)});
    }

    TempDir dir_;
    const os::TDateTime now_ = vcl::EncodeDateTime(2024, 3, 5, 12, 0, 0, 0);
    const os::TDateTime start_ = vcl::EncodeDateTime(2024, 3, 5, 9, 7, 1, 0);
    os::FakeClock clock_{now_};
    os::ScopedClock useClock_{clock_};
    vcl::TQuery query_;
    gateway::TSendJournal journal_{query_};
};

TEST_F(SendJournal, InsertWritesEveryFieldOfTheRow) {
    vcl::TFormatSettings saved = vcl::FormatSettings;
    vcl::FormatSettings.TimeSeparator = '.';  // the start time keeps its ":" regardless
    const int id = Sent("0079161234567", 17, 0);
    vcl::FormatSettings = saved;
    EXPECT_EQ(id, 1);
    EXPECT_EQ(Cell(id, "Number"), sql::Value("0079161234567"));
    EXPECT_EQ(Cell(id, "TextSMS"), sql::Value("text"));
    EXPECT_EQ(Cell(id, "MR"), sql::Value(17));
    EXPECT_EQ(Cell(id, "SendTime"), sql::Value("2024-03-05 12:00:00.000"));
    EXPECT_EQ(Cell(id, "Name"), sql::Value("Список"));
    EXPECT_EQ(Cell(id, "StartTime"), sql::Value("2024.03.05 09:07:01"));
    EXPECT_EQ(Cell(id, "SendResultOK"), sql::Value(1));
    EXPECT_EQ(Cell(id, "NumID"), sql::Value(1));
    EXPECT_EQ(Cell(id, "ListID"), sql::Value(3));
    EXPECT_EQ(Cell(id, "IMEI"), sql::Value(kImei));
    EXPECT_TRUE(Cell(id, "StatusSC").IsNull());
    EXPECT_TRUE(Cell(id, "ReceiveTimeSC").IsNull());
    EXPECT_EQ(Cell(Sent("1", 0, 0, false), "MR"), sql::Value(256));
    EXPECT_EQ(Cell(2, "SendResultOK"), sql::Value(0));
}

TEST_F(SendJournal, ReportGoesToTheNearestPendingRowOfTheSameModem) {
    const int old = Sent("79161234567", 5, 8.001);  // beyond the 8 days
    const int early = Sent("79161234567", 5, 1.0);
    const int late = Sent("79161234567", 5, 0.1);
    const int otherMr = Sent("79161234567", 6, 0.1);
    journal_.IMEI = "356938035643800";
    const int otherModem = Sent("79161234567", 5, 0.1);
    journal_.IMEI = kImei;
    Report("79161234567", 5, 0, now_ - 0.09);
    EXPECT_EQ(Cell(late, "StatusSC"), sql::Value(0));
    EXPECT_EQ(Cell(late, "ReportOrig"), sql::Value("PDU0"));
    EXPECT_EQ(Cell(late, "ReceiveTimeSC"), sql::Value(*sql::DateTimeToText(now_ - 0.09)));
    for (int id : {old, early, otherMr, otherModem})
        EXPECT_TRUE(Cell(id, "StatusSC").IsNull()) << id;
    // The final status stays; the next report finds the earlier row, and the old one never.
    Report("79161234567", 5, 64, now_ - 0.09);
    EXPECT_EQ(Cell(late, "StatusSC"), sql::Value(0));
    EXPECT_EQ(Cell(early, "StatusSC"), sql::Value(64));
    Report("79161234567", 5, 1, now_);
    EXPECT_TRUE(Cell(old, "StatusSC").IsNull());
}

TEST_F(SendJournal, TiesGoToTheLowerIDAndTemporaryErrorsAreReplaced) {
    const int a = Sent("111", 9, 0.2, true, 4);
    const int b = Sent("111", 9, 0.0);
    const gateway::TReportMatch match = journal_.ApplyStatusReport(
        "111", "PDU48", 9, 48, 12, 12, now_ - 0.1, now_, false);  // equally far from both
    EXPECT_EQ(match.ID, a);
    EXPECT_EQ(match.NumID, 4);
    EXPECT_EQ(Cell(a, "StatusSC"), sql::Value(48));
    EXPECT_TRUE(Cell(b, "StatusSC").IsNull());
    Report("111", 9, 2, now_ - 0.2);  // still pending after a temporary error
    EXPECT_EQ(Cell(a, "StatusSC"), sql::Value(2));
    // A message that was never sent takes no report.
    const int failed = Sent("222", 3, 0, false);
    EXPECT_EQ(journal_.ApplyStatusReport("222", "x", 256, 0, 12, 12, now_, now_, false).ID, 0);
    EXPECT_TRUE(Cell(failed, "StatusSC").IsNull());
}

TEST_F(SendJournal, TheZoneIsTheSystemsUnlessSet) {
    clock_.SetZone(-20);
    EXPECT_EQ(gateway::TSendJournal(query_).LocalZone, -20);
}

TEST_F(SendJournal, ReportTimesMoveIntoTheLocalZone) {
    const int same = Sent("1", 1, 0);
    const int shifted = Sent("2", 1, 0);
    const os::TDateTime t = vcl::EncodeDateTime(2024, 3, 5, 11, 0, 0, 0);
    journal_.ApplyStatusReport("1", "p", 1, 0, 12, 12, t, t, true);
    EXPECT_EQ(Cell(same, "ReceiveTimeSC"), sql::Value("2024-03-05 11:00:00.000"));
    EXPECT_EQ(Cell(same, "MMS"), sql::Value(1));
    journal_.ApplyStatusReport("2", "p", 1, 0, 0, -4, t - 0.125, t, false);
    EXPECT_EQ(Cell(shifted, "ReceiveTimeSC"), sql::Value("2024-03-05 11:00:00.000"));  // +3 h
    EXPECT_EQ(Cell(shifted, "ReceiveTimeClient"), sql::Value("2024-03-05 15:00:00.000"));
}

TEST_F(SendJournal, NumbersFromTheNetworkAreValuesNeverStatementText) {
    const int id = Sent("79161234567", 1, 0);
    Report("x' or '1'='1", 1, 0, now_);
    Report("79161234567' --", 1, 0, now_);
    EXPECT_TRUE(Cell(id, "StatusSC").IsNull());
    journal_.IMEI = "' or ''='";
    EXPECT_EQ(journal_.GetMaxLogID(), 0);
    EXPECT_EQ(journal_.CountPendingReports(1), 0);
    EXPECT_TRUE(journal_.AllReportsFinal(1, 1));
}

TEST_F(SendJournal, RunCountsOfPendingRows) {
    EXPECT_EQ(journal_.GetMaxLogID(), 0);
    EXPECT_TRUE(journal_.AllReportsFinal(0, 5));
    EXPECT_TRUE(journal_.AllReportsFinal(3, 2));
    EXPECT_EQ(journal_.CountPendingReports(0), -1);
    const int first = Sent("1", 1, 0, true, 10);
    Sent("1", 2, 0, true, 10);  // the second part of the same number
    Sent("2", 3, 0, true, 11);
    const int last = Sent("3", 0, 0, false, 12);
    EXPECT_EQ(journal_.GetMaxLogID(), last);
    EXPECT_EQ(journal_.CountPendingReports(first), 2);
    EXPECT_FALSE(journal_.AllReportsFinal(first, last));
    EXPECT_EQ(journal_.CountPendingRowsOfNumber(10, first), 2);
    SetStatus(first, 0);
    EXPECT_EQ(journal_.CountPendingReports(first), 2);  // its other part still waits
    EXPECT_EQ(journal_.CountPendingRowsOfNumber(10, first), 1);
    EXPECT_EQ(journal_.CountPendingRowsOfNumber(10, first + 1), 1);
    EXPECT_EQ(journal_.CountPendingRowsOfNumber(12, first), 0);  // a failed send waits for nothing
    SetStatus(first + 1, 40);
    SetStatus(first + 2, 70);
    EXPECT_EQ(journal_.CountPendingReports(first), 1);
    EXPECT_FALSE(journal_.AllReportsFinal(first, last));
    EXPECT_TRUE(journal_.AllReportsFinal(first + 2, last));
    SetStatus(first + 1, 0);
    EXPECT_EQ(journal_.CountPendingReports(first), 0);
    EXPECT_TRUE(journal_.AllReportsFinal(first, last));
    // A row without any reference is still awaited; one with an unreadable reference is not,
    // yet it keeps its number from having every report.
    const int noReference = Sent("4", 5, 0, true, 13);
    SetNull(noReference, "MR");
    EXPECT_FALSE(journal_.AllReportsFinal(noReference, noReference));
    EXPECT_EQ(journal_.CountPendingReports(noReference), 1);
    const int unreadable = Sent("5", 256, 0, true, 14);
    EXPECT_TRUE(journal_.AllReportsFinal(unreadable, unreadable));
    EXPECT_EQ(journal_.CountPendingRowsOfNumber(14, unreadable), 1);
    journal_.IMEI = "356938035643800";
    EXPECT_EQ(journal_.GetMaxLogID(), 0);
}

TEST(LogQuery, AFailedStatementIsLoggedWithItsTextAndParametersAndRaisedAgain) {
    TempDir dir;
    db::CreateMissingTables(dir.path());
    gateway::InstanceNo = 7;
    gateway::StartLogThread(dir.path());
    vcl::TQuery query;
    query.SetDatabaseName(dir.path());
    gateway::TSendJournal journal(query);
    journal.IMEI = kImei;
    sql::SharedDatabase(dir.path())->ExecuteRaw("drop table NumberLog");
    EXPECT_THROW(
        journal.InsertNumberLog("79161234567", "Привет"_cp, true, 45000, 45000, 1, 2, 3, "L"),
        vcl::EDatabaseError);
    EXPECT_THROW(journal.GetMaxLogID(), vcl::EDatabaseError);
    ASSERT_TRUE(gateway::FlushLog(5000));
    gateway::StopLogThread();
    sql::CloseSharedDatabases();
    const std::string log = os::ReadWholeFile(dir / "gate_07.log").value_or("");
    for (const char* expected :
         {"[PRGM]: no such table: numberlog\r\n", "[PRGM]: insert into numberlog\r\n",
          "[PRGM]: :prmStr5, :prmBool, :prmInt2, :prmInt3, :prmStr4)\r\n",
          "[PRGM]: prmStr - 79161234567\r\n", "[PRGM]: prmInt - 3\r\n",
          "[PRGM]: prmBool - True\r\n", "[PRGM]: prmStr4 - 356938035643809\r\n",
          "[PRGM]: select max(ID) as MAXID from numberlog\r\n"})
        EXPECT_NE(log.find(expected), std::string::npos) << expected << "\n" << log;
    EXPECT_NE(log.find(std::string("prmStr2 - ") + "Привет"_cp), std::string::npos);
}

}  // namespace
