// A mailing killed at any point loses nothing it had learnt: a child process mails a list
// against the virtual modem and kills itself with SIGKILL at a chosen event; then the database
// must open whole, every part whose reference the program had read (and gone on past) must have
// its journal row, no number may be processed without a row for each of its parts, and the next
// run must finish the list.
//
// The kill points are counted in events, not in time, so a loaded machine kills as often as an
// idle one: every write to the modem, every read that brought bytes, and every commit (just
// before it happens). The child writes what the modem accepted, what the program read and each
// event to an event file with plain write(2), which a kill cannot undo.
#include <fcntl.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "db/data_sets.h"
#include "db/statements.h"
#include "gateway/pdu_builder.h"
#include "platform/os/cp_literal.h"
#include "platform/os/files.h"
#include "run_rig.h"

namespace {

const std::string kTemplate = "[№1]"_cp;
// Short 7-bit, long 7-bit, long UCS2: five parts in all.
const std::vector<std::vector<std::string>> kRows = {
    {"79161000001", "Hello"},
    {"79161000002", std::string(200, 'x')},
    {"79161000003", std::string(100, '\xE0')},
};

std::string ImeiOf(int run) {
    return "35693803" + std::to_string(1000000 + run);
}

// The child's event file and kill point: each event is written down ("E"), and the one with
// the chosen number is the child's last.
class EventFile {
public:
    EventFile(int fd, long killAt) : fd_(fd), killAt_(killAt) {}

    void Write(const std::string& text) {
        const std::string line = text + "\n";
        [[maybe_unused]] auto n = write(fd_, line.data(), line.size());
    }
    void Count() {
        Write("E");
        if (++count_ == killAt_) kill(getpid(), SIGKILL);
    }

private:
    int fd_;
    long killAt_;
    long count_ = 0;
};

EventFile* gEvents = nullptr;  // the child's, for the database's commit hook

int CountCommit(void*) {
    if (gEvents) gEvents->Count();
    return 0;  // the commit goes ahead
}

// Every connection the child opens counts its commits.
int HookCommits(sqlite3* db, char**, const sqlite3_api_routines*) {
    sqlite3_commit_hook(db, CountCommit, nullptr);
    return SQLITE_OK;
}

// The serial port seen by the program, writing the events a kill must not undo.
class TeePort : public os::SerialIo {
public:
    TeePort(vmodem::FakePort& port, vmodem::Engine& modem, EventFile& events)
        : port_(port), modem_(modem), events_(events) {}

    bool Open(const std::string& n, os::PortStep& f, os::SysError& e) override {
        return port_.Open(n, f, e);
    }
    void Close() override { port_.Close(); }
    bool IsOpen() const override { return port_.IsOpen(); }
    bool Write(const char* d, std::size_t n, std::size_t& w, os::SysError& e) override {
        const bool ok = port_.Write(d, n, w, e);
        for (; accepted_ < modem_.accepted().size(); ++accepted_) {
            const auto& a = modem_.accepted()[accepted_];
            events_.Write("A " + std::to_string(a.mr) + " " + a.submit.number);
        }
        events_.Count();
        return ok;
    }
    bool Read(char* b, std::size_t cap, std::size_t& got, os::SysError& e) override {
        if (answered_) {
            events_.Write("L");  // the program reads on with the reference in hand
            answered_ = false;
        }
        const bool ok = port_.Read(b, cap, got, e);
        for (std::size_t i = 0; i < got; ++i) {
            if (b[i] != '\r' && b[i] != '\n') {
                line_ += b[i];
                continue;
            }
            if (line_.rfind("+CMGS: ", 0) == 0) {
                events_.Write("D " + line_.substr(7));
                referenced_ = true;
            } else if (line_ == "OK" && referenced_) {
                answered_ = true;
                referenced_ = false;
            }
            line_.clear();
        }
        if (got > 0) events_.Count();
        return ok;
    }

private:
    vmodem::FakePort& port_;
    vmodem::Engine& modem_;
    EventFile& events_;
    std::size_t accepted_ = 0;
    std::string line_;
    bool referenced_ = false, answered_ = false;
};

// One copy of the program mailing the list; it answers every question with Yes (continue a
// half-done list, restart a finished one). 0 when the run came to its end. With `killAt` > 0
// the copy kills itself at that event.
int Mail(const std::string& folder, const std::string& events, int run, int listID,
         long killAt = 0) {
    EventFile file(open(events.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600), killAt);
    gEvents = &file;
    try {
        gateway_test::SingleThreadClock clock(vcl::EncodeDateTime(2025, 1, 17, 10, 0, 0, 0));
        os::ScopedClock use(clock);
        vmodem::Options options;
        options.imei = ImeiOf(run);
        options.reportDelayMs = 1500;
        vmodem::Engine modem(options);
        vmodem::FakePort fake(modem);
        TeePort port(fake, modem, file);
        gateway::TSerialLink link(port);
        link.WriteLog = nullptr;
        db::TOwnDataSets data(folder);
        gateway::TSettings settings;
        settings.ReportWaitForMins = 1;
        gateway_test::RecordingView view;
        gateway::TMailingRun mailing(link, data.Refs(), settings, view);
        mailing.Reset("ttyUSB0", listID, "L", kTemplate);
        mailing.btnStartClick();
        gEvents = nullptr;
        return view.beeps.size() == 1 ? 0 : 1;
    } catch (const std::exception&) {
        gEvents = nullptr;
        return 2;
    }
}

struct Events {
    std::set<int> mustBeJournaled;                   // references the program read and went past
    std::set<std::pair<int, std::string>> accepted;  // reference, number
    long count = 0;                                  // events counted
};

Events ReadEvents(const std::string& file) {
    Events e;
    std::istringstream in(os::ReadWholeFile(file).value_or(""));
    std::string kind;
    std::vector<int> read;  // references of the exchange in hand
    bool answered = false;
    while (in >> kind) {
        if (kind == "A") {
            int mr;
            std::string number;
            in >> mr >> number;
            e.accepted.insert({mr, number});
        } else if (kind == "E") {
            ++e.count;
        } else if (kind == "D") {
            int mr;
            in >> mr;
            read.push_back(mr);
            answered = false;
        } else if (kind == "L") {
            answered = true;
        }
        if (answered) {
            e.mustBeJournaled.insert(read.begin(), read.end());
            read.clear();
            answered = false;
        }
    }
    return e;
}

// A kill cannot undo what the kernel holds, so the disk's flushes (which only a power cut
// needs) are left out: the database lives in memory-backed /dev/shm where there is one.
std::string FastTempFolder() {
    return os::DirectoryExists("/dev/shm") && access("/dev/shm", W_OK) == 0 ? "/dev/shm/"
                                                                            : os::TempDir();
}

class CrashSafety : public ::testing::Test {
protected:
    void SetUp() override {
        db::CreateMissingTables(dir_.path());
        gateway_test::RunRig::SaveRows(Db(), "L", kTemplate, kRows);
        for (const auto& row : kRows) {
            const std::string text = gateway::FillPlaceholders(kTemplate, {row[1]});
            parts_.push_back(gateway::SplitMessage(text, gateway::IsGsm7Text(text)).size());
        }
        sql::CloseSharedDatabases();
    }
    void TearDown() override { sql::CloseSharedDatabases(); }

