// The port dialog's modem test: opens the chosen port, asks the modem for its IMEI and its
// signal, shows every reply in the dialog's log and ends with one message: success, a weak
// signal, a high error rate, an error reply or no answer. It talks to the port by itself, with
// a plain read loop that does not pump messages; the port is closed on every way out.
//
// Rules:
//  R1. A reply is judged whole, from the first byte read after the command: "OK" or "ERROR"
//      split across reads still ends the wait, and the signal is read from the whole reply.
#pragma once

#include <string>

#include "platform/os/serial_port.h"

namespace gateway {

class TModemTestView {
public:
    virtual ~TModemTestView() = default;
    virtual void ClearLog() = 0;
    virtual void AddLogLine(const std::string& line) = 0;  // memoLog
    virtual void Repaint() = 0;
    virtual void MessageBox(const std::string& text, const std::string& caption,
                            unsigned flags) = 0;
};

// The test of the port named `portName` (the combo box's text).
void RunModemTest(os::SerialIo& port, const std::string& portName, TModemTestView& view);

}  // namespace gateway
