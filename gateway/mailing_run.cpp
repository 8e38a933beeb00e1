#include "gateway/mailing_run.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "db/durable_writes.h"
#include "db/patient_write.h"
#include "db/statements.h"
#include "db/transaction.h"
#include "db/write_room.h"
#include "gateway/pdu_builder.h"
#include "gateway/signal_quality.h"
#include "gateway/status_report.h"
#include "platform/os/clock.h"
#include "platform/os/cp1251.h"
#include "platform/os/cp_literal.h"
#include "vcl/system/format.h"
#include "vcl/system/sysutils.h"

namespace gateway {

namespace {

constexpr int kNoReference = 256;
constexpr int kAttempts = 3;
constexpr uint32_t kAfterFailedAttemptMs = 1000;
constexpr uint32_t kSignalEveryMs = 10000;
constexpr int kIMEIEveryNumbers = 10;
constexpr std::size_t kMaxParts = 255;  // the part count travels in one octet
constexpr std::size_t kMinIMEILength = 15;
// What a part's row takes in the database at the most (the row with its index entries and the
// slack of a page split), and the Processed flag's page.
constexpr uint64_t kRowRoomBytes = 2048;
constexpr uint64_t kFlagRoomBytes = 4096;

const std::string kZeroShare = "0 (0%)";

// The journal's IMEI for the length of one write.
class TWithIMEI {
public:
    TWithIMEI(TSendJournal& journal, std::string imei)
        : journal_(journal), kept_(std::exchange(journal.IMEI, std::move(imei))) {}
    ~TWithIMEI() { journal_.IMEI = std::move(kept_); }
    TWithIMEI(const TWithIMEI&) = delete;
    TWithIMEI& operator=(const TWithIMEI&) = delete;

private:
    TSendJournal& journal_;
    std::string kept_;
};

// R18: a flag that stays set while a call is under way, exceptions included.
class TUnderWay {
public:
    explicit TUnderWay(bool& flag) : flag_(flag) { flag_ = true; }
    ~TUnderWay() { flag_ = false; }
    TUnderWay(const TUnderWay&) = delete;
    TUnderWay& operator=(const TUnderWay&) = delete;

private:
    bool& flag_;
};

// The journal's log lines held back for the length of one retry.
class THeldLog {
public:
    explicit THeldLog(TSendJournal& journal)
        : journal_(journal), kept_(std::exchange(journal.AddLog, [this](const std::string& text) {
              lines_.push_back(text);
          })) {}
    ~THeldLog() { journal_.AddLog = std::move(kept_); }
    THeldLog(const THeldLog&) = delete;
    THeldLog& operator=(const THeldLog&) = delete;

    void Release() {
        for (const std::string& line : lines_)
            kept_(line);
        lines_.clear();
    }

private:
    TSendJournal& journal_;
    std::function<void(const std::string&)> kept_;
    std::vector<std::string> lines_;
};

}  // namespace

std::string ExtractIMEI(const std::string& reply) {
    const std::string echo = "AT+CGSN\r";
    const auto p = reply.find(echo);
    if (p == std::string::npos) return {};
    // A status report may come between the echo and the IMEI; its PDU line could be all digits.
    bool reportPDU = false;
    std::size_t at = p + echo.size();
    for (;;) {
        const auto cr = reply.find('\r', at);
        if (cr == std::string::npos) return {};
        const std::string line = vcl::Trim(reply.substr(at, cr - at));
        at = cr + 1;
        if (line.empty()) continue;
        if (reportPDU) {
            reportPDU = false;
        } else if (line.find("+CDS:") != std::string::npos) {
            reportPDU = true;
        } else if (line.find_first_not_of("0123456789") == std::string::npos) {
            return line;
        }
    }
}

std::string FillPlaceholders(const std::string& text, const std::vector<std::string>& values) {
    static const std::string open = "[№"_cp;
    std::string out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const auto p = text.find(open, at);
        if (p == std::string::npos) break;
        out.append(text, at, p - at);
        std::size_t d = p + open.size();
        std::size_t k = 0;
        const std::size_t firstDigit = d;
        while (d < text.size() && d - firstDigit < 9 && text[d] >= '0' && text[d] <= '9')
            k = k * 10 + static_cast<std::size_t>(text[d++] - '0');
        const bool digits = d > firstDigit && text[firstDigit] != '0';
        if (digits && d < text.size() && text[d] == ']' && k >= 1 && k <= values.size()) {
            out += values[k - 1];
            at = d + 1;
        } else {
            out += open;  // not a placeholder with a value: kept, and scanning goes on after it
            at = p + open.size();
        }
    }
    out.append(text, at, std::string::npos);
    return out;
}

