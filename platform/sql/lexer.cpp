#include "platform/sql/lexer.h"

namespace sql {

namespace {

bool IsNameStart(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}
bool IsNameChar(unsigned char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '$';
}
bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}
bool IsSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// The end of a literal opened by s[i] and closed by `close`, where a doubled `close` stands for
// one; the end of the text when it is never closed.
std::size_t QuotedEnd(std::string_view s, std::size_t i, char close) {
    for (std::size_t j = i + 1; j < s.size(); ++j) {
        if (s[j] != close) continue;
        if (j + 1 < s.size() && s[j + 1] == close && close != ']') {
            ++j;
            continue;
        }
        return j + 1;
    }
    return s.size();
}

std::string Unquote(std::string_view text, char close) {
    if (text.size() < 2) return std::string(text.substr(text.empty() ? 0 : 1));
    std::string_view inner = text.substr(1);
    if (inner.back() == close) inner.remove_suffix(1);
    std::string out;
    for (std::size_t i = 0; i < inner.size(); ++i) {
        out += inner[i];
        if (inner[i] == close && i + 1 < inner.size() && inner[i + 1] == close) ++i;
    }
    return out;
}

}  // namespace

std::vector<Token> Tokenize(std::string_view s) {
    std::vector<Token> out;
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        const auto next = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
        std::size_t j = i + 1;
        TokenKind kind = TokenKind::Symbol;
        if (IsSpace(c)) {
            kind = TokenKind::Space;
            while (j < s.size() && IsSpace(static_cast<unsigned char>(s[j])))
                ++j;
        } else if (c == '-' && next == '-') {
            kind = TokenKind::Space;
            while (j < s.size() && s[j] != '\n')
                ++j;
        } else if (c == '/' && next == '*') {
            kind = TokenKind::Space;
            const auto end = s.find("*/", i + 2);
            j = end == std::string_view::npos ? s.size() : end + 2;
        } else if (c == '\'') {
            kind = TokenKind::String;
            j = QuotedEnd(s, i, '\'');
        } else if (c == '"' || c == '`' || c == '[') {
            kind = TokenKind::QuotedName;
            j = QuotedEnd(s, i, c == '[' ? ']' : static_cast<char>(c));
        } else if (IsDigit(c) || (c == '.' && IsDigit(next))) {
            kind = TokenKind::Number;
            while (j < s.size()) {
                const auto d = static_cast<unsigned char>(s[j]);
                const bool sign = (d == '+' || d == '-') && (s[j - 1] == 'e' || s[j - 1] == 'E');
                if (!IsNameChar(d) && d != '.' && !sign) break;
                ++j;
            }
        } else if (IsNameStart(c)) {
            kind = TokenKind::Word;
            while (j < s.size() && IsNameChar(static_cast<unsigned char>(s[j])))
                ++j;
        } else if (c == ':' && IsNameStart(next)) {
            kind = TokenKind::Param;
            while (j < s.size() && IsNameChar(static_cast<unsigned char>(s[j])))
                ++j;
        } else if (c == '?' || ((c == '@' || c == '$') && IsNameStart(next))) {
            kind = TokenKind::OtherParam;
            while (j < s.size() && IsNameChar(static_cast<unsigned char>(s[j])))
                ++j;
        } else {
            static constexpr std::string_view kPairs[] = {
                "<=", ">=", "<>", "!=", "==", "||", "<<", ">>"};
            for (auto p : kPairs)
                if (s.substr(i, 2) == p) j = i + 2;
        }
        out.push_back({kind, s.substr(i, j - i)});
        i = j;
    }
    return out;
}

std::string NameOf(const Token& t) {
    if (t.kind != TokenKind::QuotedName) return std::string(t.text);
    const char open = t.text.front();
    return Unquote(t.text, open == '[' ? ']' : open);
}

std::string StringValue(const Token& t) {
    return Unquote(t.text, '\'');
}

std::string FoldName(std::string_view name) {
    std::string out(name);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

bool IsWord(const Token& t, std::string_view word) {
    return t.kind == TokenKind::Word && SameName(t.text, word);
}

}  // namespace sql
