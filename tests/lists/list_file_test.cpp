// Lists as semicolon-separated text: field counts, line ends, encodings and the written form.
#include <gtest/gtest.h>

#include "lists/list_file.h"
#include "platform/os/cp_literal.h"
#include "platform/os/files.h"
#include "tests/support/temp_dir.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/format.h"

namespace {

using lists::FormatListFile;
using lists::ParseListFile;
using Rows = std::vector<lists::TListRow>;

// The rows as the grid shows them: every row of the file's field count.
Rows Grid(const lists::TListFile& f) {
    Rows rows = f.rows;
    for (auto& row : rows)
        row.resize(static_cast<std::size_t>(f.fieldCount));
    return rows;
}

TEST(ListFile, Rule1And2TheFirstLineFixesTheColumns) {
    auto f = ParseListFile("100;a;b\r\n101;c");
    EXPECT_EQ(f.fieldCount, 3);
    EXPECT_EQ(Grid(f), (Rows{{"100", "a", "b"}, {"101", "c", ""}}));

    f = ParseListFile("100;a;\n102;x;y;z\n");
    EXPECT_EQ(f.fieldCount, 2);
    EXPECT_EQ(f.rows, (Rows{{"100", "a"}, {"102", "x"}}));

    // Empty fields keep their places; an empty line is an empty row.
    f = ParseListFile("1;;3\n\n;;z");
    EXPECT_EQ(Grid(f), (Rows{{"1", "", "3"}, {"", "", ""}, {"", "", "z"}}));

    EXPECT_EQ(ParseListFile("").fieldCount, 0);
    EXPECT_EQ(ParseListFile("\r\n100;a").fieldCount, 0);
    EXPECT_EQ(ParseListFile(";;;").fieldCount, 3);
}

// The shape that once took half a gigabyte from 10 KB: a row keeps only the cells it holds, and
// past the cell limit the file is refused before any row is made.
TEST(ListFile, Rule6MemoryFollowsTheFileAndTooManyCellsAreRefused) {
    const std::string wide = std::string(7999, ';') + "\n" + std::string(1000, '\n') + "1;2";
    const auto f = ParseListFile(wide);
    EXPECT_EQ(f.fieldCount, 7999);
    std::size_t cells = 0;
    for (const auto& row : f.rows)
        cells += row.size();
    EXPECT_EQ(cells, 2u);
    EXPECT_EQ(f.rows.back(), (lists::TListRow{"1", "2"}));

    // 3162 fields: 3162 lines fit under the limit, 3163 do not.
    const std::string first = std::string(3161, ';') + "x";
    try {
        ParseListFile(first + std::string(3163, '\n'));
        FAIL() << "a file past the cell limit was taken";
    } catch (const vcl::EConvertError& e) {
        EXPECT_NE(e.Message.find("3163"), std::string::npos) << e.Message;
        EXPECT_NE(e.Message.find(std::to_string(lists::kMaxListCells)), std::string::npos);
    }
    EXPECT_EQ(ParseListFile(first + std::string(3162, '\n')).rows.size(), 3162u);
}

TEST(ListFile, Rule3LineEnds) {
    EXPECT_EQ(ParseListFile("1\n2\r\n3").rows, (Rows{{"1"}, {"2"}, {"3"}}));
    EXPECT_EQ(ParseListFile("1\r\n2\r\n").rows.size(), 2u);
    EXPECT_EQ(Grid(ParseListFile("1\n\n")), (Rows{{"1"}, {""}}));
    // A lone CR is no line end; NUL bytes are characters like others.
    EXPECT_EQ(ParseListFile(std::string("a\rb;\0c", 6)).rows,
              (Rows{{"a\rb", std::string("\0c", 2)}}));
}

TEST(ListFile, Rule4Utf8IsConvertedAndCp1251KeptAsItIs) {
    const std::string cp = "79161234567;Анна;Ёлка"_cp;
    EXPECT_EQ(ParseListFile(cp).rows[0][1], "Анна"_cp);
    EXPECT_EQ(ParseListFile("79161234567;Анна;Ёлка").rows[0],
              (lists::TListRow{"79161234567", "Анна"_cp, "Ёлка"_cp}));
    EXPECT_EQ(ParseListFile("\xEF\xBB\xBF"
                            "1;x")
                  .rows[0][0],
              "1");  // the mark is dropped

    try {
        ParseListFile("1;Анна\n2;日本\n");
        FAIL() << "a character outside cp1251 was accepted";
    } catch (const vcl::EConvertError& e) {
        EXPECT_EQ(e.Message,
                  "Строка 2 файла содержит символ, которого нет в кодировке Windows-1251."_cp);
    }
    // After the byte-order mark, malformed UTF-8 is an error too.
    EXPECT_THROW(ParseListFile("\xEF\xBB\xBF"
                               "1;\xFF"),
                 vcl::EConvertError);
}

// Files as an editor leaves them: UTF-8 with a damaged line is refused naming that line, not
// read as garbled cp1251; cp1251 stays cp1251 where its letters happen to make valid UTF-8 pairs
// ("Сё" is D1 B8, "РІ" is D0 B2).
TEST(ListFile, Rule4DamagedUtf8IsRefusedAndCp1251WithAChanceUtf8PairIsRead) {
    const std::string damaged =
        "Строка %d файла содержит поврежденный символ в кодировке UTF-8."_cp;
    const std::pair<std::string, std::string> cases[] = {  // a file; its second name, or the error
        {"1;Анна\n2;\xD0\x90\x80\xFF\xFE\n3;Вера\n", vcl::Format(damaged, 2)},
        {"1;Анна\r\n2;Вера\r\n3;\xD0", vcl::Format(damaged, 3)},
        {"1;Анна\n2;Вера\n"_cp, "Вера"_cp},
        {"1;Сёма\n2;МАРІЯ\n"_cp, "МАРІЯ"_cp},
        {"1;ВІН\n2;ВІН\n"_cp, "ВІН"_cp},  // "ВІ" is UTF-8 for "²", which cp1251 lacks
    };
    testing_support::TempDir dir;
    for (const auto& [bytes, want] : cases) {
        ASSERT_TRUE(os::WriteFileAtomically(dir / "list.csv", bytes));
        try {
            EXPECT_EQ(ParseListFile(*os::ReadWholeFile(dir / "list.csv")).rows.at(1).at(1), want);
        } catch (const vcl::EConvertError& e) {
            EXPECT_EQ(e.Message, want);
        }
    }
}

TEST(ListFile, Rule5WrittenWithASeparatorAfterEveryCellAndNoFinalLineEnd) {
    const Rows rows{{"100", "a", ""}, {"101", "", "c"}};
    const std::string text = FormatListFile(rows);
    EXPECT_EQ(text, "100;a;;\r\n101;;c;");
    EXPECT_EQ(Grid(ParseListFile(text)), rows);
    EXPECT_EQ(FormatListFile({}), "");
}

}  // namespace
