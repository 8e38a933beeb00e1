#include "gateway/serial_link.h"

#include "gateway/log_thread.h"
#include "platform/os/clock.h"
#include "platform/os/cp1251.h"
#include "platform/os/cp_literal.h"
#include "vcl/system/format.h"

namespace gateway {

namespace {

constexpr int kNoReference = 256;
constexpr uint32_t kFirstReadDelayMs = 200;
constexpr uint32_t kTurnWaitMs = 250;

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

}  // namespace

TSerialLink::TSerialLink(os::SerialIo& port) : WriteLog(gateway::WriteToLog), port_(port) {}

void TSerialLink::AddLog(const std::string& text) {
    if (WriteLog) WriteLog(text + "\r", PRGM);
}

bool TSerialLink::OpenPort() {
    DropUnterminatedTail();
    os::PortStep failed = os::PortStep::Open;
    os::SysError error;
    if (port_.Open(ComPort, failed, error)) return true;
    const OpenStepTexts texts = TextsOf(failed);
    AddLog(vcl::Format(texts.log, error.code, error.text));
    if (ShowMessage) ShowMessage(texts.box, "Ошибка"_cp, kMbIconHand);
    return false;
}

void TSerialLink::ClosePort() {
    port_.Close();
}

// Complete lines stay for the drain; a partial one would fuse with the new run's first line.
// A report whose PDU line is not among them never gets it, so the next line is no PDU.
void TSerialLink::DropUnterminatedTail() {
    const auto cr = RecvBuffer.rfind('\r');
    if (cr == std::string::npos) {
        RecvBuffer.clear();
    } else {
        std::size_t keep = cr + 1;
        if (keep < RecvBuffer.size() && RecvBuffer[keep] == '\n') ++keep;
        RecvBuffer.resize(keep);
    }
    if (RecvBuffer.find_first_not_of("\r\n") == std::string::npos) ExpectReportPDU = false;
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

std::string TSerialLink::ReadChunk() {
    char buffer[kChunkSize];
    std::size_t got = 0;
    os::SysError error;
    const uint32_t start = os::GetTickCount();
    if (!port_.Read(buffer, sizeof buffer, got, error)) {
        AddLog(vcl::Format("ReadFile error: %u (%s)", error.code, error.text));
        const uint32_t spent = os::TickDiff(start, os::GetTickCount());
        if (spent < static_cast<uint32_t>(os::kSerialTimeoutMs))
            WaitMs(static_cast<uint32_t>(os::kSerialTimeoutMs) - spent);
        return {};
    }
    // A NUL from the modem is noise; the bytes after it are still the reply.
    std::string chunk;
    chunk.reserve(got);
    for (std::size_t i = 0; i < got; ++i)
        if (buffer[i] != '\0') chunk += buffer[i];
    return chunk;
}

void TSerialLink::DataReceived(const std::string& chunk) {
    if (WriteLog) WriteLog(chunk, GATE);
    const std::size_t at = RecvBuffer.size();
    RecvBuffer += chunk;
    os::CharUpperBuff(RecvBuffer.data() + at, chunk.size());
}

bool TSerialLink::SendCommand(const std::string& command, const std::string& expected) {
    return Exchange(command, expected, nullptr);
}

bool TSerialLink::SendCommandReply(const std::string& command, const std::string& expected,
                                   std::string& reply) {
    return Exchange(command, expected, &reply);
}

bool TSerialLink::Write(const std::string& bytes) {
    std::size_t written = 0;
    os::SysError error;
    if (!port_.Write(bytes.data(), bytes.size(), written, error)) {
        AddLog(vcl::Format("WriteFile error: %u (%s)", error.code, error.text));
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
    if (command.empty() || !Write(command)) return false;

    // Once a PDU is out the modem may accept it; giving up on its reply would record a sent
    // message as failed and send it again later.
    const bool replyMustBeRead = command.back() == '\x1A';
    const uint32_t start = os::GetTickCount();
    std::string collected;
    os::Sleep(kFirstReadDelayMs);

    bool done = false, succeeded = false, stopLogged = false;
    while (!done) {
        const std::string chunk = ReadChunk();
        if (!chunk.empty()) {
            DataReceived(chunk);
            collected += chunk;
            if (collected.find("ERROR") != std::string::npos) {
                done = true;
                LastEnd = TExchangeEnd::ErrorReply;
            } else if (collected.find(expected) != std::string::npos) {
                done = succeeded = true;
                LastEnd = TExchangeEnd::Replied;
            }
        }
        Wait(kTurnWaitMs, !replyMustBeRead);
        if (Stopped && !stopLogged) {
            AddLog("Пользователь прервал рассылку"_cp);
            stopLogged = true;
            if (!replyMustBeRead) {  // the wait for a PDU's reply goes on
                if (!done) LastEnd = TExchangeEnd::Stopped;
                done = true;
            }
        }
        if (!done && os::TickDiff(start, os::GetTickCount()) > kReplyTimeoutMs) {
            AddLog("Вышло время ожидания ответа (30 сек.)"_cp);
            done = true;
            LastEnd = TExchangeEnd::TimedOut;
        }
    }
    if (succeeded && reply) *reply = collected;
    return succeeded;
}

void TSerialLink::ListenPort(uint32_t ms) {
    const uint32_t start = os::GetTickCount();
    while (os::TickDiff(start, os::GetTickCount()) < ms && !Stopped) {
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

bool TSerialLink::ExtractLine(int& MR, std::string& reportPDU) {
    MR = kNoReference;
    reportPDU.clear();
    const auto cr = RecvBuffer.find('\r');
    if (cr == std::string::npos) return false;
    std::string line = RecvBuffer.substr(0, cr);
    std::size_t end = cr + 1;
    if (end < RecvBuffer.size() && RecvBuffer[end] == '\n') ++end;
    RecvBuffer.erase(0, end);
    // An LF that arrived after its CR was drained belongs to the line before.
    std::size_t lead = 0;
    while (lead < line.size() && line[lead] == '\n')
        ++lead;
    line.erase(0, lead);

    if (ExpectReportPDU) {
        reportPDU = line;
        ExpectReportPDU = false;
    } else if (line.find("+CMGS:") != std::string::npos) {
        MR = ParseCmgsReference(line);
    } else if (line.find("+CDS:") != std::string::npos) {
        ExpectReportPDU = true;
    }
    return true;
}

}  // namespace gateway
