#include "lists/form_number_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "gateway/form_start.h"
#include "gateway/log_thread.h"
#include "lists/form_filter.h"
#include "platform/display/screenshot.h"
#include "platform/os/cp1251.h"
#include "platform/os/cp_literal.h"
#include "platform/os/files.h"
#include "platform/user/message_box.h"
#include "platform/user/painting.h"
#include "platform/user/window_pos.h"
#include "skin/core/data/internal_skin.h"
#include "skin/core/data/stored_skins.h"
#include "skin/core/state/skin_manager.h"
#include "tests/gateway/window_rig.h"
#include "tests/lists/main_window_rig.h"
#include "tests/support/modal_script.h"
#include "vcl/system/date_utils.h"

namespace {

using gateway_test::ShownBox;

constexpr const char* kIMEI = "356938035643809";
constexpr const char* kOtherIMEI = "356938035643810";

// A journal row as the mailing run writes it; texts in cp1251.
struct Row {
    std::string number = "79161000001";
    std::string text = "Hello";
    bool ok = true;
    std::string sendTime = "2024-03-05 10:00:01.000";
    std::optional<std::string> receiveTime;
    std::optional<int> status;
    std::string name = "Clients";
    std::string start = "2024.03.05 10:00:00";
    std::string imei = kIMEI;
};

class JournalWindow : public ::testing::Test {
protected:
    JournalWindow() : db(sql::SharedDatabase(rig.dir.path())) {
        vcl::Application()->CreateForm(journal);
        journal->PointAt(rig.dir.path());
        rig.giveUp = [this] { journal->Close(); };
    }

    int Insert(const Row& r) {
        auto opt = [](const auto& v) { return v ? sql::Value(*v) : sql::Value(); };
        db->ExecuteRaw(
            "insert into NumberLog (NumID, Number, TextSMS, SendResultOK, SendTime, "
            "ReceiveTimeClient, StatusSC, Name, StartTime, IMEI, MR, ListID) "
            "values (7, ?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, 1, 1)",
            {sql::Value(r.number), sql::Value(os::Cp1251ToUtf8(r.text)), sql::Value(r.ok ? 1 : 0),
             sql::Value(r.sendTime), opt(r.receiveTime), opt(r.status),
             sql::Value(os::Cp1251ToUtf8(r.name)), sql::Value(r.start), sql::Value(r.imei)});
        return static_cast<int>(db->LastInsertRowId());
    }
    int64_t Count() { return db->QueryRaw("select count(*) from NumberLog").At(0, 0).Integer(); }
    std::string StatusText() { return journal->StatusBar->Panels()->Items(0)->Text(); }
    // The screen's colour `fromRight` pixels inside the right end of a grid cell (column by
    // field, record row), on its middle line.
    vcl::TColor CellColour(const display::Rgb& screen, const char* field, int row,
                           int fromRight = 4) {
        int col = 1;
        for (int i = 0; i < journal->Grid->Columns()->Count(); ++i) {
            vcl::TColumn* c = journal->Grid->Columns()->Items(i);
            if (!c->Visible()) continue;
            if (c->FieldName() == field) break;
            ++col;
        }
        const vcl::TRect r = journal->Grid->CellRect(col, row);
        const vcl::TPoint p =
            journal->Grid->ClientToScreen({r.Right - fromRight, (r.Top + r.Bottom) / 2});
        const unsigned char* px =
            &screen.pixels[(static_cast<std::size_t>(p.Y) * screen.width + p.X) * 3];
        return vcl::RGB(px[0], px[1], px[2]);
    }
    void Shoot(vcl::TForm* form, const std::string& name) {
        form->Update();
        win::RECT r{};
        win::GetWindowRect(form->Handle(), &r);
        const display::Rgb shot = display::CaptureScreen(&r);
        EXPECT_TRUE(display::WritePng(shot, rig.dir / name));
        if (const char* u = std::getenv("TESSARY_UPDATE_REFERENCE"); u && *u == '1')
            display::WritePng(shot, testing_support::TestDataDir() + "lists/" + name);
    }

