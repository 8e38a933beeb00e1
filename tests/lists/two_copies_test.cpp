// Two copies of the program on one database: one mails a list while the other saves, renames
// and deletes other lists. No write fails, no row is lost, and the list being mailed is refused
// to the other copy.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "db/statements.h"
#include "db/tables.h"
#include "lists/list_activity.h"
#include "lists/list_storage.h"
#include "platform/os/cp_literal.h"
#include "platform/sql/shared_database.h"
#include "tests/gateway/run_rig.h"
#include "tests/support/temp_dir.h"
#include "vcl/data/db_database.h"

namespace {

constexpr int kNumbers = 40;

// The copy that mails: waits for the start signal, then runs the list to its end with the
// in-process modem, every wait of the run taking a little real time. At its first wait (the list
// is taken by then) it says so on `heldFd` and waits for the other copy's go-ahead on `startFd`,
// so the other copy meets the taken list however the two are scheduled.
int MailList(const std::string& folder, int list, int startFd, int heldFd) {
    char go;
    if (read(startFd, &go, 1) < 0) return 2;
    try {
        gateway_test::Rig link;
        bool held = false;
        link.link.ProcessMessages = [&] {
            if (!held && (write(heldFd, "h", 1) != 1 || read(startFd, &go, 1) != 1)) _exit(5);
            held = true;
            usleep(50);
        };
        db::TOwnDataSets data(folder);
        gateway::TSettings settings;
        settings.SMSDelay = 0;
        settings.ReportRequire = false;
        gateway_test::RecordingView view;
        gateway::TMailingRun run(link.link, data.Refs(), settings, view);
        run.Reset("ttyUSB0", list, "Рассылка"_cp, "Текст [№1]"_cp);
        run.btnStartClick();
        sql::CloseSharedDatabases();
        return view.boxes.empty() ? 0 : 4;
    } catch (const std::exception&) {
        return 1;
    }
}

class Editor : public lists::TListEditor {
public:
    Editor() : grid(vcl::New<vcl::TStringGrid>(nullptr)) {}
    ~Editor() override { grid->Free(); }
    vcl::TStringGrid& Grid() override { return *grid; }
    bool GridLocked() const override { return false; }
    void UnlockGrid() override {}
    void ClearList() override {}
    std::string TemplateText() const override { return "text"; }
    void Fill(int rows, int seed) {
        grid->SetRowCount(rows + 1);
        grid->SetColCount(3);
        for (int r = 1; r <= rows; ++r) {
            grid->SetCells(1, r, std::to_string(89160000000LL + seed * 1000 + r));
            grid->SetCells(2, r, "v" + std::to_string(seed));
        }
    }
    vcl::TStringGrid* grid;
};

template <std::size_t N>
void ExecWithID(vcl::TQuery& q, const char* const (&lines)[N], int id) {
    db::SetStatement(q, lines);
    q.ParamByName("prmInt").SetAsInteger(id);
    q.ExecSQL();
}

TEST(TwoCopies, OneMailsWhileTheOtherSavesRenamesAndDeletesOtherLists) {
    testing_support::TempDir dir;
    const std::string folder = dir.path();
    db::CreateMissingTables(folder);
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < kNumbers; ++i)
        rows.push_back({"+7916" + std::to_string(1000000 + i), std::to_string(i)});
    const int mailed = gateway_test::RunRig::SaveRows(*sql::SharedDatabase(folder), "Рассылка"_cp,
                                                      "Текст [№1]"_cp, rows);
    sql::CloseSharedDatabases();  // no connection may cross the fork

    int start[2], held[2];
    ASSERT_EQ(pipe(start), 0);
    ASSERT_EQ(pipe(held), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(start[1]);
        close(held[0]);
        _exit(MailList(folder, mailed, start[0], held[1]));
    }
    close(start[0]);
    close(held[1]);

    db::TOwnDataSets data(folder);
    Editor editor;
    lists::TListStorage storage(data.Refs(), editor);
    auto db = sql::SharedDatabase(folder);
    ASSERT_EQ(write(start[1], "s", 1), 1);  // the mailing starts
    char byte;
    ASSERT_EQ(read(held[0], &byte, 1), 1) << "the mailing never reached its first wait";
    close(held[0]);
    ASSERT_TRUE(lists::IsListActiveByID(data.Refs(), mailed)) << "the mailing never took its list";

    int refused = 0, rounds = 0, failures = 0;
    int status = 0;
    pid_t done = 0;
    bool savedMailed = false;
    while ((done = waitpid(child, &status, WNOHANG)) == 0) {
        // Two rounds against the held run, then it goes on beside the rest.
        if (rounds == 2) {
            ASSERT_EQ(write(start[1], "g", 1), 1);
        }
        try {
            ++rounds;
            editor.Fill(20, rounds);
            EXPECT_EQ(storage.SaveList("Другой"_cp), lists::TListStorage::TSaveResult::Saved);
            const lists::TListStorage::TSaveResult mine = storage.SaveList("рассылка"_cp);
            if (mine == lists::TListStorage::TSaveResult::ListBusy)
                ++refused;
            else
                savedMailed = true;  // only once the run has given the list back

            // A list made, renamed and deleted, each change in its own transaction.
            storage.SaveList("Временный"_cp);
            const int temp = storage.FindList("Временный"_cp)->ID;
            db::SetStatement(data.Query, db::kRenameList);
            data.Query.ParamByName("prmStr").SetAsString("Переименованный"_cp);
            data.Query.ParamByName("prmStr2").SetAsString("Временный"_cp);
            data.Query.ExecSQL();
            vcl::TDatabase transaction(folder);
            transaction.StartTransaction();
            ExecWithID(data.Query, db::kDeleteValuesOfList, temp);
            ExecWithID(data.Query, db::kDeleteNumbersOfList, temp);
            ExecWithID(data.Query, db::kDeleteList, temp);
            transaction.Commit();
            usleep(20000);  // an operator's pace, not a flood
        } catch (const std::exception& e) {
            ++failures;
            ADD_FAILURE() << e.what();
        }
    }
    close(start[1]);
    ASSERT_EQ(done, child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the mailing copy failed";
    EXPECT_EQ(failures, 0);
    EXPECT_GE(refused, 1);
    EXPECT_GE(rounds, 2);

    // Every number of the mailed list was sent and journaled once.
    EXPECT_EQ(db->QueryRaw("select count(*) from NumberLog where ListID = ?1 and SendResultOK = 1",
                           {sql::Value(mailed)})
                  .At(0, 0)
                  .Integer(),
              kNumbers);
    if (!savedMailed) {
        EXPECT_EQ(
            db->QueryRaw("select count(*) from NumberList where ListID = ?1 and Processed = 1",
                         {sql::Value(mailed)})
                .At(0, 0)
                .Integer(),
            kNumbers);
    }
    // The other copy's lists are as it last saved them.
    storage.LoadListArray();
    EXPECT_EQ(storage.ListArray.size(), 2u);
    const int other = storage.FindList("Другой"_cp)->ID;
    EXPECT_EQ(db->QueryRaw("select count(*) from NumberList a join UserValues b on b.NumberID = "
                           "a.ID where a.ListID = ?1 and b.Val = ?2",
                           {sql::Value(other), sql::Value("v" + std::to_string(rounds))})
                  .At(0, 0)
                  .Integer(),
              20);
    if (!savedMailed) {
        EXPECT_EQ(db->QueryRaw("select count(*) from NumberList").At(0, 0).Integer(),
                  kNumbers + 20);
    }
    sql::CloseSharedDatabases();
}

}  // namespace
