// The whole road over a real pseudo-terminal: the modem link opens the terminal the vmodem
// program made, prepares the modem, sends a concatenated UCS2 message, reads its references and
// receives and decodes the status reports. Runs in real time (a few seconds).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <map>

#include "gateway/log_thread.h"
#include "gateway/pdu_builder.h"
#include "gateway/serial_link.h"
#include "gateway/signal_quality.h"
#include "gateway/status_report.h"
#include "platform/os/clock.h"
#include "platform/os/cp1251.h"
#include "platform/os/cp_literal.h"
#include "vcl/system/date_utils.h"

extern char** environ;

namespace {

// The vmodem program with its standard output on a pipe.
class VmodemProcess {
public:
    explicit VmodemProcess(std::vector<std::string> args) {
        int out[2];
        if (pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        args.insert(args.begin(), VMODEM_PROGRAM);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, VMODEM_PROGRAM, &actions, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        out_ = out[0];
    }
    ~VmodemProcess() {
        Stop();
        if (out_ >= 0) close(out_);
    }

    // The next line it printed, waiting at most `ms` milliseconds; "" when none came.
    std::string Line(int ms) {
        for (int waited = 0;; waited += 10) {
            const auto nl = buffer_.find('\n');
            if (nl != std::string::npos) {
                std::string line = buffer_.substr(0, nl);
                buffer_.erase(0, nl + 1);
                return line;
            }
            if (waited >= ms) return {};
            pollfd p{out_, POLLIN, 0};
            if (poll(&p, 1, 10) > 0) {
                char buf[512];
                const ssize_t n = read(out_, buf, sizeof buf);
                if (n <= 0) return {};
                buffer_.append(buf, static_cast<std::size_t>(n));
            }
        }
    }

    // Ends the program; its exit status.
    int Stop() {
        if (pid_ <= 0) return -1;
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    bool started() const { return pid_ > 0; }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string buffer_;
};

TEST(EndToEnd, AMailingOverAPseudoTerminal) {
    VmodemProcess vmodem({"--csq", "25,1", "--mr-start", "17", "--refuse-cnmi2", "--status", "48,0",
                          "--report-delay", "300", "--split-crlf", "--nul"});
    ASSERT_TRUE(vmodem.started());
    const std::string path = vmodem.Line(5000);
    ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path;

    os::SerialPort port;
    gateway::TSerialLink link(port);
    std::vector<std::string> log;
    std::string traffic;
    link.WriteLog = [&](const std::string& text, uint8_t category) {
        if (category == gateway::PRGM)
            log.push_back(text);
        else
            traffic += text;
    };
    link.ShowMessage = [&](const std::string& text, const std::string&, unsigned) {
        log.push_back("box: " + text);
    };
    link.ComPort = path;
    ASSERT_TRUE(link.OpenPort()) << (log.empty() ? "" : log[0]);

    std::string reply;
    ASSERT_TRUE(link.SendCommandReply("AT+CSQ\r", "OK", reply));
    uint8_t rssi = 0, ber = 0;
    gateway::ParseCSQ(reply, rssi, ber);
    EXPECT_EQ(rssi, 25);
    EXPECT_EQ(ber, 1);
    ASSERT_TRUE(link.SendCommand("AT+CMGF=0\r", "OK"));
    ASSERT_TRUE(link.SendCommand("ATE1\r", "OK"));
    ASSERT_TRUE(link.SendCommandReply("AT+CGSN\r", "OK", reply));
    EXPECT_EQ(reply.rfind("AT+CGSN\r", 0), 0u);
    EXPECT_NE(reply.find("356938035643809"), std::string::npos);
    EXPECT_FALSE(link.SendCommand("AT+CNMI=2,0,0,1,0\r", "OK"));
    ASSERT_TRUE(link.SendCommand("AT+CNMI=1,0,0,1,0\r", "OK"));

    std::string number = "+79161234567";
    gateway::NormalizeNumber(number);
    ASSERT_TRUE(gateway::IsSendableNumber(number));
    std::string text;
    for (int i = 0; i < 5; ++i)
        text += "Привет, это проверка рассылки! "_cp;
    ASSERT_FALSE(gateway::IsGsm7Text(text));
    const auto parts = gateway::SplitMessage(text, false);
    ASSERT_EQ(parts.size(), 3u);
    std::vector<int> refs;
    std::vector<gateway::TStatusReport> reports;
    auto drain = [&] {
        int mr;
        std::string pdu;
        while (link.ExtractLine(mr, pdu)) {
            if (mr != 256) refs.push_back(mr);
            if (!pdu.empty()) reports.push_back(gateway::DecodeStatusReport(pdu));
        }
    };
    for (std::size_t j = 0; j < parts.size(); ++j) {
        const std::string pdu =
            gateway::MakeConcatPartPDU(number, parts[j], static_cast<int>(j), false, 0xC5,
                                       static_cast<int>(parts.size()), true);
        ASSERT_TRUE(
            link.SendCommand("AT+CMGS=" + std::to_string(gateway::CmgsLength(pdu)) + "\r", ">"));
        ASSERT_TRUE(link.SendCommand(pdu + "\x1A", "OK"));
        link.ListenPort(50);
        drain();
    }
    EXPECT_EQ(refs, (std::vector<int>{17, 18, 19}));

    // Two reports per part, some of them already in while sending: still trying, then delivered.
    for (int turn = 0; turn < 50 && reports.size() < 6; ++turn) {
        link.ListenPort(200);
        drain();
    }
    link.ClosePort();
    ASSERT_EQ(reports.size(), 6u) << traffic;
    std::map<int, std::vector<int>> statuses;
    for (const auto& r : reports) {
        ASSERT_FALSE(r.Rest.empty());
        EXPECT_EQ(r.Number, number);
        EXPECT_TRUE(r.MMS);
        // Stamped in the local zone a minute or less ago.
        EXPECT_EQ(r.SCTSZone, os::LocalZone());
        EXPECT_LT(std::abs(r.SCTS - vcl::Now()), 60.0 / 86400);
        EXPECT_GE(r.DT, r.SCTS);
        statuses[r.MR].push_back(r.Status);
    }
    for (int mr : {17, 18, 19})
        EXPECT_EQ(statuses[mr], (std::vector<int>{48, 0})) << mr;

    // What the phone shows.
    std::string shown;
    for (std::string line; shown.empty() && !(line = vmodem.Line(2000)).empty();)
        if (line.rfind("message to ", 0) == 0) shown = line;
    EXPECT_EQ(shown, "message to 79161234567: " + os::Cp1251ToUtf8(text));
    EXPECT_TRUE(log.empty()) << log[0];
    EXPECT_EQ(vmodem.Stop(), 0);
}

}  // namespace
