#include "vcl/system/string_list.h"

#include <gtest/gtest.h>

#include "platform/os/cp_literal.h"
#include "tests/support/temp_dir.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/streams.h"

namespace {

using namespace vcl;

std::vector<std::string> Lines(const TStrings& s) {
    std::vector<std::string> out;
    for (int i = 0; i < s.Count(); ++i)
        out.push_back(s[i]);
    return out;
}

TEST(CommaText, QuotesWhatWouldNotReadBack) {
    TStringList l{"plain", "two words", "a,b", "say \"hi\"", "", "tab\there"};
    EXPECT_EQ(l.CommaText(), "plain,\"two words\",\"a,b\",\"say \"\"hi\"\"\",,\"tab\there\"");
    TStringList back;
    back.SetCommaText(l.CommaText());
    EXPECT_EQ(Lines(back), Lines(l));

    TStringList one{""};
    EXPECT_EQ(one.CommaText(), "\"\"");
    back.SetCommaText("\"\"");
    EXPECT_EQ(Lines(back), std::vector<std::string>{""});
    back.SetCommaText("");
    EXPECT_EQ(back.Count(), 0);
}

TEST(CommaText, ReadsTheClassLibraryForm) {
    TStringList l;
    // Unquoted blanks separate, blanks around items go, a trailing comma adds an empty item,
    // an unterminated quote runs to the end.
    l.SetCommaText("  a b ,c,, \"d e\",");
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"a", "b", "c", "", "d e", ""}));
    l.SetCommaText("\"open");
    EXPECT_EQ(Lines(l), std::vector<std::string>{"open"});
    l.SetCommaText("\"x\"y");
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"x", "y"}));
    // The text ends at a NUL (a line read from a file may hold one); it must not loop.
    l.SetCommaText(std::string_view("a,b\0,c", 6));
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"a", "b"}));

    l.Delimiter = ';';
    l.QuoteChar = '\'';
    l.SetDelimitedText("1;'2;3';x y");
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"1", "2;3", "x", "y"}));
    EXPECT_EQ(l.DelimitedText(), "1;'2;3';x;y");
    EXPECT_EQ(l.CommaText(), "1,2;3,x,y");  // the comma form keeps its own characters
}

TEST(TStrings, TextSplitsAtEveryLineBreakKind) {
    TStringList l;
    l.SetText("a\r\nb\nc\rd\r\n\r\ne");
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"a", "b", "c", "d", "", "e"}));
    EXPECT_EQ(l.Text(), "a\r\nb\r\nc\r\nd\r\n\r\ne\r\n");
    l.SetText("only\r\n");
    EXPECT_EQ(l.Count(), 1);
    l.SetText(std::string("nul\0inside", 10));
    EXPECT_EQ(l[0].size(), 10u);  // nothing lost after a NUL byte
}

TEST(TStrings, NameValuePairs) {
    TStringList l{"COMPort=ttyUSB0", "SMSDelay=1", "novalue", "=empty name"};
    EXPECT_EQ(l.Values("comport"), "ttyUSB0");
    EXPECT_EQ(l.Names(2), "");
    EXPECT_EQ(l.ValueFromIndex(3), "empty name");
    EXPECT_EQ(l.IndexOfName("SMSDELAY"), 1);
    l.SetValues("SMSDelay", "5");
    l.SetValues("New", "x=y");
    EXPECT_EQ(l[1], "SMSDelay=5");
    EXPECT_EQ(l.Values("New"), "x=y");
    l.SetValues("COMPort", "");
    EXPECT_EQ(l.IndexOfName("COMPort"), -1);
}

