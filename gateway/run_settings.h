// The operator's settings that a mailing uses. The main window holds them (and keeps them in
// the registry); the mailing window edits the pause and the report settings between runs.
#pragma once

#include <string>

namespace gateway {

inline constexpr int kMinSMSDelay = 0, kMaxSMSDelay = 60;              // seconds
inline constexpr int kMinReportWaitMins = 1, kMaxReportWaitMins = 60;  // minutes

struct TSettings {
    std::string COMPort;        // the modem's serial port
    int SMSDelay = 1;           // seconds after each message, 0..60
    bool ReportRequire = true;  // ask the network for status reports
    int ReportWaitForMins = 5;  // minutes to wait for reports after the last message, 1..60

    bool operator==(const TSettings&) const = default;
};

// Brings the pause and the report wait into their ranges.
void ClampSettings(TSettings& s);

// The value of a pause or wait typed as `text`: rounded to whole units and kept within
// `lo`..`hi`; a text that is not a number leaves `current`. So nothing typed can make a wait
// of hours, overflow the milliseconds of a wait or make a negative gauge maximum.
int SettingFromText(const std::string& text, int current, int lo, int hi);

}  // namespace gateway
