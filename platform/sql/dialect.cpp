#include "platform/sql/dialect.h"

#include <optional>

#include "platform/sql/date_text.h"
#include "platform/sql/error.h"
#include "platform/sql/lexer.h"

namespace sql {

namespace {

bool IsName(const Token& t) {
    return t.kind == TokenKind::Word || t.kind == TokenKind::QuotedName;
}
bool IsSymbol(const Token& t, std::string_view s) {
    return t.kind == TokenKind::Symbol && t.text == s;
}
bool IsEquality(const Token& t) {
    return t.kind == TokenKind::Symbol &&
           (t.text == "=" || t.text == "==" || t.text == "<>" || t.text == "!=");
}
bool IsComparison(const Token& t) {
    return IsEquality(t) || (t.kind == TokenKind::Symbol &&
                             (t.text == "<" || t.text == "<=" || t.text == ">" || t.text == ">="));
}

// 1 or 0 for a boolean literal: 'true'/'false' quoted or bare, in any case.
std::optional<bool> BooleanLiteral(const Token& t) {
    std::string v;
    if (t.kind == TokenKind::String)
        v = FoldName(StringValue(t));
    else if (t.kind == TokenKind::Word)
        v = FoldName(t.text);
    else
        return std::nullopt;
    if (v == "true") return true;
    if (v == "false") return false;
    return std::nullopt;
}

bool LooksLikeDisplayDate(std::string_view v) {
    std::size_t i = 0, n = 0;
    for (int part = 0; part < 2; ++part) {
        for (n = 0; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i)
            ++n;
        if (n < 1 || n > 2 || i >= v.size() || v[i] != '.') return false;
        ++i;
    }
    for (n = 0; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i)
        ++n;
    return n == 4;
}

class Translator {
public:
    Translator(std::string_view sql, const KindLookup& kindOf)
        : tokens_(Tokenize(sql)), kindOf_(kindOf) {
        for (std::size_t i = 0; i < tokens_.size(); ++i) {
            if (tokens_[i].kind != TokenKind::Space) sig_.push_back(i);
            out_.emplace_back(tokens_[i].text);
        }
    }

    Translation Run() {
        CheckSingleStatement();
        NumberParameters();
        if (!sig_.empty() && IsWord(At(0), "alter")) StripQualifiersAfterAddDrop();
        if (!sig_.empty() && IsWord(At(0), "update")) StripQualifiersOfSetTargets();
        RewriteLiterals();
        Translation t;
        for (auto& piece : out_)
            t.sql += piece;
        t.params = std::move(params_);
        return t;
    }

private:
    const Token& At(std::size_t k) const { return tokens_[sig_[k]]; }
    std::size_t Count() const { return sig_.size(); }

    void CheckSingleStatement() {
        for (std::size_t k = 0; k < Count(); ++k) {
            if (At(k).kind == TokenKind::OtherParam)
                throw Error("Unnamed parameters are not supported: " + std::string(At(k).text));
            if (!IsSymbol(At(k), ";")) continue;
            for (std::size_t m = k + 1; m < Count(); ++m)
                if (!IsSymbol(At(m), ";")) throw Error("Only one statement can be run at a time");
        }
    }

    void NumberParameters() {
        for (std::size_t k = 0; k < Count(); ++k) {
            if (At(k).kind != TokenKind::Param) continue;
            const std::string name(At(k).text.substr(1));
            std::size_t n = 0;
            while (n < params_.size() && !SameName(params_[n], name))
                ++n;
            if (n == params_.size()) params_.push_back(name);
            out_[sig_[k]] = "?" + std::to_string(n + 1);
        }
    }

    // Drops "table." in front of the column at k when it is qualified.
    void StripQualifierAt(std::size_t k) {
        if (k + 2 < Count() && IsName(At(k)) && IsSymbol(At(k + 1), ".") && IsName(At(k + 2)))
            for (std::size_t i = sig_[k]; i < sig_[k + 2]; ++i)
                out_[i].clear();
    }

