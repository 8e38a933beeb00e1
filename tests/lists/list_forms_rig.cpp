#include "tests/lists/list_forms_rig.h"

#include <gtest/gtest.h>

#include "platform/gdi/bitmap.h"
#include "platform/user/screen.h"
#include "platform/user/user.h"

namespace lists_test {

void ListFormsRig::Exec(const std::string& sql) {
    vcl::TQuery& q = Data().Query;
    q.Close();
    q.SQL.SetText(sql);
    q.ExecSQL();
}

int ListFormsRig::AddList(const std::string& name, int numbers, int processed, int values) {
    vcl::TQuery& q = Data().Query;
    q.Close();
    q.SQL.SetText("insert into List (Name, TextSMS, Active) values (:prmStr, 'text', 0)");
    q.ParamByName("prmStr").SetAsString(name);
    q.ExecSQL();
    const int id = Count("select max(ID) from List");
    for (int n = 0; n < numbers; ++n) {
        Exec("insert into NumberList (ListID, Number, Processed) values (" + std::to_string(id) +
             ", '7916" + std::to_string(1000000 + n) + "', " + (n < processed ? "1" : "0") + ")");
        const int numberID = Count("select max(ID) from NumberList");
        for (int v = 0; v < values; ++v)
            Exec("insert into UserValues (NumberID, Val) values (" + std::to_string(numberID) +
                 ", 'v" + std::to_string(v) + "')");
    }
    return id;
}

void ListFormsRig::SetActive(int id, bool active) {
    Exec("update List set Active=" + std::string(active ? "1" : "0") +
         " where ID=" + std::to_string(id));
}

int ListFormsRig::Count(const std::string& sql) {
    vcl::TQuery& q = Data().Query;
    q.Close();
    q.SQL.SetText(sql);
    q.Open();
    const int n = q.Fields(0).AsInteger();
    q.Close();
    return n;
}

std::vector<std::string> ListFormsRig::Names() {
    vcl::TQuery& q = Data().Query;
    q.Close();
    q.SQL.SetText("select Name from List order by ID");
    std::vector<std::string> out;
    q.Open();
    for (q.First(); !q.Eof(); q.Next())
        out.push_back(q.Fields(0).AsString());
    q.Close();
    return out;
}

std::string ListFormsRig::ActiveCaption() {
    char buf[256] = {};
    win::GetWindowTextA(win::GetActiveWindow(), buf, sizeof buf);
    return buf;
}

void ListFormsRig::DoubleClick(vcl::TControl* control, int x, int y) {
    const vcl::TPoint p = control->ClientToScreen({x, y});
    rig.screen.Click(p.X, p.Y);
    rig.screen.Click(p.X, p.Y);
}

win::COLORREF ListFormsRig::ScreenPixel(vcl::TControl* control, int x, int y) {
    const vcl::TPoint p = control->ClientToScreen({x, y});
    win::BitmapView v;
    EXPECT_TRUE(win::GetBitmapView(win::ComposeScreen(), &v));
    const win::BYTE* px = v.Row(p.Y) + p.X * 4;
    return win::RGB(px[2], px[1], px[0]);
}

}  // namespace lists_test
