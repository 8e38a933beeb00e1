// Edit masks: the pattern a masked edit holds its text to, written as "mask;save;blank".
//
// The mask is a row of positions: input positions ('0' a digit, '9' a digit or blank, '#' a
// digit, sign or blank, 'L'/'l' a letter, 'A'/'a' a letter or digit, 'C'/'c' any character,
// the small letters optional) and literals (any other character; '/' is the date separator,
// ':' the time separator, '_' a blank, '\' takes the next character as it is). '!' aligns a
// short entry to the right, '>' and '<' turn what follows to upper or lower case, "<>" stops it.
// The second field "0" leaves the literals out of Text; the third gives the blank shown in free
// positions ('_' when missing).
//
// The edit text always has one character per position. Text is the edit text with the blanks
// trimmed off the aligned end and made spaces, without the literals when they are not saved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vcl {

class MaskPattern {
public:
    MaskPattern() = default;
    // The separators are those of the format settings unless given.
    explicit MaskPattern(std::string_view text, char dateSeparator = 0, char timeSeparator = 0);

    bool Empty() const { return slots_.empty(); }
    std::size_t Size() const { return slots_.size(); }
    char Blank() const { return blank_; }
    bool SavesLiterals() const { return save_; }
    bool IsInput(std::size_t pos) const {
        return pos < slots_.size() && slots_[pos].kind != Kind::Literal;
    }
    char Literal(std::size_t pos) const { return pos < slots_.size() ? slots_[pos].literal : '\0'; }
    // `c` as input position `pos` takes it (cased as the mask says), or 0 when refused.
    char Accept(std::size_t pos, char c) const;
    // The first input position at or after `pos` (Size() when none), the last one before `pos`
    // (npos when none).
    std::size_t NextInput(std::size_t pos) const;
    std::size_t PrevInput(std::size_t pos) const;

    // The characters of the input positions, blanks trimmed from the aligned end and made
    // spaces.
    std::string Strip(std::string_view editText) const;
    // Characters laid into the input positions, aligned as the mask says; a space or a character
    // a position refuses shows `blank`.
    std::string Format(std::string_view raw, char blank) const;
    std::string TextOf(std::string_view editText) const;
    // The edit text for a Text: with saved literals, each run of the text between literals
    // fills the run of input positions between the same literals.
    std::string EditTextOf(std::string_view text) const;

private:
    enum class Kind : uint8_t { Literal, Required, Optional };
    struct Slot {
        Kind kind = Kind::Literal;
        char test = 0;          // the mask character of an input position
        char literal = 0;       // the character of a literal
        int8_t letterCase = 0;  // 1 upper, -1 lower
    };
    void Place(std::string& out, std::size_t from, std::size_t to, std::string_view raw,
               char blank) const;

    std::vector<Slot> slots_;
    bool reverse_ = false;
    bool save_ = true;
    char blank_ = '_';
};

}  // namespace vcl
