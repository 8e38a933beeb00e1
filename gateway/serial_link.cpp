#include "gateway/serial_link.h"

#include <algorithm>
#include <cerrno>

#include "gateway/log_thread.h"
#include "platform/os/clock.h"
#include "platform/os/cp1251.h"
#include "platform/os/cp_literal.h"
#include "vcl/system/format.h"
#include "vcl/system/sysutils.h"

namespace gateway {

namespace {

constexpr int kNoReference = 256;
constexpr uint32_t kFirstReadDelayMs = 200;
constexpr uint32_t kTurnWaitMs = 250;

bool MeansDeviceGone(uint32_t code) {
    return code == ENODEV || code == EIO || code == ENXIO;
}

struct OpenStepTexts {
    const char* log;
    const char* box;
};

OpenStepTexts TextsOf(os::PortStep step) {
    switch (step) {
        case os::PortStep::Open:
            return {"CreateFile error: %u (%s)", "Ошибка открытия порта."_cp};
        case os::PortStep::GetState:
            return {"GetCommState error: %u (%s)", "Ошибка получения статуса порта."_cp};
        case os::PortStep::SetState:
            return {"SetCommState error: %u (%s)", "Ошибка установения статуса порта."_cp};
        case os::PortStep::SetTimeouts:
            return {"SetCommTimeouts error: %u (%s)", "Ошибка установки таймаутов."_cp};
        case os::PortStep::Purge:
            break;
    }
    return {"PurgeComm error: %u (%s)", "Ошибка выполнения ф-ции PurgeComm."_cp};
}

// The complete line of `text` that starts at `at`, without its CR (and the LF after it) and
// without LFs before it (one that came after its CR was taken belongs to the line before);
// `at` moves past it. False when no complete line is left.
bool NextLine(const std::string& text, std::size_t& at, std::string& line) {
    const auto cr = text.find('\r', at);
    if (cr == std::string::npos) return false;
    std::size_t begin = at;
    while (begin < cr && text[begin] == '\n')
        ++begin;
    line.assign(text, begin, cr - begin);
    at = cr + 1;
    if (at < text.size() && text[at] == '\n') ++at;
    return true;
}

// L2: for a PDU the expected text counts only after the message's reference.
bool Completes(std::string_view collected, const std::string& expected, bool pdu) {
    std::size_t from = 0;
    if (pdu) {
        from = collected.find("+CMGS:");
        if (from == std::string_view::npos) return false;
    }
    return collected.find(expected, from) != std::string_view::npos;
}

}  // namespace

TSerialLink::TSerialLink(os::SerialIo& port) : WriteLog(gateway::WriteToLog), port_(port) {}

void TSerialLink::AddLog(const std::string& text) {
    if (WriteLog) WriteLog(text + "\r", PRGM);
}

bool TSerialLink::OpenPort() {
    PortLost = false;
    os::PortStep failed = os::PortStep::Open;
    os::SysError error;
    if (!port_.Open(ComPort, failed, error)) {
        const OpenStepTexts texts = TextsOf(failed);
        AddLog(vcl::Format(texts.log, error.code, error.text));
        if (ShowMessage) ShowMessage(texts.box, "Ошибка"_cp, kMbIconHand);
        return false;
    }
    // A modem left in the "> " prompt by a killed run would take the first command as the
    // text of that message; ESC makes it drop the message instead.
    ForgetLateAnswer();
    Write("\x1B");
    ListenPort(kEscapeAnswerMs);
    SiftLeftovers();
    return true;
}

void TSerialLink::ClosePort() {
    port_.Close();
}

void TSerialLink::Compact() {
    if (taken_ == 0) return;
    recv_.erase(0, taken_);
    replyFrom_ -= std::min(replyFrom_, taken_);
    watchFrom_ -= std::min(watchFrom_, taken_);
    taken_ = 0;
}

void TSerialLink::ForgetLateAnswer() {
    outstanding_ = okAfterLate_ = false;
    late_.reset();
}

bool TSerialLink::TakeLateAnswer(TLateAnswer& answer) {
    if (!late_) return false;
    answer = std::move(*late_);
    late_.reset();
    return true;
}

void TSerialLink::WatchForLateAnswer() {
    std::string line;
    for (std::size_t at = std::max(watchFrom_, taken_); outstanding_ || okAfterLate_;) {
        const std::size_t begin = at;
        if (!NextLine(recv_, at, line)) break;
        bool takeOut = false;
        if (okAfterLate_) {
            if (vcl::Trim(line).empty()) continue;
            okAfterLate_ = false;
            takeOut = vcl::Trim(line) == "OK";
        } else if (line.find("+CMGS:") != std::string::npos) {
            late_ = TLateAnswer{true, ParseCmgsReference(line), line};
            outstanding_ = false;
            okAfterLate_ = takeOut = true;
        } else if (line.find("ERROR") != std::string::npos && (!replying_ || begin < replyFrom_)) {
            // During a command an error line is that command's reply, unless it had begun
            // before the command was written.
            late_ = TLateAnswer{false, kNoReference, line};
            outstanding_ = false;
            takeOut = true;
        }
        if (takeOut) {
            const std::size_t length = at - begin;
            recv_.erase(begin, length);
            if (replying_ && at > replyFrom_) {
                const std::size_t from = std::max(begin, replyFrom_) - replyFrom_;
                reply_.erase(from, at - replyFrom_ - from);
            }
            if (replyFrom_ >= at)
                replyFrom_ -= length;
            else if (replyFrom_ > begin)
                replyFrom_ = begin;
            at = begin;
        }
        watchFrom_ = at;
    }
}

std::string_view TSerialLink::JudgedReply() const {
    std::string_view text = reply_;
    if (!outstanding_ && !okAfterLate_) return text;
    const auto cr = text.rfind('\r');
    const std::size_t complete = cr == std::string_view::npos ? 0 : cr + 1;
    if (text.find('>', complete) != std::string_view::npos) return text;
    return text.substr(0, complete);
}

// L3. A reference left by a run that ended early would be filed under this run's first number,
// and the answer to the ESC under its first command; a whole report still finds its row. A
// report whose PDU line is not among the lines never gets it, so the next line is no PDU.
void TSerialLink::SiftLeftovers() {
    Compact();
    const bool pduFirst = ExpectReportPDU;
    bool expectPDU = ExpectReportPDU, firstPduKept = false;
    std::string kept, report, line;  // `report`: a "+CDS:" line waiting for its PDU line
    for (std::size_t at = 0; NextLine(recv_, at, line);) {
        if (expectPDU) {
            firstPduKept |= report.empty();
            kept += report + line + "\r\n";
            report.clear();
            expectPDU = false;
        } else if (line.find("+CDS:") != std::string::npos) {
            report = line + "\r\n";
            expectPDU = true;
        } else if (!vcl::Trim(line).empty()) {
            AddLog(vcl::Format("Отброшено до первой команды: \"%s\""_cp, line));
        }
    }
    recv_ = std::move(kept);
    ExpectReportPDU = pduFirst && firstPduKept;
}

uint32_t TSerialLink::Wait(uint32_t ms, bool stoppable) {
    const uint32_t start = os::GetTickCount();
    for (;;) {
        const uint32_t elapsed = os::TickDiff(start, os::GetTickCount());
        if (elapsed >= ms || (stoppable && Stopped)) return elapsed;
        os::Sleep(1);
        if (ProcessMessages) ProcessMessages();
    }
}

uint32_t TSerialLink::WaitMs(uint32_t ms) {
    return Wait(ms, true);
}

bool TSerialLink::CheckGone(const os::SysError& error) {
    if (!MeansDeviceGone(error.code)) return false;
    if (!PortLost) {
        PortLost = true;
        Stopped = true;
        if (ShowMessage)
            ShowMessage(vcl::Format("Порт %s недоступен: %s.\rРассылка остановлена."_cp, ComPort,
                                    error.text),
                        "Ошибка"_cp, kMbIconHand);
    }
    return true;
}

std::string TSerialLink::ReadChunk() {
    if (PortLost) return {};
    char buffer[kChunkSize];
    std::size_t got = 0;
    os::SysError error;
    const uint32_t start = os::GetTickCount();
    if (!port_.Read(buffer, sizeof buffer, got, error)) {
        if (error.code != lastReadError_)
            AddLog(vcl::Format("ReadFile error: %u (%s)", error.code, error.text));
        lastReadError_ = error.code;
        if (CheckGone(error)) return {};
        const uint32_t spent = os::TickDiff(start, os::GetTickCount());
        if (spent < static_cast<uint32_t>(os::kSerialTimeoutMs))
            WaitMs(static_cast<uint32_t>(os::kSerialTimeoutMs) - spent);
        return {};
    }
    lastReadError_ = 0;
    // A NUL from the modem is noise; the bytes after it are still the reply.
    std::string chunk;
    chunk.reserve(got);
    for (std::size_t i = 0; i < got; ++i)
        if (buffer[i] != '\0') chunk += buffer[i];
    return chunk;
}

void TSerialLink::DataReceived(const std::string& chunk) {
    if (WriteLog) WriteLog(chunk, GATE);
    Compact();
    const std::size_t at = recv_.size();
    recv_ += chunk;
    os::CharUpperBuff(recv_.data() + at, chunk.size());
    if (replying_) reply_ += chunk;
    if (outstanding_ || okAfterLate_) WatchForLateAnswer();
}

bool TSerialLink::SendCommand(const std::string& command, const std::string& expected) {
    return Exchange(command, expected, nullptr);
}

bool TSerialLink::SendCommandReply(const std::string& command, const std::string& expected,
                                   std::string& reply) {
    return Exchange(command, expected, &reply);
}

bool TSerialLink::Write(const std::string& bytes) {
    if (PortLost) return false;
    std::size_t written = 0;
    os::SysError error;
    if (!port_.Write(bytes.data(), bytes.size(), written, error)) {
        AddLog(vcl::Format("WriteFile error: %u (%s)", error.code, error.text));
        CheckGone(error);
        return false;
    }
    if (written != bytes.size()) {
        AddLog("Количество записанных байт не совпадает с количеством отправленных."_cp);
        return false;
    }
    return true;
}

bool TSerialLink::SendEscape() {
    return Write("\x1B");
}

bool TSerialLink::Exchange(const std::string& command, const std::string& expected,
                           std::string* reply) {
    if (reply) reply->clear();
    LastEnd = TExchangeEnd::WriteFailed;
    if (command.empty()) return false;
    // Once a PDU is out the modem may accept it; giving up on its reply would record a sent
    // message as failed and send it again later.
    const bool replyMustBeRead = command.back() == '\x1A';
    // L6: what comes from now on answers this PDU, not the one that timed out before it.
    if (replyMustBeRead) ForgetLateAnswer();
    Compact();
    replyFrom_ = recv_.size();
    reply_.clear();
    if (!Write(command)) return false;
    replying_ = true;

    const uint32_t start = os::GetTickCount();
    lastReadError_ = 0;
    os::Sleep(kFirstReadDelayMs);

    bool done = false, succeeded = false, stopLogged = false;
    const auto readReply = [&] {
        const std::string chunk = ReadChunk();
        if (chunk.empty()) return;
        DataReceived(chunk);
        const std::string_view collected = JudgedReply();
        if (collected.find("ERROR") != std::string_view::npos) {
            done = true;
            LastEnd = TExchangeEnd::ErrorReply;
        } else if (Completes(collected, expected, replyMustBeRead)) {
            done = succeeded = true;
            LastEnd = TExchangeEnd::Replied;
        }
    };
    while (!done) {
        readReply();
        Wait(kTurnWaitMs, !replyMustBeRead);
        if (Stopped && !stopLogged) {
            if (!PortLost) AddLog("Пользователь прервал рассылку"_cp);
            stopLogged = true;
        }
        // The wait for a PDU's reply goes on after a stop, not after the port is gone.
        if (Stopped && (!replyMustBeRead || PortLost)) {
            if (!done) LastEnd = PortLost ? TExchangeEnd::PortLost : TExchangeEnd::Stopped;
            done = true;
        }
        if (!done && os::TickDiff(start, os::GetTickCount()) > kReplyTimeoutMs) {
            readReply();  // L1
            if (!done) {
                AddLog("Вышло время ожидания ответа (30 сек.)"_cp);
                done = true;
                LastEnd = TExchangeEnd::TimedOut;
                if (replyMustBeRead) {
                    // L6: a reference that came without its "OK" is an answer already.
                    outstanding_ = true;
                    watchFrom_ = replyFrom_;
                    WatchForLateAnswer();
                }
            }
        }
    }
    if (succeeded && reply) *reply = JudgedReply();
    replying_ = false;
    return succeeded;
}

void TSerialLink::ListenPort(uint32_t ms, bool stoppable) {
    const uint32_t start = os::GetTickCount();
    lastReadError_ = 0;
    while (os::TickDiff(start, os::GetTickCount()) < ms && !(stoppable && Stopped) && !PortLost) {
        os::Sleep(1);
        if (ProcessMessages) ProcessMessages();
        const std::string chunk = ReadChunk();
        if (!chunk.empty()) DataReceived(chunk);
    }
}

int ParseCmgsReference(const std::string& line) {
    const auto at = line.find("+CMGS:");
    if (at == std::string::npos) return kNoReference;
    std::size_t i = at + 6;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    int value = -1;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        value = (value < 0 ? 0 : value) * 10 + (line[i] - '0');
        if (value > 255) return kNoReference;
    }
    return value < 0 ? kNoReference : value;
}

bool TSerialLink::ExtractLine(int& MR, std::string& reportPDU, std::string* referenceLine) {
    MR = kNoReference;
    reportPDU.clear();
    if (referenceLine) referenceLine->clear();
    std::string line;
    if (!NextLine(recv_, taken_, line)) {
        Compact();
        return false;
    }

    if (ExpectReportPDU) {
        reportPDU = std::move(line);
        ExpectReportPDU = false;
    } else if (line.find("+CMGS:") != std::string::npos) {
        MR = ParseCmgsReference(line);
        if (referenceLine) *referenceLine = std::move(line);
    } else if (line.find("+CDS:") != std::string::npos) {
        ExpectReportPDU = true;
    }
    return true;
}

}  // namespace gateway