    sql::Database& Db() { return *sql::SharedDatabase(dir_.path()); }
    std::string EventsOf(int run) const { return dir_ / ("events" + std::to_string(run)); }

    // Mails in a child process that kills itself at event `killAt` (never when 0). True when
    // it was killed; `exitCode` is its code when it was not.
    bool Child(int run, long killAt, int* exitCode = nullptr) {
        sql::CloseSharedDatabases();  // no connection may cross the fork
        const pid_t pid = fork();
        if (pid == 0) {
            sqlite3_auto_extension(reinterpret_cast<void (*)()>(HookCommits));
            _exit(Mail(dir_.path(), EventsOf(run), run, 1, killAt));
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (exitCode) *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return WIFSIGNALED(status);
    }

    // What must hold after any run, killed or not.
    void Check(int run) {
        SCOPED_TRACE("run " + std::to_string(run));
        auto& db = Db();
        ASSERT_EQ(db.QueryRaw("PRAGMA integrity_check").At(0, 0).Text(), "ok");
        const Events events = ReadEvents(EventsOf(run));
        const auto rows =
            db.QueryRaw("select MR, Number from NumberLog where SendResultOK=1 and IMEI=?1",
                        {sql::Value(ImeiOf(run))});
        std::set<int> journaled;
        for (std::size_t r = 0; r < rows.RowCount(); ++r) {
            const int mr = static_cast<int>(rows.At(r, 0).Integer());
            journaled.insert(mr);
            EXPECT_TRUE(events.accepted.contains({mr, rows.At(r, 1).Text()})) << mr;
        }
        for (int mr : events.mustBeJournaled)
            EXPECT_TRUE(journaled.contains(mr)) << "lost the row of reference " << mr;
        // A processed number has a row for every part from one run.
        const auto processed = db.QueryRaw(
            "select n.ID, (select max(c) from (select count(*) as c from NumberLog l where "
            "l.NumID=n.ID and l.SendResultOK=1 group by l.IMEI)) from NumberList n where "
            "n.Processed=1");
        for (std::size_t r = 0; r < processed.RowCount(); ++r) {
            const auto id = static_cast<std::size_t>(processed.At(r, 0).Integer());
            EXPECT_EQ(processed.At(r, 1).Integer(), static_cast<int64_t>(parts_[id - 1]))
                << "number " << id;
        }
    }

    testing_support::ScopedEnv tmp_{"TMPDIR", FastTempFolder()};
    testing_support::TempDir dir_;
    std::vector<std::size_t> parts_;
};

TEST_F(CrashSafety, AKillAtAnyEventLosesNoRowAndTheNextRunFinishesTheList) {
    // How many events a whole run counts; the later runs restart the finished list, as the
    // killed ones will.
    long events = 0;
    for (int run = 0; run < 3; ++run) {
        int code = -1;
        ASSERT_FALSE(Child(run, 0, &code));
        ASSERT_EQ(code, 0);
        Check(run);
        const long count = ReadEvents(EventsOf(run)).count;
        if (run > 0) events = events == 0 ? count : std::min(events, count);
    }
    ASSERT_GT(events, 10);

    // Every point, also under the sanitizers: a whole run counts some fifty events.
    int kills = 0, run = 3;
    for (long point = 1; point <= events; ++point) {
        if (HasFailure()) break;
        SCOPED_TRACE("kill at event " + std::to_string(point));
        kills += Child(run, point);
        Check(run);
        // The next copy starts (no other copy runs, so the killed run's flag goes) and mails.
        vcl::TQuery startUp;
        startUp.SetDatabaseName(dir_.path());
        db::SetStatement(startUp, db::kClearActiveFlags);
        startUp.ExecSQL();
        ASSERT_EQ(Mail(dir_.path(), EventsOf(run + 1), run + 1, 1), 0) << "run " << run + 1;
        Check(run + 1);
        EXPECT_EQ(
            Db().QueryRaw("select count(*) from NumberList where Processed=0").At(0, 0).Integer(),
            0);
        run += 2;
    }
    EXPECT_EQ(kills, events);
}

}  // namespace