std::string CountWithShare(int count, int total) {
    const int share = total > 0 ? static_cast<int>(vcl::Round(count * 100.0 / total)) : 0;
    return vcl::Format("%d (%d%%)", count, share);
}

TMailingRun::TMailingRun(TSerialLink& link, const db::TMainDataSets& dataSets, TSettings& settings,
                         TMailingView& view)
    : link_(link), data_(dataSets), settings_(settings), view_(view), journal_(dataSets.Query3) {
    journal_.AddLog = [this](const std::string& text) { link_.AddLog(text); };
}

void TMailingRun::Reset(const std::string& comPort, int listID, const std::string& listName,
                        const std::string& smsText) {
    link_.ComPort = comPort;
    ListID = listID;
    SMSText = smsText;
    ListName = listName;
    view_.SetButtons(true, false, true);
    view_.SetMessageText("");
    link_.Stopped = false;
    SetGauge(0, gaugeMax_);
    view_.SetProcessed(kZeroShare);
    view_.SetSentOK(kZeroShare);
    view_.SetReport(kZeroShare);
    view_.SetAllNumbers("0");
    view_.SetCurrentNumber("Текущий номер:"_cp);
    view_.SetJournalEnabled(false);
    StartTime = 0;
    SetIMEI("");
}

void TMailingRun::btnStopClick() {
    link_.Stopped = true;
    view_.SetButtons(true, false, true);
}

// ---- helpers ----

int TMailingRun::Ask(const std::string& text, const std::string& caption, unsigned flags) {
    return view_.MessageBox(text, caption, flags);
}

template <std::size_t N>
void TMailingRun::Execute(vcl::TQuery& query, const char* const (&lines)[N], int id) {
    RunLogged(query, journal_.AddLog, [&] {
        db::SetStatement(query, lines);
        query.ParamByName("prmInt").SetAsInteger(id);
        query.ExecSQL();
    });
}

void TMailingRun::SetGauge(int progress, int max) {
    gaugeMax_ = max < 0 ? 0 : max;
    gaugeProgress_ = progress < 0 ? 0 : (progress > gaugeMax_ ? gaugeMax_ : progress);
    view_.SetGauge(gaugeProgress_, gaugeMax_);
}

void TMailingRun::ShowCounters() {
    view_.SetAllNumbers(vcl::IntToStr(counters_.Total));
    view_.SetProcessed(CountWithShare(counters_.Processed, counters_.Total));
    view_.SetSentOK(CountWithShare(counters_.Sent, counters_.Total));
    view_.SetReport(CountWithShare(counters_.Reports, counters_.Total));
}

void TMailingRun::SetIMEI(const std::string& imei) {
    IMEI = imei;
    journal_.IMEI = imei;
}

void TMailingRun::ShowSignal(const std::string& csqReply) {
    uint8_t rssi = kNoSignalValue, ber = kNoSignalValue;
    ParseCSQ(csqReply, rssi, ber);
    view_.ShowSignal(SignalLevel(rssi), SignalHint(rssi, ber));
}

void TMailingRun::Persist(const std::function<void()>& write) {
    bool told = false;
    db::WriteWaitingOutBusy(data_.Query3.DatabaseName(), write, [&] {
        if (!told) AddLog("The database is busy (another copy writes to it): waiting");
        told = true;
        if (link_.ProcessMessages) link_.ProcessMessages();
    });
}

void TMailingRun::Store(const std::string& number, bool accepted, std::function<void()> journal,
                        bool inOrder, bool release) {
    // A kept write is done again later, maybe after a run on another modem: the journal writes
    // with the IMEI of the run that made it.
    std::function<void()> write = [this, imei = IMEI, journal = std::move(journal)] {
        const TWithIMEI as(journal_, imei);
        journal();
    };
    if (unstored_.empty() || !inOrder) {
        try {
            Persist(write);
            return;
        } catch (const std::exception& e) {
            storeError_ = e.what();  // the statement is in the log already
        }
        AddLog("The database refused a write; it is kept and done again later: " + storeError_);
        toldError_ = storeError_;
    }
    storeFailed_ = true;
    unstored_.push_back({number, accepted, std::move(write), release});
}

