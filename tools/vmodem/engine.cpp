#include "tools/vmodem/engine.h"

#include <algorithm>
#include <cstdio>

#include "platform/os/clock.h"
#include "tools/vmodem/ascii.h"

namespace vmodem {

namespace {

constexpr std::size_t kMaxLine = 1024;
constexpr std::size_t kMaxPdu = 1024;

std::string Trimmed(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    return s.substr(b, e - b);
}

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

// A decimal number and nothing else.
bool ReadInt(const std::string& s, int& v) {
    if (s.empty() || s.size() > 6) return false;
    v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    return true;
}

void Hex2(std::string& out, int v) {
    static const char kHex[] = "0123456789ABCDEF";
    out += kHex[(v >> 4) & 0xF];
    out += kHex[v & 0xF];
}

// Two decimal digits as swapped semi-octets ("25" is written "52").
void Bcd2(std::string& out, int v) {
    out += static_cast<char>('0' + v % 10);
    out += static_cast<char>('0' + v / 10 % 10);
}

std::string Stamp(os::TDateTime t, int zone) {
    const os::DateParts p = os::SplitDateTime(t);
    std::string s;
    Bcd2(s, p.year % 100);
    Bcd2(s, p.month);
    Bcd2(s, p.day);
    Bcd2(s, p.hour);
    Bcd2(s, p.minute);
    Bcd2(s, p.second);
    // Quarter hours, units first; the sign is bit 3 of the tens digit.
    const int q = zone < 0 ? -zone : zone;
    s += static_cast<char>('0' + q % 10);
    const int tens = (q / 10 % 8) | (zone < 0 ? 8 : 0);
    s += "0123456789ABCDEF"[tens];
    return s;
}

}  // namespace

Engine::Engine(Options options)
    : options_(std::move(options)),
      echo_(options_.echo),
      reportsOn_(options_.reportsEnabled),
      nextMr_(((options_.mrStart % 256) + 256) % 256) {}

void Engine::Receive(std::string_view bytes, uint64_t nowMs) {
    for (const char c : bytes) {
        received_ += c;
        if (echo_) Queue(std::string(1, c), nowMs, false);
        if (inPdu_) {
            if (c == '\x1A') {
                inPdu_ = false;
                Pdu(nowMs);
            } else if (c == '\x1B') {  // the host cancelled the message
                inPdu_ = false;
                pdu_.clear();
                Reply("\r\nOK\r\n", nowMs);
            } else if (c != '\r' && c != '\n' && pdu_.size() < kMaxPdu) {
                pdu_ += c;
            }
            continue;
        }
        if (c == '\r') {
            const std::string line = line_;
            line_.clear();
            Command(line, nowMs);
        } else if (c != '\n' && line_.size() < kMaxLine) {
            line_ += c;
        }
    }
}

const Rule* Engine::MatchRule(const std::string& what) {
    if (what == "PDU")
        for (const Rule& r : options_.rules)
            if (r.nth > 0 && r.nth == pdus_) return &r;
    for (Rule& r : options_.rules) {
        if (r.times == 0 || r.nth > 0) continue;
        const bool match =
            r.prefix.empty() ||
            (r.prefix == "PDU" ? what == "PDU" : what != "PDU" && StartsWith(what, r.prefix));
        if (!match) continue;
        if (r.skip > 0) {
            --r.skip;
            continue;
        }
        if (r.times > 0) --r.times;
        return &r;
    }
    return nullptr;
}

void Engine::Command(const std::string& raw, uint64_t nowMs) {
    const std::string cmd = AsciiUpper(Trimmed(raw));
    if (cmd.empty()) return;
    commands_.push_back(cmd);

    uint32_t extra = 0;
    if (const Rule* r = MatchRule(cmd)) {
        switch (r->kind) {
            case Rule::Kind::Error:
                return Reply("\r\nERROR\r\n", nowMs, r->delayMs);
            case Rule::Kind::CmsError:
                return Reply("\r\n+CMS ERROR: " + std::to_string(r->code) + "\r\n", nowMs,
                             r->delayMs);
            case Rule::Kind::Silence:
                return;
            case Rule::Kind::Late:
                extra = r->delayMs;
                break;
            case Rule::Kind::Splice:
                extra = Splice(*r, nowMs);
                break;
            case Rule::Kind::Reference:
                break;  // only a PDU's answer has a reference
        }
    }

    auto ok = [&] { Reply("\r\nOK\r\n", nowMs, extra); };
    auto error = [&] { Reply("\r\nERROR\r\n", nowMs, extra); };
    if (cmd == "AT") return ok();
    if (cmd == "ATE0" || cmd == "ATE") {
        echo_ = false;
        return ok();
    }
    if (cmd == "ATE1") {
        echo_ = true;
        return ok();
    }
    if (cmd == "AT+CSQ") {
        return Reply("\r\n+CSQ: " + std::to_string(options_.rssi) + "," +
                         std::to_string(options_.ber) + "\r\n\r\nOK\r\n",
                     nowMs, extra);
    }
    if (cmd == "AT+CMGF=0") return ok();
    if (cmd == "AT+CGSN") return Reply("\r\n" + options_.imei + "\r\n\r\nOK\r\n", nowMs, extra);
    if (StartsWith(cmd, "AT+CNMI=")) {
        std::vector<int> v;
        std::string rest = cmd.substr(8);
        for (std::size_t at = 0;;) {
            const auto comma = rest.find(',', at);
            int n = 0;
            if (!ReadInt(rest.substr(at, comma == std::string::npos ? comma : comma - at), n))
                return error();
            v.push_back(n);
            if (comma == std::string::npos) break;
            at = comma + 1;
        }
        if (v.size() > 5 || v[0] > 3 || (v[0] == 2 && options_.refuseCnmiMode2)) return error();
        reportsOn_ = v.size() >= 4 && v[3] == 1;
        return ok();
    }
    if (StartsWith(cmd, "AT+CMGS=")) {
        int n = 0;
        if (!ReadInt(cmd.substr(8), n) || n < 1 || n > 255)
            return Reply("\r\n+CMS ERROR: 304\r\n", nowMs, extra);
        inPdu_ = true;
        pduLength_ = n;
        pdu_.clear();
        return Reply("\r\n> ", nowMs, extra);
    }
    error();
}

void Engine::Pdu(uint64_t nowMs) {
    const std::string hex = pdu_;
    pdu_.clear();
    ++pdus_;
    uint32_t extra = 0;
    bool apart = false;
    std::optional<std::string> referenceText;
    if (const Rule* r = MatchRule("PDU")) {
        apart = r->apart;
        switch (r->kind) {
            case Rule::Kind::Error:
                rejected_.push_back("scripted ERROR");
                return Reply("\r\nERROR\r\n", nowMs, r->delayMs, apart);
            case Rule::Kind::CmsError:
                rejected_.push_back("scripted +CMS ERROR");
                return Reply("\r\n+CMS ERROR: " + std::to_string(r->code) + "\r\n", nowMs,
                             r->delayMs, apart);
            case Rule::Kind::Silence:
                rejected_.push_back("scripted silence");
                return;
            case Rule::Kind::Late:
                extra = r->delayMs;
                break;
            case Rule::Kind::Splice:
                extra = Splice(*r, nowMs);
                break;
            case Rule::Kind::Reference:
                referenceText = r->text;
                break;
        }
    }
    std::string why;
    std::optional<Submit> submit = DecodeSubmit(hex, why);
    if (submit) {
        const std::size_t sca = (hex.size() >= 2 ? std::stoul(hex.substr(0, 2), nullptr, 16) : 0);
        const std::size_t octets = hex.size() / 2;
        if (octets < 1 + sca || octets - 1 - sca != static_cast<std::size_t>(pduLength_)) {
            why = "AT+CMGS length " + std::to_string(pduLength_) + " but the TPDU has " +
                  std::to_string(octets - 1 - sca) + " octets";
            submit.reset();
        }
    }
    if (!submit) {
        rejected_.push_back(why);
        return Reply("\r\n+CMS ERROR: 304\r\n", nowMs, extra, apart);
    }

    Accepted a;
    a.mr = nextMr_;
    nextMr_ = (nextMr_ + 1) % 256;
    a.pdu = hex;
    a.submit = *submit;
    a.atMs = nowMs + options_.replyDelayMs + extra;
    a.localTime = os::Now() + (options_.replyDelayMs + extra) / os::kMsPerDay;
    accepted_.push_back(a);
    Reply("\r\n+CMGS:" + referenceText.value_or(" " + std::to_string(a.mr)) + "\r\n\r\nOK\r\n",
          nowMs, extra, apart);

    if (a.submit.reportRequested && reportsOn_) {
        for (std::size_t k = 0; k < options_.statuses.size(); ++k) {
            planned_.push_back({a.atMs + options_.reportDelayMs * (k + 1), accepted_.size() - 1,
                                options_.statuses[k], static_cast<int>(k)});
        }
        std::stable_sort(
            planned_.begin(), planned_.end(),
            [](const PlannedReport& x, const PlannedReport& y) { return x.dueMs < y.dueMs; });
    }
}

uint32_t Engine::Splice(const Rule& rule, uint64_t nowMs) {
    Queue(rule.text, nowMs + options_.replyDelayMs, true);
    return rule.delayMs;
}

void Engine::Reply(const std::string& text, uint64_t nowMs, uint32_t extraDelay, bool apart) {
    QueueShaped(text, nowMs + options_.replyDelayMs + extraDelay, apart);
}

void Engine::Queue(std::string bytes, uint64_t dueMs, bool separate, bool apart) {
    if (!apart) {
        // What was said first leaves first, an answer given apart aside.
        const auto last =
            std::find_if(out_.rbegin(), out_.rend(), [](const Piece& p) { return !p.apart; });
        if (last != out_.rend()) {
            dueMs = std::max(dueMs, last->dueMs);
            if (!separate && last == out_.rbegin() && last->dueMs == dueMs) {
                last->bytes += bytes;
                return;
            }
        }
    }
    // The pieces stay in the order they are due; an apart one leaves in a read of its own.
    const auto at = std::upper_bound(out_.begin(), out_.end(), dueMs,
                                     [](uint64_t due, const Piece& p) { return due < p.dueMs; });
    out_.insert(at, {dueMs, std::move(bytes), separate || apart, apart});
}

void Engine::QueueShaped(const std::string& text, uint64_t dueMs, bool apart) {
    std::string t = text;
    if (options_.blankLines) t = "\r\n" + t;
    if (options_.nulBytes) t = std::string(1, '\0') + t;

    std::vector<std::string> pieces(1);
    for (std::size_t i = 0; i < t.size(); ++i) {
        pieces.back() += t[i];
        if (options_.splitCrLf && t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n')
            pieces.emplace_back();
    }
    if (options_.chunkSize > 0) {
        std::vector<std::string> small;
        for (const std::string& p : pieces)
            for (std::size_t at = 0; at < p.size(); at += options_.chunkSize)
                small.push_back(p.substr(at, options_.chunkSize));
        pieces = std::move(small);
    }
    for (std::size_t i = 0; i < pieces.size(); ++i)
        Queue(std::move(pieces[i]), dueMs + options_.gapMs * i, i > 0, apart);
}

void Engine::Inject(std::string text, uint64_t atMs) {
    Queue(std::move(text), atMs, true);
}

void Engine::DiscardOutput() {
    out_.clear();
}

int Engine::Zone() const {
    return options_.reportZone ? *options_.reportZone : os::LocalZone();
}

std::string Engine::ReportPdu(const Accepted& m, int status, os::TDateTime scts,
                              os::TDateTime dt) const {
    const int zone = Zone();
    // Report times are written in the service centre's zone.
    const double shift = (zone - os::LocalZone()) * 15 / 1440.0;
    std::string tpdu;
    Hex2(tpdu,
         options_.reportFault == ReportFault::NotReport ? 0x00 : (options_.mms ? 0x06 : 0x02));
    Hex2(tpdu, options_.reportFault == ReportFault::UnknownMr ? (m.mr ^ 0x80) : m.mr);
    Hex2(tpdu, static_cast<int>(m.submit.number.size()));
    Hex2(tpdu, m.submit.numberType);
    std::string digits = m.submit.number;
    if (digits.size() % 2) digits += 'F';
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        tpdu += digits[i + 1];
        tpdu += digits[i];
    }
    std::string first = Stamp(scts + shift, zone);
    if (options_.reportFault == ReportFault::BadDate) first.replace(2, 2, "31");  // month 13
    if (options_.reportFault == ReportFault::BadZone) first[12] = 'A';
    tpdu += first;
    tpdu += Stamp(dt + shift, zone);
    if (options_.reportFault != ReportFault::Truncated) Hex2(tpdu, status & 0xFF);
    if (options_.reportFault == ReportFault::Garbled) tpdu[tpdu.size() / 2] = 'G';
    return options_.sca + tpdu;
}

void Engine::SendDueReports(uint64_t nowMs) {
    while (!planned_.empty() && planned_.front().dueMs <= nowMs) {
        const PlannedReport p = planned_.front();
        planned_.erase(planned_.begin());
        const Accepted& m = accepted_[p.message];
        const os::TDateTime dt = m.localTime + (p.dueMs - m.atMs) / os::kMsPerDay;
        const std::string pdu = ReportPdu(m, p.status, m.localTime, dt);
        const std::size_t scaChars = std::min(options_.sca.size(), pdu.size());
        reportsSent_.push_back(pdu);
        QueueShaped(
            "\r\n+CDS: " + std::to_string((pdu.size() - scaChars) / 2) + "\r\n" + pdu + "\r\n",
            p.dueMs);
    }
}

std::string Engine::TakeOutput(uint64_t nowMs, std::size_t max) {
    SendDueReports(nowMs);
    std::string out;
    while (!out_.empty() && out_.front().dueMs <= nowMs && out.size() < max) {
        Piece& p = out_.front();
        if (p.separate && !out.empty()) break;
        const std::size_t take = std::min(max - out.size(), p.bytes.size());
        out.append(p.bytes, 0, take);
        if (take < p.bytes.size()) {
            p.bytes.erase(0, take);
            break;
        }
        out_.pop_front();
    }
    return out;
}

uint64_t Engine::NextEventMs() const {
    uint64_t next = kNever;
    if (!out_.empty()) next = out_.front().dueMs;
    if (!planned_.empty()) next = std::min(next, planned_.front().dueMs);
    return next;
}

std::vector<PhoneMessage> Engine::PhoneView() const {
    std::vector<Submit> submits;
    for (const Accepted& a : accepted_)
        submits.push_back(a.submit);
    return Reassemble(submits);
}

}  // namespace vmodem