    void StripQualifiersAfterAddDrop() {
        for (std::size_t k = 1; k + 1 < Count(); ++k) {
            if (!IsWord(At(k), "add") && !IsWord(At(k), "drop")) continue;
            std::size_t col = k + 1;
            if (IsWord(At(col), "column")) ++col;
            StripQualifierAt(col);
        }
    }

    void StripQualifiersOfSetTargets() {
        int depth = 0;
        bool inSet = false, atTarget = false;
        for (std::size_t k = 1; k < Count(); ++k) {
            const Token& t = At(k);
            if (IsSymbol(t, "(")) ++depth;
            if (IsSymbol(t, ")")) --depth;
            if (depth != 0) continue;
            if (!inSet) {
                if (IsWord(t, "set")) inSet = atTarget = true;
                continue;
            }
            if (IsWord(t, "where") || IsWord(t, "from") || IsWord(t, "returning") ||
                IsWord(t, "order") || IsWord(t, "limit"))
                break;
            if (atTarget) {
                StripQualifierAt(k);
                atTarget = false;
            }
            if (IsSymbol(t, ",")) atTarget = true;
        }
    }

    ColumnKind Kind(const Token& name) {
        return kindOf_ ? kindOf_(FoldName(NameOf(name))) : ColumnKind::Other;
    }

    // The column compared with the literal at k, and the operator between them: "col op lit"
    // or "lit op [table.]col".
    const Token* ComparedColumn(std::size_t k, const Token*& op) const {
        if (k >= 2 && IsComparison(At(k - 1)) && IsName(At(k - 2))) {
            op = &At(k - 1);
            return &At(k - 2);
        }
        if (k + 2 < Count() && IsComparison(At(k + 1)) && IsName(At(k + 2))) {
            op = &At(k + 1);
            if (k + 4 < Count() && IsSymbol(At(k + 3), ".") && IsName(At(k + 4))) return &At(k + 4);
            return &At(k + 2);
        }
        return nullptr;
    }

    void RewriteLiterals() {
        for (std::size_t k = 0; k < Count(); ++k) {
            const Token& lit = At(k);
            if (lit.kind != TokenKind::String && lit.kind != TokenKind::Word) continue;
            const auto boolean = BooleanLiteral(lit);
            const bool date =
                lit.kind == TokenKind::String && LooksLikeDisplayDate(StringValue(lit));
            if (!boolean && !date) continue;
            const Token* op = nullptr;
            const Token* col = ComparedColumn(k, op);
            if (!col) continue;
            if (boolean && IsEquality(*op) && Kind(*col) == ColumnKind::Boolean) {
                out_[sig_[k]] = *boolean ? "1" : "0";
            } else if (date && Kind(*col) == ColumnKind::DateTime) {
                const std::string v = StringValue(lit);
                const auto dt = DisplayTextToDateTime(v);
                const auto text = dt ? DateTimeToText(*dt) : std::nullopt;
                if (!text) throw Error("'" + v + "' is not a valid date and time");
                out_[sig_[k]] = "'" + *text + "'";
            }
        }
    }

    std::vector<Token> tokens_;
    const KindLookup& kindOf_;
    std::vector<std::size_t> sig_;  // tokens other than blanks and comments
    std::vector<std::string> out_;  // the translated text of every token
    std::vector<std::string> params_;
};

}  // namespace

Translation Translate(std::string_view sql, const KindLookup& kindOf) {
    return Translator(sql, kindOf).Run();
}

std::vector<std::string> ParameterNames(std::string_view sql) {
    std::vector<std::string> names;
    for (const Token& t : Tokenize(sql)) {
        if (t.kind != TokenKind::Param) continue;
        const std::string name(t.text.substr(1));
        bool known = false;
        for (auto& n : names)
            known = known || SameName(n, name);
        if (!known) names.push_back(name);
    }
    return names;
}

std::string TableNameOf(std::string_view name) {
    if (name.size() > 3 && SameName(name.substr(name.size() - 3), ".db")) name.remove_suffix(3);
    return std::string(name);
}

std::string QuoteName(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

}  // namespace sql
