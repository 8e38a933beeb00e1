// The log writer: one text log per running instance ("gate_%.2d.log"), written by a background
// thread so that the GUI thread never waits for the disk. Callers only queue records; the thread
// writes them in order, one per turn, opening and closing the file each time so that the file on
// disk is always complete.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/os/date_time.h"
#include "vcl/system/threads.h"

namespace gateway {

// The instance slot 0..19, set by start-up before the log thread exists; it names the log file.
extern int InstanceNo;

// Record categories: raw text received from the modem, and the program's own lines.
enum LogCategory : uint8_t { GATE = 0, PRGM = 1 };

struct TLogRecord {
    os::TDateTime Time = 0;  // local time at which the record was queued
    uint8_t Category = PRGM;
    std::string Text;  // cp1251
};

class TLogThread : public vcl::TThread {
public:
    // `programDir` is the folder tried first for the log (the executable's folder by default).
    explicit TLogThread(std::string programDir = {});
    ~TLogThread() override;

    void Add(std::unique_ptr<TLogRecord> record);
    void RequestStop();  // terminate flag plus an immediate wake-up

    // One step of the thread's body, callable without the thread (tests, benchmarks).
    void ChooseLogDir();
    void WriteRecord(const TLogRecord& record);

    // Waits at most `ms` milliseconds of real time until the queue is empty.
    bool WaitUntilDrained(uint32_t ms);

    std::string LogDir() const;  // "" until chosen, or when no folder could be used
    const std::string& FileName() const { return fileName_; }

protected:
    void Execute() override;

private:
    void RotateLogFile(const std::string& fullName);
    std::string FormatStamp(os::TDateTime time);

    vcl::TThreadList<std::unique_ptr<TLogRecord>> queue_;
    std::mutex wakeLock_;
    std::condition_variable wake_;
    std::condition_variable drained_;
    std::atomic<std::size_t> unwritten_{0};  // queued or being written
    mutable std::mutex dirLock_;
    std::string logDir_;
    std::string programDir_;
    std::string fileName_;
    bool atLineStart_ = true;
    int64_t lastDate_ = 0;
};

// Starts the one log thread when none runs. `programDir` replaces the executable's folder as the
// first choice for the log (tests).
void StartLogThread(const std::string& programDir = {});
// Stops and frees it; records still queued are dropped unwritten.
void StopLogThread();
// Queues `text` (cp1251) when it is not empty and a log thread runs. Never fails, never waits
// for the disk.
void WriteToLog(const std::string& text, uint8_t category);
// One complete line of the program's own log (category PRGM).
void AddLog(const std::string& text);
// Waits, at most `ms` milliseconds, until every queued record is written; false on time-out or
// when no thread runs. Lets a short run end without dropping its last lines.
bool FlushLog(uint32_t ms);

// Milliseconds from `oldTicks` to `newTicks` across a wrap of the 32-bit counter.
uint32_t LogTickDiff(uint32_t oldTicks, uint32_t newTicks);

// "$" and two upper-case hex digits for every character below a space.
std::string EscapeControlChars(const std::string& text);

}  // namespace gateway
