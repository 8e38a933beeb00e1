#include "platform/controls/edit_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace win {
namespace {

constexpr int kWrap = 60;

std::array<int, 256> Advances() {
    std::array<int, 256> a{};
    for (int c = 0; c < 256; ++c)
        a[c] = 4 + c % 5;
    return a;
}

// A word, a blank or a line break, at random.
std::string Snippet(std::mt19937& rng) {
    std::string s;
    const int parts = static_cast<int>(rng() % 6);
    for (int i = 0; i < parts; ++i) {
        switch (rng() % 5) {
            case 0:
                s += "\r\n";
                break;
            case 1:
                s += ' ';
                break;
            default:
                s.append(1 + rng() % 14, static_cast<char>('a' + rng() % 26));
        }
    }
    return s;
}

// What Replace does to positions inside a CR LF: the start moves before it, the end of a
// range after it.
void ReplaceInModel(std::string& m, std::size_t from, std::size_t to, const std::string& s) {
    auto inBreak = [&](std::size_t p) {
        return p > 0 && p < m.size() && m[p - 1] == '\r' && m[p] == '\n';
    };
    if (inBreak(from)) --from;
    if (to <= from)
        to = from;
    else if (inBreak(to))
        ++to;
    m.replace(from, to - from, s);
}

void ExpectLinesMatch(const EditText& t, const std::string& model) {
    ASSERT_TRUE(t.CheckInvariants());
    ASSERT_EQ(t.Text(), model);
    std::size_t expectStart = 0;
    for (int l = 0; l < t.LineCount(); ++l) {
        const std::size_t start = t.LineStart(l);
        ASSERT_EQ(start, expectStart) << "line " << l;
        ASSERT_EQ(t.LineFromPos(start), l);
        const std::string_view line = t.LineText(l);
        ASSERT_EQ(line, std::string_view(model).substr(start, line.size()));
        // Only a single character or blanks left hanging at a wrap may stick out.
        std::string_view body = line;
        while (!body.empty() && body.back() == ' ')
            body.remove_suffix(1);
        if (body.size() > 1) {
            EXPECT_LE(t.Measure(body), kWrap) << "line " << l;
        }
        expectStart = start + line.size() + (t.IsWrapped(l) ? 0 : 2);
    }
}

TEST(EditText, RandomEditsKeepTheTextAndItsWrappedLines) {
    EditText t;
    t.SetMultiline(true);
    t.SetMetrics(Advances(), 32);
    t.SetWrapWidth(kWrap);
    std::mt19937 rng(12345);
    std::string model;
    for (int i = 0; i < 600; ++i)
        model += Snippet(rng) + "\r\n";
    t.SetText(model);
    ExpectLinesMatch(t, model);
    for (int step = 0; step < 2000; ++step) {
        const std::size_t n = model.size();
        std::size_t from = n ? rng() % (n + 1) : 0;
        std::size_t to = from;
        switch (rng() % 4) {
            case 0:  // a long deletion, across blocks
                to = std::min(n, from + rng() % 3000);
                break;
            case 1:
                to = std::min(n, from + rng() % 8);
                break;
            default:
                break;
        }
        std::string s = Snippet(rng);
        if (step % 250 == 0) {  // a big paste splits blocks
            s.clear();
            for (int i = 0; i < 400; ++i)
                s += "pasted line " + std::to_string(i) + "\r\n";
        }
        ReplaceInModel(model, from, to, s);
        t.Replace(from, to, s);
        ASSERT_EQ(t.Length(), model.size()) << "step " << step;
        if (step % 100 == 0) ExpectLinesMatch(t, model);
        const std::size_t a = rng() % (model.size() + 1), b = a + rng() % 300;
        ASSERT_EQ(t.Range(a, b), model.substr(a, b - a)) << "step " << step;
    }
    ExpectLinesMatch(t, model);
    t.Replace(0, t.Length(), "");
    EXPECT_EQ(t.LineCount(), 1);
    EXPECT_TRUE(t.CheckInvariants());
}

TEST(EditText, WrapsAtBlanksCutsLongWordsAndReportsTheLinesItChanged) {
    EditText t;
    t.SetMultiline(true);
    std::array<int, 256> a{};
    a.fill(10);
    t.SetMetrics(a, 80);
    t.SetWrapWidth(50);  // five characters
    t.SetText("ab cd ef\r\nabcdefghijkl\r\nx");
    // Blanks stay at the end of the line they follow; a long word is cut where it stops fitting.
    ASSERT_EQ(t.LineCount(), 6);
    EXPECT_EQ(t.LineText(0), "ab cd ");
    EXPECT_EQ(t.LineText(1), "ef");
    EXPECT_EQ(t.LineText(2), "abcde");
    EXPECT_EQ(t.LineText(3), "fghij");
    EXPECT_EQ(t.LineText(4), "kl");
    EXPECT_TRUE(t.IsWrapped(0));
    EXPECT_FALSE(t.IsWrapped(1));
    // A position at a wrap starts the next line; x and positions map both ways.
    EXPECT_EQ(t.LineFromPos(6), 1);
    EXPECT_EQ(t.XOfPos(3, 16), 10);
    EXPECT_EQ(t.PosAtX(3, 14), 16u);
    EXPECT_EQ(t.PosAtX(3, 16), 17u);
    // Typing inside the second paragraph touches only its lines.
    EditText::Change ch = t.Replace(12, 12, "Z");
    EXPECT_EQ(ch.firstLine, 2);
    EXPECT_EQ(ch.oldEnd, 5);
    EXPECT_EQ(ch.newEnd, 5);
    ch = t.Replace(12, 12, "YYYY");
    EXPECT_EQ(ch.newEnd, 6);
    // Deleting from inside one CR LF to inside another takes both breaks away whole.
    t.SetText("a\r\nb\r\nc");
    t.Replace(2, 5, "");
    EXPECT_EQ(t.Text(), "ac");
    // What a break at a blank carries to the next line may still be too wide with the next
    // character: that one starts a line of its own.
    a[' '] = 2;
    a['b'] = 20;
    t.SetMetrics(a, 80);
    t.SetText(" aaaab");
    ASSERT_EQ(t.LineCount(), 3);
    EXPECT_EQ(t.LineText(1), "aaaa");
    EXPECT_EQ(t.LineText(2), "b");
    // A single-line text keeps its breaks as characters.
    t.SetMultiline(false);
    t.SetText("a\r\nb");
    EXPECT_EQ(t.LineCount(), 1);
    EXPECT_EQ(t.LineLength(0), 4u);
}

TEST(EditText, TabsReachTheNextStopAndMasksMeasureEveryCharacterAlike) {
    EditText t;
    std::array<int, 256> a{};
    a.fill(10);
    a['*'] = 7;
    t.SetMetrics(a, 32);
    t.SetText("a\tb");
    EXPECT_EQ(t.XOfPos(0, 2), 32);
    EXPECT_EQ(t.LineWidth(0), 42);
    t.SetMask('*');
    EXPECT_EQ(t.LineWidth(0), 21);
}

}  // namespace
}  // namespace win
