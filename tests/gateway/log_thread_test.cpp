#include "gateway/log_thread.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/os/clock.h"
#include "platform/os/files.h"
#include "tests/support/temp_dir.h"
#include "vcl/system/date_utils.h"

namespace {

using gateway::GATE;
using gateway::PRGM;
using gateway::TLogRecord;
using gateway::TLogThread;
using testing_support::TempDir;

TLogRecord Rec(os::TDateTime t, uint8_t cat, std::string text) {
    TLogRecord r;
    r.Time = t;
    r.Category = cat;
    r.Text = std::move(text);
    return r;
}

class LogWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        gateway::InstanceNo = 3;
        writer = std::make_unique<TLogThread>(dir.path());
        writer->ChooseLogDir();
    }
    std::string File() const { return dir / "gate_03.log"; }
    std::string Content() const { return os::ReadWholeFile(File()).value_or("<missing>"); }

    TempDir dir;
    os::FakeClock clock{vcl::EncodeDate(2025, 1, 17), 1000};
    os::ScopedClock useClock{clock};
    std::unique_ptr<TLogThread> writer;
    const os::TDateTime day1 = vcl::EncodeDateTime(2025, 1, 17, 23, 59, 58, 7);
    const os::TDateTime day1b = vcl::EncodeDateTime(2025, 1, 17, 23, 59, 59, 999);
    const os::TDateTime day2 = vcl::EncodeDateTime(2025, 1, 18, 0, 0, 1, 250);
};

TEST_F(LogWriterTest, FirstLineAndEveryNewDayCarryTheDateAfterAnEmptyLine) {
    EXPECT_EQ(writer->LogDir(), dir.path());
    EXPECT_EQ(writer->FileName(), "gate_03.log");
    writer->WriteRecord(Rec(day1, PRGM, "start\r"));
    writer->WriteRecord(Rec(day1b, GATE, "OK\r\n"));
    writer->WriteRecord(Rec(day2, PRGM, "next day\r"));
    EXPECT_EQ(Content(),
              "\r\n17.01.2025 23:59:58.007[PRGM]: start\r\n"
              "23:59:59.999[GATE]: OK\r\n"
              "\r\n18.01.2025 00:00:01.250[PRGM]: next day\r\n");
}

TEST_F(LogWriterTest, OpenLinesAreContinuedByTheNextRecord) {
    writer->WriteRecord(Rec(day1, GATE, "AB"));
    writer->WriteRecord(Rec(day1b, GATE, "C\r\n"));
    // An open line completed by a bare CR LF record writes nothing else.
    writer->WriteRecord(Rec(day1b, GATE, "\r\nAT"));
    writer->WriteRecord(Rec(day1b, GATE, "\r\n"));
    // Several lines in one record; line feeds are dropped wherever they stand.
    writer->WriteRecord(Rec(day1b, GATE, "\nOK\r\n\r\nX\n"));
    EXPECT_EQ(Content(),
              "\r\n17.01.2025 23:59:58.007[GATE]: ABC\r\n"
              "23:59:59.999[GATE]: \r\n"
              "23:59:59.999[GATE]: AT\r\n"
              "23:59:59.999[GATE]: OK\r\n"
              "23:59:59.999[GATE]: \r\n"
              "23:59:59.999[GATE]: X");
}

TEST_F(LogWriterTest, LineFeedsAloneNeverCompleteALine) {
    writer->WriteRecord(Rec(day1, GATE, "+CMGS: 1"));
    writer->WriteRecord(Rec(day1, GATE, "\n"));
    writer->WriteRecord(Rec(day1, GATE, "7\r"));
    EXPECT_EQ(Content(), "\r\n17.01.2025 23:59:58.007[GATE]: +CMGS: 17\r\n");
}

TEST_F(LogWriterTest, ControlCharactersAreEscaped) {
    writer->WriteRecord(Rec(day1, PRGM,
                            "a\x01"
                            "b\tc\x1A\x1B\r"));
    EXPECT_EQ(Content(), "\r\n17.01.2025 23:59:58.007[PRGM]: a$01b$09c$1A$1B\r\n");
    EXPECT_EQ(gateway::EscapeControlChars("\x7F\xC0"), "\x7F\xC0");  // only below a space
}