    gateway_test::WindowRig rig;
    std::shared_ptr<sql::Database> db;
    lists::TformNumberLog* journal = nullptr;
};

TEST(JournalText, NumbersAreGroupedFromTheRightAndStartTimesRearranged) {
    EXPECT_EQ(lists::GroupNumber("79161234567"), "7-916-123-45-67");
    EXPECT_EQ(lists::GroupNumber("9161234567"), "916-123-45-67");
    EXPECT_EQ(lists::GroupNumber("+79161234567"), "+7-916-123-45-67");
    EXPECT_EQ(lists::GroupNumber("1234"), "12-34");
    EXPECT_EQ(lists::GroupNumber("123"), "1-23");
    EXPECT_EQ(lists::GroupNumber("12"), "12");
    EXPECT_EQ(lists::GroupNumber(""), "");
    EXPECT_EQ(lists::GroupNumber("1234567890123"), "123-456-789-01-23");
    EXPECT_EQ(lists::ShownStartTime("2024.03.05 10:00:09"), "05.03.2024 10:00:09");
    EXPECT_EQ(lists::ShownStartTime("2024.03.05 10:00"), "2024.03.05 10:00");
}

// Every status class: its word and colour in the grid, on the screen, and in the picture
// tests/data/lists/journal_window.png, kept for the eye (TESSARY_UPDATE_REFERENCE=1 writes it).
TEST_F(JournalWindow, ShowsEveryStatusClassWithItsWordAndColour) {
    struct Class {
        std::optional<int> status;
        std::string word;
        vcl::TColor colour;
    };
    const Class classes[] = {
        {std::nullopt, "Отчет не получен"_cp, vcl::clWhite},
        {0, "Доставлено"_cp, vcl::RGB(155, 255, 155)},
        {31, "Доставлено"_cp, vcl::RGB(155, 255, 155)},
        {32, "Временная ошибка"_cp, vcl::RGB(255, 255, 170)},
        {40, "Временная ошибка"_cp, vcl::RGB(255, 255, 170)},
        {63, "Временная ошибка"_cp, vcl::RGB(255, 255, 170)},
        {64, "Не доставлено"_cp, vcl::RGB(255, 170, 170)},
        {127, "Не доставлено"_cp, vcl::RGB(255, 170, 170)},
        {200, "Неизвестный код 200"_cp, vcl::clWhite},
        {-1, "Неизвестный код -1"_cp, vcl::clWhite},
    };
    int n = 0;
    for (const Class& c : classes) {
        Row r;
        r.number = "7916100000" + std::to_string(n++);
        r.status = c.status;
        r.text = "Заказ готов"_cp;
        if (c.status) r.receiveTime = "2024-03-05 10:00:0" + std::to_string(n % 10) + ".000";
        Insert(r);
    }
    Row failed;
    failed.ok = false;
    failed.name = "Рассылка \"Весна\""_cp;
    Insert(failed);

    rig.Then(
        "the journal", [&] { return journal->Visible(); },
        [&] {
            EXPECT_EQ(StatusText(), "Всего записей: 11"_cp);
            vcl::TKeyedQuery& q = journal->Query;
            for (int i = 0; i < static_cast<int>(std::size(classes)); ++i) {
                q.ReadRecord(i + 1);
                EXPECT_EQ(lists::StatusWord(q.FieldByName("StatusSC")), classes[i].word) << i;
                EXPECT_EQ(lists::StatusColor(q.FieldByName("StatusSC")), classes[i].colour) << i;
            }
            q.ReadRecord(0);
            win::RECT all{0, 0, 1024, 768};
            const display::Rgb screen = display::CaptureScreen(&all);
            const int shown = journal->Grid->RowCount() - 1;
            ASSERT_GE(shown, 11);
            for (int i = 0; i < static_cast<int>(std::size(classes)); ++i)
                EXPECT_EQ(CellColour(screen, "SendResultOK", i + 1), classes[i].colour) << i;
            Shoot(journal, "journal_window.png");
            rig.Key(win::VK_ESCAPE, 27);
        });
    journal->ShowForMailing("", 0);
    EXPECT_TRUE(rig.ScriptDone());
    EXPECT_FALSE(journal->Visible());
    EXPECT_FALSE(journal->Query.Active());  // closed with the window
}

// Quotes for blanks, quotes and semicolons, empty fields bare, CR LF after every line, cp1251.
TEST_F(JournalWindow, ExportWritesTheRowsShownByteForByte) {
    Row a;
    a.number = "79161000001";
    a.text = "Привет; \"друг\""_cp;
    a.receiveTime = "2024-03-05 10:00:07.000";
    a.status = 0;
    Insert(a);
    Row b;
    b.number = "79161000002";
    b.text = "Tab\there";
    b.ok = false;
    b.name = "";
    b.imei = kOtherIMEI;
    Insert(b);
    journal->RefreshLog();
    const std::string file = rig.dir / "journal.csv";
    journal->SaveCSV(file);
    const std::string expected =
        "Номер;Время отправки;Результат отправки;Время доставки;Результат доставки;Текст СМС;"
        "ИД номера;Имя списка;Время старта рассылки;IMEI шлюза\r\n"
        "79161000001;\"05.03.2024 10:00:01\";Успех;\"05.03.2024 10:00:07\";Доставлено;"
        "\"Привет; \"\"друг\"\"\";7;Clients;\"2024.03.05 10:00:00\";356938035643809\r\n"
        "79161000002;\"05.03.2024 10:00:01\";Ошибка;;\"Отчет не получен\";\"Tab\there\";7;;"
        "\"2024.03.05 10:00:00\";356938035643810\r\n"_cp;
    EXPECT_EQ(os::ReadWholeFile(file).value_or(""), expected);

    // Rule 4: a file that cannot be written is an error, and the grid is given back.
    EXPECT_THROW(journal->SaveCSV(rig.dir / "missing/journal.csv"), vcl::EFCreateError);
    EXPECT_FALSE(journal->Query.ControlsDisabled());
}

// The export button asks for the file in the save dialog (typed name, "csv" added) and writes
// the rows shown there.
TEST_F(JournalWindow, TheExportButtonWritesTheFileChosenInTheSaveDialog) {
    Insert(Row());
    journal->SaveDialog->SetInitialDir(rig.dir.path());
    win::HWND dialog = nullptr;
    rig.Then(
        "the journal", [&] { return journal->Visible(); }, [&] { rig.Click(journal->btnSaveCSV); });
    rig.Then(
        "the save dialog",
        [&] {
            dialog = win::GetActiveWindow();
            return dialog && dialog != journal->Handle();
        },
        [&] { testing_support::QueueType("журнал\r"_cp); });
    rig.Then(
        "the file", [&] { return win::GetActiveWindow() == journal->Handle(); },
        [&] {
            rig.Click(journal->Grid);
            rig.Key(win::VK_ESCAPE, 27);
        });
    journal->ShowForMailing("", 0);
    EXPECT_TRUE(rig.ScriptDone());
    EXPECT_EQ(journal->SaveDialog->FileName(), rig.dir.path() + "журнал.csv"_cp);
    const std::string csv = os::ReadWholeFile(rig.dir / "журнал.csv").value_or("");
    EXPECT_EQ(csv.substr(0, 6), "Номер;"_cp);
    EXPECT_NE(csv.find("\r\n79161000001;"), std::string::npos);
}

// Rule 3: the question names the count; No keeps everything; Yes removes the rows shown and
// keeps one another copy wrote after the refresh; the filter is reset afterwards.
TEST_F(JournalWindow, DeleteAsksWithTheCountAndRemovesOnlyRowsShown) {
    for (int i = 0; i < 3; ++i)
        Insert(Row());
    Row other;
    other.imei = kOtherIMEI;
    Insert(other);
    journal->Filter.IMEIs = kIMEI;
    rig.answers = {win::IDNO, win::IDYES};
    rig.Then(
        "the journal", [&] { return journal->Visible(); },
        [&] {
            EXPECT_EQ(StatusText(), "Всего записей: 3"_cp);
            Insert(Row());  // another copy's row, not shown
            rig.Click(journal->btnDelete);
        });
    rig.Then(
        "the first answer", [&] { return rig.boxes.size() == 1; },
        [&] {
            EXPECT_EQ(Count(), 5);
            rig.Click(journal->btnDelete);
        });
    rig.Then(
        "the second answer", [&] { return rig.boxes.size() == 2; },
        [&] {
            rig.Click(journal->Grid);  // the focus stays nowhere once the box has gone
            rig.Key(win::VK_ESCAPE, 27);
        });
    journal->ShowForMailing("", 0);
    EXPECT_TRUE(rig.ScriptDone());
    ASSERT_EQ(rig.boxes.size(), 2u);
    // The box shows the text's lines (broken at CR) one under the other.
    for (const ShownBox& b : rig.boxes) {
        EXPECT_EQ(b.caption, "Вопрос"_cp);
        EXPECT_EQ(b.text, "Будет удалено записей: 3.\r\nВы уверены, что хотите удалить?"_cp);
    }
    const auto left = db->QueryRaw("select IMEI from NumberLog order by ID");
    ASSERT_EQ(left.RowCount(), 2u);
    EXPECT_EQ(left.At(0, 0).Text(), kOtherIMEI);
    EXPECT_EQ(left.At(1, 0).Text(), kIMEI);
    EXPECT_EQ(journal->Filter, lists::TNumberLogFilter());
}

TEST_F(JournalWindow, DeletingWithNoFilterEmptiesTheJournal) {
    for (int i = 0; i < 4; ++i)
        Insert(Row());
    journal->RefreshLog();
    rig.answers = {win::IDYES};
    journal->btnDeleteClick(journal);
    ASSERT_EQ(rig.boxes.size(), 1u);
    EXPECT_EQ(rig.boxes[0].text, "Будет удалено записей: 4.\r\nВы уверены, что хотите удалить?"_cp);
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(StatusText(), "Всего записей: 0"_cp);
}

// Rule 3 across two copies: past the window of keys the grid has read, another copy's reports
// swap the rows in and out of the filter between the refresh and the delete, and it adds one:
// exactly the rows counted go. After a failed refresh nothing is shown, so nothing goes.
TEST_F(JournalWindow, DeleteTakesTheRowsTheLastRefreshCountedAndNoOthers) {
    db->ExecuteRaw(
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < 6000) "
        "insert into NumberLog (StatusSC) select case when i % 10 = 0 then 0 else 70 end from n");
    journal->Filter.StatusMask = lists::smNotDelivered;
    journal->RefreshLog();
    sql::Database other(sql::DatabaseFile(rig.dir.path()));
    other.ExecuteRaw("update NumberLog set StatusSC = 70 - StatusSC");
    other.ExecuteRaw("insert into NumberLog (StatusSC) values (70)");
    rig.answers = {win::IDYES, win::IDOK, win::IDYES};
    journal->btnDeleteClick(journal);
    // Left: the 600 rows delivered at the refresh and the new one.
    EXPECT_EQ(Count(), 601);
    EXPECT_EQ(db->QueryIntegers("select ID from NumberLog where ID % 10 <> 0"),
              std::vector<int64_t>{6001});

