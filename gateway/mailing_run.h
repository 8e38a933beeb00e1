// The mailing run: sends a stored list's message to every unprocessed number of the list through
// the modem, journals each message or part, applies status reports as they come, waits a while
// for the last ones and cleans up on every way out. The mailing window owns the run and shows
// it through TMailingView; everything runs on the GUI thread, kept responsive by the link's
// waits, which pump window messages and end early on the Stop button's request.
//
// States (each ends in the next, or, on a refusal, a failure or a stop, in "cleaned up"):
//
//   idle --btnStartClick--> claimed        the list's Active flag taken (ClaimList)
//   claimed --> checking                   CheckListBeforeStart: counts, continue/restart
//   checking --> preparing                 port opened; signal, PDU mode, echo, IMEI, reports
//   preparing --> sending                  numbers and values read; per number: signal every
//                                          10 s, IMEI every 10th, send, drain, pause, drain
//   sending --> waiting                    reports asked for and some row still pending
//   waiting/sending --> cleaned up         ClosePort; then ReleaseList (controls, Active flag)
//
// In "claimed" and after it the list is marked in use; in "preparing" and after it the port is
// open. Both are given back on every way out, exceptions included.
//
// Rules the run keeps (the tests name them):
//  R1. A list is run by one copy at a time: taking it is one update that changes the row only
//      when no run holds it; a refused start changes nothing. Every way out gives it back.
//  R2. The pause and the report wait are used within 0..60 s and 1..60 min whatever the
//      settings hold, so no wait lasts hours, overflows or makes a negative gauge maximum.
//  R3. The report counter counts this run's fully sent numbers whose every accepted part has its
//      final report; a number with a part that awaits none (MR 256) is never counted. It never
//      goes below 0.
//  R4. A number that is not 1 to 20 digits once normalised, or a message that would need more
//      than 255 parts, is journaled as a failed send (MR 256) without a word to the modem; the
//      number stays unprocessed and the run goes on.
//  R5. A number's values replace the placeholders of the template in one pass, so a value
//      holding a placeholder is not expanded again; a placeholder without a value stays.
//  R6. The numbers and their values are read before the first message: no statement is open
//      while rows and flags are written.
//  R7. Report times move into the system's current offset from UTC, summer time included.
//  R8. A stop ends the run quietly: a command cut short by it shows no modem error, and no
//      number or attempt is started after it. A lost port ends it the same way, with the
//      link's one box naming the port and no beep.
//  R9. An attempt that ended by time-out or by a stop is followed by ESC, so a "> " prompt
//      left open does not take the next command as message text (see also R12).
//  R10. A part's row is written as soon as its reference is read (before the pause), each row
//       durable when committed. The last part's row and the number's Processed flag are one
//       commit, so a kill leaves a number either journaled whole and processed, or unprocessed
//       (sent again next run only if the kill fell between the modem's reference and that
//       commit); a number is not marked processed at all when a part accepted by the modem got
//       no row.
//  R11. The IMEI changes only to one read whole; a stopped or failed re-read keeps it (a failed
//       one still ends the run, with its box alone: no "run finished" beep), so the rows'
//       reports keep matching.
//  R12. After every failed attempt that got the "> " prompt ESC goes out too.
//  R13. The journal button is disabled while a run goes on.
//  R14. The run's journal and flag writes wait out another copy's hold on the database (a
//       long list save) instead of failing; the window stays alive while they wait.
//  R15. A part whose exchange ended with "+CMGS:" and "OK" was accepted even when the reference
//       cannot be read ("+CMGS: 300", "+CMGS:"): its row is written as sent with MR 256, which
//       no report is awaited for, and the number is processed with it; the line is logged.
//  R16. A late answer (L6) belongs to the last PDU that went out. Taken while its part is still
//       being sent, it ends the attempts: an accepted part gets its one row and is not sent
//       again (a prompt already given is cancelled with ESC); a late error lets the next attempt
//       go on. Taken after the part was given up, before any other PDU went out, it turns that
//       part's failure row into the accepted one, with the Processed flag when it completed the
//       number.
//  R17. A number's first PDU goes out only when the database has room for what the number will
//       write. A journal or flag write the database refuses (full, read-only, damaged) loses
//       nothing: it is kept, in order, and done again before the next run starts, from the
//       window's timer, at its close and at the program's end; the run sends no further PDU,
//       and its box names the numbers whose accepted messages are not stored yet. A refusal is
//       logged when it first comes and when its reason changes, not at every retry. While rows
//       of accepted messages are kept the list stays marked in use, so that no other copy sends
//       those numbers again; its release is kept behind them.
//  R18. Neither a run nor a retry of the kept writes starts inside the other or inside itself:
//       their waits pump window messages, and a handler (the window's timer, Start, Close) that
//       ran them there would change the kept writes under the waiting caller.
//  R19. A run whose last exchange timed out unanswered (its third attempt, or one cut short by
//       Stop) listens for that answer, up to kLateAnswerWaitMs and whatever Stop says, before it
//       closes the port; an acceptance that comes is filed as in R16.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "db/data_sets.h"
#include "gateway/run_settings.h"
#include "gateway/send_journal.h"
#include "gateway/serial_link.h"

