#include "platform/sql/column_types.h"

#include <algorithm>
#include <string>

#include "platform/sql/lexer.h"

namespace sql {

namespace {

// The numbers inside the first "(...)", at most two.
void ReadSizes(std::string_view s, int sizes[2]) {
    const auto open = s.find('(');
    if (open == std::string_view::npos) return;
    int n = 0;
    long v = 0;
    bool any = false;
    for (std::size_t i = open + 1; i < s.size() && n < 2; ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            v = std::min(v * 10 + (c - '0'), 999999999L);
            any = true;
        } else if (c == ',' || c == ')') {
            if (any) sizes[n] = static_cast<int>(v);
            ++n;
            v = 0;
            any = false;
            if (c == ')') break;
        }
    }
}

}  // namespace

ColumnType ClassifyDeclaredType(std::string_view declared) {
    const std::string d = FoldName(declared);
    const std::string base = d.substr(0, d.find('('));
    int sizes[2] = {0, 0};
    ReadSizes(d, sizes);
    auto has = [&](const char* word) { return base.find(word) != std::string::npos; };
    if (base.find_first_not_of(" \t") == std::string::npos) return {};
    if (has("bool") || has("logical")) return {DeclaredType::Boolean};
    if (has("smallint") || has("short")) return {DeclaredType::SmallInt};
    if (has("int")) return {DeclaredType::Integer};
    if (has("datetime") || has("timestamp")) return {DeclaredType::DateTime};
    if (has("date")) return {DeclaredType::Date};
    if (has("time")) return {DeclaredType::Time};
    if (has("char")) return {DeclaredType::String, sizes[0]};
    if (has("memo") || has("clob") || has("text")) return {DeclaredType::Memo};
    if (has("blob")) return {sizes[1] == 1 ? DeclaredType::Memo : DeclaredType::Blob};
    if (has("real") || has("floa") || has("doub") || has("num") || has("dec") || has("money") ||
        has("currency"))
        return {DeclaredType::Real};
    return {};
}

ColumnKind KindOf(DeclaredType type) {
    switch (type) {
        case DeclaredType::Boolean:
            return ColumnKind::Boolean;
        case DeclaredType::DateTime:
        case DeclaredType::Date:
            return ColumnKind::DateTime;
        default:
            return ColumnKind::Other;
    }
}

}  // namespace sql
