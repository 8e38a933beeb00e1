// The text of an edit control and its lines on the screen.
//
// A multi-line text is a row of paragraphs (the text between CR LF breaks); a single-line text
// is one paragraph whatever it holds. Each paragraph keeps the starts of its wrapped lines.
// Paragraphs sit in blocks of up to kBlockMax, and the blocks keep their totals (characters,
// lines, widest line) with running sums over the blocks, so that:
//   1. an edit rewraps only the paragraphs it touches and recounts only their blocks;
//   2. finding a position or a line costs a binary search over the blocks and a walk inside one;
//   3. a line is a run of one paragraph's bytes: the line views and measures never copy text.
// Positions count bytes of the whole text, CR LF included; a position at a wrap belongs to the
// line it starts. Widths come from a table of character advances (text widths add up per
// character in the drawing layer), tabs reaching the next multiple of the tab width.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace win {

class EditText {
public:
    EditText();

    // Multi-line texts break at CR LF; the text is emptied.
    void SetMultiline(bool on);
    // Advances of the 256 characters and the tab stop distance; every line is laid out again.
    void SetMetrics(const std::array<int, 256>& advances, int tabWidth);
    // Lines wrap at words to this width; 0 or less: no wrapping.
    void SetWrapWidth(int width);
    // Every character measured as `mask` (a password character); 0: as itself.
    void SetMask(char mask);

    std::size_t Length() const { return length_; }
    std::string Text() const;
    std::string Range(std::size_t from, std::size_t to) const;
    void SetText(std::string_view text);

    // What an edit did to the lines: [firstLine, oldEnd) became [firstLine, newEnd).
    struct Change {
        int firstLine = 0;
        int oldEnd = 0;
        int newEnd = 0;
    };
    // Replaces [from, to) (clamped) with `s`.
    Change Replace(std::size_t from, std::size_t to, std::string_view s);

    int LineCount() const;
    int LineFromPos(std::size_t pos) const;
    std::size_t LineStart(int line) const;
    std::size_t LineLength(int line) const;
    std::string_view LineText(int line) const;
    // The line ends at a wrap, not at the end of its paragraph.
    bool IsWrapped(int line) const;
    // Pixel offset of `pos` (on `line`) from the line's start, and the position nearest to a
    // pixel offset on a line.
    int XOfPos(int line, std::size_t pos) const;
    std::size_t PosAtX(int line, int x) const;
    int LineWidth(int line) const;
    int MaxLineWidth() const;

    // The paragraph holding `pos`: its text and where it starts.
    struct Paragraph {
        std::string_view text;
        std::size_t start = 0;
    };
    Paragraph ParagraphAt(std::size_t pos) const;
    // A position inside a CR LF moves before it.
    std::size_t Snap(std::size_t pos) const;

    // Width of a run measured from a line's start (tabs included), and the advance of each of
    // its characters.
    int Measure(std::string_view run) const;
    void Advances(std::string_view run, std::vector<int>& out) const;

    // Consistency of the totals with the paragraphs (for tests and debug checks).
    bool CheckInvariants() const;

private:
    struct Para {
        std::string text;
        std::vector<uint32_t> wraps;  // starts of the lines after the first
        int width = 0;                // the widest line
        int Lines() const { return static_cast<int>(wraps.size()) + 1; }
    };
    struct Block {
        std::vector<Para> paras;
        std::size_t chars = 0;  // every paragraph counted with its CR LF
        int lines = 0;
        int width = 0;
    };
    struct Loc {
        std::size_t block = 0, para = 0;
        std::size_t start = 0;  // of the paragraph
        int line = 0;           // first line of the paragraph
    };

    static constexpr std::size_t kBlockMax = 128;
    static constexpr std::size_t kBlockFill = 64;

    int Advance(unsigned char c, int x) const;
    void Wrap(Para& p) const;
    void Recount(std::size_t block);
    void Rebalance(std::size_t block);
    void Dirty(std::size_t block) const;
    void EnsureSums() const;
    // The paragraph where `inside` first holds, in the block whose running sum covers `key`.
    template <typename T, typename Inside>
    Loc Find(const std::vector<T>& sums, T key, Inside inside) const;
    Loc Locate(std::size_t pos) const;
    Loc LocateLine(int line) const;
    const Para& ParaOf(const Loc& l) const { return blocks_[l.block].paras[l.para]; }
    // The bytes of line `k` of a paragraph.
    static std::string_view LineOf(const Para& p, int k);
    std::vector<Para> Split(std::string_view text) const;
    void Relayout();

    bool multiline_ = false;
    std::array<int, 256> advance_{};
    int tabWidth_ = 0;
    int wrapWidth_ = 0;
    char mask_ = 0;
    std::vector<Block> blocks_;
    std::size_t length_ = 0;
    // Running sums over the blocks, good up to dirtyFrom_.
    mutable std::vector<std::size_t> charSum_;
    mutable std::vector<int> lineSum_;
    mutable std::size_t dirtyFrom_ = 0;
    mutable int maxWidth_ = -1;  // -1: to be found again
};

}  // namespace win