    Insert(Row());
    db->ExecuteRaw("alter table NumberLog rename to Saved");
    journal->RefreshLog();  // fails: the box says why
    db->ExecuteRaw("alter table Saved rename to NumberLog");
    journal->btnDeleteClick(journal);
    ASSERT_EQ(rig.boxes.size(), 3u);
    EXPECT_EQ(rig.boxes[0].text,
              "Будет удалено записей: 5400.\r\nВы уверены, что хотите удалить?"_cp);
    EXPECT_EQ(rig.boxes[2].text, "Будет удалено записей: 0.\r\nВы уверены, что хотите удалить?"_cp);
    EXPECT_EQ(Count(), 602);
}

// Rule 1 across two copies: after the refresh another copy delivers reports for counted rows,
// on the page the grid has read and past the first window of keys, and deletes one. The rest
// show and export their values of now; the deleted one is an empty grid row and no line. Without
// kept keys the later windows of keys are read after the delete: the empty row is the last.
TEST_F(JournalWindow, RowsAnotherCopyChangedOrDeletedShowAsTheyAreNow) {
    struct Case {
        uint8_t statusMask;
        const char* imeis;
        int emptyRecord;
        vcl::TColor above;  // the record before it
    } const cases[] = {{lists::smNoReport, "", 5005, vcl::RGB(155, 255, 155)},
                       {0, kIMEI, 6000, vcl::clWhite}};
    const std::string delivered =
        ";\"05.03.2024 10:00:01\";Успех;\"05.03.2024 10:00:07\";Доставлено;Hello;7;Clients;"
        "\"2024.03.05 10:00:00\";356938035643809\r\n"_cp;
    journal->Show();
    for (const Case& c : cases) {
        db->ExecuteRaw("delete from NumberLog");
        db->ExecuteRaw(
            "with recursive n(i) as (select 1 union all select i + 1 from n where i < 6000) "
            "insert into NumberLog (ID, NumID, Number, TextSMS, SendResultOK, SendTime, Name, "
            "StartTime, IMEI) select i, 7, '7916' || (1000000 + i), 'Hello', 1, "
            "'2024-03-05 10:00:01.000', 'Clients', '2024.03.05 10:00:00', '" +
            std::string(kIMEI) + "' from n");
        journal->Filter.StatusMask = c.statusMask;
        journal->Filter.IMEIs = c.imeis;
        journal->RefreshLog();
        sql::Database other(sql::DatabaseFile(rig.dir.path()));
        other.ExecuteRaw(
            "update NumberLog set StatusSC = 0, ReceiveTimeClient = '2024-03-05 10:00:07.000' "
            "where ID = 3 or ID between 5001 and 5010");
        other.ExecuteRaw("delete from NumberLog where ID = 5005");

        journal->Query.SetRecNo(c.emptyRecord);
        win::RedrawWindow(journal->Handle(), nullptr, nullptr,
                          win::RDW_UPDATENOW | win::RDW_ALLCHILDREN);
        win::RECT all{0, 0, 1024, 768};
        const display::Rgb screen = display::CaptureScreen(&all);
        const int row = journal->Grid->Row();
        bool blank = true;  // along the middle line of its send result
        for (int x = 5; x < 110; ++x)
            blank = blank && CellColour(screen, "SendResultOK", row, x) == vcl::clWhite;
        EXPECT_TRUE(blank) << c.emptyRecord;
        EXPECT_EQ(CellColour(screen, "SendResultOK", row - 1), c.above);

        journal->SaveCSV(rig.dir / "journal.csv");
        const std::string csv = os::ReadWholeFile(rig.dir / "journal.csv").value_or("");
        EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 6000) << c.emptyRecord;
        EXPECT_NE(csv.find("\n79161000003" + delivered), std::string::npos);
        EXPECT_NE(csv.find("\n79161005004" + delivered + "79161005006" + delivered),
                  std::string::npos);
    }
}

