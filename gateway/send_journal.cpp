#include "gateway/send_journal.h"

#include <cmath>

#include "db/statements.h"
#include "gateway/log_thread.h"
#include "vcl/system/date_utils.h"

namespace gateway {

namespace {

constexpr double kJournalDays = 8;  // older rows never take a report

bool IsPendingStatus(const vcl::TField& status) {
    if (status.IsNull()) return true;
    const int s = status.AsInteger();
    return s >= 32 && s <= 63;
}

// A report time moved from its zone into the local one; the shift is whole minutes.
os::TDateTime ToLocal(os::TDateTime t, int zone, int localZone) {
    const int minutes = (localZone - zone) * 15;
    return t + minutes / 1440.0;
}

}  // namespace

void LogQuery(const std::exception& e, vcl::TQuery& query, const AddLogFn& addLog) {
    std::string text = e.what();
    text += "\r" + query.SQL.Text();
    for (int i = 0; i < query.ParamCount(); ++i) {
        const vcl::TParam& p = query.Params(i);
        std::string value;
        try {
            value = p.AsString();
        } catch (const vcl::Exception&) {
            value = "?";  // a value that cannot be shown must not hide the failure
        }
        text += "\r" + p.Name() + " - " + value;
    }
    if (addLog) addLog(text);
}

std::string JournalStartTime(os::TDateTime startTime) {
    vcl::TFormatSettings fs = vcl::FormatSettings;
    fs.TimeSeparator = ':';
    return vcl::FormatDateTime("yyyy.mm.dd hh:nn:ss", startTime, fs);
}

void TSendJournal::InsertNumberLog(const std::string& number, const std::string& text,
                                   bool sendResultOK, os::TDateTime startTime,
                                   os::TDateTime sendTime, int listID, int numID, int mr,
                                   const std::string& listName) {
    Logged([&] {
        db::SetStatement(query_, db::kInsertNumberLog);
        query_.ParamByName("prmStr").SetAsString(number);
        query_.ParamByName("prmStr2").SetAsString(text);
        query_.ParamByName("prmInt").SetAsSmallInt(static_cast<int16_t>(mr));
        query_.ParamByName("prmDT").SetAsDateTime(sendTime);
        query_.ParamByName("prmStr3").SetAsString(listName);
        query_.ParamByName("prmStr5").SetAsString(JournalStartTime(startTime));
        query_.ParamByName("prmBool").SetAsBoolean(sendResultOK);
        query_.ParamByName("prmInt2").SetAsInteger(numID);
        query_.ParamByName("prmInt3").SetAsInteger(listID);
        query_.ParamByName("prmStr4").SetAsString(IMEI);
        query_.ExecSQL();
    });
}

TReportMatch TSendJournal::ApplyStatusReport(const std::string& number,
                                             const std::string& reportPdu, int mr, int status,
                                             int sctsZone, int dtZone, os::TDateTime scts,
                                             os::TDateTime dt, bool mms) {
    const os::TDateTime localScts = ToLocal(scts, sctsZone, LocalZone);
    const os::TDateTime localDt = ToLocal(dt, dtZone, LocalZone);

    lookup_.Close();
    lookup_.SetDatabaseName(query_.DatabaseName());
    db::SetStatement(lookup_, db::kReportCandidates);
    lookup_.ParamByName("prmStr").SetAsString(number);
    lookup_.ParamByName("prmInt").SetAsInteger(mr);
    lookup_.Open();
    if (lookup_.IsEmpty()) {
        lookup_.Close();
        return {};
    }
    TReportMatch best;
    double bestDiff = 2147483647.0;
    const os::TDateTime limit = vcl::Now() - kJournalDays;
    vcl::TField& id = lookup_.FieldByName("ID");
    vcl::TField& numID = lookup_.FieldByName("NumID");
    vcl::TField& imei = lookup_.FieldByName("IMEI");
    vcl::TField& sent = lookup_.FieldByName("SendResultOK");
    vcl::TField& statusSC = lookup_.FieldByName("StatusSC");
    vcl::TField& sendTime = lookup_.FieldByName("SendTime");
    for (lookup_.First(); !lookup_.Eof(); lookup_.Next()) {
        if (imei.AsString() != IMEI || !sent.AsBoolean() || !IsPendingStatus(statusSC)) continue;
        const os::TDateTime when = sendTime.AsDateTime();
        if (!(when > limit)) continue;
        const double diff = std::fabs(localScts - when);
        if (diff < bestDiff) {
            bestDiff = diff;
            best = {id.AsInteger(), numID.AsInteger()};
        }
    }
    lookup_.Close();

    Logged([&] {
        db::SetStatement(query_, db::kApplyReport);
        query_.ParamByName("prmStr").SetAsString(reportPdu);
        query_.ParamByName("prmInt").SetAsSmallInt(static_cast<int16_t>(status));
        query_.ParamByName("prmDT").SetAsDateTime(localScts);
        query_.ParamByName("prmDT2").SetAsDateTime(localDt);
        query_.ParamByName("prmBool").SetAsBoolean(mms);
        query_.ParamByName("prmInt4").SetAsInteger(best.ID);
        query_.ExecSQL();
    });
    return best;
}

void TSendJournal::AcceptGivenUpRow(int numID, int mr) {
    Logged([&] {
        db::SetStatement(query_, db::kAcceptGivenUpRow);
        query_.ParamByName("prmInt").SetAsSmallInt(static_cast<int16_t>(mr));
        query_.ParamByName("prmInt2").SetAsInteger(numID);
        query_.ParamByName("prmStr").SetAsString(IMEI);
        query_.ExecSQL();
    });
}

int TSendJournal::GetMaxLogID() {
    return Logged([&] {
        db::SetStatement(query_, db::kMaxLogID);
        query_.ParamByName("prmStr").SetAsString(IMEI);
        query_.Open();
        const int id = query_.FieldByName("MAXID").AsInteger();
        query_.Close();
        return id;
    });
}

bool TSendJournal::AllReportsFinal(int firstID, int lastID) {
    if (firstID < 1 || lastID < firstID) return true;
    return Logged([&] {
        db::SetStatement(query_, db::kCountPendingInRange);
        query_.ParamByName("prmInt").SetAsInteger(firstID);
        query_.ParamByName("prmInt2").SetAsInteger(lastID);
        query_.ParamByName("prmStr").SetAsString(IMEI);
        query_.Open();
        const bool none = query_.FieldByName("Cnt").AsInteger() == 0;
        query_.Close();
        return none;
    });
}

int TSendJournal::CountPendingReports(int firstID) {
    if (firstID < 1) return -1;
    lookup_.Close();
    lookup_.SetDatabaseName(query_.DatabaseName());
    db::SetStatement(lookup_, db::kCountPendingNumbers);
    lookup_.ParamByName("prmInt").SetAsInteger(firstID);
    lookup_.ParamByName("prmStr").SetAsString(IMEI);
    lookup_.Open();
    const int count = lookup_.FieldByName("Cnt").AsInteger();
    lookup_.Close();
    return count;
}

int TSendJournal::CountPendingRowsOfNumber(int numID, int firstID) {
    return Logged([&] {
        db::SetStatement(query_, db::kCountPendingOfNumber);
        query_.ParamByName("prmInt").SetAsInteger(numID);
        query_.ParamByName("prmInt2").SetAsInteger(firstID);
        query_.ParamByName("prmStr").SetAsString(IMEI);
        query_.Open();
        const int count = query_.FieldByName("Cnt").AsInteger();
        query_.Close();
        return count;
    });
}

}  // namespace gateway
