// Every window the operator can reach, opened through the main window on the headless screen
// with the internal skin active, each in a working state: a list of twelve numbers with values,
// the menu open, a hint, a message box, the file, list and port dialogs, a mailing to the
// virtual modem halfway through, a journal of every status colour with its filter, the about box
// and the rename box; and the menu open on a hot item beside the port dialog with its modem test's
// box over it. Each picture is kept under tests/data/screens/ for the eye
// (TESSARY_UPDATE_REFERENCE=1 writes them again); no picture may show the skin's key colour, and
// a few pixels are compared with the skin's own colours.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>

#include "gateway/form_gsm.h"
#include "gateway/form_start.h"
#include "gateway/log_thread.h"
#include "lists/form_about.h"
#include "lists/form_filter.h"
#include "lists/form_list.h"
#include "lists/form_load_save.h"
#include "lists/form_number_log.h"
#include "main_window_rig.h"
#include "platform/controls/file_dialog.h"
#include "platform/display/screenshot.h"
#include "platform/gdi/sys_colors.h"
#include "platform/os/cp_literal.h"
#include "platform/os/files.h"
#include "platform/user/message_box.h"
#include "platform/user/user.h"
#include "platform/user/window_tree.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/state/common_data.h"
#include "skin/windows/scroll/grid_wnd.h"
#include "tests/gateway/pty_modem.h"
#include "tests/support/temp_dir.h"

namespace {

using lists_test::FindForm;
using lists_test::MainWindowRig;

template <typename T>
bool Shown() {
    T* f = FindForm<T>();
    return f && f->Visible() && win::GetActiveWindow() == f->Handle();
}

template <typename T>
void Cancel() {
    FindForm<T>()->SetModalResult(vcl::mrCancel);
}

bool ActiveHas(int id) {
    const win::HWND active = win::GetActiveWindow();
    return active && win::GetDlgItem(active, id);
}

std::string ActiveCaption() {
    char buf[256] = {};
    win::GetWindowTextA(win::GetActiveWindow(), buf, sizeof buf);
    return buf;
}

// A window's picture: the main window with what lies over it, or the active window alone.
struct Shot {
    std::string png;             // empty: a step with no picture
    std::function<void()> open;  // runs on the test's own loop, may be a modal loop itself
    std::function<bool()> ready;
    std::function<void()> then;  // after the picture: the next window, or closing this one
    bool wholeMain = false;
};

class ProgramScreens : public ::testing::Test {
protected:
    ProgramScreens() {
        f = rig.form;
        rig.stepLimit = 300;
        rig.giveUp = [] {
            for (int i = 0; i < vcl::Screen()->FormCount(); ++i)
                vcl::Screen()->Forms(i)->SetModalResult(vcl::mrCancel);
        };
    }

    void Keep(const Shot& s) {
        const win::HWND wnd = s.wholeMain ? f->Handle() : win::GetActiveWindow();
        vcl::Application()->ProcessMessages();
        win::UpdateWindow(wnd);
        win::RECT r{};
        win::GetWindowRect(wnd, &r);
        display::Rgb shot = display::CaptureScreen(&r);
        EXPECT_TRUE(display::WritePng(shot, rig.dir / s.png)) << s.png;
        if (const char* u = std::getenv("TESSARY_UPDATE_REFERENCE"); u && *u == '1')
            display::WritePng(shot, testing_support::TestDataDir() + "screens/" + s.png);
        shots[s.png] = {std::move(shot), r};
    }