// Rule 2: the database's message and the statement, caption "Ошибка"; the window then works.
TEST_F(JournalWindow, ARefreshThatFailsSaysWhyAndTheWindowStaysUsable) {
    Insert(Row());
    journal->RefreshLog();
    EXPECT_EQ(StatusText(), "Всего записей: 1"_cp);
    db->ExecuteRaw("alter table NumberLog rename to Saved");
    journal->RefreshLog();
    ASSERT_EQ(rig.boxes.size(), 1u);
    EXPECT_EQ(rig.boxes[0].caption, "Ошибка"_cp);
    EXPECT_NE(rig.boxes[0].text.find("no such table"), std::string::npos) << rig.boxes[0].text;
    EXPECT_NE(rig.boxes[0].text.find("select\r\nID, NUMID, Number"), std::string::npos);
    EXPECT_EQ(StatusText(), "Всего записей: 1"_cp);
    db->ExecuteRaw("alter table Saved rename to NumberLog");
    Insert(Row());
    journal->RefreshLog();
    EXPECT_EQ(StatusText(), "Всего записей: 2"_cp);
}

// The main window as the program has it: the mailing window's journal button reaches the
// journal window through it.
class ForwardingMain : public gateway_test::TestMainWindow {
public:
    ForwardingMain(const std::string& folder, lists::TformNumberLog* journal)
        : TestMainWindow(folder), journal_(journal) {}
    void ShowForMailing(const std::string& imei, os::TDateTime startTime) override {
        journal_->ShowForMailing(imei, startTime);
    }

private:
    lists::TformNumberLog* journal_;
};

