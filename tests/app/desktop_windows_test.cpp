// The program's own windows (the main window with its skinned frame and menu bar, and the
// journal) on an X desktop, under a window manager and without one: minimised and restored from
// the desktop's side and by the window's own title button, maximised and restored both ways,
// enlarged by the desktop and by the window's size grip. After every step the program still
// runs and the window, read back from the X server, holds no block the program left unpainted
// (the X windows' background is black; the skin paints nothing in solid black).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "platform/display/screenshot.h"
#include "tests/app/desktop_road.h"
#include "tests/platform/display/desktop_program.h"
#include "tests/support/virtual_x_server.h"

namespace {

using app_test::DesktopRoad;
using app_test::ProgramProcess;

// The first 8 x 8 block of black pixels, as "x,y"; empty when there is none. Blocks are looked
// for at every fourth pixel, so any black area 11 pixels wide and high is found.
std::string UnpaintedBlock(const display::Rgb& pic) {
    auto black = [&](int x, int y) {
        const unsigned char* p = &pic.pixels[(size_t(y) * size_t(pic.width) + size_t(x)) * 3];
        return p[0] == 0 && p[1] == 0 && p[2] == 0;
    };
    for (int y = 0; y + 8 <= pic.height; y += 4)
        for (int x = 0; x + 8 <= pic.width; x += 4) {
            bool all = true;
            for (int dy = 0; dy < 8 && all; ++dy)
                for (int dx = 0; dx < 8 && all; ++dx)
                    all = black(x + dx, y + dy);
            if (all) return std::to_string(x) + "," + std::to_string(y);
        }
    return "";
}

class DesktopWindows : public ::testing::TestWithParam<bool> {
protected:
    bool Managed() const { return GetParam(); }

    // Runs `act`, then waits until `reached` holds and the window shows a whole picture; a
    // failure names the step and keeps the picture beside the program.
    void Step(const std::string& what, ::Window w, const std::function<void()>& act,
              const std::function<bool()>& reached) {
        if (program->Ended()) return;  // told once, at the step it ended in
        act();
        std::string block;
        const bool ok = DesktopRoad::Until([&] {
            if (program->Ended() || !reached()) return false;
            block = UnpaintedBlock(road->Picture(w));
            return block.empty();
        });
        if (ok) return;
        display::WritePng(road->Picture(w), program->bin / "step.png");
        ADD_FAILURE() << what << ": "
                      << (program->Ended()    ? "the program ended"
                          : block.empty() ? "the state was not reached"
                                          : "unpainted block at " + block);
    }
    struct Box {
        int x = 0, y = 0, w = 0, h = 0;
    };
    Box PlaceOf(::Window w) {
        Box b;
        road->Place(w, b.x, b.y, b.w, b.h);
        return b;
    }
    // A click on a title button, counted from the right edge of what the screen shows of the
    // window (a maximised window's frame lies beyond it).
    void TitleButton(::Window w, int fromRight) {
        const Box b = PlaceOf(w), screen = PlaceOf(DefaultRootWindow(road->dpy()));
        const int right = std::min(b.x + b.w, screen.w), top = std::max(b.y, 0);
        road->Do("mousemove " + std::to_string(right - fromRight) + " " + std::to_string(top + 10) +
                 " click 1");
    }

