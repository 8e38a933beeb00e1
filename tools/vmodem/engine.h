// The virtual GSM modem: answers AT commands in PDU mode the way a real modem does, accepts
// SMS-SUBMIT PDUs (checking their length and decoding them), hands out message references and
// sends status reports for accepted messages later. Faults can be switched on to see how the
// program copes: silence, late replies, replies split across reads, NUL bytes, blank lines,
// garbled reports.
//
// The engine has no clock and no device of its own: it is fed the host's bytes with the time they
// arrived (milliseconds on any steady scale) and asked what it has sent by a given time. The
// in-process port (fake_port.h) drives it in virtual time; the vmodem program on a
// pseudo-terminal in real time.
#pragma once

#include <cstdint>
#include <deque>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os/date_time.h"
#include "tools/vmodem/submit_decoder.h"

namespace vmodem {

// What happens to a status report on its way out.
enum class ReportFault : uint8_t {
    None,
    Garbled,    // a character of the PDU line is not hexadecimal
    Truncated,  // the PDU stops before its status
    BadDate,    // the time stamp holds month 13
    BadZone,    // the zone's units digit is not decimal
    NotReport,  // the first octet is not that of a status report
    UnknownMr,  // the reference is one the program never got
};

// A scripted answer for commands that begin with `prefix` (upper-case; "PDU" stands for the PDU
// and its Ctrl-Z, "" for everything). `times` < 0 applies it for ever; the first `skip` matches
// pass it by. Splice sends `text` as a piece of its own when the reply is due and the reply
// itself `delayMs` later (unasked lines that come between a command and its answer). Reference
// accepts a PDU but answers `text` after "+CMGS:" in place of its reference (" 300", "": one the
// host cannot read). Error and CmsError answers come `delayMs` late. A rule with `nth` applies
// to the nth PDU alone, counted among every PDU the modem is given, before any other rule. An
// `apart` answer holds up nothing said after it: the modem takes and answers the next commands
// at once while the network still holds the message.
struct Rule {
    enum class Kind : uint8_t { Error, CmsError, Silence, Late, Splice, Reference };
    std::string prefix;
    Kind kind = Kind::Error;
    int code = 500;        // for CmsError
    uint32_t delayMs = 0;  // for Late, Splice, Error and CmsError
    int times = -1;
    std::string text = {};  // for Splice
    int skip = 0;
    int nth = 0;  // for "PDU": from 1; 0 for any
    bool apart = false;
};

struct Options {
    bool echo = false;  // echo at power-on (ATE0/ATE1 change it)
    int rssi = 20, ber = 0;
    std::string imei = "356938035643809";
    bool refuseCnmiMode2 = false;
    bool reportsEnabled = false;      // as if AT+CNMI had switched reports on
    int mrStart = 0;                  // the first message reference handed out
    uint32_t replyDelayMs = 10;       // from a command's CR to its reply
    uint32_t reportDelayMs = 2000;    // from acceptance to the first report, and between reports
    std::vector<int> statuses = {0};  // TP-Status of the reports of each message, in order
    std::optional<int> reportZone;    // quarter hours east of UTC; unset: the local zone
    std::string sca = "07919761989901F0";  // service centre field of the reports
    bool mms = true;                       // "more messages" bit of the reports
    ReportFault reportFault = ReportFault::None;
    // Output shaping.
    std::size_t chunkSize = 0;  // >0: replies leave in reads of at most this many bytes
    bool splitCrLf = false;     // CR and LF of each line end in separate reads
    bool nulBytes = false;      // a NUL before every reply
    bool blankLines = false;    // an extra blank line before every reply
    uint32_t gapMs = 0;         // between the pieces of a reply that leave separately
    std::vector<Rule> rules;
};

// One accepted SMS-SUBMIT.
struct Accepted {
    int mr = 0;
    std::string pdu;
    Submit submit;
    uint64_t atMs = 0;
    os::TDateTime localTime = 0;  // when it was accepted
};

inline constexpr uint64_t kNever = std::numeric_limits<uint64_t>::max();

class Engine {
public:
    explicit Engine(Options options = {});

    // Bytes from the host.
    void Receive(std::string_view bytes, uint64_t nowMs);
    // What the modem has sent by `nowMs`, as one read would see it (at most `max` bytes; a piece
    // that leaves separately starts a new read).
    std::string TakeOutput(uint64_t nowMs, std::size_t max);
    // When the next output is due (kNever when nothing is planned).
    uint64_t NextEventMs() const;
    // Drops what is waiting to go out (the host purged its port).
    void DiscardOutput();
    // Unasked text, sent at `atMs` as a piece of its own.
    void Inject(std::string text, uint64_t atMs);

    Options& options() { return options_; }
    void AddRule(Rule rule) { options_.rules.push_back(std::move(rule)); }
    bool echo() const { return echo_; }
    bool reportsEnabled() const { return reportsOn_; }

    // Records for tests and for the program's trace.
    const std::string& received() const { return received_; }  // every byte from the host
    const std::vector<std::string>& commands() const { return commands_; }
    const std::vector<Accepted>& accepted() const { return accepted_; }
    const std::vector<std::string>& rejected() const { return rejected_; }  // why, per PDU
    const std::vector<std::string>& reportsSent() const { return reportsSent_; }
    std::vector<PhoneMessage> PhoneView() const;

    // The status report PDU for an accepted message (what the modem sends after "+CDS:").
    std::string ReportPdu(const Accepted& message, int status, os::TDateTime scts,
                          os::TDateTime dt) const;

private:
    struct Piece {
        uint64_t dueMs;
        std::string bytes;
        bool separate;
        bool apart = false;  // out of the order of what was said
    };
    struct PlannedReport {
        uint64_t dueMs;
        std::size_t message;
        int status;
        int index;  // 0 for the first report of the message
    };

    void Command(const std::string& line, uint64_t nowMs);
    void Pdu(uint64_t nowMs);
    const Rule* MatchRule(const std::string& what);
    uint32_t Splice(const Rule& rule, uint64_t nowMs);  // returns the reply's extra delay
    void Reply(const std::string& text, uint64_t nowMs, uint32_t extraDelay = 0,
               bool apart = false);
    void Queue(std::string bytes, uint64_t dueMs, bool separate, bool apart = false);
    void QueueShaped(const std::string& text, uint64_t dueMs, bool apart = false);
    void SendDueReports(uint64_t nowMs);
    int Zone() const;

    Options options_;
    bool echo_;
    bool reportsOn_;
    int nextMr_;
    int pdus_ = 0;  // PDUs given, for the rules of one PDU
    std::string line_;
    bool inPdu_ = false;
    int pduLength_ = 0;
    std::string pdu_;
    std::deque<Piece> out_;
    std::vector<PlannedReport> planned_;
    std::string received_;
    std::vector<std::string> commands_;
    std::vector<Accepted> accepted_;
    std::vector<std::string> rejected_;
    std::vector<std::string> reportsSent_;
};

}  // namespace vmodem