TEST_F(JournalWindow, TheMailingWindowsButtonShowsTheJournalOfItsRun) {
    Insert(Row());
    Row earlier;
    earlier.start = "2024.03.04 09:00:00";
    Insert(earlier);
    Row otherModem;
    otherModem.imei = kOtherIMEI;
    Insert(otherModem);
    rig.main.reset();
    rig.main = std::make_unique<ForwardingMain>(rig.dir.path(), journal);
    gateway::StartLogThread(rig.dir.path());
    gateway::TformStart* start = nullptr;
    vcl::Application()->CreateForm(start);
    rig.giveUp = [&] {
        journal->Close();
        start->SetModalResult(vcl::mrCancel);
    };
    rig.Then(
        "the mailing window", [&] { return start->Visible(); },
        [&] {
            start->Run().IMEI = std::string(" ") + kIMEI + " ";
            start->Run().StartTime = vcl::EncodeDateTime(2024, 3, 5, 10, 0, 0, 0);
            start->btnShowNumberLog->SetEnabled(true);
            rig.Click(start->btnShowNumberLog);
        });
    rig.Then(
        "the journal", [&] { return journal->Visible(); },
        [&] {
            EXPECT_EQ(journal->Filter.StartTimes, "\"2024.03.05 10:00:00\"");
            EXPECT_EQ(journal->Filter.IMEIs, kIMEI);
            EXPECT_EQ(StatusText(), "Всего записей: 1"_cp);
            rig.Key(win::VK_ESCAPE, 27);
        });
    rig.Then(
        "the journal closed", [&] { return !journal->Visible(); },
        [&] { rig.Click(start->btnClose); });
    start->Execute("", 1, "Clients", "Hello");
    EXPECT_TRUE(rig.ScriptDone());

    // A short IMEI, or no start: the last filter stays.
    rig.Then(
        "the journal again", [&] { return journal->Visible(); },
        [&] {
            EXPECT_EQ(StatusText(), "Всего записей: 1"_cp);
            rig.Key(win::VK_ESCAPE, 27);
        });
    journal->ShowForMailing("12345", vcl::EncodeDate(2024, 3, 4));
    EXPECT_TRUE(rig.ScriptDone());
}

