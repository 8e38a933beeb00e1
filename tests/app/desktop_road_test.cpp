// The newcomer's road on an X desktop: the program run as its own process on a virtual X server
// (under openbox when it is installed), driven with xdotool. Every window is found by its name
// among the X windows and clicked at points of its own: a list imported from a CSV file, a
// number typed into the grid and a template into the memo, the list saved, the virtual modem's
// pseudo-terminal chosen as the port, the mailing run and its journal opened. With the mailing
// window up, its system menu is opened and the whole X screen kept as
// tests/data/display/desktop.png when TESSARY_UPDATE_REFERENCE=1.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "platform/display/screenshot.h"
#include "platform/os/files.h"
#include "tests/gateway/pty_modem.h"
#include "tests/platform/display/desktop_program.h"
#include "tests/support/temp_dir.h"
#include "tests/support/virtual_x_server.h"
#include "tests/app/desktop_road.h"

// Xlib's macros clash with other names, so it comes last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using app_test::DesktopRoad;
using testing_support::TempDir;

TEST(DesktopRoadTest, AListIsImportedSavedAndMailedThroughTheProgramsOwnXWindows) {
    testing_support::VirtualXServer server;
    if (!server.Up()) GTEST_SKIP() << "no virtual X server could be started";
    if (std::system("command -v xdotool >/dev/null 2>&1") != 0) GTEST_SKIP() << "no xdotool";
    // Under a window manager when there is one; the program focuses its windows itself without.
    display::DesktopProgram manager(server.Name(), {"openbox", "--sm-disable"}, "WM_S0");
    vmodem::Options options;
    options.reportDelayMs = 300;
    gateway_test::PtyModem modem(options);
    app_test::ProgramProcess program(server.Name());
    const std::string csv = program.bin / "clients.csv";
    ASSERT_TRUE(os::WriteFileAtomically(csv, "+79161000001;Anna\n89161000002;Boris\n"));
    DesktopRoad road(server.Name());
    ASSERT_NE(road.dpy(), nullptr);

    const ::Window main = road.WaitNamed("Tessary");
    ASSERT_NE(main, 0u) << "no main window came up";
    // Import: the tool bar's button opens the file dialog, where the path is typed.
    ASSERT_TRUE(road.Click(main, 110, 59));
    ASSERT_NE(road.WaitNamed("Открыть"), 0u);
    road.Type(csv);
    road.Key("Return");
    ASSERT_TRUE(DesktopRoad::Until([&] { return road.Named("Открыть") == 0; }));
    // A number typed into the grid on a line added to it (the grid takes keys only once a list
    // is open in it), then the template typed into the memo, and the list saved under a name.
    road.Click(main, 198, 59);
    road.Click(main, 128, 271);
    road.Type("79161000003");
    road.Click(main, 300, 130);
    road.Type("Hello");
    road.Click(main, 75, 59);
    ASSERT_NE(road.WaitNamed("Сохранить список"), 0u);
    road.Type("Clients");
    road.Key("Return");
    ASSERT_TRUE(DesktopRoad::Until([&] { return road.Named("Сохранить список") == 0; }));
    // The port: "Система" -> "Выбрать GSM-шлюз...", the pseudo-terminal typed and chosen.
    road.Click(main, 30, 30);
    road.Click(main, 60, 51);
    const ::Window port = road.WaitNamed("Выбрать GSM-шлюз");
    ASSERT_NE(port, 0u);
    road.Type(modem.pty.path());
    road.Click(port, 220, 283);
    ASSERT_TRUE(DesktopRoad::Until([&] { return road.Named("Выбрать GSM-шлюз") == 0; }));
    // "Система" -> "Запуск рассылки...": the mailing window.
    road.Click(main, 30, 30);
    road.Click(main, 60, 96);
    const ::Window mailing = road.WaitNamed("Рассылка СМС");
    ASSERT_NE(mailing, 0u);

    // Its system menu open over both windows: the desktop as the eye sees it.
    road.Click(mailing, 200, 10, 3);
    ASSERT_TRUE(DesktopRoad::Until([&] { return road.MenuUp(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the menu painted
    const display::Rgb shot = road.Screen();
    EXPECT_TRUE(display::WritePng(shot, program.bin / "desktop.png"));
    if (const char* u = std::getenv("TESSARY_UPDATE_REFERENCE"); u && *u == '1')
        display::WritePng(shot, testing_support::TestDataDir() + "display/desktop.png");
    road.Key("Escape");
    ASSERT_TRUE(DesktopRoad::Until([&] { return !road.MenuUp(); }));

    // "Старт"; "Журнал" answers once the run and its reports are over.
    road.Click(mailing, 253, 468);
    ::Window journal = 0;
    EXPECT_TRUE(DesktopRoad::Until([&] {
        road.Click(mailing, 60, 468);
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        return (journal = road.Named("Журнал отправки СМС")) != 0;
    })) << "the journal never opened";
    road.Key("Escape");
    EXPECT_TRUE(DesktopRoad::Until([&] { return road.Named("Журнал отправки СМС") == 0; }));
    road.Click(mailing, 430, 468);  // "Закрыть"
    EXPECT_TRUE(DesktopRoad::Until([&] { return road.Named("Рассылка СМС") == 0; }));

    // The desktop's close box on the main window ends the program.
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = main;
    e.xclient.message_type = XInternAtom(road.dpy(), "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(road.dpy(), "WM_DELETE_WINDOW", False));
    XSendEvent(road.dpy(), main, False, NoEventMask, &e);
    XFlush(road.dpy());
    int status = -1;
    EXPECT_TRUE(DesktopRoad::Until([&] { return program.Ended(&status); }));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    modem.Stop();

    const auto phone = modem.engine.PhoneView();
    ASSERT_EQ(phone.size(), 3u);
    EXPECT_EQ(phone[0].number, "79161000001");
    EXPECT_EQ(phone[1].number, "79161000002");  // as the program writes it
    EXPECT_EQ(phone[2].number, "79161000003");
    EXPECT_EQ(phone[2].text, "Hello");
}

}  // namespace
