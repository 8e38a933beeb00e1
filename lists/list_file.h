// Lists as semicolon-separated text: one row per line, the number first, then its values.
//
// Rules:
//  1. The first line fixes the field count: the number of ";" in it, plus 1 when it does not
//     end with ";" (so "a;b;c" and "a;b;c;" both have 3). An empty first line means no list.
//  2. Every line is one row of that many cells, in order: empty fields between separators keep
//     their places, fields past the count are dropped, a short line leaves the rest empty, an
//     empty line is an empty row. A row holds its cells up to the last one that is not empty;
//     the rest read as empty, so memory follows the file, not the rows times the columns.
//  6. A file of more than kMaxListCells cells (lines times the field count) is refused whole,
//     before any row is made.
//  3. Lines end with LF or CR LF; a line end after the last line starts no further row.
//  4. The file is cp1251. A file that begins with the UTF-8 byte-order mark, or whose non-ASCII
//     bytes are at least two thirds valid UTF-8 sequences, is UTF-8 and is converted first; a
//     damaged sequence, or a character cp1251 has no byte for, is an error naming its line, and
//     then no row is given at all.
//  5. Written back, every cell is followed by ";", lines are joined by CR LF and the last one
//     has no line end. Nothing is quoted: a ";" inside a cell splits it when read again.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lists {

using TListRow = std::vector<std::string>;

inline constexpr std::size_t kMaxListCells = 10'000'000;

struct TListFile {
    int fieldCount = 0;  // 0: the first line was empty
    std::vector<TListRow> rows;  // each holds at most fieldCount cells (rule 2)
};

// The rows of a file's text. Raises vcl::EConvertError for rule 4 (the message names the line)
// and rule 6.
TListFile ParseListFile(std::string_view text);

// The text of the rows (rule 5).
std::string FormatListFile(const std::vector<TListRow>& rows);

}  // namespace lists
