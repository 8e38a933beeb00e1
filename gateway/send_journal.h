// The send journal (table NumberLog): one row per message or message part the mailing run
// tried to send, and the matching of status reports to those rows.
//
// A row is pending while it was sent (SendResultOK) and has no final status: StatusSC empty, or
// 32..63 (a temporary error the service centre still retries). Only pending rows take reports,
// so a final status is never overwritten.
//
// Statements through the run's query (inserts, the report update and the counts of a run) log
// a failure with LogQuery and raise it again, so the run's clean-up sees it. The lookups by
// number or IMEI bind their values: both come from outside (the network and the modem).
#pragma once

#include <exception>
#include <string>

#include "gateway/status_report.h"
#include "platform/os/clock.h"
#include "vcl/data/db_query.h"

namespace gateway {

// One log line for a failed statement: the exception's message, CR, the statement's lines
// (each ended by CR LF), then per parameter CR, its name, " - " and its value as text.
void LogQuery(const std::exception& e, vcl::TQuery& query);

class TSendJournal {
public:
    // `query` is the data set the run's journal statements go through; its database holds the
    // journal.
    explicit TSendJournal(vcl::TQuery& query) : query_(query) {}

    std::string IMEI;                  // the modem's, as read at the start of the run
    int LocalZone = os::kDefaultZone;  // quarter hours east of UTC

    void InsertNumberLog(const std::string& number, const std::string& text, bool sendResultOK,
                         os::TDateTime startTime, os::TDateTime sendTime, int listID, int numID,
                         int mr, const std::string& listName);

    // Writes the report into the row it belongs to: same number and reference, same IMEI,
    // pending, sent within the last 8 days, and of those the one sent nearest to the report's
    // service-centre time (the lowest ID on a tie). Nothing when there is none.
    void ApplyStatusReport(const std::string& number, const std::string& reportPdu, int mr,
                           int status, int sctsZone, int dtZone, os::TDateTime scts,
                           os::TDateTime dt, bool mms);
    void ApplyStatusReport(const TStatusReport& report, const std::string& reportPdu) {
        ApplyStatusReport(report.Number, reportPdu, report.MR, report.Status, report.SCTSZone,
                          report.DTZone, report.SCTS, report.DT, report.MMS);
    }

    // The largest ID of this IMEI's rows, 0 when there are none.
    int GetMaxLogID();
    // True when no row from firstID to lastID of this IMEI is pending, and for an invalid range.
    bool AllReportsFinal(int firstID, int lastID);
    // How many numbers (NumID) have a pending row from firstID on; -1 when firstID < 1.
    int CountPendingReports(int firstID);

private:
    template <typename F>
    auto Logged(F f);

    vcl::TQuery& query_;
    vcl::TQuery lookup_;  // for the lookups that are not logged
};

}  // namespace gateway
