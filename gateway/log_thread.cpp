#include "gateway/log_thread.h"

#include <cmath>
#include <cstdio>

#include "platform/os/clock.h"
#include "platform/os/files.h"
#include "vcl/system/format.h"

namespace gateway {

int InstanceNo = 0;

namespace {

const char* const kCategoryNames[2] = {"GATE", "PRGM"};

constexpr uint64_t kRotateSize = 10485760;  // 10 MiB; exactly this size is not rotated
constexpr uint32_t kRotateCheckMs = 30000;

// The one log thread, touched only by the GUI thread.
std::unique_ptr<TLogThread> gLogThread;
// Tick count of the last size test; it outlives a restart of the thread, and starting at 0 makes
// the first record normally run a size test.
uint32_t gLastRotateCheck = 0;

void WriteAll(std::FILE* f, const std::string& s) {
    std::fwrite(s.data(), 1, s.size(), f);
}

}  // namespace

uint32_t LogTickDiff(uint32_t oldTicks, uint32_t newTicks) {
    return os::TickDiff(oldTicks, newTicks);
}

std::string EscapeControlChars(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 32)
            out += vcl::Format("$%.2x", static_cast<unsigned>(b));
        else
            out += c;
    }
    return out;
}

TLogThread::TLogThread(std::string programDir)
    : TThread(true),
      programDir_(programDir.empty() ? os::ExecutableDir() : std::move(programDir)),
      fileName_(vcl::Format("gate_%.2d.log", InstanceNo)) {}

TLogThread::~TLogThread() {
    RequestStop();
    TerminateAndWait();
    queue_.Clear();  // records still queued are dropped
}

void TLogThread::Add(std::unique_ptr<TLogRecord> record) {
    ++unwritten_;
    queue_.Add(std::move(record));
}

void TLogThread::RequestStop() {
    Terminate();
    std::lock_guard g(wakeLock_);
    wake_.notify_all();
}

std::string TLogThread::LogDir() const {
    std::lock_guard g(dirLock_);
    return logDir_;
}

void TLogThread::Execute() {
    ChooseLogDir();
    while (!Terminated()) {
        std::unique_ptr<TLogRecord> record;
        {
            auto list = queue_.LockList();
            if (!list->empty()) {
                record = std::move(list->front());
                list->pop_front();
            }
        }
        if (record) {
            WriteRecord(*record);
            --unwritten_;
            drained_.notify_all();
        }
        // The pause between turns; a stop request cuts it short.
        std::unique_lock l(wakeLock_);
        wake_.wait_for(l, std::chrono::milliseconds(1), [this] { return Terminated(); });
    }
}

bool TLogThread::WaitUntilDrained(uint32_t ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    std::unique_lock l(wakeLock_);
    while (unwritten_ != 0) {
        if (std::chrono::steady_clock::now() >= deadline || Finished()) return false;
        drained_.wait_for(l, std::chrono::milliseconds(5));
    }
    return true;
}

void TLogThread::ChooseLogDir() {
    std::string dir = os::IncludeTrailingSlash(programDir_);
    // Each instance probes with its own file, so that copies never delete each other's probe.
    const std::string probe = dir + vcl::Format("proba_%.2d.log", InstanceNo);
    if (std::FILE* f = std::fopen(probe.c_str(), "wb")) {
        const bool ok = std::fputs("proba\r\n", f) >= 0;
        const bool closed = std::fclose(f) == 0;
        if (!ok || !closed || !os::FileExists(probe)) dir.clear();
        os::DeleteFile(probe);
    } else {
        dir.clear();
    }
    if (dir.empty()) {
        const std::string temp = os::TempDir();
        if (!temp.empty() && os::DirectoryExists(temp)) dir = os::IncludeTrailingSlash(temp);
    }
    std::lock_guard g(dirLock_);
    logDir_ = dir;
}

void TLogThread::RotateLogFile(const std::string& fullName) {
    const auto size = os::FileSize(fullName);
    if (!size || *size <= kRotateSize) return;
    const std::string bak = fullName + ".bak";
    if (os::FileExists(bak)) os::DeleteFile(bak);
    os::RenameFile(fullName, bak);
}

std::string TLogThread::FormatStamp(os::TDateTime time) {
    const os::DateParts p = os::SplitDateTime(time);
    const auto day = static_cast<int64_t>(std::trunc(time));
    if (day == lastDate_)
        return vcl::Format("%.2d:%.2d:%.2d.%.3d", p.hour, p.minute, p.second, p.msec);
    lastDate_ = day;
    return vcl::Format("\r\n%.2d.%.2d.%d %.2d:%.2d:%.2d.%.3d", p.day, p.month, p.year, p.hour,
                       p.minute, p.second, p.msec);
}

void TLogThread::WriteRecord(const TLogRecord& record) {
    const std::string dir = LogDir();
    if (dir.empty()) return;
    const std::string fullName = dir + fileName_;

    const uint32_t now = os::GetTickCount();
    if (LogTickDiff(gLastRotateCheck, now) > kRotateCheckMs) {
        RotateLogFile(fullName);
        gLastRotateCheck = now;
    }

    std::FILE* f = std::fopen(fullName.c_str(), "ab");
    if (!f) return;  // the record is lost; the next one tries again
    const char* category = kCategoryNames[record.Category < 2 ? record.Category : 1];
    auto prefixed = [&](const std::string& piece) {
        return FormatStamp(record.Time) + "[" + category + "]: " + EscapeControlChars(piece);
    };
    std::string out;
    std::string pending;
    for (const char c : record.Text) {
        if (c == '\n') continue;
        if (c != '\r') {
            pending += c;
            continue;
        }
        out += atLineStart_ ? prefixed(pending) : EscapeControlChars(pending);
        out += "\r\n";
        atLineStart_ = true;
        pending.clear();
    }
    // Only a carriage return completes a line: a record of line feeds alone leaves an open line
    // open, so the next record still continues it.
    if (!pending.empty()) {
        out += atLineStart_ ? prefixed(pending) : EscapeControlChars(pending);
        atLineStart_ = false;
    }
    WriteAll(f, out);
    std::fclose(f);
}

void StartLogThread(const std::string& programDir) {
    if (gLogThread) return;
    gLogThread = std::make_unique<TLogThread>(programDir);
    gLogThread->SetPriority(vcl::TThreadPriority::tpLower);
    gLogThread->Start();
}

void StopLogThread() {
    if (!gLogThread) return;
    gLogThread->RequestStop();
    gLogThread.reset();
}

void WriteToLog(const std::string& text, uint8_t category) {
    if (text.empty() || !gLogThread) return;
    auto record = std::make_unique<TLogRecord>();
    record->Time = os::Now();
    record->Category = category;
    record->Text = text;
    gLogThread->Add(std::move(record));
}

void AddLog(const std::string& text) {
    WriteToLog(text + "\r", PRGM);
}

bool FlushLog(uint32_t ms) {
    return gLogThread && gLogThread->WaitUntilDrained(ms);
}

}  // namespace gateway
