// Splits SQL text into tokens, the way SQLite reads it, so that the dialect translation can look
// at names, literals and parameters without ever touching the inside of a string literal.
// Works on any ASCII-compatible text (UTF-8 or cp1251): bytes from 0x80 up belong to names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sql {

enum class TokenKind {
    Space,       // blanks and comments
    Word,        // a bare name or keyword
    QuotedName,  // "name", `name` or [name]
    String,      // 'text'
    Number,
    Param,       // :name
    OtherParam,  // ?, ?NNN, @name, $name: not used by the program
    Symbol,      // operators and punctuation
};

struct Token {
    TokenKind kind;
    std::string_view text;
};

// Never fails: an unterminated literal or comment runs to the end of the text.
std::vector<Token> Tokenize(std::string_view sql);

// The name of a Word or QuotedName (quotes removed, doubled quotes undone).
std::string NameOf(const Token& t);
// The value of a String literal (quotes removed, doubled quotes undone).
std::string StringValue(const Token& t);
// ASCII lower case: names compare without regard to case.
std::string FoldName(std::string_view name);
bool SameName(std::string_view a, std::string_view b);  // equal ignoring ASCII case
bool IsWord(const Token& t, std::string_view word);     // a Word, ignoring case

}  // namespace sql
