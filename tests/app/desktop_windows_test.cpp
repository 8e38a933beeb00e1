// The program's own windows (the main window with its skinned frame and menu bar, and the
// journal) on an X desktop, under two managers that answer configure requests each its own way
// and without one: minimised, maximised and restored from the desktop's side and by the title
// buttons, shrunk and given its size back, enlarged by the desktop and by the size grip, and an
// Alt+Tab. After every step the program runs and the window, read back from the X server, holds
// no block left unpainted (the X windows' background is black; the skin paints no solid black)
// and, when normal, shows its corners as at first: its rectangle is its X window's, none lit.
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

// The top 20 rows (title buttons) and the bottom 24 (size grip) of the right 64 columns.
std::string Corners(const display::Rgb& p) {
    std::string out;
    const size_t x0 = size_t(std::max(p.width - 64, 0)), w = size_t(p.width);
    for (int y = 0; y < p.height; ++y)
        if (y < 20 || y >= p.height - 24)
            out.append(reinterpret_cast<const char*>(&p.pixels[(size_t(y) * w + x0) * 3]),
                       (w - x0) * 3);
    return out;
}

// The window manager run ("": none).
class DesktopWindows : public ::testing::TestWithParam<std::string> {
protected:
    std::string seen;
    bool Managed() const { return !GetParam().empty(); }
    std::string Id(::Window w) { return std::to_string(w); }
    bool HasKeyboard(::Window w) {
        ::Window focus = 0;
        int revert = 0;
        XGetInputFocus(road->dpy(), &focus, &revert);
        return focus == w;
    }
    DesktopRoad::Box Screen() { return road->Place(DefaultRootWindow(road->dpy())); }

    // Runs `act`, then waits until `reached` holds and the window shows a whole picture; a
    // failure names the step and keeps the picture beside the program.
    void Step(const std::string& what, ::Window w, const std::function<void()>& act,
              const std::function<bool()>& reached) {
        if (program->Ended()) return;  // told once, at the step it ended in
        act();
        std::string block;
        if (DesktopRoad::Until([&] {
                return !program->Ended() && reached() &&
                       (block = UnpaintedBlock(road->Picture(w))).empty();
            }))
            return;
        display::WritePng(road->Picture(w), program->bin / "step.png");
        const DesktopRoad::Box b = road->Place(w);
        ADD_FAILURE() << what << ": "
                      << (program->Ended() ? "the program ended"
                          : block.empty()  ? "the state was not reached"
                                           : "unpainted block at " + block)
                      << " (the X window: " << b.w << "x" << b.h << " at " << b.x << "," << b.y
                      << (road->Viewable(w) ? ", viewable" : ", not viewable") << "; " << seen
                      << ")";
    }
    // A click on a title button, counted from the right edge of what the screen shows of the
    // window (a maximised window's frame lies beyond it); then the pointer leaves, once the
    // release is taken where it was pressed, as a hand's would be.
    void TitleButton(::Window w, int fromRight) {
        const DesktopRoad::Box b = road->Place(w);
        road->Do("mousemove " + std::to_string(std::min(b.x + b.w, Screen().w) - fromRight) + " " +
                 std::to_string(std::max(b.y, 0) + 10) + " click 1");
        DesktopRoad::Until([&] { return road->ButtonsUp(); });
        road->Do("mousemove 0 0");
    }

