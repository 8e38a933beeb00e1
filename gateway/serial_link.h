// The mailing window's link to the GSM modem: opening the port, AT commands with their replies
// and time-outs, listening between commands, and the receive buffer from which complete lines
// (message references, status-report PDUs) are taken.
//
// Everything runs on the GUI thread. Waits sleep 1 ms per turn through the current clock and
// call `ProcessMessages`, so the window stays responsive and its Stop button (which sets
// `Stopped`) can end them; with a fake clock and the in-process modem the whole exchange runs in
// virtual time.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/os/serial_port.h"

namespace gateway {

// Message-box style bits the link uses (the values of the window system).
inline constexpr unsigned kMbIconHand = 0x10;

// How the link shows an error to the operator; the window binds a message box with itself as
// owner.
using ShowMessageFn =
    std::function<void(const std::string& text, const std::string& caption, unsigned flags)>;
// Where log records go: `gateway::WriteToLog` unless a test listens.
using WriteLogFn = std::function<void(const std::string& text, uint8_t category)>;

// How the last command exchange ended.
enum class TExchangeEnd : uint8_t { Replied, WriteFailed, ErrorReply, Stopped, TimedOut };

// The longest a command may wait for its reply, and the read chunk size.
inline constexpr uint32_t kReplyTimeoutMs = 30000;
inline constexpr std::size_t kChunkSize = 256;

class TSerialLink {
public:
    explicit TSerialLink(os::SerialIo& port);

    // State shared with the mailing run.
    std::string ComPort;           // the port name chosen by the operator
    std::string RecvBuffer;        // received text not yet taken as a line, upper-cased
    bool ExpectReportPDU = false;  // a "+CDS:" line was taken; the next line is its PDU
    bool Stopped = false;          // the operator's stop request
    TExchangeEnd LastEnd = TExchangeEnd::Replied;  // of the last SendCommand(Reply)

    // Seams bound by the window (and by tests).
    std::function<void()> ProcessMessages;
    ShowMessageFn ShowMessage;
    WriteLogFn WriteLog;

    // Opens and sets up `ComPort`. A failure is logged and shown; false ends the run. An
    // unterminated line left in `RecvBuffer` by an earlier run is dropped here, and with it a
    // report whose PDU line had not come whole: the purge discards the rest of it.
    bool OpenPort();
    void ClosePort();
    bool PortOpen() const { return port_.IsOpen(); }

    // Writes `command` (with its CR or Ctrl-Z) and waits up to 30 s for `expected` in the reply.
    // "ERROR" anywhere in the reply fails it. A stop request fails a command whose reply has not
    // come, except the wait for the reply to a PDU (a command ending with Ctrl-Z): that message
    // may have gone out, so its reply is still read.
    bool SendCommand(const std::string& command, const std::string& expected);
    // The same; on success `reply` holds the raw reply up to the chunk that completed it.
    bool SendCommandReply(const std::string& command, const std::string& expected,
                          std::string& reply);

    // Writes ESC: a modem still waiting for a PDU after "> " drops the unfinished message
    // instead of taking the next command as its text. No reply is waited for.
    bool SendEscape();

    // Reads the port for `ms` milliseconds, or until a stop request, into `RecvBuffer`.
    void ListenPort(uint32_t ms);
    // Waits without reading; returns the milliseconds that passed.
    uint32_t WaitMs(uint32_t ms);

    // One received chunk: logged as modem traffic and appended upper-cased to `RecvBuffer`.
    void DataReceived(const std::string& chunk);

    // Takes the next complete line off `RecvBuffer`; false when there is none. `MR` is the
    // message reference of a "+CMGS:" line (256 for any other line or an unreadable one);
    // `reportPDU` is the line that followed a "+CDS:" line (empty otherwise).
    bool ExtractLine(int& MR, std::string& reportPDU);

    // One complete line of the program's own log.
    void AddLog(const std::string& text);

private:
    bool Exchange(const std::string& command, const std::string& expected, std::string* reply);
    bool Write(const std::string& bytes);
    uint32_t Wait(uint32_t ms, bool stoppable);
    // One read; NUL bytes are dropped. A failed read is logged and the rest of the read time-out
    // waited out, so a dead port cannot flood the log.
    std::string ReadChunk();
    void DropUnterminatedTail();

    os::SerialIo& port_;
};

// The message reference in a "+CMGS:" line: the digits after "+CMGS:" and blanks, with anything
// after them ignored; 256 when there are none or the value is above 255.
int ParseCmgsReference(const std::string& line);

}  // namespace gateway