// The filter dialog offers the journal's names (sorted, blanks left out), mailing starts
// (newest first) and IMEIs (15 characters or more), ticks what the filter holds, and changes
// the filter only on OK. Its picture: tests/data/lists/filter_dialog.png.
TEST_F(JournalWindow, TheFilterDialogOffersTheJournalsValuesAndFiltersOnOK) {
    Row a;
    a.name = "Клиенты"_cp;
    a.status = 0;
    Insert(a);
    Row b;
    b.name = "Акция весна"_cp;
    b.start = "2024.03.06 12:00:00";
    b.number = "79162000002";
    Insert(b);
    Row c;
    c.name = "   ";
    c.imei = "12345";
    c.start = "2024.03.04 08:00:00";
    Insert(c);
    Row d;
    d.imei = kOtherIMEI;
    d.status = 70;
    Insert(d);

    lists::TformFilter* dialog = nullptr;
    vcl::Application()->CreateForm(dialog);
    ASSERT_EQ(lists::FilterForm(), dialog);
    rig.giveUp = [&] {
        dialog->Close();
        journal->Close();
    };
    auto items = [](skin::TsCheckListBox* l) {
        std::vector<std::string> out;
        for (int i = 0; i < l->Items()->Count(); ++i)
            out.push_back(l->Items()->Strings(i));
        return out;
    };
    rig.Then(
        "the journal", [&] { return journal->Visible(); },
        [&] {
            EXPECT_EQ(StatusText(), "Всего записей: 4"_cp);
            rig.Click(journal->btnFilter);
        });
    rig.Then(
        "the dialog", [&] { return dialog->Visible(); },
        [&] {
            EXPECT_EQ(items(dialog->lstName),
                      (std::vector<std::string>{"Clients", "Акция весна"_cp, "Клиенты"_cp}));
            EXPECT_EQ(items(dialog->lstStartTime),
                      (std::vector<std::string>{"2024.03.06 12:00:00", "2024.03.05 10:00:00",
                                                "2024.03.04 08:00:00"}));
            EXPECT_EQ(items(dialog->lstIMEI), (std::vector<std::string>{kIMEI, kOtherIMEI}));
            dialog->lstName->SetChecked(2, true);
            dialog->lstIMEI->SetChecked(0, true);
            rig.Click(dialog->edNumber);
            rig.Type("7916%");
            rig.Click(dialog->chkDelivered);
            rig.Click(dialog->chkNoReport);
            dialog->edDateDlvFrom->SetDate(vcl::EncodeDate(2024, 3, 5));
            dialog->edTimeDlvFrom->SetTime(vcl::EncodeTime(10, 0, 1, 0));
            dialog->edTimeDlvTo->SetTime(vcl::EncodeTime(11, 0, 0, 0));  // no day: no bound
        });
    rig.Then(
        "the dialog filled in", [&] { return dialog->chkNoReport->Checked(); },
        [&] {
            EXPECT_EQ(dialog->edNumber->Text(), "7916%");
            Shoot(dialog, "filter_dialog.png");
            rig.Click(dialog->btnOK);
        });
    rig.Then(
        "the filtered journal", [&] { return !dialog->Visible(); },
        [&] {
            lists::TNumberLogFilter want;
            want.Number = "7916%";
            want.Names = "Клиенты"_cp;
            want.IMEIs = kIMEI;
            want.SendFrom = vcl::EncodeDateTime(2024, 3, 5, 10, 0, 1, 0);
            want.StatusMask = lists::smDelivered | lists::smNoReport;
            EXPECT_EQ(journal->Filter.Number, want.Number);
            EXPECT_EQ(journal->Filter.Names, want.Names);
            EXPECT_EQ(journal->Filter.IMEIs, want.IMEIs);
            EXPECT_NEAR(journal->Filter.SendFrom, want.SendFrom, 1e-9);
            EXPECT_EQ(journal->Filter.SendTo, 0);
            EXPECT_EQ(journal->Filter.StatusMask, want.StatusMask);
            EXPECT_EQ(journal->Filter.SendResult, 0);
            EXPECT_EQ(StatusText(), "Всего записей: 1"_cp);
            rig.Click(journal->btnFilter);
        });
    rig.Then(
        "the dialog again", [&] { return dialog->Visible(); },
        [&] {
            // What the filter holds is ticked; Escape leaves the filter as it was.
            EXPECT_FALSE(dialog->lstName->Checked(1));
            EXPECT_TRUE(dialog->lstName->Checked(2));
            EXPECT_TRUE(dialog->lstIMEI->Checked(0));
            EXPECT_EQ(dialog->edNumber->Text(), "7916%");
            EXPECT_TRUE(dialog->chkNoReport->Checked());
            EXPECT_FALSE(dialog->chkTempError->Checked());
            rig.Click(dialog->chkTempError);
            rig.Click(dialog->edDateRcvFrom->Button());
        });
    // Escape in the drop-down calendar closes the calendar only; the next one the dialog.
    rig.Then(
        "the calendar", [&] { return dialog->edDateRcvFrom->PopupVisible(); },
        [&] { rig.Key(win::VK_ESCAPE, 27); });
    rig.Then(
        "the calendar closed", [&] { return !dialog->edDateRcvFrom->PopupVisible(); },
        [&] {
            EXPECT_TRUE(dialog->Visible());
            EXPECT_TRUE(dialog->chkTempError->Checked());
            rig.Key(win::VK_ESCAPE, 27);
        });
    rig.Then(
        "the journal after Escape", [&] { return !dialog->Visible(); },
        [&] {
            EXPECT_EQ(journal->Filter.StatusMask, lists::smDelivered | lists::smNoReport);
            rig.Key(win::VK_ESCAPE, 27);
        });
    journal->ShowForMailing("", 0);
    EXPECT_TRUE(rig.ScriptDone());
}

}  // namespace