namespace gateway {

// Message-box styles and answers (the window system's values).
inline constexpr unsigned kMbYesNo = 0x4, kMbYesNoCancel = 0x3;
inline constexpr unsigned kMbIconQuestion = 0x20, kMbIconExclamation = 0x30;
inline constexpr unsigned kMbIconAsterisk = 0x40;
inline constexpr unsigned kMbDefButton2 = 0x100, kMbDefButton3 = 0x200;
inline constexpr int kIdCancel = 2, kIdYes = 6, kIdNo = 7;

// The gauge's colour while it counts the seconds of the report wait (clRed).
inline constexpr uint32_t kReportWaitColor = 0x0000FF;

// R19: how long a run listens for the late answer to its last message after the exchange's
// 30-s time-out. Modems give up on a congested network themselves within about two minutes of
// the PDU; this covers that and keeps the window from staying busy for much longer.
inline constexpr uint32_t kLateAnswerWaitMs = 90000;

// What the mailing window shows of a run, and the questions it asks the operator.
class TMailingView {
public:
    virtual ~TMailingView() = default;

    virtual void SetStage(const std::string& text) = 0;          // labStage
    virtual void SetAllNumbers(const std::string& text) = 0;     // labAllNumbersValue
    virtual void SetProcessed(const std::string& text) = 0;      // labProcessedValue
    virtual void SetSentOK(const std::string& text) = 0;         // labSentOKValue
    virtual void SetReport(const std::string& text) = 0;         // labReportValue
    virtual void SetCurrentNumber(const std::string& text) = 0;  // labCurNum
    virtual void SetMessageText(const std::string& text) = 0;    // memoSMS; "" empties it
    // prBar: the run keeps progress within 0..max, as the gauge does.
    virtual void SetGauge(int progress, int max) = 0;
    virtual void SetGaugeColor(uint32_t color) = 0;
    // Shows picture imgLevel<level> in imgLevel5's place with `hint`, hides the others.
    virtual void ShowSignal(int level, const std::string& hint) = 0;
    virtual void SetButtons(bool start, bool stop, bool close) = 0;
    // The pause, report-wait and report-request controls.
    virtual void SetSettingsReadOnly(bool readOnly) = 0;
    virtual void SetJournalEnabled(bool enabled) = 0;  // btnShowNumberLog

    // A message box owned by the window; answers kIdYes, kIdNo, kIdCancel, ...
    virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
    virtual void MessageBeep(unsigned type) = 0;
};

// The counters of one run.
struct TRunCounters {
    int Total = 0;                      // numbers of the list
    int Processed = 0;                  // handled, before and in this run, sent or not
    int Sent = 0;                       // all parts accepted (the ones processed before counted in)
    int Reports = 0;                    // fully sent in this run and no longer waiting for a report
    int StartSent = 0;                  // Sent when the loop began
    int FirstLogID = 0, LastLogID = 0;  // this run's journal rows; 0 while there are none
};

class TMailingRun {
public:
    // All of it belongs to the mailing window and the main window and outlives the run.
    TMailingRun(TSerialLink& link, const db::TMainDataSets& dataSets, TSettings& settings,
                TMailingView& view);

    // Given by the window when it opens for a list.
    int ListID = 0;
    std::string ListName;
    std::string SMSText;  // the template, with placeholders
    // Set by a run.
    os::TDateTime StartTime = 0;  // 0 until the first run of this opening of the window
    std::string IMEI;
    int LocalZone = os::kDefaultZone;

    // The window opening for a list: the link's port, the list, and the view's initial state.
    void Reset(const std::string& comPort, int listID, const std::string& listName,
               const std::string& smsText);

    // The list checks before a run (counts, continue or restart); false ends the run.
    bool CheckListBeforeStart();
    // The run, start to end.
    void btnStartClick();
    // The Stop button: the run notices in its next wait.
    void btnStopClick();

    // R17: does the writes the database refused; true when none is left. `situation` ends the
    // box that tells of a write still refused ("" for none). R18: false at once, doing nothing,
    // inside a run or another retry.
    bool StoreUnstored(const std::string& situation = "");
    bool HasUnstored() const { return !unstored_.empty(); }
    // R17 at the program's end: the kept writes are done again; while they are refused the
    // operator chooses between another try (the default) and ending without them, told which
    // numbers a later run would send again. True when the program may end.
    bool StoreBeforeEnd();
    // R18: a run or a retry is under way (in a wait of it, a handler must not start either).
    bool Busy() const { return running_ || storing_; }

