// SMS-STATUS-REPORT decoding. The text comes from the modem unasked, so every field is checked
// against what is left: a report that is cut short, not hexadecimal, or carries an impossible
// time stamp decodes to the empty record, which the mailing run skips. One bad report never
// ends a run.
#include "gateway/status_report.h"

#include <cstdint>

#include "vcl/system/date_utils.h"
#include "vcl/system/sysutils.h"

namespace gateway {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

uint32_t HexToInt(std::string_view s) {
    uint32_t v = 0;
    for (char c : s) {
        const int d = HexDigit(c);
        v = v * 16 + static_cast<uint32_t>(d < 0 ? 0 : d);
    }
    return v;
}

// Cuts fields off the front of the working text; a field that is not there whole ends decoding.
class Fields {
public:
    explicit Fields(std::string text) : text_(std::move(text)) {}

    bool CutLeft(std::size_t n, std::string& out) {
        if (text_.size() - at_ < n) return false;
        out = text_.substr(at_, n);
        at_ += n;
        return true;
    }
    bool Octet(uint32_t& v) {
        std::string s;
        if (!CutLeft(2, s)) return false;
        v = HexToInt(s);
        return true;
    }
    std::string RestText() const { return text_.substr(at_); }

private:
    std::string text_;
    std::size_t at_ = 0;
};

std::string Swapped(const std::string& pair) {
    return std::string{pair[1], pair[0]};
}

const vcl::TFormatSettings& StampSettings() {
    static const vcl::TFormatSettings fs = [] {
        vcl::TFormatSettings s = vcl::FormatSettings;
        s.DateSeparator = '.';
        s.TimeSeparator = ':';
        s.ShortDateFormat = "yy.mm.dd";
        s.LongDateFormat = "yyyy.mm.dd";
        s.ShortTimeFormat = "hh:nn:ss";
        s.LongTimeFormat = "hh:nn:ss";
        s.TwoDigitYearCenturyWindow = 50;
        return s;
    }();
    return fs;
}

// Six swapped semi-octet pairs (year .. second) and the zone in quarter hours, whose swapped
// tens digit carries the sign in its bit 3.
bool TimeStamp(Fields& f, os::TDateTime& time, int& zone) {
    std::string p[7];
    for (auto& s : p)
        if (!f.CutLeft(2, s)) return false;
    const std::string text = Swapped(p[0]) + "." + Swapped(p[1]) + "." + Swapped(p[2]) + " " +
                             Swapped(p[3]) + ":" + Swapped(p[4]) + ":" + Swapped(p[5]);
    if (!vcl::TryStrToDateTime(text, time, StampSettings())) return false;
    const std::string z = Swapped(p[6]);
    const int tens = HexDigit(z[0]);
    const char units = z[1];
    if (units < '0' || units > '9') return false;
    const int magnitude = (tens & 7) * 10 + (units - '0');
    zone = (tens & 8) ? -magnitude : magnitude;
    return true;
}

// The extension digits of an address: A..E are "*", "#", "a", "b", "c".
char AddressDigit(char c) {
    switch (c) {
        case 'A':
            return '*';
        case 'B':
            return '#';
        case 'C':
            return 'a';
        case 'D':
            return 'b';
        case 'E':
            return 'c';
        default:
            return c;
    }
}

bool Address(Fields& f, std::string& number) {
    uint32_t digits = 0;
    std::string field;
    if (!f.Octet(digits) || !f.CutLeft((digits + 3) / 2 * 2, field)) return false;
    std::string swapped;
    for (std::size_t i = 2; i + 1 < field.size(); i += 2) {
        swapped += field[i + 1];
        swapped += field[i];
    }
    if (!swapped.empty() && swapped.back() == 'F') swapped.pop_back();
    for (char& c : swapped)
        c = AddressDigit(c);
    number = swapped;
    return true;
}

bool Decode(const std::string& pdu, TStatusReport& r) {
    std::string work = vcl::UpperCase(vcl::StringReplaceAll(vcl::Trim(pdu), "\r\n", ""));
    if (work.empty()) return false;
    for (char c : work)
        if (HexDigit(c) < 0) return false;
    Fields f(std::move(work));

    uint32_t scaLength = 0, firstOctet = 0, mr = 0, status = 0;
    std::string sca;
    if (!f.Octet(scaLength) || !f.CutLeft(2 * scaLength, sca)) return false;
    if (!f.Octet(firstOctet) || (firstOctet & 3) != 2) return false;
    r.Rest = f.RestText();
    r.MMS = (firstOctet & 4) != 0;
    if (!f.Octet(mr) || !Address(f, r.Number)) return false;
    r.MR = static_cast<int>(mr);
    if (!TimeStamp(f, r.SCTS, r.SCTSZone) || !TimeStamp(f, r.DT, r.DTZone)) return false;
    // A report without its status says nothing about delivery.
    if (!f.Octet(status)) return false;
    r.Status = static_cast<int>(status);
    return true;
}

}  // namespace

TStatusReport DecodeStatusReport(const std::string& pdu) {
    TStatusReport r;
    if (!Decode(pdu, r)) return TStatusReport{};
    return r;
}

}  // namespace gateway
