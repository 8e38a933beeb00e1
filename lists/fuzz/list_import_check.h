// What an import of any bytes must give: an error, or every line as one row of at most the
// first line's field count, no cell holding a separator or a line end, and no more cells kept
// than the file has fields (memory follows the file).
#pragma once

#include <cstdlib>
#include <string>

#include "lists/list_file.h"
#include "vcl/system/exceptions.h"

namespace lists::fuzz {

inline void CheckListImport(const std::string& bytes) {
    TListFile file;
    try {
        file = ParseListFile(bytes);
    } catch (const vcl::EConvertError&) {
        return;  // reported, and the grid stays as it was
    }
    if (file.fieldCount == 0) return;
    std::size_t lines = 1;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
        lines += bytes[i] == '\n';
    // The count above is of the raw bytes; a UTF-8 file keeps its line ends when converted.
    if (file.rows.size() != lines) std::abort();
    std::size_t fields = lines, cells = 0;
    for (char c : bytes)
        fields += c == ';';
    for (const TListRow& row : file.rows) {
        if (row.size() > static_cast<std::size_t>(file.fieldCount)) std::abort();
        cells += row.size();
        if (cells > fields) std::abort();
        for (const std::string& cell : row)
            if (cell.find_first_of(";\n") != std::string::npos) std::abort();
    }
}

}  // namespace lists::fuzz