    // Every step on one window, each from the desktop's side and from the window's own.
    void Exercise(const std::string& name, ::Window w) {
        const DesktopRoad::Box normal = road->Place(w), screen = Screen();
        // Once painted, with the keyboard. A window still being painted shows what lies under
        // its unpainted parts, not black: the corners count once they held for a second.
        std::string corners;
        int held = 0;
        DesktopRoad::Until([&] {
            const display::Rgb pic = road->Picture(w);
            std::string now = Corners(pic);
            held = HasKeyboard(w) && UnpaintedBlock(pic).empty() && now == corners ? held + 1 : 0;
            corners = std::move(now);
            return held == 10;
        });
        auto sized = [&](int w2, int h2) {
            return [&, w2, h2] {
                const DesktopRoad::Box b = road->Place(w);
                // The corners were read with the keyboard; a loaded manager may restore a window
                // and leave the keyboard where it was, and an operator would click it then.
                seen = "wanted " + std::to_string(w2) + "x" + std::to_string(h2);
                if (Managed() && !HasKeyboard(w)) {
                    seen += ", without the keyboard";
                    if (road->Viewable(w)) road->Do("windowactivate " + Id(w));
                    return false;
                }
                const bool same = Corners(road->Picture(w)) == corners;
                seen += same ? ", corners as at first" : ", corners not as at first";
                return road->Viewable(w) && b.w == w2 && b.h == h2 && same;
            };
        };
        auto size = [&](int dw, int dh) {
            return [&, dw, dh] {
                road->Do("windowsize " + Id(w) + " " + std::to_string(normal.w + dw) + " " +
                         std::to_string(normal.h + dh));
            };
        };
        auto iconic = [&] { return !road->Viewable(w); };
        // A maximised window covers the work area (the whole screen here).
        auto maximized = [&] {
            const DesktopRoad::Box b = road->Place(w);
            return road->Viewable(w) && b.x <= 0 && b.y <= 0 && b.w >= screen.w &&
                   b.h >= screen.h &&
                   (!Managed() || (road->HasState(w, "_NET_WM_STATE_MAXIMIZED_VERT") &&
                                   road->HasState(w, "_NET_WM_STATE_MAXIMIZED_HORZ")));
        };
        auto restore = [&] { road->Do((Managed() ? "windowactivate " : "windowmap ") + Id(w)); };
        struct {
            const char* what;
            bool managedOnly;
            std::function<void()> act;
            std::function<bool()> reached;
        } steps[] = {
            {"the manager minimises", true, [&] { road->Do("windowminimize " + Id(w)); }, iconic},
            {"the manager restores it from its icon", true, restore, sized(normal.w, normal.h)},
            {"the title button minimises", false, [&] { TitleButton(w, 53); }, iconic},
            {"restored", false, restore, sized(normal.w, normal.h)},
            {"the title button maximises", false, [&] { TitleButton(w, 35); }, maximized},
            {"the title button restores", false, [&] { TitleButton(w, 35); },
             sized(normal.w, normal.h)},
            {"the desktop shrinks", false, size(-100, -60), sized(normal.w - 100, normal.h - 60)},
            {"the desktop gives the size back", false, size(0, 0), sized(normal.w, normal.h)},
            {"the manager maximises", true, [&] { road->ManagerMaximize(w, true); }, maximized},
            {"the manager restores its size", true, [&] { road->ManagerMaximize(w, false); },
             sized(normal.w, normal.h)},
            // Moved to the corner first, so that the larger window stays on the screen.
            {"the desktop moves and enlarges", false,
             [&] {
                 road->Do("windowmove " + Id(w) + " 0 0");
                 size(200, 100)();
             },
             sized(normal.w + 200, normal.h + 100)},
            // The size grip at the bottom right corner, dragged 120 x 80 pixels further.
            {"the size grip enlarges", false,
             [&] {
                 road->Do(
                     "mousemove --window " + Id(w) + " " + std::to_string(normal.w + 195) + " " +
                     std::to_string(normal.h + 95) +
                     " mousedown 1 mousemove_relative 40 30 mousemove_relative 80 50 mouseup 1");
             },
             sized(normal.w + 320, normal.h + 180)},
        };
        for (const auto& s : steps)
            if (Managed() || !s.managedOnly) Step(name + ": " + s.what, w, s.act, s.reached);
    }

    void SetUp() override {
        if (!server.Up()) GTEST_SKIP() << "no virtual X server could be started";
        if (std::system("command -v xdotool >/dev/null 2>&1") != 0) GTEST_SKIP() << "no xdotool";
        if (Managed()) {
            manager = std::make_unique<display::DesktopProgram>(
                server.Name(), std::vector<std::string>{GetParam(), "--sm-disable"}, "WM_S0");
            if (!manager->Up()) GTEST_SKIP() << "no " << GetParam();
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
                const unsigned char* p =
                    &pic.pixels[(size_t(y) * size_t(pic.width) + size_t(x)) * 3];
                darkest = std::min(darkest, p[0] + p[1] + p[2]);
            }
        return darkest;
    };
    const int activeInk = captionInk();
    Display* dpy = road->dpy();
    const ::Window other =
        XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 600, 500, 100, 100, 0, 0, 0xFFFFFF);
    XMapWindow(dpy, other);
    Step(
        "another program's window is made active", main,
        [&] {
            DesktopRoad::Until([&] { return road->Viewable(other); });
            road->Do((Managed() ? "windowactivate " : "windowfocus ") + Id(other));
        },
        [&] { return captionInk() > activeInk + 150; });
    XDestroyWindow(dpy, other);
    // The tool bar's last button opens the journal.
    road->Click(main, 377, 59);
    const ::Window journal = road->WaitNamed("Журнал отправки СМС");
    ASSERT_NE(journal, 0u) << "the journal never opened";
    Exercise("journal", journal);
    // No Alt stays down: Escape, typed until the manager lets go of the keyboard, closes it.
    Step(
        "Alt+Tab, then Escape", main, [&] { road->Key("alt+Tab"); },
        [&] { return road->Key("Escape") && road->Named("Журнал отправки СМС") == 0; });
    EXPECT_FALSE(program->Ended());
}

INSTANTIATE_TEST_SUITE_P(, DesktopWindows, ::testing::Values("openbox", "metacity", ""),
                         [](const auto& info) {
                             return info.param.empty() ? "WithoutOne" : "Under_" + info.param;
                         });

}  // namespace