namespace {

// The main window's journal button: the whole journal of the main window's database, with the
// filter the journal last had.
TEST(MainWindowJournal, TheJournalButtonShowsTheWholeJournal) {
    lists_test::MainWindowRig rig;
    for (const char* imei : {kIMEI, kOtherIMEI})
        rig.Exec(std::string("insert into NumberLog (Number, SendResultOK, SendTime, IMEI) values "
                             "('79161000001', 1, '2024-03-05 10:00:00.000', '") +
                 imei + "')");
    lists::TformNumberLog* journal = nullptr;
    rig.Then(
        "the journal",
        [&] {
            for (int i = 0; i < vcl::Screen()->FormCount() && !journal; ++i)
                journal = dynamic_cast<lists::TformNumberLog*>(vcl::Screen()->Forms(i));
            return journal && journal->Visible();
        },
        [&] {
            EXPECT_EQ(journal->StatusBar->Panels()->Items(0)->Text(), "Всего записей: 2"_cp);
            rig.Key(win::VK_ESCAPE, 27);
        });
    rig.form->btnNumberLog->Click();
    EXPECT_TRUE(rig.ScriptDone());
    ASSERT_NE(journal, nullptr);
    EXPECT_FALSE(journal->Visible());
}

// The same dialog under the internal skin, kept as tests/data/lists/filter_dialog_skinned.png
// beside its classic picture: its check lists paint their items from the skin.
TEST_F(JournalWindow, UnderTheInternalSkinTheFilterDialogPaintsFromTheSkin) {
    std::unique_ptr<skin::TsSkinManager, vcl::FreeDeleter> manager(
        new skin::TsSkinManager(nullptr));
    skin::AddInternalSkin(*manager->InternalSkins());
    manager->SetSkinName(skin::InternalSkinName());
    ASSERT_TRUE(manager->SkinData().Active);
    Row a;
    a.name = "Клиенты"_cp;
    Insert(a);
    Row b;
    b.name = "Акция весна"_cp;
    b.start = "2024.03.06 12:00:00";
    b.imei = kOtherIMEI;
    Insert(b);
    lists::TformFilter* dialog = nullptr;
    vcl::Application()->CreateForm(dialog);
    rig.giveUp = [&] {
        dialog->Close();
        journal->Close();
    };
    rig.Then(
        "the journal", [&] { return journal->Visible(); }, [&] { rig.Click(journal->btnFilter); });
    rig.Then(
        "the dialog", [&] { return dialog->Visible(); },
        [&] {
            dialog->lstName->SetChecked(1, true);
            dialog->lstIMEI->SetChecked(0, true);
            dialog->edDateDlvFrom->SetDate(vcl::EncodeDate(2024, 3, 5));
        });
    rig.Then(
        "the dialog filled in", [&] { return dialog->lstName->Checked(1); },
        [&] {
            Shoot(dialog, "filter_dialog_skinned.png");
            // An unchecked item's text area is the list's colour, which the skin gave it.
            skin::TsCheckListBox* l = dialog->lstStartTime;
            const vcl::TRect item = l->ItemRect(0);
            const vcl::TPoint p = l->ClientToScreen({item.Right - 3, item.Top + 1});
            win::RECT one{p.X, p.Y, p.X + 1, p.Y + 1};
            const display::Rgb px = display::CaptureScreen(&one);
            const auto section = manager->Skin().Sections[size_t(manager->GetSkinIndex("EDIT"))];
            EXPECT_EQ(vcl::RGB(px.pixels[0], px.pixels[1], px.pixels[2]),
                      vcl::TColor(section.Color & 0xFFFFFF));
            rig.Key(win::VK_ESCAPE, 27);
        });
    rig.Then(
        "the journal again", [&] { return !dialog->Visible(); },
        [&] { rig.Key(win::VK_ESCAPE, 27); });
    journal->ShowForMailing("", 0);
    EXPECT_TRUE(rig.ScriptDone());
}

}  // namespace
