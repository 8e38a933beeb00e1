#include "platform/controls/edit_text.h"

#include <algorithm>
#include <iterator>

namespace win {

namespace {

constexpr std::string_view kBreak = "\r\n";

bool IsBlank(unsigned char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

EditText::EditText() {
    SetText({});
}

void EditText::SetMultiline(bool on) {
    multiline_ = on;
    SetText({});
}

void EditText::SetMetrics(const std::array<int, 256>& advances, int tabWidth) {
    advance_ = advances;
    tabWidth_ = tabWidth;
    Relayout();
}

void EditText::SetWrapWidth(int width) {
    width = std::max(width, 0);
    if (width == wrapWidth_) return;
    wrapWidth_ = width;
    Relayout();
}

void EditText::SetMask(char mask) {
    if (mask == mask_) return;
    mask_ = mask;
    Relayout();
}

int EditText::Advance(unsigned char c, int x) const {
    if (mask_) return advance_[static_cast<unsigned char>(mask_)];
    if (c == '\t' && tabWidth_ > 0) return tabWidth_ - x % tabWidth_;
    return advance_[c];
}

int EditText::Measure(std::string_view run) const {
    int x = 0;
    for (char c : run)
        x += Advance(static_cast<unsigned char>(c), x);
    return x;
}

void EditText::Advances(std::string_view run, std::vector<int>& out) const {
    out.resize(run.size());
    int x = 0;
    for (std::size_t i = 0; i < run.size(); ++i) {
        out[i] = Advance(static_cast<unsigned char>(run[i]), x);
        x += out[i];
    }
}

// Lines break after the last blank that still fits; a word wider than the line is cut where
// it stops fitting. Blanks at a break stay at the end of their line.
void EditText::Wrap(Para& p) const {
    p.wraps.clear();
    p.width = 0;
    const std::string& t = p.text;
    int x = 0;
    std::size_t lineStart = 0;
    std::size_t breakAt = std::string::npos;
    int xAtBreak = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const auto c = static_cast<unsigned char>(t[i]);
        int a = Advance(c, x);
        const bool blank = IsBlank(c) && !mask_;
        if (!blank && wrapWidth_ > 0 && x + a > wrapWidth_ && i > lineStart) {
            if (breakAt != std::string::npos && breakAt > lineStart) {
                p.width = std::max(p.width, xAtBreak);
                p.wraps.push_back(static_cast<uint32_t>(breakAt));
                lineStart = breakAt;
                x = Measure(std::string_view(t).substr(lineStart, i - lineStart));
                a = Advance(c, x);
            }
            breakAt = std::string::npos;
            // What the blank carried over may still not fit with this character.
            if (x + a > wrapWidth_ && i > lineStart) {
                p.width = std::max(p.width, x);
                p.wraps.push_back(static_cast<uint32_t>(i));
                lineStart = i;
                x = 0;
                a = Advance(c, x);
            }
        }
        x += a;
        if (blank) {
            breakAt = i + 1;
            xAtBreak = x;
        }
    }
    p.width = std::max(p.width, x);
}

void EditText::Dirty(std::size_t block) const {
    dirtyFrom_ = std::min(dirtyFrom_, block);
    maxWidth_ = -1;
}

void EditText::Recount(std::size_t b) {
    Block& blk = blocks_[b];
    blk.chars = 0;
    blk.lines = 0;
    blk.width = 0;
    for (const Para& p : blk.paras) {
        blk.chars += p.text.size() + kBreak.size();
        blk.lines += p.Lines();
        blk.width = std::max(blk.width, p.width);
    }
    Dirty(b);
}

void EditText::Relayout() {
    for (std::size_t b = 0; b < blocks_.size(); ++b) {
        for (Para& p : blocks_[b].paras)
            Wrap(p);
        Recount(b);
    }
}

// Keeps blocks between a few and kBlockMax paragraphs: a big one is cut into blocks of
// kBlockFill, a small one joins a neighbour that has room, an empty one goes.
void EditText::Rebalance(std::size_t b) {
    if (blocks_[b].paras.empty() && blocks_.size() > 1) {
        blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b));
        Dirty(b);
        return;
    }
    std::vector<Para>& paras = blocks_[b].paras;
    if (paras.size() > kBlockMax) {
        std::vector<Block> extra;
        for (std::size_t i = kBlockFill; i < paras.size(); i += kBlockFill) {
            Block nb;
            const std::size_t end = std::min(paras.size(), i + kBlockFill);
            nb.paras.assign(
                std::make_move_iterator(paras.begin() + static_cast<std::ptrdiff_t>(i)),
                std::make_move_iterator(paras.begin() + static_cast<std::ptrdiff_t>(end)));
            extra.push_back(std::move(nb));
        }
        paras.resize(kBlockFill);
        Recount(b);
        blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(b) + 1,
                       std::make_move_iterator(extra.begin()),
                       std::make_move_iterator(extra.end()));
        for (std::size_t i = 1; i <= extra.size(); ++i)
            Recount(b + i);
        return;
    }
    if (paras.size() >= kBlockFill / 4) return;
    auto join = [this](std::size_t into, std::size_t from) {
        std::vector<Para>& dst = blocks_[into].paras;
        std::vector<Para>& src = blocks_[from].paras;
        if (into < from)
            dst.insert(dst.end(), std::make_move_iterator(src.begin()),
                       std::make_move_iterator(src.end()));
        else
            dst.insert(dst.begin(), std::make_move_iterator(src.begin()),
                       std::make_move_iterator(src.end()));
        blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(from));
        Recount(std::min(into, from));
    };
    if (b + 1 < blocks_.size() && paras.size() + blocks_[b + 1].paras.size() <= kBlockMax)
        join(b, b + 1);
    else if (b > 0 && paras.size() + blocks_[b - 1].paras.size() <= kBlockMax)
        join(b - 1, b);
}