    // A picture kept before (`left`) and, beside it, the screen under two windows: one PNG, kept
    // with the skin's own pictures.
    void KeepBeside(const std::string& png, const std::string& left, win::HWND a, win::HWND b) {
        vcl::Application()->ProcessMessages();
        win::RECT ra{}, rb{}, r{};
        win::GetWindowRect(a, &ra);
        win::GetWindowRect(b, &rb);
        win::UnionRect(&r, &ra, &rb);
        const display::Rgb right = display::CaptureScreen(&r);
        const display::Rgb& first = shots.at(left).first;
        display::Rgb both;
        both.width = first.width + 8 + right.width;
        both.height = std::max(first.height, right.height);
        both.pixels.assign(std::size_t(both.width) * std::size_t(both.height) * 3, 0x80);
        auto put = [&both](const display::Rgb& part, int x0) {
            for (int y = 0; y < part.height; ++y)
                std::copy_n(part.pixels.begin() + std::ptrdiff_t(y) * part.width * 3,
                            part.width * 3,
                            both.pixels.begin() +
                                (std::ptrdiff_t(y) * both.width + x0) * 3);
        };
        put(first, 0);
        put(right, first.width + 8);
        EXPECT_TRUE(display::WritePng(both, rig.dir / png)) << png;
        if (const char* u = std::getenv("TESSARY_UPDATE_REFERENCE"); u && *u == '1')
            display::WritePng(both, testing_support::TestDataDir() + "skin/" + png);
        boxRect = rb;
        shots[png] = {right, r};
    }

    // The steps of a window and of those it opens are queued before it is opened.
    void Play(const std::vector<Shot>& table) {
        for (std::size_t i = 0; i < table.size();) {
            std::size_t j = i;
            do {
                const Shot& s = table[j];
                rig.Then(s.png.empty() ? "a step after " + table[i].png : s.png, s.ready, [&] {
                    if (!s.png.empty()) Keep(s);
                    if (s.then) s.then();
                });
            } while (++j < table.size() && !table[j].open);
            if (table[i].open) table[i].open();
            for (int turns = 0; !rig.ScriptDone() && turns < 100000; ++turns)
                rig.Idle();
            ASSERT_TRUE(rig.ScriptDone()) << table[i].png;
            i = j;
        }
    }

    // A screen pixel of a picture, as 0xRRGGBB.
    uint32_t At(const std::string& png, int screenX, int screenY) {
        const auto& [shot, r] = shots.at(png);
        const std::size_t k = (std::size_t(screenY - r.top) * std::size_t(shot.width) +
                               std::size_t(screenX - r.left)) *
                              3;
        return uint32_t(shot.pixels[k]) << 16 | uint32_t(shot.pixels[k + 1]) << 8 |
               shot.pixels[k + 2];
    }

    void MakeJournal() {
        // Every status class five times over: no report, delivered, temporary error, not
        // delivered, an unknown code, and a part the modem refused.
        const char* const statuses[] = {"null", "0", "32", "64", "200"};
        for (int i = 0; i < 30; ++i) {
            const bool failed = i % 6 == 5;
            const std::string status = failed ? "null" : statuses[i % 6];
            rig.Exec(
                "insert into NumberLog (NumID, Number, TextSMS, SendResultOK, SendTime, "
                "ReceiveTimeClient, StatusSC, Name, StartTime, IMEI, MR, ListID) values (" +
                std::to_string(i + 1) + ", '7916100" + std::to_string(1000 + i) +
                "', 'Добрый день! Ваш заказ готов.', " + (failed ? "0" : "1") +
                ", '2024-03-05 10:" + std::to_string(10 + i) + ":01.000', " +
                (status == "null" ? "null"
                                  : "'2024-03-05 10:" + std::to_string(10 + i) + ":09.000'") +
                ", " + status + ", '" + (i < 15 ? "Клиенты" : "Весна") +
                "', '2024.03.05 10:00:00', '356938035643809', " + std::to_string(i) + ", 1)");
        }
    }

