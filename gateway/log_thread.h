// The log writer: one text log per running instance ("gate_%.2d.log"), written by a background
// thread so that the GUI thread never waits for the disk. Callers only queue records.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/os/date_time.h"
#include "vcl/threads.h"

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
    TLogThread();
    ~TLogThread() override;

    void Add(TLogRecord record);

    // The folder chosen for the log ("" when none), once the thread has started.
    std::string LogDir() const;
    const std::string& FileName() const { return fileName_; }

    // What one record writes, without the thread (the body's single step; for tests).
    void WriteRecord(const TLogRecord& record);
    void ChooseLogDir();

    // Folders to try, for tests: the program's folder is replaced by `programDir`.
    void SetProgramDirForTest(std::string programDir) { programDir_ = std::move(programDir); }

protected:
    void Execute() override;

private:
    void RotateLogFile(const std::string& fullName);
    std::string FormatStamp(os::TDateTime time);

    vcl::TThreadList<std::unique_ptr<TLogRecord>> queue_;
    std::mutex wakeLock_;
    std::condition_variable wake_;
    mutable std::mutex dirLock_;
    std::string logDir_;
    std::string programDir_;
    std::string fileName_;
    bool atLineStart_ = true;
    int64_t lastDate_ = 0;
};

// Starts the one log thread when none runs.
void StartLogThread();
// Stops and frees it; records still queued are dropped unwritten.
void StopLogThread();
// Queues `text` (cp1251) when it is not empty and a log thread runs. Never fails, never waits
// for the disk.
void WriteToLog(const std::string& text, uint8_t category);

// Milliseconds from `oldTicks` to `newTicks` across a wrap of the 32-bit counter.
uint32_t LogTickDiff(uint32_t oldTicks, uint32_t newTicks);

// "$" and two upper-case hex digits for every character below a space.
std::string EscapeControlChars(const std::string& text);

}  // namespace gateway