void EditText::EnsureSums() const {
    const std::size_t n = blocks_.size();
    charSum_.resize(n + 1);
    lineSum_.resize(n + 1);
    charSum_[0] = 0;
    lineSum_[0] = 0;
    for (std::size_t k = std::min(dirtyFrom_, n); k < n; ++k) {
        charSum_[k + 1] = charSum_[k] + blocks_[k].chars;
        lineSum_[k + 1] = lineSum_[k] + blocks_[k].lines;
    }
    dirtyFrom_ = n;
}

template <typename T, typename Inside>
EditText::Loc EditText::Find(const std::vector<T>& sums, T key, Inside inside) const {
    const auto it = std::upper_bound(
        sums.begin(), sums.begin() + static_cast<std::ptrdiff_t>(blocks_.size()), key);
    Loc l;
    l.block = static_cast<std::size_t>(it - sums.begin()) - 1;
    l.start = charSum_[l.block];
    l.line = lineSum_[l.block];
    const std::vector<Para>& paras = blocks_[l.block].paras;
    for (l.para = 0; l.para + 1 < paras.size(); ++l.para) {
        if (inside(l, paras[l.para])) break;
        l.start += paras[l.para].text.size() + kBreak.size();
        l.line += paras[l.para].Lines();
    }
    return l;
}

EditText::Loc EditText::Locate(std::size_t pos) const {
    EnsureSums();
    pos = std::min(pos, length_);
    // A position inside a paragraph's CR LF belongs to that paragraph.
    return Find(charSum_, pos,
                [pos](const Loc& l, const Para& p) { return pos <= l.start + p.text.size() + 1; });
}

EditText::Loc EditText::LocateLine(int line) const {
    EnsureSums();
    line = std::clamp(line, 0, lineSum_.back() - 1);
    return Find(lineSum_, line,
                [line](const Loc& l, const Para& p) { return line < l.line + p.Lines(); });
}

std::string_view EditText::LineOf(const Para& p, int k) {
    const std::size_t begin = k > 0 ? p.wraps[static_cast<std::size_t>(k) - 1] : 0;
    const std::size_t end = static_cast<std::size_t>(k) < p.wraps.size()
                                ? p.wraps[static_cast<std::size_t>(k)]
                                : p.text.size();
    return std::string_view(p.text).substr(begin, end - begin);
}