bool TMailingRun::StoreOldest() {
    // A copy: the kept writes are not to be reached through a reference across the wait.
    const std::function<void()> write = unstored_.front().Write;
    THeldLog held(journal_);
    try {
        Persist(write);
        held.Release();
        return true;
    } catch (const std::exception& e) {
        storeError_ = e.what();
    }
    // A refusal that lasts (a missing table, a damaged file) is told once, not every 5 s.
    if (storeError_ != toldError_) {
        held.Release();
        AddLog("The database still refuses a kept write: " + storeError_);
        toldError_ = storeError_;
    }
    return false;
}

bool TMailingRun::StoreUnstored(const std::string& situation) {
    if (unstored_.empty()) return true;
    if (Busy()) return false;  // R18: the caller up the stack goes on with them
    const TUnderWay storing(storing_);
    db::TDurableWrites durable(data_.Query3.DatabaseName());
    while (!unstored_.empty()) {
        if (!StoreOldest()) {
            if (!situation.empty()) Ask(UnstoredText(situation), "Ошибка"_cp, kMbIconHand);
            return false;
        }
        unstored_.erase(unstored_.begin());
        AddLog("A kept write is stored now");
    }
    toldError_.clear();
    return true;
}

bool TMailingRun::StoreBeforeEnd() {
    if (Busy()) return false;  // R18: the program ends, if it may, once that call is done
    while (!StoreUnstored()) {
        const std::string numbers = UnstoredNumbers();
        std::string question = "Повторить запись (Да) или завершить программу без нее (Нет)?"_cp;
        if (!numbers.empty())
            question = std::string(
                           "Если завершить программу сейчас, на эти номера сообщения "
                           "будут отправлены повторно при следующей рассылке.\r"_cp) +
                       question;
        if (Ask(UnstoredText(question), "Ошибка"_cp, kMbYesNo | kMbIconExclamation) == kIdYes)
            continue;
        AddLog("The program ends with kept writes not stored; a later run sends again: " + numbers);
        // The list's release is tried once more: left marked in use it could not be mailed.
        const std::vector<TUnstored> kept = std::exchange(unstored_, {});
        for (const TUnstored& u : kept) {
            if (!u.Release) continue;
            try {
                Persist(u.Write);
            } catch (const std::exception&) {
                // Logged; the next start clears it when no other copy runs.
            }
        }
        break;
    }
    return true;
}

std::string TMailingRun::UnstoredNumbers() const {
    std::vector<std::string> numbers;
    std::string list;
    for (const TUnstored& u : unstored_)
        if (u.Accepted && std::find(numbers.begin(), numbers.end(), u.Number) == numbers.end()) {
            list += (list.empty() ? "" : ", ") + u.Number;
            numbers.push_back(u.Number);
        }
    return list;
}

bool TMailingRun::AcceptedUnstored() const {
    return std::any_of(unstored_.begin(), unstored_.end(),
                       [](const TUnstored& u) { return u.Accepted; });
}

std::string TMailingRun::UnstoredText(const std::string& situation) const {
    std::string text = "Ошибка записи в базу данных: "_cp + storeError_;
    const std::string list = UnstoredNumbers();
    if (!list.empty()) {
        text +=
            "\r" +
            vcl::Format(
                "Номера, сообщения на которые приняты модемом, но еще не записаны в журнал: %s."_cp,
                list);
    }
    return situation.empty() ? text : text + "\r" + situation;
}

void TMailingRun::WriteRow(const std::string& number, const std::string& text, bool ok, int numID,
                           int mr, bool completes) {
    const std::string listName = ListName, folder = data_.Query3.DatabaseName();
    const os::TDateTime startTime = StartTime, sendTime = os::Now();
    const int listID = ListID;
    Store(number, ok, [=, this] {
        const auto insert = [&] {
            journal_.InsertNumberLog(number, text, ok, startTime, sendTime, listID, numID, mr,
                                     listName);
        };
        if (completes)
            db::RunInTransaction(folder, [&] {
                insert();
                Execute(data_.Query3, db::kMarkNumberProcessed, numID);
            });
        else
            insert();
    });
    if (counters_.FirstLogID == 0 && unstored_.empty())
        counters_.FirstLogID = journal_.GetMaxLogID();
}

void TMailingRun::SettleGivenUp(const TPart& part, int mr) {
    const std::string folder = data_.Query3.DatabaseName();
    const int numID = part.NumID;
    const bool completes = part.Completes;
    Store(part.Number, true, [=, this] {
        db::RunInTransaction(folder, [&] {
            journal_.AcceptGivenUpRow(numID, mr);
            if (completes) Execute(data_.Query3, db::kMarkNumberProcessed, numID);
        });
    });
    if (!completes) return;  // the rest of that message never went: it stays unfinished
    ++counters_.Sent;
    view_.SetSentOK(CountWithShare(counters_.Sent, counters_.Total));
    NumberFullySent(numID);
}