    const TRunCounters& Counters() const { return counters_; }
    TSendJournal& Journal() { return journal_; }

private:
    struct TNumber {
        int ID = 0;
        std::string Number;
        std::vector<std::string> Values;
    };
    // One message or part on its way out.
    struct TPart {
        std::string Number, Text;
        int NumID = 0;
        bool Completes = false;  // the number's last part: its row goes with the Processed flag
        bool PduOut = false;     // its PDU went out: a late answer is its own (R16)
        bool Accepted = false;   // the modem took it (its row may still be unstored)
    };
    // R17: a write the database refused, with the number it journals ("" for none).
    struct TUnstored {
        std::string Number;
        bool Accepted = false;  // a row of a message the modem took
        std::function<void()> Write;
        bool Release = false;  // the list given back by its run
    };

    bool ClaimList();
    bool RunClaimed();
    bool RunOnPort();
    bool PrepareModem();
    bool SetupFailed();
    void ReadNumbers(std::vector<TNumber>& numbers);
    void CheckSignal();
    // One number; false when the loop must end after it.
    bool MailNumber(const TNumber& n, bool lastNumber);
    // One part: its attempts, its row and the pause after it; true when the modem accepted it.
    bool MailPart(TPart& part, const std::string& pdu, bool lastOfRun);
    bool Send(TPart& part, const std::string& pdu);
    void Pause(bool lastOfRun);
    // Takes every complete line off the link (and a late answer, R16) and writes their rows.
    void Drain();
    // R16: files the late answer the link may hold.
    void FileLateAnswer();
    // R17: whether the database can take what a number of `parts` parts will write.
    bool RoomForNumber(const std::string& number, std::size_t parts);
    void ApplyReport(const std::string& pdu);
    void NumberFullySent(int numID);
    // R19: the late answer to the part given up last, before the port is closed.
    void ListenForLateAnswer();
    void WaitForReports();
    void ReleaseList();
    void ClosePort();

    // Runs a write of the run (journal, flags) until another copy's hold on the database ends,
    // keeping the window alive meanwhile.
    void Persist(const std::function<void()>& write);
    // R17: runs `journal` (with this run's IMEI) now, or keeps it when the database refuses it
    // or (`inOrder`) older writes are kept.
    void Store(const std::string& number, bool accepted, std::function<void()> journal,
               bool inOrder = true, bool release = false);
    // R17: the oldest kept write, done again; false, with the reason in storeError_, when the
    // database still refuses it. Its log lines are dropped when the reason is the one told.
    bool StoreOldest();
    bool AcceptedUnstored() const;
    // With `completes` the row and the number's Processed flag go in one transaction.
    void WriteRow(const std::string& number, const std::string& text, bool ok, int numID, int mr,
                  bool completes = false);
    // R16: the failure row of a part given up becomes the row of its late acceptance.
    void SettleGivenUp(const TPart& part, int mr);
    // The message of a box that tells of unstored writes: `error`, the numbers, `situation`.
    std::string UnstoredText(const std::string& situation) const;
    // The numbers whose accepted messages have kept rows, in order, each once, joined by ", ".
    std::string UnstoredNumbers() const;
    void SetIMEI(const std::string& imei);
    void ShowSignal(const std::string& csqReply);
    bool Setup(const std::string& command, std::string* reply = nullptr);
    template <std::size_t N>
    void Execute(vcl::TQuery& query, const char* const (&lines)[N], int id);
    int Ask(const std::string& text, const std::string& caption, unsigned flags);
    void AddLog(const std::string& text) { link_.AddLog(text); }
    void ShowCounters();
    void SetGauge(int progress, int max);
    void ResetList();

    TSerialLink& link_;
    db::TMainDataSets data_;
    TSettings& settings_;
    TMailingView& view_;
    TSendJournal journal_;
    TRunCounters counters_;
    int smsDelay_ = 0, reportWaitMins_ = 1;  // this run's, clamped
    bool reportRequire_ = true;
    int gaugeProgress_ = 0, gaugeMax_ = 0;
    bool signalRead_ = false;
    uint32_t signalStamp_ = 0;
    std::unordered_set<int> awaiting_;  // fully sent in this run, some row still pending
    TPart* current_ = nullptr;          // the part being sent
    std::optional<TPart> givenUp_;      // the part given up while its answer may still come
    std::vector<TUnstored> unstored_;   // R17, oldest first
    std::string storeError_;            // why the oldest of them was refused
    std::string toldError_;             // the refusal last logged
    bool storeFailed_ = false;          // in this run: no further PDU
    bool noRoom_ = false;               // in this run: a number found no room
    bool running_ = false;              // R18: between the list's claim and its release
    bool storing_ = false;              // R18: StoreUnstored is under way
};

// The IMEI in the reply to "AT+CGSN" with echo on: the first complete line after the command's
// echo that holds digits only (trimmed), a status report and its PDU line skipped; empty when
// there is no echo or no such line.
std::string ExtractIMEI(const std::string& reply);

// The template with every placeholder "[№k]" (k from 1, written without leading zeros) replaced
// by the k-th value, in one pass; placeholders without a value stay as written.
std::string FillPlaceholders(const std::string& text, const std::vector<std::string>& values);

// "%d (%d%%)": a count and its share of `total` in percent, rounded half to even.
std::string CountWithShare(int count, int total);

}  // namespace gateway
