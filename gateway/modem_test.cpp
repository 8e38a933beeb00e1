#include "gateway/modem_test.h"

#include "gateway/mailing_run.h"
#include "gateway/signal_quality.h"
#include "platform/os/clock.h"
#include "platform/os/cp_literal.h"
#include "vcl/system/format.h"
#include "vcl/system/sysutils.h"

namespace gateway {

namespace {

constexpr unsigned kMbIconInformation = kMbIconAsterisk;

struct Reply {
    std::string text;  // the whole reply
    bool timedOut = false;
};

class ModemTest {
public:
    ModemTest(os::SerialIo& port, TModemTestView& view) : port_(port), view_(view) {}
    ~ModemTest() { port_.Close(); }

    void Run(const std::string& name);

private:
    void Fail(const std::string& text) { view_.MessageBox(text, "Ошибка"_cp, kMbIconHand); }
    bool Open(const std::string& name);
    void Escape();
    bool Ask(const std::string& command, Reply& reply);

    os::SerialIo& port_;
    TModemTestView& view_;
};

bool ModemTest::Open(const std::string& name) {
    os::PortStep failed = os::PortStep::Open;
    os::SysError error;
    if (port_.Open(name, failed, error)) {
        Escape();
        return true;
    }
    switch (failed) {
        case os::PortStep::Open:
            Fail("Ошибка открытия порта.\rВыберите другой COM-порт."_cp);
            break;
        case os::PortStep::GetState:
            Fail("Ошибка получения статуса порта."_cp);
            break;
        case os::PortStep::SetState:
            Fail("Ошибка установения статуса порта."_cp);
            break;
        case os::PortStep::SetTimeouts:
            Fail("Ошибка установки таймаутов."_cp);
            break;
        case os::PortStep::Purge:
            Fail("Ошибка выполнения ф-ции PurgeComm."_cp);
            break;
    }
    return false;
}

// A modem left in the "> " prompt (a run killed while sending) would take the test's first
// command as message text; ESC drops that message. Its answer is read and dropped, so it is not
// taken for the reply to the first command; a failure here shows in the commands that follow.
void ModemTest::Escape() {
    std::size_t written = 0;
    os::SysError error;
    if (!port_.Write("\x1B", 1, written, error)) return;
    const uint32_t start = os::GetTickCount();
    char buffer[kChunkSize];
    std::size_t got = 0;
    while (os::TickDiff(start, os::GetTickCount()) < kEscapeAnswerMs &&
           port_.Read(buffer, sizeof buffer, got, error))
        os::Sleep(1);
}

// Writes the command and reads until the reply holds "OK" or "ERROR", or 30 s have passed.
// False when the port failed (already shown).
bool ModemTest::Ask(const std::string& command, Reply& reply) {
    std::size_t written = 0;
    os::SysError error;
    if (!port_.Write(command.data(), command.size(), written, error)) {
        Fail("Ошибка записи в порт."_cp);
        return false;
    }
    if (written != command.size()) {
        Fail("Количество записанных байт не совпадает с количеством отправленных."_cp);
        return false;
    }
    const uint32_t start = os::GetTickCount();
    reply = {};
    for (;;) {
        char buffer[kChunkSize];
        std::size_t got = 0;
        if (!port_.Read(buffer, sizeof buffer, got, error)) {
            Fail("Ошибка чтения порта."_cp);
            return false;
        }
        std::string chunk;
        for (std::size_t i = 0; i < got; ++i)
            if (buffer[i] != '\0') chunk += buffer[i];
        if (!chunk.empty()) {
            view_.AddLogLine(vcl::Trim(chunk));
            reply.text += chunk;
        }
        os::Sleep(1);
        if (reply.text.find("OK") != std::string::npos ||
            reply.text.find("ERROR") != std::string::npos)
            return true;
        if (os::TickDiff(start, os::GetTickCount()) > kReplyTimeoutMs) {
            reply.timedOut = true;
            return true;
        }
    }
}

void ModemTest::Run(const std::string& name) {
    view_.ClearLog();
    if (!Open(name)) return;

    view_.AddLogLine("#1 Получить IMEI:"_cp);
    view_.Repaint();
    Reply imei, signal;
    if (!Ask("AT+CGSN\r", imei)) return;
    const Reply* last = &imei;
    if (!imei.timedOut) {
        view_.AddLogLine("#2 Проверить уровень сигнала:"_cp);
        if (!Ask("AT+CSQ\r", signal)) return;
        last = &signal;
    }
    const auto ok = [](const Reply& r) { return r.text.find("OK") != std::string::npos; };
    if (ok(signal)) {
        uint8_t rssi = kNoSignalValue, ber = kNoSignalValue;
        ParseCSQ(signal.text, rssi, ber);
        const unsigned warn = kMbIconExclamation;
        if (rssi < 13) {
            view_.MessageBox(vcl::Format("Низкий уровень сигнала (%d%%).\rРассылка СМС может "
                                         "работать нестабильно."_cp,
                                         SignalPercent(rssi)),
                             "Внимание"_cp, warn);
            return;
        }
        if (IsHighErrorRate(ber)) {
            view_.MessageBox(vcl::Format("Плохое качество связи - большой процент ошибок "
                                         "(%s).\rРассылка СМС может работать нестабильно."_cp,
                                         ErrorRateWarningText(ber)),
                             "Внимание"_cp, warn);
            return;
        }
    }
    if (last->timedOut) {
        Fail("Тест прошел неудачно.\rВыберите другой COM-порт."_cp);
    } else if (ok(imei) && ok(signal)) {
        view_.MessageBox("Тест прошел успешно."_cp, "Информация"_cp, kMbIconInformation);
    } else {
        Fail("Тест завершен c ошибкой:\r"_cp + (ok(imei) ? signal.text : imei.text));
    }
}

}  // namespace

void RunModemTest(os::SerialIo& port, const std::string& portName, TModemTestView& view) {
    ModemTest(port, view).Run(portName);
}

}  // namespace gateway