// ---- the list ----

bool TMailingRun::ClaimList() {
    vcl::TQuery& q = data_.Query3;
    return RunLogged(q, journal_.AddLog, [&] {
        db::SetStatement(q, db::kMarkListActive);
        q.ParamByName("prmInt").SetAsInteger(ListID);
        q.ExecSQL();
        return q.RowsAffected() == 1;
    });
}

void TMailingRun::ResetList() {
    Execute(data_.Query, db::kResetProcessed, ListID);
    view_.SetMessageText("");
    counters_.Processed = 0;
    counters_.Sent = 0;
}

bool TMailingRun::CheckListBeforeStart() {
    if (vcl::Trim(SMSText).empty()) {
        Ask("Не указан текст СМС."_cp, "Внимание"_cp, kMbIconExclamation);
        return false;
    }
    vcl::TQuery& q = data_.Query;
    const int count = RunLogged(q, journal_.AddLog, [&] {
        db::SetStatement(q, db::kCountNumbers);
        q.ParamByName("prmInt").SetAsInteger(ListID);
        q.Open();
        const int n = q.FieldByName("cnt").AsInteger();
        q.Close();
        return n;
    });
    if (count == 0) {
        Ask("Список не содержит номеров."_cp, "Внимание"_cp, kMbIconExclamation);
        return false;
    }
    int unprocessed = 0;
    RunLogged(q, journal_.AddLog, [&] {
        db::SetStatement(q, db::kCountProcessedUnprocessedTotal);
        q.ParamByName("prmInt").SetAsInteger(ListID);
        q.Open();
        vcl::TField& cnt = q.FieldByName("cnt");
        int* const targets[] = {&counters_.Processed, &unprocessed, &counters_.Total};
        for (int* target : targets) {
            *target = q.Eof() ? 0 : cnt.AsInteger();
            q.Next();
        }
        q.Close();
    });
    counters_.Sent = counters_.Processed;
    counters_.Reports = 0;

    if (counters_.Processed == counters_.Total) {
        if (Ask("Список полностью обработан. Начать рассылку заново?"_cp, "Вопрос"_cp,
                kMbYesNo | kMbIconQuestion | kMbDefButton2) != kIdYes)
            return false;
        ResetList();
        unprocessed = counters_.Total;
    }
    if (unprocessed > 0 && counters_.Processed > 0) {
        const int answer =
            Ask(std::string("Список обработан не полностью. Продолжить рассылку (Да),"_cp) + "\r" +
                    "начать заново (Нет) или отменить действие (Отмена)?"_cp,
                "Вопрос"_cp, kMbYesNoCancel | kMbIconQuestion | kMbDefButton3);
        if (answer == kIdNo)
            ResetList();
        else if (answer != kIdYes)
            return false;
    }
    return true;
}

// ---- the run ----

void TMailingRun::btnStartClick() {
    const auto inUse = [this] {
        Ask("Список \""_cp + ListName + "\" нельзя использовать, т.к. по нему идет рассылка."_cp,
            "Внимание"_cp, kMbIconHand);
    };
    // R18: Stop enables Start again while the run winds down inside its waits.
    if (running_) return inUse();
    if (storing_) return;
    // R17: a number whose row is not stored would be sent again.
    if (!StoreUnstored("Рассылка не начата. Запись будет повторена."_cp)) return;
    if (!ClaimList()) return inUse();
    storeFailed_ = noRoom_ = false;
    bool regularEnd = false, cut = false;
    {
        const TUnderWay running(running_);
        try {
            regularEnd = RunClaimed();
        } catch (...) {
            ReleaseList();
            throw;
        }
        cut = storeFailed_;
        ReleaseList();
    }
    if (storeFailed_) {
        std::string situation = cut ? "Рассылка остановлена."_cp : "";
        if (!StoreUnstored())
            situation += std::string(cut ? " " : "") + "Запись будет повторена."_cp;
        Ask(UnstoredText(situation), "Ошибка"_cp, kMbIconHand);
    } else if (regularEnd && !link_.PortLost) {
        view_.MessageBeep(kMbIconAsterisk);
    }
}

