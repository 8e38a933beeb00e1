// The mailing window's link to the GSM modem: opening the port, AT commands with their replies
// and time-outs, listening between commands, and the receive buffer from which complete lines
// (message references, status-report PDUs) are taken.
//
// Everything runs on the GUI thread. Waits sleep 1 ms per turn through the current clock and
// call `ProcessMessages`, so the window stays responsive and its Stop button (which sets
// `Stopped`) can end them; with a fake clock and the in-process modem the whole exchange runs in
// virtual time.
//
// Rules the link keeps (the tests name them):
//  L1. A command is judged timed out only after one more read past the limit: a modal window
//      that held the wait for 30 s must not turn a reply that has come into a failure.
//  L2. A PDU's exchange ends only with its "+CMGS:" line and the expected text after it; an
//      "OK" before the reference says nothing about this message.
//  L3. Opening the port sends ESC, so a modem left in the "> " prompt drops the unfinished
//      message, and keeps of what the buffer holds then only whole status reports: every other
//      line (a reference of an earlier run, the answer to the ESC) is logged and dropped.
//  L4. A read or write error meaning the device is gone (ENODEV, EIO, ENXIO) marks the port
//      lost: one box names the port, `Stopped` ends every wait and no further I/O is tried.
//      Other read errors are logged once per wait while they repeat.
//  L5. Lines are taken off the receive buffer by an offset; the taken text is dropped once per
//      read, so a long burst of short lines costs time in proportion to its length.
//  L6. A PDU whose exchange timed out may still be answered: a congested network can take longer
//      than the time-out. Until the next PDU goes out or the port is opened again, the first
//      "+CMGS:" line that comes (a reference already in the timed-out reply included), or the
//      first error line that comes while no command is in progress, is that message's late
//      answer: it is taken off the receive buffer for TakeLateAnswer, and neither it nor the
//      "OK" after a late reference counts in the reply of the command then in progress. An error
//      line that comes during a command is that command's own reply: a modem may refuse the
//      next command at once while the network still holds the message. While a late answer may
//      still come, a reply is judged by its complete lines and a prompt, because the answer may
//      be split across reads.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

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
enum class TExchangeEnd : uint8_t { Replied, WriteFailed, ErrorReply, Stopped, TimedOut, PortLost };

// The answer to a PDU that came after its exchange timed out (L6).
struct TLateAnswer {
    bool Accepted = false;  // a "+CMGS:" line; otherwise an error line
    int MR = 256;           // the reference, 256 when it cannot be read
    std::string Line;
};

// The longest a command may wait for its reply, and the read chunk size.
inline constexpr uint32_t kReplyTimeoutMs = 30000;
inline constexpr std::size_t kChunkSize = 256;
// How long the answer to the ESC sent at opening is awaited before the first command.
inline constexpr uint32_t kEscapeAnswerMs = 200;

class TSerialLink {
public:
    explicit TSerialLink(os::SerialIo& port);

    // State shared with the mailing run.
    std::string ComPort;           // the port name chosen by the operator
    bool ExpectReportPDU = false;  // a "+CDS:" line was taken; the next line is its PDU
    bool Stopped = false;          // the operator's stop request, or the port lost
    bool PortLost = false;         // the device went away during this opening (L4)
    TExchangeEnd LastEnd = TExchangeEnd::Replied;  // of the last SendCommand(Reply)

    // Seams bound by the window (and by tests).
    std::function<void()> ProcessMessages;
    ShowMessageFn ShowMessage;
    WriteLogFn WriteLog;

    // Opens and sets up `ComPort`. A failure is logged and shown; false ends the run. Then ESC
    // goes out and what the receive buffer holds is sifted (L3); an unterminated line is
    // dropped, and with it a report whose PDU line had not come whole: the purge discarded the
    // rest of it.
    bool OpenPort();
    void ClosePort();
    bool PortOpen() const { return port_.IsOpen(); }

