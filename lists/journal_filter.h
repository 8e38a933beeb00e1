// The send journal's filter: the operator's choices (TNumberLogFilter), and the condition of a
// "where" clause built from them, shared by the journal's query and its delete statement.
//
// Rules the condition keeps:
//  1. Terms come in a fixed order, joined by " and "; a field that sets nothing gives no term,
//     and a filter that sets nothing gives an empty condition.
//  2. Every value stands inside single quotes with its own quotes doubled, so no value can end
//     its literal early or add to the statement; values are copied, never used as formats.
//  3. Time bounds are whole seconds: a lower bound is its own second, an upper bound the second
//     after it, so the chosen second itself is included and nothing later is.
//  4. A value whose whole-day part is 0 sets no time bound; status masks 0 and 15 and send
//     results other than 1 or 2 set no condition.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/os/date_time.h"

namespace lists {

// Bits of TNumberLogFilter::StatusMask.
enum : uint8_t { smDelivered = 1, smNotDelivered = 2, smTempError = 4, smNoReport = 8 };
inline constexpr uint8_t kAllStatuses = 15;
// Bits of TNumberLogFilter::SendResult.
enum : uint8_t { srSuccess = 1, srError = 2 };

struct TNumberLogFilter {
    std::string Number;      // a number, or a pattern with "%" or "_"
    std::string TextSMS;     // a text, or a pattern
    std::string Names;       // comma text of list names
    std::string StartTimes;  // comma text of "yyyy.mm.dd hh:nn:ss"
    std::string IMEIs;       // comma text
    os::TDateTime SendFrom = 0, SendTo = 0, RecvFrom = 0, RecvTo = 0;
    uint8_t StatusMask = 0;
    uint8_t SendResult = 0;

    void Reset() { *this = TNumberLogFilter(); }
    bool operator==(const TNumberLogFilter&) const = default;
};

// The condition text, empty when the filter sets nothing.
std::string FilterToSQL(const TNumberLogFilter& filter);
// True when the condition reads what a status report changes (the delivery result or time), so
// that a row written before may enter or leave what the filter selects. The other columns are
// written with the row and never change.
bool FilterFollowsReports(const TNumberLogFilter& filter);

// The entries of a comma text (items holding blanks, commas or quotes stand in double quotes).
std::vector<std::string> CommaTextItems(const std::string& commaText);
// The comma text of the entries.
std::string ItemsCommaText(const std::vector<std::string>& items);

// A date-time in the condition's form "dd.mm.yyyy hh:nn:ss", moved by `addSeconds` whole
// seconds after being rounded to the nearest second.
std::string SQLDateTime(os::TDateTime value, int addSeconds = 0);

}  // namespace lists