bool TMailingRun::RunClaimed() {
    LocalZone = os::LocalZone();
    journal_.LocalZone = LocalZone;
    TSettings s = settings_;
    ClampSettings(s);
    smsDelay_ = s.SMSDelay;
    reportRequire_ = s.ReportRequire;
    reportWaitMins_ = s.ReportWaitForMins;

    view_.SetStage("Этап: рассылка СМС"_cp);
    link_.Stopped = false;
    view_.SetButtons(false, true, false);
    view_.SetSettingsReadOnly(true);
    // Its window would be modal inside the run's waits and hold a reply past its time-out.
    view_.SetJournalEnabled(false);
    StartTime = os::Now();
    counters_ = {};
    awaiting_.clear();
    givenUp_.reset();
    SetGauge(0, 0);
    ShowCounters();
    view_.SetMessageText("");
    view_.SetCurrentNumber("Текущий номер:"_cp);
    db::TDurableWrites durable(data_.Query3.DatabaseName());

    if (!CheckListBeforeStart()) return false;
    AddLog("====== Начало рассылки ======"_cp);
    AddLog(vcl::Format(
        "Параметры: пауза между СМС %d сек; запросить отчет о доставке \"%s\"; ждать отчеты %d мин."_cp,
        smsDelay_, reportRequire_ ? "True" : "False", reportWaitMins_));
    SetGauge(counters_.Processed, counters_.Total);
    ShowCounters();

    if (!link_.OpenPort()) return false;
    bool regularEnd = false;
    try {
        regularEnd = RunOnPort();
    } catch (...) {
        ClosePort();
        throw;
    }
    ClosePort();
    return regularEnd;
}

bool TMailingRun::Setup(const std::string& command, std::string* reply) {
    if (link_.Stopped) return false;
    std::string ignored;
    return link_.SendCommandReply(command, "OK", reply ? *reply : ignored);
}

bool TMailingRun::SetupFailed() {
    if (!link_.Stopped) Ask("Ошибка при выполнении AT-команды."_cp, "Ошибка"_cp, kMbIconHand);
    return false;
}

bool TMailingRun::PrepareModem() {
    std::string reply;
    if (!Setup("AT+CSQ\r", &reply)) return SetupFailed();
    ShowSignal(reply);
    uint8_t rssi = kNoSignalValue, ber = kNoSignalValue;
    ParseCSQ(reply, rssi, ber);
    const unsigned warn = kMbYesNo | kMbIconExclamation;
    if (IsLowSignal(rssi)) {
        if (Ask(vcl::Format("Низкий уровень сигнала (%d%%)."_cp, SignalPercent(rssi)) + "\r" +
                    "Продолжить?"_cp,
                "Внимание"_cp, warn) != kIdYes)
            return false;
    } else if (IsHighErrorRate(ber)) {
        if (Ask(vcl::Format("Плохое качество связи - большой процент ошибок (%s)."_cp,
                            ErrorRateWarningText(ber)) +
                    "\r" + "Продолжить?"_cp,
                "Внимание"_cp, warn) != kIdYes)
            return false;
    }

    AddLog("Установить режим текста СМС: PDU"_cp);
    if (!Setup("AT+CMGF=0\r")) return SetupFailed();
    AddLog("Установить эхо команд"_cp);
    if (!Setup("ATE1\r")) return SetupFailed();
    if (!Setup("AT+CGSN\r", &reply)) return SetupFailed();
    SetIMEI(ExtractIMEI(reply));
    if (IMEI.empty()) {
        AddLog("I can't extract IMEI: \"" + reply + "\"");
        Ask("Не могу получить IMEI."_cp, "Ошибка"_cp, kMbIconHand);
        return false;
    }
    if (reportRequire_) {
        AddLog("Включить уведомление о доставке СМС"_cp);
        if (!Setup("AT+CNMI=2,0,0,1,0\r") && !Setup("AT+CNMI=1,0,0,1,0\r")) return SetupFailed();
    }
    return true;
}

void TMailingRun::ReadNumbers(std::vector<TNumber>& numbers) {
    vcl::TQuery& q = data_.Query;
    RunLogged(q, journal_.AddLog, [&] {
        db::SetStatement(q, db::kUnprocessedNumbers);
        q.ParamByName("prmInt").SetAsInteger(ListID);
        q.Open();
        numbers.reserve(static_cast<std::size_t>(q.RecordCount()));
        vcl::TField& id = q.FieldByName("id");
        vcl::TField& number = q.FieldByName("number");
        for (q.First(); !q.Eof(); q.Next())
            numbers.push_back({id.AsInteger(), number.AsString(), {}});
        q.Close();
    });
    // Both results are in ID order, so one walk puts each value with its number.
    vcl::TQuery& v = data_.Query2;
    RunLogged(v, journal_.AddLog, [&] {
        db::SetStatement(v, db::kUnprocessedNumberValues);
        v.ParamByName("prmInt").SetAsInteger(ListID);
        v.Open();
        vcl::TField& numberID = v.FieldByName("NumberID");
        vcl::TField& val = v.FieldByName("Val");
        std::size_t at = 0;
        for (v.First(); !v.Eof(); v.Next()) {
            const int owner = numberID.AsInteger();
            while (at < numbers.size() && numbers[at].ID < owner)
                ++at;
            if (at < numbers.size() && numbers[at].ID == owner)
                numbers[at].Values.push_back(val.AsString());
        }
        v.Close();
    });
}

