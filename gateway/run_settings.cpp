#include "gateway/run_settings.h"

#include <algorithm>
#include <cmath>

#include "vcl/system/sysutils.h"

namespace gateway {

void ClampSettings(TSettings& s) {
    s.SMSDelay = std::clamp(s.SMSDelay, kMinSMSDelay, kMaxSMSDelay);
    s.ReportWaitForMins = std::clamp(s.ReportWaitForMins, kMinReportWaitMins, kMaxReportWaitMins);
}

int SettingFromText(const std::string& text, int current, int lo, int hi) {
    double v = 0;
    if (!vcl::TryStrToFloat(vcl::Trim(text), v) || !std::isfinite(v)) return current;
    // Clamped before rounding, so a huge value never reaches an integer conversion.
    v = std::clamp(v, static_cast<double>(lo), static_cast<double>(hi));
    return static_cast<int>(vcl::Round(v));
}

}  // namespace gateway