    MainWindowRig rig;
    lists::TformMain* f = nullptr;
    std::map<std::string, std::pair<display::Rgb, win::RECT>> shots;
    win::RECT boxRect{};   // the port dialog's box
    win::RECT menuRect{};  // the open pop-up
};

TEST_F(ProgramScreens, EveryWindowIsSkinnedWithoutTheKeyColour) {
    vmodem::Options options;
    options.reportDelayMs = 200;
    gateway_test::PtyModem modem(options);
    gateway::StartLogThread(rig.dir.path());

    std::string csv;
    const char* const names[] = {"Анна",  "Борис", "Вера",  "Глеб", "Дарья", "Егор",
                                 "Жанна", "Зоя",   "Игорь", "Кира", "Лев",   "Мария"};
    for (int i = 0; i < 12; ++i)
        csv += "7916100" + std::to_string(1000 + i) + ";" + names[i] + ";" +
               std::to_string(1041 + i) + ";" + std::to_string(i + 1) + " шт.\n";
    const std::string csvPath = rig.dir / "clients.csv";
    os::WriteFileAtomically(csvPath, csv);
    rig.AnswerFileDialog(csvPath);
    rig.Click(f->btnImport);
    ASSERT_EQ(f->grid->RowCount(), 13);
    f->memoTextSMS->SetText("Добрый день, [№1]! Ваш заказ [№2] готов: [№3]."_cp);
    f->SaveAs("Весна"_cp);
    f->SaveAs("Клиенты"_cp);
    MakeJournal();
    rig.ClickCell(2, 3);
    gateway::TSettings& settings = f->Settings();
    settings.COMPort = modem.pty.path();
    settings.SMSDelay = 1;
    settings.ReportWaitForMins = 1;

    const auto startForm = [] { return FindForm<gateway::TformStart>(); };
    const auto journal = [] { return FindForm<lists::TformNumberLog>(); };
    const auto press = [this](win::UINT vk) { return [this, vk] { rig.Key(vk); }; };
    const auto always = [] { return true; };
    const auto menuShown = [] {
        const win::HWND menu = win::FindWindowA("#32768", nullptr);
        return menu && win::IsWindowVisible(menu);
    };
    vcl::TPoint journalTitle, journalCurrent, listSelection, chooserSelection, listFrame;
    vcl::TColor listFrameColor = -1;
    win::RECT listItem{};
    ASSERT_TRUE(win::GetMenuItemRect(f->Handle(), win::GetMenu(f->Handle()), 1, &listItem));
    const vcl::TPoint hintAt = f->btnStart->ClientToScreen({13, 13});

    const std::vector<Shot> table = {
        {"main_window.png", [&] { rig.screen.MoveMouse(900, 20); }, always, {}, true},
        {"",
         [&] { rig.screen.Click((listItem.left + listItem.right) / 2, listItem.bottom - 4); },
         menuShown, press(win::VK_DOWN)},
        {"main_menu.png", {}, menuShown,
         [&] {
             win::GetWindowRect(win::FindWindowA("#32768", nullptr), &menuRect);
             rig.Key(win::VK_ESCAPE);
             rig.Key(win::VK_ESCAPE);
         },
         true},
        {"hint.png", [&] { rig.screen.MoveMouse(hintAt.X, hintAt.Y); },
         [] {
             vcl::THintWindow* h = vcl::Application()->HintWindow();
             return h && win::IsWindowVisible(h->Handle());
         },
         [&] {
             rig.screen.MoveMouse(900, 20);
             vcl::Application()->CancelHint();
         },
         true},
        {"message_box.png",
         [&] {
             rig.answerBoxes = false;
             f->btnCheckErrorsClick(f);
             rig.answerBoxes = true;
         },
         [] { return ActiveHas(win::kMessageBoxTextId); }, press(win::VK_RETURN), true},
        {"save_dialog.png", [&] { f->btnExportClick(f); },
         [] { return ActiveHas(win::kFileDialogNameId); }, press(win::VK_ESCAPE)},
        {"load_chooser.png", [&] { f->btnLoadClick(f); }, Shown<lists::TformLoadSave>,
         [&] {
             skin::TsAlphaListBox* list = FindForm<lists::TformLoadSave>()->List;
             const vcl::TRect item = list->ItemRect(list->ItemIndex());
             chooserSelection = list->ClientToScreen({item.Right - 10, item.Top + 3});
             Cancel<lists::TformLoadSave>();
         }},
        {"save_chooser.png", [&] { f->btnSaveClick(f); }, Shown<lists::TformLoadSave>,
         Cancel<lists::TformLoadSave>},
        {"", [&] { f->mnuManageListClick(f); }, Shown<lists::TformList>,
         [&] {
             const vcl::TPoint row = FindForm<lists::TformList>()->lvList->ClientToScreen({40, 28});
             rig.screen.Click(row.X, row.Y);
         }},
        {"list_manager.png",
         {},
         [] { return FindForm<lists::TformList>()->lvList->Selected(); },
         [&] {
             skin::TsListView* lv = FindForm<lists::TformList>()->lvList;
             listSelection = lv->ClientToScreen({100, 28});
             // The frame is the ring the skin painted into the control's cache.
             win::RECT wr{};
             win::GetWindowRect(lv->Handle(), &wr);
             listFrame = {wr.left, (wr.top + wr.bottom) / 2};
             vcl::TBitmap* cache = lv->SkinData()->CacheBmp();
             listFrameColor = cache ? cache->Canvas()->Pixels(0, listFrame.Y - wr.top) : -1;
             rig.Click(FindForm<lists::TformList>()->btnRename);
         }},
        {"rename_box.png",
         {},
         [] { return ActiveCaption() == "Переименование"_cp; },
         press(win::VK_ESCAPE)},
        {"", {}, Shown<lists::TformList>, Cancel<lists::TformList>},
        {"port_dialog.png", [&] { f->mnuCOMPortClick(f); }, Shown<gateway::TformGSM>,
         [&] {
             auto* gsm = FindForm<gateway::TformGSM>();
             gsm->cbCOM->SetText(modem.pty.path());
             rig.answerBoxes = false;
             rig.Click(gsm->btnTest);
         }},
        {"",
         {},
         [] { return ActiveHas(win::kMessageBoxTextId) && ActiveCaption() == "Информация"_cp; },
         [&] {
             KeepBeside("menus_and_dialogs.png", "main_menu.png",
                        FindForm<gateway::TformGSM>()->Handle(), win::GetActiveWindow());
             rig.Key(win::VK_RETURN);
         }},
        {"",
         {},
         [] { return Shown<gateway::TformGSM>(); },
         [&] {
             rig.answerBoxes = true;
             Cancel<gateway::TformGSM>();
         }},
        // The light running along the bar keeps the real clock's time: off, so that the fill
        // has its one colour whenever the picture is taken.
        {"", [&] { f->btnStartClick(f); }, Shown<gateway::TformStart>,
         [&] {
             startForm()->prBar->SetAnimated(false);
             rig.Click(startForm()->btnStart);
         }},
        {"mailing_window.png",
         {},
         [&] { return startForm()->labProcessedValue->Caption().rfind("2 ", 0) == 0; },
         [&] { rig.Click(startForm()->btnStop); }},
        {"",
         {},
         [&] { return startForm()->btnClose->Enabled(); },
         [&] { rig.Click(startForm()->btnClose); }},
        {"journal.png", [&] { f->btnNumberLogClick(f); }, Shown<lists::TformNumberLog>,
         [&] {
             vcl::TDBGrid* g = journal()->Grid;
             const vcl::TRect title = g->CellRect(2, 0), current = g->CellRect(1, 1);
             journalTitle = g->ClientToScreen({(title.Left + title.Right) / 2, title.Top});
             journalCurrent = g->ClientToScreen({current.Right - 6, current.Top + 4});
             rig.Click(journal()->btnFilter);
         }},
        {"filter_dialog.png", {}, Shown<lists::TformFilter>, Cancel<lists::TformFilter>},
        {"", {}, Shown<lists::TformNumberLog>, press(win::VK_ESCAPE)},
        {"about_box.png", [&] { f->mnuAboutClick(f); }, Shown<lists::TformAbout>,
         Cancel<lists::TformAbout>},
    };
    Play(table);
    modem.Stop();

    // No picture shows the key colour the skin's masks are cut with.
    for (const auto& [png, kept] : shots) {
        const display::Rgb& shot = kept.first;
        int keyed = 0;
        for (std::size_t k = 0; k + 2 < shot.pixels.size(); k += 3)
            keyed +=
                shot.pixels[k] == 0xFF && shot.pixels[k + 1] == 0 && shot.pixels[k + 2] == 0xFF;
        EXPECT_EQ(keyed, 0) << png;
    }
    EXPECT_EQ(shots.size(), 15u);

    // A few pixels against the skin's own colours (0xRRGGBB).
    skin::TsSkinManager* m = f->sSkinManager1;
    ASSERT_TRUE(m->Active());
    auto rgb = [](vcl::TColor c) {
        const uint32_t v = vcl::ColorToRGB(c);
        return (v & 0xFF) << 16 | (v & 0xFF00) | (v >> 16 & 0xFF);
    };
    auto screenOf = [](vcl::TControl* c, int x, int y) { return c->ClientToScreen({x, y}); };
    win::RECT title{};
    win::GetWindowRect(f->Handle(), &title);
    const vcl::TRect fixedCell = f->grid->CellRect(0, 1);
    const vcl::TPoint fixedLine =
        screenOf(f->grid, fixedCell.Right, (fixedCell.Top + fixedCell.Bottom) / 2);
    const vcl::TPoint client = screenOf(f, f->ClientWidth() - 20, f->labTextSMS->Top() + 4);
    win::HDC cache = f->sSkinProvider1->SkinData()->CacheBmp()->Canvas()->Handle();
    const int titleX = (title.right - title.left) - 150;
    gateway::TformStart* run = startForm();
    const vcl::TPoint face = screenOf(run->btnStop, 4, run->btnStop->Height() / 2);
    auto sectionColor = [m](const char* name) {
        return m->Sections()[size_t(m->GetSkinIndex(name))].Color;
    };
    const vcl::TPoint fill = screenOf(run->prBar, 3, run->prBar->Height() / 2);
    struct Probe {
        const char* what;
        std::string png;
        vcl::TPoint at;
        uint32_t expected;
    } probes[] = {
        {"the title bar as the frame cache holds it",
         "main_window.png",
         {title.left + titleX, title.top + 5},
         rgb(win::GetPixel(cache, titleX, 5))},
        // The caption's text lies on the title's own shading, not on a plate of its own.
        {"the title bar just before the caption's text",
         "main_window.png",
         {title.left + 28, title.top + 18},
         rgb(win::GetPixel(cache, titleX, 18))},
        {"the main window's client", "main_window.png", client, rgb(m->GetGlobalColor())},
        {"a line between the grid's fixed cells", "main_window.png", fixedLine,
         rgb(skin::FixedLineColorOf(m))},
        {"a button's face", "mailing_window.png", face, rgb(sectionColor("BUTTON"))},
        {"the progress bar's fill", "mailing_window.png", fill, rgb(sectionColor("PROGRESSH"))},
        // The pop-up opened on its first item: that one hot, the last one plain.
        {"the hot item", "main_menu.png", {menuRect.right - 10, menuRect.top + 12},
         rgb(m->Sections()[size_t(m->GetSkinIndex("MENUITEM"))].HotColor)},
        {"a plain item", "main_menu.png", {menuRect.right - 10, menuRect.bottom - 12},
         rgb(sectionColor("MENUITEM"))},
        {"the message box's background", "menus_and_dialogs.png",
         {boxRect.left + 20, boxRect.bottom - 20}, rgb(m->GetGlobalColor())},
        // The journal's header shaded from the skin's hot tint, with no classic raised edge,
        // and its current cell in the skin's highlight over the row's own colour.
        {"the top of the journal's header", "journal.png", journalTitle,
         rgb(skin::BlendTwoColors(m->GetGlobalColor(), m->GetGlobalHotColor(), 0.5))},
        {"the journal's current cell", "journal.png", journalCurrent,
         rgb(m->GetHighlightColor())},
        {"the list manager's selected row", "list_manager.png", listSelection,
         rgb(vcl::clHighlight)},
        {"the chooser's selected entry", "load_chooser.png", chooserSelection,
         rgb(vcl::clHighlight)},
        {"the list manager's list frame", "list_manager.png", listFrame, rgb(listFrameColor)},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(At(p.png, p.at.X, p.at.Y), p.expected) << p.what;
    // Neither the grid's lines black nor the fill lost in the background it lies on.
    EXPECT_NE(At("main_window.png", fixedLine.X, fixedLine.Y), 0u);
    EXPECT_NE(At("mailing_window.png", fill.X, fill.Y), rgb(m->GetGlobalColor()));
    // The memo of a window made hidden and shown later has the skin's bars, not the classic.
    const vcl::TPoint bar =
        screenOf(run->memoSMS, run->memoSMS->ClientWidth() + 8, run->memoSMS->ClientHeight() / 2);
    for (int classic : {win::COLOR_SCROLLBAR, win::COLOR_BTNFACE})
        EXPECT_NE(At("mailing_window.png", bar.X, bar.Y), rgb(win::GetSysColor(classic)));
}

}  // namespace
