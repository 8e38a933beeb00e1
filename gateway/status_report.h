// A decoded SMS-STATUS-REPORT (the network's word on one sent message).
#pragma once

#include <string>

#include "platform/os/date_time.h"

namespace gateway {

struct TStatusReport {
    int MR = 0;              // message reference of the report's message
    std::string Number;      // recipient address as digits (and * # a b c)
    os::TDateTime SCTS = 0;  // service centre time stamp
    int SCTSZone = 0;        // its zone in quarter hours
    os::TDateTime DT = 0;    // discharge time
    int DTZone = 0;
    int Status = 0;    // TP-Status
    std::string Rest;  // the PDU after the service centre address; empty: not decoded
    bool MMS = false;  // more messages to send
};

// Decodes the hexadecimal PDU text of a "+CDS:" report; the empty record when it cannot.
TStatusReport DecodeStatusReport(const std::string& pdu);

}  // namespace gateway