void TMailingRun::CheckSignal() {
    const uint32_t now = os::GetTickCount();
    if (signalRead_ && os::TickDiff(signalStamp_, now) < kSignalEveryMs) return;
    std::string reply;
    if (!link_.SendCommandReply("AT+CSQ\r", "OK", reply)) return;
    ShowSignal(reply);
    signalStamp_ = os::GetTickCount();
    signalRead_ = true;
}

bool TMailingRun::RunOnPort() {
    if (!PrepareModem()) return false;
    std::vector<TNumber> numbers;
    ReadNumbers(numbers);

    counters_.StartSent = counters_.Sent;
    signalRead_ = false;
    bool imeiLost = false;
    for (std::size_t i = 1; i <= numbers.size() && !link_.Stopped && !storeFailed_; ++i) {
        CheckSignal();
        if (i % kIMEIEveryNumbers == 0 && !link_.Stopped) {
            std::string reply;
            link_.SendCommandReply("AT+CGSN\r", "OK", reply);
            // The rows written so far carry the IMEI read before: a failed re-read keeps it.
            const std::string imei = ExtractIMEI(reply);
            if (!imei.empty()) {
                SetIMEI(imei);
            } else {
                if (!link_.Stopped) {
                    AddLog("I can't extract IMEI: \"" + reply + "\"");
                    Ask("Не могу получить IMEI. Рассылка остановлена."_cp, "Ошибка"_cp,
                        kMbIconHand);
                    imeiLost = true;
                }
                link_.Stopped = true;
                break;
            }
        }
        if (link_.Stopped) break;
        if (!MailNumber(numbers[i - 1], i == numbers.size())) break;
    }

    ListenForLateAnswer();
    if (counters_.FirstLogID > 0) counters_.LastLogID = journal_.GetMaxLogID();
    AddLog("- Все СМС разосланы -"_cp);
    if (!link_.Stopped && !storeFailed_ && reportRequire_ &&
        !journal_.AllReportsFinal(counters_.FirstLogID, counters_.LastLogID))
        WaitForReports();
    // R11, R17: a failure, told by its box; no "run finished" beep.
    return !imeiLost && !noRoom_ && !storeFailed_;
}

bool TMailingRun::MailNumber(const TNumber& n, bool lastNumber) {
    std::string number = n.Number;
    NormalizeNumber(number);
    view_.SetCurrentNumber("Текущий номер: "_cp + number);
    const std::string text = FillPlaceholders(SMSText, n.Values);
    view_.SetMessageText(text);
    AddLog("Номер: "_cp + number);

    const bool is7Bit = IsGsm7Text(text);
    const std::vector<std::string> parts = SplitMessage(text, is7Bit);
    bool failed = true;
    if (!IsSendableNumber(number) || parts.size() > kMaxParts) {
        WriteRow(number, parts.front(), false, n.ID, kNoReference);
    } else if (!RoomForNumber(number, parts.size())) {
        return false;
    } else {
        const int count = static_cast<int>(parts.size());
        const int reference = count > 1 ? vcl::Random(is7Bit ? 65536 : 256) : 0;
        failed = false;
        for (int j = 0; j < count && !failed; ++j) {
            TPart part{number, parts[static_cast<std::size_t>(j)], n.ID, j == count - 1};
            const std::string pdu = count == 1
                                        ? MakeSubmitPDU(number, text, is7Bit, reportRequire_)
                                        : MakeConcatPartPDU(number, part.Text, j, is7Bit, reference,
                                                            count, reportRequire_);
            // A part the modem did not take, or a stop between parts, leaves the message
            // unfinished: it counts as failed.
            failed = !MailPart(part, pdu, lastNumber && part.Completes) ||
                     (!part.Completes && (link_.Stopped || storeFailed_));
        }
    }

    ++counters_.Processed;
    SetGauge(counters_.Processed, gaugeMax_);
    view_.SetProcessed(CountWithShare(counters_.Processed, counters_.Total));
    if (!failed) {
        ++counters_.Sent;
        view_.SetSentOK(CountWithShare(counters_.Sent, counters_.Total));
        NumberFullySent(n.ID);
    }
    AddLog("-- next number or stop --");
    if (link_.ProcessMessages) link_.ProcessMessages();
    return !link_.Stopped && !storeFailed_;
}