    // Writes `command` (with its CR or Ctrl-Z) and waits up to 30 s for `expected` in the reply
    // (for a PDU: after its "+CMGS:", L2). "ERROR" anywhere in the reply fails it. A stop request
    // fails a command whose reply has not come, except the wait for the reply to a PDU (a command
    // ending with Ctrl-Z): that message may have gone out, so its reply is still read.
    bool SendCommand(const std::string& command, const std::string& expected);
    // The same; on success `reply` holds the raw reply up to the chunk that completed it.
    bool SendCommandReply(const std::string& command, const std::string& expected,
                          std::string& reply);

    // Writes ESC: a modem still waiting for a PDU after "> " drops the unfinished message
    // instead of taking the next command as its text. No reply is waited for.
    bool SendEscape();

    // Reads the port for `ms` milliseconds into the receive buffer; a stop request ends it
    // early when `stoppable`, the port lost in any case.
    void ListenPort(uint32_t ms, bool stoppable = true);
    // Waits without reading; returns the milliseconds that passed.
    uint32_t WaitMs(uint32_t ms);

    // One received chunk: logged as modem traffic and appended upper-cased to the receive buffer.
    void DataReceived(const std::string& chunk);
    // Received text not yet taken as a line, upper-cased. Kept across runs: reports that came
    // after a run are read by the next one.
    std::string_view Received() const { return std::string_view(recv_).substr(taken_); }

    // Takes the next complete line off the receive buffer; false when there is none. `MR` is the
    // message reference of a "+CMGS:" line (256 for any other line or an unreadable one);
    // `reportPDU` is the line that followed a "+CDS:" line (empty otherwise). `referenceLine`,
    // when given, gets a "+CMGS:" line whether its reference can be read or not (empty for
    // every other line): the modem accepted a message either way.
    bool ExtractLine(int& MR, std::string& reportPDU, std::string* referenceLine = nullptr);

    // L6: whether the last PDU's exchange timed out and no answer to it has come since.
    bool AnswerOutstanding() const { return outstanding_; }
    // L6: hands over the late answer that came, once; false when none did.
    bool TakeLateAnswer(TLateAnswer& answer);

    // One complete line of the program's own log.
    void AddLog(const std::string& text);

private:
    bool Exchange(const std::string& command, const std::string& expected, std::string* reply);
    bool Write(const std::string& bytes);
    uint32_t Wait(uint32_t ms, bool stoppable);
    // One read; NUL bytes are dropped. A failed read is logged (once while it repeats) and the
    // rest of the read time-out waited out, so a dead port cannot flood the log or the CPU.
    std::string ReadChunk();
    // L4: true when `error` means the device is gone; the port is then marked lost.
    bool CheckGone(const os::SysError& error);
    void SiftLeftovers();
    void Compact();
    // L6: takes a late answer (and the "OK" after a late reference) out of the complete lines
    // received since `watchFrom_`.
    void WatchForLateAnswer();
    // The reply of the command in progress as it is judged (L6).
    std::string_view JudgedReply() const;
    void ForgetLateAnswer();

    os::SerialIo& port_;
    std::string recv_;  // the receive buffer; recv_[0, taken_) was taken already
    std::size_t taken_ = 0;
    uint32_t lastReadError_ = 0;  // of this wait; 0 when the last read succeeded
    // The command in progress: its reply as received, and where that begins in recv_.
    bool replying_ = false;
    std::string reply_;
    std::size_t replyFrom_ = 0;
    // L6: a timed-out PDU's answer may still come; the lines from `watchFrom_` are not yet seen.
    bool outstanding_ = false;
    bool okAfterLate_ = false;  // the "OK" that follows a late reference is still to come
    std::size_t watchFrom_ = 0;
    std::optional<TLateAnswer> late_;
};

// The message reference in a "+CMGS:" line: the digits after "+CMGS:" and blanks, with anything
// after them ignored; 256 when there are none or the value is above 255.
int ParseCmgsReference(const std::string& line);

}  // namespace gateway