    // Every step on one window.
    void Exercise(const std::string& name, ::Window w) {
        const Box normal = PlaceOf(w);
        auto viewable = [&] { return road->Viewable(w); };
        auto iconic = [&] { return !road->Viewable(w); };
        auto atNormal = [&] {
            const Box b = PlaceOf(w);
            return viewable() && b.w == normal.w && b.h == normal.h;
        };
        auto restoreShown = [&] {
            road->Do((Managed() ? "windowactivate " : "windowmap ") + std::to_string(w));
        };
        // A maximised window covers the work area (the whole screen here).
        const Box screen = PlaceOf(DefaultRootWindow(road->dpy()));
        auto maximized = [&] {
            const Box b = PlaceOf(w);
            const bool state = !Managed() || (road->HasState(w, "_NET_WM_STATE_MAXIMIZED_VERT") &&
                                              road->HasState(w, "_NET_WM_STATE_MAXIMIZED_HORZ"));
            return viewable() && state && b.x <= 0 && b.y <= 0 && b.w >= screen.w && b.h >= screen.h;
        };
        if (Managed()) {
            Step(name + ": the manager minimises", w, [&] { road->Do("windowminimize " + std::to_string(w)); }, iconic);
            Step(name + ": the manager restores", w, restoreShown, atNormal);
        }
        Step(name + ": the title button minimises", w, [&] { TitleButton(w, 53); }, iconic);
        Step(name + ": restored", w, restoreShown, atNormal);
        Step(name + ": the title button maximises", w, [&] { TitleButton(w, 35); }, maximized);
        Step(name + ": the title button restores", w, [&] { TitleButton(w, 35); }, atNormal);
        if (Managed()) {
            Step(name + ": the manager maximises", w, [&] { road->ManagerMaximize(w, true); }, maximized);
            Step(name + ": the manager restores", w, [&] { road->ManagerMaximize(w, false); }, atNormal);
        }
        // Moved to the corner first, so that the larger window stays on the screen.
        const Box big{0, 0, normal.w + 200, normal.h + 100};
        const std::string id = std::to_string(w);
        Step(name + ": the desktop moves and enlarges", w,
             [&] {
                 road->Do("windowmove " + id + " 0 0");
                 road->Do("windowsize " + id + " " + std::to_string(big.w) + " " + std::to_string(big.h));
             },
             [&] { return PlaceOf(w).w == big.w && PlaceOf(w).h == big.h; });
        // The size grip at the bottom right corner, dragged 120 x 80 pixels further.
        const Box before = PlaceOf(w);
        Step(name + ": the size grip enlarges", w,
             [&] {
                 road->Do("mousemove --window " + std::to_string(w) + " " + std::to_string(before.w - 5) + " " +
                          std::to_string(before.h - 5) +
                          " mousedown 1 mousemove_relative 40 30 mousemove_relative 80 50 mouseup 1");
             },
             [&] { return PlaceOf(w).w == before.w + 120 && PlaceOf(w).h == before.h + 80; });
    }

    void SetUp() override {
        if (!server.Up()) GTEST_SKIP() << "no virtual X server could be started";
        if (std::system("command -v xdotool >/dev/null 2>&1") != 0) GTEST_SKIP() << "no xdotool";
        if (Managed()) {
            manager = std::make_unique<display::DesktopProgram>(
                server.Name(), std::vector<std::string>{"openbox", "--sm-disable"}, "WM_S0");
            if (!manager->Up()) GTEST_SKIP() << "no window manager";
        }
        program = std::make_unique<ProgramProcess>(server.Name());
        road = std::make_unique<DesktopRoad>(server.Name());
        ASSERT_NE(road->dpy(), nullptr);
    }

    testing_support::VirtualXServer server;
    std::unique_ptr<display::DesktopProgram> manager;
    std::unique_ptr<ProgramProcess> program;
    std::unique_ptr<DesktopRoad> road;
};

TEST_P(DesktopWindows, MainWindowAndJournalAreWholeAfterEveryChangeOfSizeAndState) {
    const ::Window main = road->WaitNamed("Tessary");
    ASSERT_NE(main, 0u) << "no main window came up";
    Exercise("main window", main);
    // Another program's window takes the keyboard: the caption's text is painted inactive.
    auto captionInk = [&] {
        const display::Rgb pic = road->Picture(main);
        int darkest = 3 * 255;
        for (int y = 4; y < 20 && y < pic.height; ++y)
            for (int x = 20; x < 200 && x < pic.width; ++x) {
                const unsigned char* p = &pic.pixels[(size_t(y) * size_t(pic.width) + size_t(x)) * 3];
                darkest = std::min(darkest, p[0] + p[1] + p[2]);
            }
        return darkest;
    };
    const int activeInk = captionInk();
    Display* dpy = road->dpy();
    const ::Window other =
        XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 600, 500, 100, 100, 0, 0, 0xFFFFFF);
    XMapWindow(dpy, other);
    XFlush(dpy);
    Step("another program's window is made active", main,
         [&] {
             if (!DesktopRoad::Until([&] { return road->Viewable(other); })) return;
             if (Managed())
                 road->Do("windowactivate " + std::to_string(other));
             else
                 XSetInputFocus(dpy, other, RevertToParent, CurrentTime);
             XFlush(dpy);
         },
         [&] { return captionInk() > activeInk + 150; });
    XDestroyWindow(dpy, other);
    XFlush(dpy);
    // The tool bar's last button opens the journal.
    road->Click(main, 377, 59);
    const ::Window journal = road->WaitNamed("Журнал отправки СМС");
    ASSERT_NE(journal, 0u) << "the journal never opened";
    Exercise("journal", journal);
    EXPECT_FALSE(program->Ended());
}

INSTANTIATE_TEST_SUITE_P(, DesktopWindows, ::testing::Values(true, false),
                         [](const auto& info) {
                             return std::string(info.param ? "UnderAWindowManager" : "WithoutOne");
                         });

}  // namespace