std::vector<EditText::Para> EditText::Split(std::string_view text) const {
    std::vector<Para> out;
    if (!multiline_) {
        out.push_back(Para{std::string(text), {}, 0});
        return out;
    }
    std::size_t at = 0;
    for (;;) {
        const std::size_t brk = text.find(kBreak, at);
        out.push_back(
            Para{std::string(text.substr(
                     at, brk == std::string_view::npos ? std::string_view::npos : brk - at)),
                 {},
                 0});
        if (brk == std::string_view::npos) break;
        at = brk + kBreak.size();
    }
    return out;
}

std::string EditText::Text() const {
    std::string out;
    out.reserve(length_);
    bool first = true;
    for (const Block& b : blocks_)
        for (const Para& p : b.paras) {
            if (!first) out += kBreak;
            first = false;
            out += p.text;
        }
    return out;
}

std::string EditText::Range(std::size_t from, std::size_t to) const {
    to = std::min(to, length_);
    if (from >= to) return {};
    Loc l = Locate(from);
    std::string out;
    out.reserve(to - from);
    std::size_t start = l.start;
    for (std::size_t b = l.block, i = l.para; b < blocks_.size() && start < to; ++b, i = 0) {
        for (; i < blocks_[b].paras.size() && start < to; ++i) {
            const std::string& t = blocks_[b].paras[i].text;
            // The paragraph's bytes with its break: [start, start + size + 2).
            const std::size_t lo = std::max(from, start) - start;
            const std::size_t hi = std::min(to - start, t.size() + kBreak.size());
            if (lo < t.size()) out.append(t, lo, std::min(hi, t.size()) - lo);
            if (hi > t.size())
                out.append(
                    kBreak.substr(std::max(lo, t.size()) - t.size(), hi - std::max(lo, t.size())));
            start += t.size() + kBreak.size();
        }
    }
    return out;
}

void EditText::SetText(std::string_view text) {
    std::vector<Para> paras = Split(text);
    blocks_.clear();
    for (std::size_t i = 0; i < paras.size(); i += kBlockFill) {
        Block b;
        const std::size_t end = std::min(paras.size(), i + kBlockFill);
        b.paras.assign(std::make_move_iterator(paras.begin() + static_cast<std::ptrdiff_t>(i)),
                       std::make_move_iterator(paras.begin() + static_cast<std::ptrdiff_t>(end)));
        blocks_.push_back(std::move(b));
    }
    length_ = text.size();
    dirtyFrom_ = 0;
    Relayout();
}

std::size_t EditText::Snap(std::size_t pos) const {
    pos = std::min(pos, length_);
    const Loc l = Locate(pos);
    return std::min(pos, l.start + ParaOf(l).text.size());
}

EditText::Change EditText::Replace(std::size_t from, std::size_t to, std::string_view s) {
    if (from > to) std::swap(from, to);
    from = Snap(from);
    // A range never splits a CR LF: its end inside one takes the whole break.
    to = std::max(std::min(to, length_), from);
    if (const Loc l = Locate(to); to > from && to > l.start + ParaOf(l).text.size())
        to = l.start + ParaOf(l).text.size() + kBreak.size();
    const Loc a = Locate(from), b = Locate(to);
    Change ch;
    ch.firstLine = a.line;
    ch.oldEnd = b.line + ParaOf(b).Lines();
    std::string joined;
    joined.reserve(from - a.start + s.size() + ParaOf(b).text.size() - (to - b.start));
    joined.append(ParaOf(a).text, 0, from - a.start);
    joined.append(s);
    joined.append(ParaOf(b).text, to - b.start);
    length_ = length_ - (to - from) + s.size();

    std::vector<Para> fresh = Split(joined);
    int lines = 0;
    for (Para& p : fresh) {
        Wrap(p);
        lines += p.Lines();
    }
    ch.newEnd = ch.firstLine + lines;

    const auto at = [](std::vector<Para>& v, std::size_t i) {
        return v.begin() + static_cast<std::ptrdiff_t>(i);
    };
    if (a.block == b.block) {
        std::vector<Para>& v = blocks_[a.block].paras;
        if (a.para == b.para && fresh.size() == 1) {
            v[a.para] = std::move(fresh[0]);  // typing inside one paragraph
        } else {
            v.erase(at(v, a.para), at(v, b.para + 1));
            v.insert(at(v, a.para), std::make_move_iterator(fresh.begin()),
                     std::make_move_iterator(fresh.end()));
        }
        Recount(a.block);
        Rebalance(a.block);
        return ch;
    }
    std::vector<Para>& va = blocks_[a.block].paras;
    std::vector<Para>& vb = blocks_[b.block].paras;
    va.erase(at(va, a.para), va.end());
    vb.erase(vb.begin(), at(vb, b.para + 1));
    va.insert(va.end(), std::make_move_iterator(fresh.begin()),
              std::make_move_iterator(fresh.end()));
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(a.block) + 1,
                  blocks_.begin() + static_cast<std::ptrdiff_t>(b.block));
    Recount(a.block);
    Recount(a.block + 1);
    Rebalance(a.block + 1);
    Rebalance(a.block);
    return ch;
}

