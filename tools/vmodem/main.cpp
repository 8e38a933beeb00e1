// vmodem: a virtual GSM modem on a pseudo-terminal, for the end-to-end test and for trying the
// program without a modem.
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/vmodem/options.h"
#include "tools/vmodem/pty.h"

namespace {

std::atomic<bool> gStop{false};

void OnSignal(int) {
    gStop.store(true);
}

}  // namespace

int main(int argc, char** argv) {
    vmodem::ProgramOptions opts;
    std::string error;
    if (!vmodem::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), opts, error)) {
        std::fprintf(stderr, "vmodem: %s\n\n%s", error.c_str(), vmodem::UsageText());
        return 2;
    }
    if (opts.help) {
        std::fputs(vmodem::UsageText(), stdout);
        return 0;
    }

    vmodem::Pty pty;
    if (!pty.Open(error)) {
        std::fprintf(stderr, "vmodem: %s\n", error.c_str());
        return 1;
    }
    if (!opts.link.empty()) {
        ::unlink(opts.link.c_str());
        if (::symlink(pty.path().c_str(), opts.link.c_str()) != 0) {
            std::perror(("vmodem: cannot link " + opts.link).c_str());
            return 1;
        }
    }
    std::printf("%s\n", pty.path().c_str());
    std::fflush(stdout);

    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);

    vmodem::Engine engine(opts.modem);
    std::size_t shown = 0;
    auto onAccepted = [&](const vmodem::Accepted& a) {
        const vmodem::Submit& s = a.submit;
        std::printf("accepted mr=%d to %s", a.mr, s.number.c_str());
        if (s.concatenated) std::printf(" part %d/%d ref %d", s.seq, s.parts, s.ref);
        std::printf(": %s\n", s.text.c_str());
        const auto view = engine.PhoneView();
        for (; shown < view.size(); ++shown)
            std::printf("message to %s: %s\n", view[shown].number.c_str(),
                        view[shown].text.c_str());
        std::fflush(stdout);
    };
    vmodem::Serve(engine, pty.master(), gStop, onAccepted, opts.verbose ? stderr : nullptr);

    if (!opts.link.empty()) ::unlink(opts.link.c_str());
    return 0;
}
