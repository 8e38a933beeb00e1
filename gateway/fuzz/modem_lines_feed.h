// Feeds arbitrary bytes to the modem link's receive path in arbitrary chunks, as the fuzz
// target and its regression test do, and checks what the line parser hands out.
//
// The input is a series of records: one control byte, then up to 63 bytes of received data
// (its low six bits give the count). Bit 6 takes every complete line off afterwards, bit 7
// reopens the port first (which drops an unfinished line). Report PDUs go on to the decoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "gateway/serial_link.h"
#include "gateway/status_report.h"
#include "platform/os/clock.h"

namespace gateway::fuzz {

// A port that opens and has nothing to say.
class SilentPort : public os::SerialIo {
public:
    bool Open(const std::string&, os::PortStep&, os::SysError&) override { return open_ = true; }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    bool Read(char*, std::size_t, std::size_t& got, os::SysError&) override {
        got = 0;
        return true;
    }
    bool Write(const char*, std::size_t size, std::size_t& written, os::SysError&) override {
        written = size;
        return true;
    }

private:
    bool open_ = false;
};

inline void Require(bool condition) {
    if (!condition) std::abort();
}

inline void CheckStatusReport(const std::string& pdu) {
    const TStatusReport r = DecodeStatusReport(pdu);
    if (r.Rest.empty()) return;
    Require(r.MR >= 0 && r.MR <= 255 && r.Status >= 0 && r.Status <= 255);
    Require(r.SCTSZone >= -79 && r.SCTSZone <= 79 && r.DTZone >= -79 && r.DTZone <= 79);
}

inline void TakeLines(TSerialLink& link) {
    int mr = 0;
    std::string pdu;
    for (;;) {
        const std::size_t before = link.Received().size();
        const bool expected = link.ExpectReportPDU;
        if (!link.ExtractLine(mr, pdu)) {
            Require(link.Received().find('\r') == std::string_view::npos);
            return;
        }
        Require(link.Received().size() < before);
        Require(mr >= 0 && mr <= 256);
        Require(pdu.find('\r') == std::string::npos);
        Require(expected || pdu.empty());
        if (!pdu.empty()) CheckStatusReport(pdu);
    }
}

inline void FeedModemBytes(const uint8_t* data, std::size_t size) {
    // Opening waits for the answer to its ESC: in virtual time here.
    os::FakeClock clock;
    os::ScopedClock use(clock);
    SilentPort port;
    TSerialLink link(port);
    link.WriteLog = nullptr;
    for (std::size_t at = 0; at < size;) {
        const uint8_t control = data[at++];
        const std::size_t n = std::min<std::size_t>(control & 0x3F, size - at);
        if (control & 0x80) Require(link.OpenPort());
        link.DataReceived(std::string(reinterpret_cast<const char*>(data + at), n));
        at += n;
        if (control & 0x40) TakeLines(link);
    }
    TakeLines(link);
}

}  // namespace gateway::fuzz
