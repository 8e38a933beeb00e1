#include "tools/vmodem/options.h"

#include <cerrno>
#include <cstdlib>

#include "tools/vmodem/ascii.h"

namespace vmodem {

namespace {

bool ToInt(const std::string& s, long lo, long hi, int& v) {
    if (s.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(s.c_str(), &end, 10);
    if (errno != 0 || *end != 0 || n < lo || n > hi) return false;
    v = static_cast<int>(n);
    return true;
}

std::vector<std::string> SplitOn(const std::string& s, char sep) {
    std::vector<std::string> parts(1);
    for (char c : s) {
        if (c == sep)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

// PREFIX[:VALUE][:TIMES] for the fault rules; `valueNeeded` for the kinds that carry a value.
bool ParseRule(const std::string& arg, Rule::Kind kind, bool valueNeeded, Rule& rule) {
    const std::vector<std::string> p = SplitOn(arg, ':');
    const std::size_t fixed = valueNeeded ? 2 : 1;
    if (p.size() < fixed || p.size() > fixed + 1) return false;
    rule.prefix = AsciiUpper(p[0]);
    rule.kind = kind;
    if (valueNeeded) {
        int v = 0;
        if (!ToInt(p[1], 0, 10000000, v)) return false;
        if (kind == Rule::Kind::Late)
            rule.delayMs = static_cast<uint32_t>(v);
        else
            rule.code = v;
    }
    rule.times = -1;
    if (p.size() == fixed + 1 && !ToInt(p[fixed], 1, 1000000, rule.times)) return false;
    return true;
}

bool ParseFault(const std::string& s, ReportFault& f) {
    static const struct {
        const char* name;
        ReportFault fault;
    } kNames[] = {{"none", ReportFault::None},           {"garbled", ReportFault::Garbled},
                  {"truncated", ReportFault::Truncated}, {"bad-date", ReportFault::BadDate},
                  {"bad-zone", ReportFault::BadZone},    {"not-report", ReportFault::NotReport},
                  {"unknown-mr", ReportFault::UnknownMr}};
    for (const auto& n : kNames)
        if (s == n.name) {
            f = n.fault;
            return true;
        }
    return false;
}

bool IsHex(const std::string& s) {
    if (s.empty() || s.size() % 2) return false;
    for (char c : s)
        if (HexValue(c) < 0) return false;
    return true;
}

}  // namespace

const char* UsageText() {
    return "Usage: vmodem [options]\n"
           "A virtual GSM modem on a pseudo-terminal. Prints the terminal's path as its first\n"
           "line, then a line for every message it accepts. Open that path as the serial port.\n"
           "Stop it with Ctrl-C.\n"
           "\n"
           "  --link PATH            also make PATH a symbolic link to the terminal\n"
           "  --echo                 echo commands from the start (ATE0 and ATE1 change it)\n"
           "  --csq RSSI,BER         the signal quality (default 20,0)\n"
           "  --imei TEXT            the IMEI (default 356938035643809)\n"
           "  --refuse-cnmi2         answer ERROR to AT+CNMI=2,...\n"
           "  --reports-on           send status reports even without AT+CNMI\n"
           "  --mr-start N           the first message reference, 0..255 (default 0)\n"
           "  --reply-delay MS       from a command to its reply (default 10)\n"
           "  --report-delay MS      from acceptance to the first report and between reports\n"
           "                         (default 2000)\n"
           "  --status LIST          the status of each report of a message, e.g. 48,0\n"
           "                         (default 0, delivered)\n"
           "  --zone Q               report time zone, quarter hours east of UTC (default: local)\n"
           "  --sca HEX              service centre field of the reports\n"
           "                         (default 07919761989901F0)\n"
           "  --no-mms               clear the more-messages bit of the reports\n"
           "  --report-fault KIND    garbled, truncated, bad-date, bad-zone, not-report or\n"
           "                         unknown-mr reports\n"
           "  --error PREFIX[:N]     answer ERROR to commands that start with PREFIX (PDU: the\n"
           "                         message itself), N times or always\n"
           "  --cms-error PREFIX:CODE[:N]  answer \"+CMS ERROR: CODE\" instead\n"
           "  --silence PREFIX[:N]   answer nothing\n"
           "  --late PREFIX:MS[:N]   answer MS milliseconds late\n"
           "  --late-answer K:MS[:apart]  accept the K-th message (from 1; every message given\n"
           "                         counts, concatenated parts one by one) but answer it MS\n"
           "                         milliseconds late, as a congested network does (past the\n"
           "                         program's time-out: 35000); with apart, commands given\n"
           "                         meanwhile are answered at once, not after it\n"
           "  --chunk N              send replies in pieces of at most N bytes\n"
           "  --split-crlf           send the CR and the LF of each line separately\n"
           "  --nul                  a NUL byte before every reply\n"
           "  --blank-lines          an extra blank line before every reply\n"
           "  --gap MS               pause between pieces sent separately (default 20)\n"
           "  --verbose              trace the traffic on standard error\n"
           "  --help                 this text\n";
}

bool ParseOptions(const std::vector<std::string>& args, ProgramOptions& out, std::string& error) {
    out.modem.gapMs = 20;  // on a terminal, pieces need a pause to arrive in separate reads
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= args.size()) return false;
            v = args[++i];
            return true;
        };
        auto bad = [&](const std::string& v) {
            error = "bad value for " + a + ": \"" + v + "\"";
            return false;
        };
        std::string v;
        Options& m = out.modem;
        const bool takesValue = a == "--link" || a == "--csq" || a == "--imei" ||
                                a == "--mr-start" || a == "--reply-delay" ||
                                a == "--report-delay" || a == "--status" || a == "--zone" ||
                                a == "--sca" || a == "--report-fault" || a == "--error" ||
                                a == "--cms-error" || a == "--silence" || a == "--late" ||
                                a == "--late-answer" || a == "--chunk" || a == "--gap";
        if (takesValue && !value(v)) {
            error = a + " needs a value";
            return false;
        }
        int n = 0;
        if (a == "--help" || a == "-h") {
            out.help = true;
        } else if (a == "--verbose") {
            out.verbose = true;
        } else if (a == "--link") {
            out.link = v;
        } else if (a == "--echo") {
            m.echo = true;
        } else if (a == "--csq") {
            const auto p = SplitOn(v, ',');
            if (p.size() != 2 || !ToInt(p[0], 0, 99, m.rssi) || !ToInt(p[1], 0, 99, m.ber))
                return bad(v);
        } else if (a == "--imei") {
            m.imei = v;
        } else if (a == "--refuse-cnmi2") {
            m.refuseCnmiMode2 = true;
        } else if (a == "--reports-on") {
            m.reportsEnabled = true;
        } else if (a == "--mr-start") {
            if (!ToInt(v, 0, 255, m.mrStart)) return bad(v);
        } else if (a == "--reply-delay" || a == "--report-delay" || a == "--gap") {
            if (!ToInt(v, 0, 10000000, n)) return bad(v);
            (a == "--reply-delay" ? m.replyDelayMs
             : a == "--gap"       ? m.gapMs
                                  : m.reportDelayMs) = static_cast<uint32_t>(n);
        } else if (a == "--status") {
            m.statuses.clear();
            for (const std::string& s : SplitOn(v, ',')) {
                if (!ToInt(s, 0, 255, n)) return bad(v);
                m.statuses.push_back(n);
            }
        } else if (a == "--zone") {
            if (!ToInt(v, -79, 79, n)) return bad(v);
            m.reportZone = n;
        } else if (a == "--sca") {
            if (!IsHex(v)) return bad(v);
            m.sca = AsciiUpper(v);
        } else if (a == "--no-mms") {
            m.mms = false;
        } else if (a == "--report-fault") {
            if (!ParseFault(v, m.reportFault)) return bad(v);
        } else if (a == "--error" || a == "--cms-error" || a == "--silence" || a == "--late") {
            Rule r;
            const bool ok = a == "--error"       ? ParseRule(v, Rule::Kind::Error, false, r)
                            : a == "--cms-error" ? ParseRule(v, Rule::Kind::CmsError, true, r)
                            : a == "--silence"   ? ParseRule(v, Rule::Kind::Silence, false, r)
                                                 : ParseRule(v, Rule::Kind::Late, true, r);
            if (!ok) return bad(v);
            m.rules.push_back(r);
        } else if (a == "--late-answer") {
            const auto p = SplitOn(v, ':');
            Rule r{"PDU", Rule::Kind::Late};
            int ms = 0;
            if (p.size() < 2 || p.size() > 3 || !ToInt(p[0], 1, 1000000, r.nth) ||
                !ToInt(p[1], 0, 10000000, ms) || (p.size() == 3 && p[2] != "apart"))
                return bad(v);
            r.delayMs = static_cast<uint32_t>(ms);
            r.apart = p.size() == 3;
            m.rules.push_back(r);
        } else if (a == "--chunk") {
            if (!ToInt(v, 1, 4096, n)) return bad(v);
            m.chunkSize = static_cast<std::size_t>(n);
        } else if (a == "--split-crlf") {
            m.splitCrLf = true;
        } else if (a == "--nul") {
            m.nulBytes = true;
        } else if (a == "--blank-lines") {
            m.blankLines = true;
        } else {
            error = "unknown option \"" + a + "\"";
            return false;
        }
    }
    return true;
}

}  // namespace vmodem