int EditText::LineCount() const {
    EnsureSums();
    return lineSum_.back();
}

int EditText::LineFromPos(std::size_t pos) const {
    const Loc l = Locate(pos);
    const Para& p = ParaOf(l);
    const std::size_t off = std::min(pos, length_) - l.start;
    return l.line + static_cast<int>(std::upper_bound(p.wraps.begin(), p.wraps.end(), off) -
                                     p.wraps.begin());
}

std::size_t EditText::LineStart(int line) const {
    const Loc l = LocateLine(line);
    const Para& p = ParaOf(l);
    const int k = std::clamp(line, 0, LineCount() - 1) - l.line;
    return l.start + (k > 0 ? p.wraps[static_cast<std::size_t>(k) - 1] : 0);
}

std::string_view EditText::LineText(int line) const {
    const Loc l = LocateLine(line);
    return LineOf(ParaOf(l), std::clamp(line, 0, LineCount() - 1) - l.line);
}

std::size_t EditText::LineLength(int line) const {
    return LineText(line).size();
}

bool EditText::IsWrapped(int line) const {
    const Loc l = LocateLine(line);
    return std::clamp(line, 0, LineCount() - 1) - l.line < static_cast<int>(ParaOf(l).wraps.size());
}

int EditText::XOfPos(int line, std::size_t pos) const {
    const std::string_view t = LineText(line);
    const std::size_t begin = LineStart(line);
    const std::size_t n = pos <= begin ? 0 : std::min(pos - begin, t.size());
    return Measure(t.substr(0, n));
}

std::size_t EditText::PosAtX(int line, int x) const {
    const std::string_view t = LineText(line);
    const std::size_t begin = LineStart(line);
    int cx = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const int a = Advance(static_cast<unsigned char>(t[i]), cx);
        if (x < cx + a / 2) return begin + i;
        cx += a;
    }
    return begin + t.size();
}

int EditText::LineWidth(int line) const {
    return Measure(LineText(line));
}

int EditText::MaxLineWidth() const {
    if (maxWidth_ < 0) {
        maxWidth_ = 0;
        for (const Block& b : blocks_)
            maxWidth_ = std::max(maxWidth_, b.width);
    }
    return maxWidth_;
}

EditText::Paragraph EditText::ParagraphAt(std::size_t pos) const {
    const Loc l = Locate(pos);
    return {ParaOf(l).text, l.start};
}

bool EditText::CheckInvariants() const {
    std::size_t chars = 0;
    int lines = 0;
    for (const Block& b : blocks_) {
        if (b.paras.empty() || b.paras.size() > kBlockMax) return false;
        std::size_t bc = 0;
        int bl = 0;
        for (const Para& p : b.paras) {
            if (!multiline_ && blocks_.size() * b.paras.size() != 1) return false;
            for (std::size_t i = 0; i < p.wraps.size(); ++i)
                if (p.wraps[i] == 0 || p.wraps[i] >= p.text.size() ||
                    (i > 0 && p.wraps[i] <= p.wraps[i - 1]))
                    return false;
            bc += p.text.size() + kBreak.size();
            bl += p.Lines();
        }
        if (bc != b.chars || bl != b.lines) return false;
        chars += bc;
        lines += bl;
    }
    return chars == length_ + kBreak.size() && lines == LineCount();
}

}  // namespace win