bool TMailingRun::RoomForNumber(const std::string& number, std::size_t parts) {
    const std::string folder = data_.Query3.DatabaseName();
    if (db::HasRoomFor(folder, parts * kRowRoomBytes + kFlagRoomBytes)) return true;
    AddLog("No room in the database for the rows of " + number + ": the run stops before it");
    Ask(vcl::Format("Недостаточно места для базы данных (папка \"%s\"): номер %s не отправлен."_cp,
                    os::Utf8ToCp1251(folder), number) +
            "\r" + "Рассылка остановлена."_cp,
        "Ошибка"_cp, kMbIconHand);
    noRoom_ = true;
    return false;
}

bool TMailingRun::MailPart(TPart& part, const std::string& pdu, bool lastOfRun) {
    current_ = &part;
    if (Send(part, pdu)) part.Accepted = true;
    Drain();
    Pause(lastOfRun);
    Drain();
    current_ = nullptr;
    if (!part.Accepted) {
        WriteRow(part.Number, part.Text, false, part.NumID, kNoReference);
        // R16: its answer may still come until another PDU goes out.
        if (part.PduOut && link_.AnswerOutstanding()) givenUp_ = part;
    }
    return part.Accepted;
}

bool TMailingRun::Send(TPart& part, const std::string& pdu) {
    const std::string command = "AT+CMGS=" + std::to_string(CmgsLength(pdu)) + "\r";
    for (int attempt = 1; attempt <= kAttempts && !link_.Stopped; ++attempt) {
        const bool prompted = link_.SendCommand(command, ">");
        FileLateAnswer();
        // R16: an earlier attempt was answered late; R17: a refused write sends nothing more.
        // Either way the prompt given or still coming is cancelled.
        if (part.Accepted || storeFailed_) {
            link_.SendEscape();
            link_.ListenPort(kAfterFailedAttemptMs);
            return part.Accepted;
        }
        if (prompted) {
            givenUp_.reset();  // an answer from now on is this PDU's
            part.PduOut = true;
            if (link_.SendCommand(pdu + "\x1A", "OK")) return true;
        }
        // The modem may still hold the prompt open for this message (a short PDU write leaves
        // it waiting for the rest), or give it yet: an error refusing this command may have been
        // an earlier message's late answer, with this command's prompt behind it (L6).
        if (prompted || link_.LastEnd == TExchangeEnd::TimedOut ||
            link_.LastEnd == TExchangeEnd::Stopped || link_.AnswerOutstanding())
            link_.SendEscape();
        link_.ListenPort(kAfterFailedAttemptMs);
        FileLateAnswer();
        if (part.Accepted) return true;
    }
    return false;
}

void TMailingRun::Pause(bool lastOfRun) {
    if (smsDelay_ > 0 && !lastOfRun) link_.ListenPort(static_cast<uint32_t>(smsDelay_) * 1000);
}

void TMailingRun::FileLateAnswer() {
    TLateAnswer late;
    if (!link_.TakeLateAnswer(late)) return;
    AddLog("Late answer to a message: \"" + late.Line + "\"");
    TPart* const part = current_ && current_->PduOut ? current_ : givenUp_ ? &*givenUp_ : nullptr;
    if (!part || !late.Accepted) {
        if (part != current_) givenUp_.reset();
        return;
    }
    if (part == current_) {
        WriteRow(part->Number, part->Text, true, part->NumID, late.MR, part->Completes);
        part->Accepted = true;
    } else {
        SettleGivenUp(*part, late.MR);
        givenUp_.reset();
    }
}

void TMailingRun::Drain() {
    FileLateAnswer();
    const TPart& part = *current_;
    int mr = kNoReference;
    std::string pdu, referenceLine;
    while (link_.ExtractLine(mr, pdu, &referenceLine)) {
        if (!referenceLine.empty()) {
            // R15: accepted all the same; only its report cannot be matched.
            if (mr == kNoReference)
                AddLog("Unreadable message reference, journaled without one: \"" + referenceLine +
                       "\"");
            WriteRow(part.Number, part.Text, true, part.NumID, mr, part.Completes && part.Accepted);
        } else if (!pdu.empty()) {
            ApplyReport(pdu);
        }
    }
}

