#include "lists/journal_filter.h"

#include <cmath>

#include "vcl/system/date_utils.h"
#include "vcl/system/string_list.h"
#include "vcl/system/sysutils.h"

namespace lists {

namespace {

constexpr int64_t kMsPerSecond = 1000;

bool HasBound(os::TDateTime value) {
    return vcl::Trunc(value) != 0;
}

// The delivery classes the filter keeps, 0 when it keeps them all (bits above the four classes
// mean nothing).
unsigned StatusCondition(const TNumberLogFilter& f) {
    const unsigned mask = f.StatusMask & kAllStatuses;
    return mask == kAllStatuses ? 0 : mask;
}

// "Field='value' and " or "Field like 'value' and " for a pattern.
void AddValueTerm(std::string& out, const char* field, const std::string& value) {
    if (vcl::Trim(value).empty()) return;
    const bool pattern = value.find_first_of("%_") != std::string::npos;
    out += field;
    out += pattern ? " like " : "=";
    out += vcl::QuotedStr(value);
    out += " and ";
}

// "Field='a' and " for one entry, "Field in ('a','b') and " for several.
void AddListTerm(std::string& out, const char* field, const std::string& commaText) {
    if (vcl::Trim(commaText).empty()) return;
    const std::vector<std::string> items = CommaTextItems(commaText);
    if (items.empty()) return;
    out += field;
    if (items.size() == 1) {
        out += "=" + vcl::QuotedStr(items[0]);
    } else {
        out += " in (";
        for (std::size_t i = 0; i < items.size(); ++i)
            out += (i ? "," : "") + vcl::QuotedStr(items[i]);
        out += ")";
    }
    out += " and ";
}

void AddTimeTerm(std::string& out, const char* field, const char* op, os::TDateTime value,
                 int addSeconds) {
    if (!HasBound(value)) return;
    out += field;
    out += op;
    out += "'" + SQLDateTime(value, addSeconds) + "' and ";
}

}  // namespace

std::vector<std::string> CommaTextItems(const std::string& commaText) {
    vcl::TStringList list;
    list.SetCommaText(commaText);
    std::vector<std::string> out;
    out.reserve(static_cast<std::size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list[i]);
    return out;
}

std::string ItemsCommaText(const std::vector<std::string>& items) {
    vcl::TStringList list;
    for (const std::string& s : items)
        list.Add(s);
    return list.CommaText();
}

std::string SQLDateTime(os::TDateTime value, int addSeconds) {
    const int64_t ms = os::DateTimeToMs(value);
    // Whole seconds, rounded to the nearest, before and after days below 0 alike.
    const int64_t seconds =
        static_cast<int64_t>(std::floor((static_cast<double>(ms) + 500.0) / kMsPerSecond));
    // The database reads this form only with colons, whatever the user's settings say.
    vcl::TFormatSettings fs = vcl::FormatSettings;
    fs.TimeSeparator = ':';
    return vcl::FormatDateTime("dd.mm.yyyy hh:nn:ss",
                               os::MsToDateTime((seconds + addSeconds) * kMsPerSecond), fs);
}

std::string FilterToSQL(const TNumberLogFilter& f) {
    std::string out;
    AddValueTerm(out, "Number", f.Number);
    AddValueTerm(out, "TextSMS", f.TextSMS);
    AddListTerm(out, "Name", f.Names);
    AddListTerm(out, "StartTime", f.StartTimes);
    AddListTerm(out, "IMEI", f.IMEIs);
    AddTimeTerm(out, "SendTime", ">=", f.SendFrom, 0);
    AddTimeTerm(out, "SendTime", "<", f.SendTo, 1);
    AddTimeTerm(out, "ReceiveTimeClient", ">=", f.RecvFrom, 0);
    AddTimeTerm(out, "ReceiveTimeClient", "<", f.RecvTo, 1);

    if (const unsigned mask = StatusCondition(f)) {
        // The status index answers a filter on the status and the send result alone (a count
        // of its entries); beside other terms it would have every matching row looked up in the
        // table, far slower than the scan those terms get, so there the column is written
        // "+StatusSC", which no index serves.
        const bool alone = out.empty();
        const std::string c = alone ? "StatusSC" : "+StatusSC";
        std::string s;
        if (mask & smDelivered) s += c + ">=0 and " + c + "<=31 or ";
        if (mask & smNotDelivered) s += c + ">=64 and " + c + "<=127 or ";
        if (mask & smTempError) s += c + ">=32 and " + c + "<=63 or ";
        if (mask & smNoReport)
            s += c + " is null";
        else
            s.erase(s.size() - 4);
        out += "(" + s + ") and ";
    }
    if (f.SendResult == srSuccess) out += "SendResultOK='true' and ";
    if (f.SendResult == srError) out += "SendResultOK='false' and ";

    if (!out.empty()) out.erase(out.size() - 5);
    return out;
}

bool FilterFollowsReports(const TNumberLogFilter& f) {
    return StatusCondition(f) != 0 || HasBound(f.RecvFrom) || HasBound(f.RecvTo);
}

}  // namespace lists