TEST(TStringList, SortedListsWithDuplicateRules) {
    TStringList l;
    l.SetSorted(true);
    EXPECT_EQ(l.Add("b"), 0);
    EXPECT_EQ(l.Add("a"), 0);
    EXPECT_EQ(l.Add("Б"_cp), 2);  // cp1251 letters after Latin
    EXPECT_EQ(l.Add("B"), 1);     // dupIgnore: the existing index, nothing added
    EXPECT_EQ(l.Count(), 3);
    EXPECT_THROW(l.Insert(0, "z"), EStringListError);
    EXPECT_THROW(l.Put(0, "z"), EStringListError);
    l.SetDuplicates(dupError);
    EXPECT_THROW(l.Add("A"), EStringListError);
    l.SetDuplicates(dupAccept);
    EXPECT_EQ(l.Add("A"), 0);  // before the equal line
    EXPECT_EQ(l.IndexOf("a"), 0);
    EXPECT_EQ(l.Count(), 4);

    TStringList cs{"b", "B", "a"};
    cs.SetCaseSensitive(true);
    cs.SetSorted(true);
    EXPECT_EQ(cs.Count(), 3);
    EXPECT_NE(cs.IndexOf("B"), cs.IndexOf("b"));
    EXPECT_EQ(cs.IndexOf("A"), -1);
}

TEST(TStringList, CyrillicComparesIgnoringCase) {
    TStringList l{"яблоко"_cp, "Арбуз"_cp, "банан"_cp};
    l.SetSorted(true);
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"Арбуз"_cp, "банан"_cp, "яблоко"_cp}));
    EXPECT_EQ(l.IndexOf("БАНАН"_cp), 1);
}

TEST(TStringList, ObjectsChangeEventsAndIndexErrors) {
    TStringList l;
    int changes = 0, changing = 0;
    l.OnChange = TNotifyEvent::FromCallable([&](TObject*) { ++changes; });
    l.OnChanging = TNotifyEvent::FromCallable([&](TObject*) { ++changing; });
    TStringList tag;
    l.AddObject("one", &tag);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(changing, 1);
    l.BeginUpdate();
    l.Add("two");
    l.Add("three");
    l.Exchange(0, 2);
    EXPECT_EQ(changes, 1);
    l.EndUpdate();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(changing, 2);
    EXPECT_EQ(l.Objects(2), &tag);
    EXPECT_EQ(l.IndexOfObject(&tag), 2);
    l.Move(2, 0);
    EXPECT_EQ(l.Objects(0), &tag);
    EXPECT_EQ(l[0], "one");
    EXPECT_THROW(l.Get(3), EStringListError);
    EXPECT_THROW(l.Delete(-1), EStringListError);
    EXPECT_THROW(l.Insert(4, "x"), EStringListError);
    l.Insert(3, "end");
    EXPECT_EQ(l[3], "end");
}

TEST(TStringList, AssignAndCustomSort) {
    TStringList a{"3", "10", "2"};
    a.Delimiter = ';';
    TStringList b;
    b.Assign(&a);
    EXPECT_TRUE(b.Equals(&a));
    EXPECT_EQ(b.Delimiter, ';');
    b.CustomSort(
        [](const TStringList& l, int i, int j) { return std::stoi(l[i]) - std::stoi(l[j]); });
    EXPECT_EQ(Lines(b), (std::vector<std::string>{"2", "3", "10"}));
    EXPECT_FALSE(b.Equals(&a));
    TPersistent notAList;
    EXPECT_THROW(b.Assign(&notAList), EConvertError);
    EXPECT_THROW(b.Assign(nullptr), EConvertError);
}

TEST(TStringList, FilesKeepTheBytesAsTheyAre) {
    testing_support::TempDir dir;
    TStringList l{"Внимание"_cp, "line two"};
    const std::string file = dir / "list.txt";
    l.SaveToFile(file);
    TMemoryStream raw;
    raw.LoadFromFile(file);
    EXPECT_EQ(raw.Size(), 8 + 2 + 8 + 2);  // one byte per cp1251 character
    TStringList back;
    back.LoadFromFile(file);
    EXPECT_EQ(Lines(back), Lines(l));

    // Loading from a stream starts at its position.
    TStringStream s("skip\r\nkeep\r\n");
    s.SetPosition(6);
    back.LoadFromStream(&s);
    EXPECT_EQ(Lines(back), std::vector<std::string>{"keep"});
    EXPECT_THROW(back.LoadFromFile(dir / "missing.txt"), EFOpenError);
}

}  // namespace