void TMailingRun::ApplyReport(const std::string& pdu) {
    const TStatusReport report = DecodeStatusReport(pdu);
    if (report.Rest.empty()) return;
    // Kept, a write outlives this call: its result reaches the counter only when done now.
    const auto match = std::make_shared<TReportMatch>();
    Store("", false, [=, this] { *match = journal_.ApplyStatusReport(report, pdu); });
    if (match->ID == 0 || !awaiting_.contains(match->NumID)) return;
    if (journal_.CountPendingRowsOfNumber(match->NumID, counters_.FirstLogID) == 0) {
        awaiting_.erase(match->NumID);
        ++counters_.Reports;
        view_.SetReport(CountWithShare(counters_.Reports, counters_.Total));
    }
}

void TMailingRun::NumberFullySent(int numID) {
    // R3: a row that awaits no report keeps the number waiting for good.
    if (counters_.FirstLogID > 0 && !storeFailed_) {
        if (journal_.CountPendingRowsOfNumber(numID, counters_.FirstLogID) == 0)
            ++counters_.Reports;
        else
            awaiting_.insert(numID);
    }
    view_.SetReport(CountWithShare(counters_.Reports, counters_.Total));
}

void TMailingRun::ListenForLateAnswer() {
    if (!givenUp_ || !link_.AnswerOutstanding() || link_.PortLost) return;
    AddLog(vcl::Format("Waiting up to %u s for the modem's late answer to the last message",
                       kLateAnswerWaitMs / 1000));
    view_.SetStage("Этап: ожидание ответа модема на последнее СМС"_cp);
    // Not cut short by Stop: the modem may have sent the message, and without its answer the
    // next run would send it again.
    const uint32_t start = os::GetTickCount();
    while (link_.AnswerOutstanding() && !link_.PortLost &&
           os::TickDiff(start, os::GetTickCount()) < kLateAnswerWaitMs)
        link_.ListenPort(1000, false);
    if (link_.AnswerOutstanding()) AddLog("No late answer came: the message counts as not sent");
    FileLateAnswer();
    view_.SetStage("Этап: рассылка СМС"_cp);
}

void TMailingRun::WaitForReports() {
    AddLog("- Ожидать отчеты о доставке SMS -"_cp);
    view_.SetStage("Этап: ожидание отчетов о доставке"_cp);
    SetGauge(0, reportWaitMins_ * 60);
    view_.SetGaugeColor(kReportWaitColor);
    SetGauge(gaugeProgress_ + 1, gaugeMax_);
    const uint32_t start = os::GetTickCount();
    const uint32_t limit = static_cast<uint32_t>(reportWaitMins_) * 60000;
    bool allFinal = false;
    do {
        link_.ListenPort(1000);
        SetGauge(gaugeProgress_ + 1, gaugeMax_);
        FileLateAnswer();  // R16: the last part given up may still be answered
        int mr = kNoReference;
        std::string pdu;
        bool applied = false;
        while (link_.ExtractLine(mr, pdu)) {
            if (pdu.empty()) continue;  // references come only while sending
            ApplyReport(pdu);
            applied = true;
        }
        if (applied) {
            allFinal = journal_.AllReportsFinal(counters_.FirstLogID, counters_.LastLogID);
            view_.SetReport(CountWithShare(counters_.Reports, counters_.Total));
        }
        if (link_.ProcessMessages) link_.ProcessMessages();
    } while (os::TickDiff(start, os::GetTickCount()) <= limit && !link_.Stopped && !allFinal);
}

// ---- clean-up ----

void TMailingRun::ClosePort() {
    link_.ClosePort();
    AddLog("====== Конец рассылки ======"_cp);
    SetGauge(gaugeMax_, gaugeMax_);
}

void TMailingRun::ReleaseList() {
    view_.SetSettingsReadOnly(false);
    view_.SetButtons(true, false, true);
    data_.Query.Close();
    data_.Query2.Close();
    data_.Query3.Close();
    view_.SetJournalEnabled(StartTime != 0 && vcl::Trim(IMEI).size() >= kMinIMEILength);
    const int listID = ListID;
    // Tried even behind kept writes, since a list left marked in use cannot be mailed; but not
    // behind rows of accepted messages (R17): taken by another copy, the list would have those
    // numbers sent again.
    Store(
        "", false, [this, listID] { Execute(data_.Query3, db::kMarkListInactive, listID); },
        AcceptedUnstored(), true);
}

}  // namespace gateway
