// The statements that the gateway and the list code run, line by line as they are put into a
// query, in the program's SQL dialect. Parameters: prmInt/prmStr/prmDT/prmBool and numbered
// variants. SetStatement puts one into a query the usual way: close, clear, add the lines.
#pragma once

#include <cstddef>

#include "vcl/data/db_query.h"

namespace db {

template <std::size_t N>
void SetStatement(vcl::TQuery& query, const char* const (&lines)[N]) {
    query.Close();
    query.SQL.BeginUpdate();  // the statement is read once, not once per line
    query.SQL.Clear();
    for (const char* line : lines)
        query.SQL.Add(line);
    query.SQL.EndUpdate();
}

// ---- send journal ----

inline constexpr const char* kInsertNumberLog[] = {
    "insert into numberlog",
    "(Number, TextSMS, MR, SendTime, Name, StartTime, SendResultOK, NumID, ListID, IMEI)",
    "values (:prmStr, :prmStr2, :prmInt, :prmDT, :prmStr3,",
    ":prmStr5, :prmBool, :prmInt2, :prmInt3, :prmStr4)",
};

inline constexpr const char* kApplyReport[] = {
    "update numberlog set ReportOrig=:prmStr,",
    "StatusSC=:prmInt,",
    "ReceiveTimeSC=:prmDT, ReceiveTimeClient=:prmDT2,",
    "MMS=:prmBool",
    "where ID=:prmInt4",
};

// The rows a report may belong to: same number and message reference, in ID order.
inline constexpr const char* kReportCandidates[] = {
    "select ID, NumID, IMEI, SendResultOK, StatusSC, SendTime from numberlog",
    "where Number=:prmStr and MR=:prmInt",
    "order by ID",
};

inline constexpr const char* kMaxLogID[] = {
    "select max(ID) as MAXID from numberlog",
    "where IMEI=:prmStr",
};

// Pending: sent and without a final status. A row sent without a readable reference (MR 256)
// can take no report, so none is awaited for it; a row without any reference still counts.
inline constexpr const char* kCountPendingInRange[] = {
    "select count(ID) as Cnt from numberlog",
    "where ID >= :prmInt and ID <= :prmInt2",
    "and IMEI=:prmStr",
    "and SendResultOK='true'",
    "and (StatusSC is null or ",
    "(StatusSC >= 32 and StatusSC <= 63))",
    "and (MR is null or MR<>256)",
};

// Numbers (distinct NumID) with a pending row from a first ID on, for one modem.
inline constexpr const char* kCountPendingNumbers[] = {
    "select count(distinct NumID) as Cnt from numberlog",
    "where ID >= :prmInt and IMEI=:prmStr",
    "and SendResultOK=true",
    "and (StatusSC is null or ",
    "(StatusSC >= 32 and StatusSC <= 63))",
    "and (MR is null or MR<>256)",
};

// Rows of one number from a first ID on, for one modem, sent and without a final status, those
// that await no report (MR 256) among them: a number whose count is 0 has the final report of
// every part the modem accepted.
inline constexpr const char* kCountPendingOfNumber[] = {
    "select count(ID) as Cnt from numberlog",
    "where NumID=:prmInt and ID >= :prmInt2 and IMEI=:prmStr",
    "and SendResultOK=true",
    "and (StatusSC is null or ",
    "(StatusSC >= 32 and StatusSC <= 63))",
};

// The failure row of the part a number gave up last, for one modem, once the modem's late
// answer shows it was accepted.
inline constexpr const char* kAcceptGivenUpRow[] = {
    "update numberlog set SendResultOK=true, MR=:prmInt",
    "where ID=(select max(ID) from numberlog",
    "where NumID=:prmInt2 and IMEI=:prmStr and SendResultOK=false)",
};

// ---- mailing run ----

inline constexpr const char* kCountNumbers[] = {
    "select count(*) as cnt from NumberList where ListID=:prmInt",
};

// Three rows in this order: processed, unprocessed, all.
inline constexpr const char* kCountProcessedUnprocessedTotal[] = {
    "select count(*) as cnt from numberlist where processed=true and listid=:prmInt union all "
    "select count(*) as cnt from numberlist where processed=false and listid=:prmInt union all "
    "select count(*) as cnt from numberlist where listid=:prmInt",
};

inline constexpr const char* kResetProcessed[] = {
    "update numberlist set processed=false where listid=:prmInt",
};

// Takes the list for one run: changes the row only when no run holds it, so of two copies
// started at once exactly one sees a changed row.
inline constexpr const char* kMarkListActive[] = {
    "update List set \"Active\"=1 where ID=:prmInt and coalesce(\"Active\",0)=0",
};

inline constexpr const char* kMarkListInactive[] = {
    "update List set List.\"Active\"='false' where ID=:prmInt",
};

// Frees every list a crashed or killed run left marked in use.
inline constexpr const char* kClearActiveFlags[] = {
    "update List set \"Active\"=0 where coalesce(\"Active\",0)<>0",
};

inline constexpr const char* kUnprocessedNumbers[] = {
    "select * from numberlist where processed=false and listid=:prmInt order by id",
};

inline constexpr const char* kListValues[] = {
    "select b.* from NumberList a inner join UserValues b on a.ID=b.NumberID where "
    "a.ListId=:prmInt order by b.id",
};

// The values of a list's unprocessed numbers, each number's in their own order.
inline constexpr const char* kUnprocessedNumberValues[] = {
    "select b.NumberID, b.Val from NumberList a inner join UserValues b on a.ID=b.NumberID",
    "where a.ListID=:prmInt and a.Processed=false order by b.NumberID, b.ID",
};

inline constexpr const char* kMarkNumberProcessed[] = {
    "update numberlist set processed=true where id=:prmInt",
};

// ---- list storage ----

inline constexpr const char* kListByID[] = {
    "select * from List where ID=:prmInt",
};

inline constexpr const char* kListByName[] = {
    "select * from List where upper(Name)=upper(:prmStr)",
};

inline constexpr const char* kListNumbers[] = {
    "select * from NumberList where ListID=:prmInt order by id",
};

inline constexpr const char* kListNumberTexts[] = {
    "select Number from NumberList where ListId=:prmInt",
};

inline constexpr const char* kListNumbersWithValues[] = {
    "select a.Number, b.* from NumberList a inner join UserValues b on a.ID=b.NumberID where "
    "a.ListId=:prmInt order by b.NumberID, b.id",
};

inline constexpr const char* kDeleteListValues[] = {
    "delete from UserValues where NumberID in (select ID from NumberList where ListID=:prmInt)",
};

inline constexpr const char* kDeleteListNumbers[] = {
    "delete from NumberList where ListID=:prmInt",
};

// ---- list manager ----

inline constexpr const char* kListNames[] = {
    "select id, name from list order by id",
};

inline constexpr const char* kNumberCounts[] = {
    "select listid, count(id) as cnt from numberlist group by listid",
};

inline constexpr const char* kProcessedCounts[] = {
    "select listid, count(id) as cnt from numberlist where processed=true group by listid",
};

inline constexpr const char* kCountListsNamed[] = {
    "select count(id) as cnt from list where upper(name)=upper(:prmStr)",
};

inline constexpr const char* kRenameList[] = {
    "update list set name=:prmStr where upper(name)=upper(:prmStr2)",
};

inline constexpr const char* kListIDByName[] = {
    "select id from list where upper(name)=upper(:prmStr)",
};

inline constexpr const char* kDeleteValuesOfList[] = {
    "delete from uservalues where NumberID in (select id from numberlist where listid=:prmInt)",
};

inline constexpr const char* kDeleteNumbersOfList[] = {
    "delete from numberlist where listid=:prmInt",
};

inline constexpr const char* kDeleteList[] = {
    "delete from list where id=:prmInt",
};

// ---- journal viewer and filter ----

// Followed by "where " and the filter's condition when there is one, then kJournalOrder (or,
// for a query that reads its keys on demand, ordered by kJournalOrderKey).
inline constexpr const char* kJournalRows[] = {
    "select",
    "ID, NUMID, Number, SendResultOK, SendTime,",
    "ReceiveTimeClient, StatusSC, TextSMS, Name, StartTime, IMEI",
    "from numberlog",
};
inline constexpr const char* kJournalOrder = "order by ID";
inline constexpr const char* kJournalOrderKey = "ID";

// Followed by "where " and the condition when the filter sets one.
inline constexpr const char* kJournalDelete[] = {
    "delete from numberlog",
};

inline constexpr const char* kJournalNames[] = {
    "select Name from NumberLog group by Name order by Name",
};

inline constexpr const char* kJournalStartTimes[] = {
    "select StartTime from NumberLog group by StartTime order by StartTime desc",
};

inline constexpr const char* kJournalIMEIs[] = {
    "select IMEI from NumberLog group by IMEI order by IMEI",
};

// ---- upgrade of an older List table ----

inline constexpr const char* kAddActive[] = {
    "ALTER TABLE List ADD List.\"Active\" boolean",
};

// Turns a short-string TextSMS into a memo; between the fourth and the last statement every
// row's TextSMS is set from TextSMS2.
inline constexpr const char* kTextSMSToMemo[][1] = {
    {"ALTER TABLE List ADD TextSMS2 VARCHAR(255)"},
    {"update List set TextSMS2=TextSMS"},
    {"ALTER TABLE List DROP TextSMS"},
    {"ALTER TABLE List ADD TextSMS BLOB(160,1)"},
};
inline constexpr const char* kDropTextSMS2[] = {
    "ALTER TABLE List DROP TextSMS2",
};

}  // namespace db
