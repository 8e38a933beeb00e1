// The send journal (table NumberLog): one row per message or message part the mailing run
// tried to send, and the matching of status reports to those rows.
//
// A row is pending while it was sent (SendResultOK) with a reference and has no final status:
// StatusSC empty, or 32..63 (a temporary error the service centre still retries). Only pending
// rows take reports, so a final status is never overwritten; a row sent without a readable
// reference (MR 256) awaits none.
//
// Statements through the run's query (inserts, the report update and the counts of a run) log
// a failure with LogQuery and raise it again, so the run's clean-up sees it. The lookups by
// number or IMEI bind their values: both come from outside (the network and the modem).
#pragma once

#include <exception>
#include <functional>
#include <string>

#include "gateway/log_thread.h"
#include "gateway/status_report.h"
#include "platform/os/clock.h"
#include "vcl/data/db_query.h"

namespace gateway {

// Where the program's own log lines go: the log writer, unless the link's seam is bound.
using AddLogFn = std::function<void(const std::string& text)>;

// One log line for a failed statement: the exception's message, CR, the statement's lines
// (each ended by CR LF), then per parameter CR, its name, " - " and its value as text.
void LogQuery(const std::exception& e, vcl::TQuery& query, const AddLogFn& addLog);

// Runs `f`, a statement on `query`; a failure is logged with LogQuery and raised again.
template <typename F>
auto RunLogged(vcl::TQuery& query, const AddLogFn& addLog, F f) {
    try {
        return f();
    } catch (const std::exception& e) {
        LogQuery(e, query, addLog);
        throw;
    }
}

// A run's start time as the journal stores it: "yyyy.mm.dd hh:nn:ss" with colons, whatever the
// user's settings say; the journal's filter compares it as text.
std::string JournalStartTime(os::TDateTime startTime);

// The journal row a status report was written into.
struct TReportMatch {
    int ID = 0;  // 0: no row took the report
    int NumID = 0;
};

class TSendJournal {
public:
    // `query` is the data set the run's journal statements go through; its database holds the
    // journal.
    explicit TSendJournal(vcl::TQuery& query) : query_(query) {}

    std::string IMEI;                 // the modem's, as read at the start of the run
    int LocalZone = os::LocalZone();  // quarter hours east of UTC
    AddLogFn AddLog;                  // where LogQuery writes; the log writer when unset

    void InsertNumberLog(const std::string& number, const std::string& text, bool sendResultOK,
                         os::TDateTime startTime, os::TDateTime sendTime, int listID, int numID,
                         int mr, const std::string& listName);

    // Writes the report into the row it belongs to: same number and reference, same IMEI,
    // pending, sent within the last 8 days, and of those the one sent nearest to the report's
    // service-centre time (the lowest ID on a tie). Nothing when there is none.
    TReportMatch ApplyStatusReport(const std::string& number, const std::string& reportPdu, int mr,
                                   int status, int sctsZone, int dtZone, os::TDateTime scts,
                                   os::TDateTime dt, bool mms);
    TReportMatch ApplyStatusReport(const TStatusReport& report, const std::string& reportPdu) {
        return ApplyStatusReport(report.Number, reportPdu, report.MR, report.Status,
                                 report.SCTSZone, report.DTZone, report.SCTS, report.DT,
                                 report.MMS);
    }

    // The failure row this IMEI wrote last for the number `numID` becomes that of a message
    // sent with the reference `mr`.
    void AcceptGivenUpRow(int numID, int mr);

    // The largest ID of this IMEI's rows, 0 when there are none.
    int GetMaxLogID();
    // True when no row from firstID to lastID of this IMEI is pending, and for an invalid range.
    bool AllReportsFinal(int firstID, int lastID);
    // How many numbers (NumID) have a pending row from firstID on; -1 when firstID < 1.
    int CountPendingReports(int firstID);
    // How many rows of the number `numID` from firstID on are pending.
    int CountPendingRowsOfNumber(int numID, int firstID);

private:
    template <typename F>
    auto Logged(F f) {
        return RunLogged(query_, AddLog ? AddLog : AddLogFn(gateway::AddLog), f);
    }

    vcl::TQuery& query_;
    vcl::TQuery lookup_;  // for the lookups that are not logged
};

}  // namespace gateway