TEST_F(LogWriterTest, RotatesAboveTenMebibytesAtMostEveryThirtySeconds) {
    const std::string bak = File() + ".bak";
    testing_support::WriteFile(bak, "older backup");
    testing_support::WriteFile(File(), std::string(10485760, 'x'));
    clock.SetTicks(40000);  // more than 30 s since the last check
    writer->WriteRecord(Rec(day1, PRGM, "a\r"));
    EXPECT_EQ(os::FileSize(File()), 10485760u + 36);  // exactly 10 MiB stays
    EXPECT_EQ(os::ReadWholeFile(bak), "older backup");

    clock.Advance(30000);  // not more than 30 s: no size test yet
    writer->WriteRecord(Rec(day1, PRGM, "b\r"));
    EXPECT_FALSE(os::FileSize(File()) == 0u);
    EXPECT_EQ(os::ReadWholeFile(bak), "older backup");

    clock.Advance(1);
    writer->WriteRecord(Rec(day1, PRGM, "c\r"));
    EXPECT_EQ(os::FileSize(bak), 10485760u + 36 + 23);  // the full log replaced the old backup
    EXPECT_EQ(Content(), "23:59:58.007[PRGM]: c\r\n");
}

TEST(LogWriterFolder, FallsBackToTheTemporaryFolderAndLeavesNoProbe) {
    TempDir programDir, tempDir;
    testing_support::ScopedEnv env("TMPDIR", tempDir.path());
    gateway::InstanceNo = 0;
    {
        TLogThread w(programDir.path());
        w.ChooseLogDir();
        EXPECT_EQ(w.LogDir(), programDir.path());
        EXPECT_FALSE(os::FileExists(programDir / "proba_00.log"));
    }
    {
        // A program folder that cannot be written (here: missing) sends the log to TMPDIR.
        TLogThread w(programDir / "gone");
        w.ChooseLogDir();
        EXPECT_EQ(w.LogDir(), tempDir.path());
        w.WriteRecord(Rec(45000, PRGM, "x\r"));
        EXPECT_TRUE(os::FileExists(tempDir / "gate_00.log"));
    }
}

TEST(LogThread, WritesQueuedRecordsInOrderAndStopsQuickly) {
    TempDir dir;
    gateway::InstanceNo = 5;
    gateway::WriteToLog("dropped: no thread runs\r", PRGM);
    gateway::StartLogThread(dir.path());
    gateway::StartLogThread(dir.path());  // a second start does nothing
    gateway::WriteToLog("", GATE);        // empty texts are not queued
    for (int i = 0; i < 20; ++i)
        gateway::AddLog("line " + std::to_string(i));
    ASSERT_TRUE(gateway::FlushLog(10000));
    gateway::StopLogThread();
    const std::string log = os::ReadWholeFile(dir / "gate_05.log").value_or("");
    std::size_t pos = 0, lines = 0;
    for (int i = 0; i < 20; ++i) {
        const auto at = log.find("[PRGM]: line " + std::to_string(i) + "\r\n", pos);
        ASSERT_NE(at, std::string::npos) << i;
        pos = at;
        ++lines;
    }
    EXPECT_EQ(log.find("dropped"), std::string::npos);
    EXPECT_EQ(lines, 20u);
    EXPECT_FALSE(gateway::FlushLog(10));  // no thread any more
}

TEST(LogThread, StopDropsWhatIsStillQueued) {
    TempDir dir;
    gateway::InstanceNo = 6;
    gateway::StartLogThread(dir.path());
    for (int i = 0; i < 5000; ++i)
        gateway::AddLog("x");
    gateway::StopLogThread();  // must return at once, not after writing 5000 records
    const auto size = os::FileSize(dir / "gate_06.log").value_or(0);
    EXPECT_LT(size, 5000u * 20);
}

}  // namespace
