// The skinned path of the edits: the common shape every skinned control follows.
#include <gtest/gtest.h>

#include <map>

#include "platform/gdi/bitmap.h"
#include "platform/user/screen.h"
#include "platform/user/user.h"
#include "skin/controls/edits.h"
#include "skin/controls/spin_edits.h"
#include "skin/controls/window_services.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/skin_commands.h"
#include "tests/skin/controls/skinned_form.h"

namespace skin {
namespace {

using namespace vcl;

class SkinnedEditsTest : public skin_test::SkinnedFormTest {
protected:
    void TearDown() override {
        ResetWindowServices();
        SkinnedFormTest::TearDown();
    }
    // The control's window as the screen shows it, as 0xRRGGBB pixels.
    std::vector<uint32_t> Pixels(TWinControl* c) {
        Pump();
        std::vector<uint32_t> px;
        for (int y = 0; y < c->Height(); ++y)
            for (int x = 0; x < c->Width(); ++x) px.push_back(At(c, x, y));
        return px;
    }
    // A pixel of the control's window (window coordinates) on the screen.
    uint32_t At(TWinControl* c, int x, int y) {
        win::RECT r{};
        win::GetWindowRect(c->Handle(), &r);
        win::BitmapView v;
        EXPECT_TRUE(win::GetBitmapView(win::ComposeScreen(), &v));
        const win::BYTE* p = v.Row(r.top + y) + (r.left + x) * 4;
        return uint32_t(p[2]) << 16 | p[1] << 8 | p[0];
    }
    static uint32_t CachePixel(TsCommonData* d, int x, int y) {
        const uint8_t* p = d->CacheBmp()->ScanLine(y) + x * 3;
        return uint32_t(p[2]) << 16 | p[1] << 8 | p[0];
    }
};

TEST_F(SkinnedEditsTest, SkinCommandsAreAnsweredSkinnedOrNotAndOnlyForTheOwnManager) {
    auto* ed = Place<TsEdit>(form, Bounds(10, 10, 100, 21));
    auto* mask = Place<TsMaskEdit>(form, Bounds(10, 40, 100, 21));
    auto* memo = Place<TsMemo>(form, Bounds(10, 70, 100, 60));
    form->Show();
    Pump();
    TsSkinManager other(nullptr);
    for (TWinControl* c : std::initializer_list<TWinControl*>{ed, mask, memo}) {
        SCOPED_TRACE(c->ClassName());
        EXPECT_EQ(c->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_ISSKINAWARE)), 1);
        auto* d = dynamic_cast<TsCommonData*>(GetObjectProp(c, "SkinData"));
        ASSERT_TRUE(d->SkinIndex >= 0);
        // Another manager's removal leaves the skin alone; the own manager's takes it.
        c->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_REMOVESKIN),
                   reinterpret_cast<intptr_t>(&other));
        EXPECT_GE(d->SkinIndex, 0);
        c->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_REMOVESKIN),
                   reinterpret_cast<intptr_t>(manager.get()));
        EXPECT_EQ(d->SkinIndex, -1);
        EXPECT_EQ(c->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_ISSKINAWARE)), 1);
        c->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_NEWSKIN),
                   reinterpret_cast<intptr_t>(&other));
        EXPECT_EQ(d->SkinIndex, -1);
        c->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_NEWSKIN),
                   reinterpret_cast<intptr_t>(manager.get()));
        EXPECT_GE(d->SkinIndex, 0);
    }
    // Unskinned, an edit answers the background question with its own colour.
    manager->SetActive(false);
    ed->SetColor(clRed);
    EXPECT_EQ(ed->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_GETBGCOLOR)), 0x0000FF);
}

TEST_F(SkinnedEditsTest, TheFrameComesFromTheCacheAndTheInsideTakesTheSectionColour) {
    auto* ed = Place<TsEdit>(form, Bounds(10, 10, 100, 21));
    form->Show();
    Pump();
    TsCommonData* d = ed->SkinData();
    EXPECT_EQ(ed->Color(), TColor(Section("EDIT").Color));
    // The frame strips are the cache's, the inside is the section's colour.
    for (auto [x, y] : {std::pair{0, 0}, {1, 10}, {99, 20}, {50, 0}})
        EXPECT_EQ(At(ed, x, y), CachePixel(d, x, y)) << x << "," << y;
    const uint32_t color = ColorToRGB(TColor(Section("EDIT").Color));
    EXPECT_EQ(At(ed, 50, 10), (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF));
}

TEST_F(SkinnedEditsTest, ADisabledEditShowsItsCacheWhereTheScreenHasIt) {
    auto* ed = Place<TsEdit>(form, Bounds(10, 10, 100, 21));
    ed->SetText("abc");
    ed->SetEnabled(false);
    form->Show();
    Pump();
    TsCommonData* d = ed->SkinData();
    win::InvalidateRect(ed->Handle(), nullptr, win::TRUE);
    win::UpdateWindow(ed->Handle());
    // The paint DC is a client DC: the cache lands shifted by the client origin.
    for (auto [x, y] : {std::pair{0, 0}, {5, 5}, {60, 8}, {99, 20}})
        EXPECT_EQ(At(ed, x, y), CachePixel(d, x, y)) << x << "," << y;
}

TEST_F(SkinnedEditsTest, PasswordCharactersAreWhatTheCacheShows) {
    auto* secret = Place<TsEdit>(form, Bounds(10, 10, 100, 21));
    auto* plain = Place<TsEdit>(form, Bounds(10, 10, 100, 21));
    secret->SetPasswordChar('*');
    secret->SetText("abc");
    plain->SetText("***");
    secret->PrepareCache();
    plain->PrepareCache();
    TBitmap* a = secret->SkinData()->CacheBmp();
    TBitmap* b = plain->SkinData()->CacheBmp();
    for (int y = 0; y < a->Height(); ++y)
        ASSERT_EQ(0, memcmp(a->ScanLine(y), b->ScanLine(y), size_t(a->Width()) * 3)) << y;
}

TEST_F(SkinnedEditsTest, OnlyAControlStickingOutOfItsParentRebuildsAtEveryPaint) {
    // Flush with the form's right and bottom edges (300 x 200): inside.
    auto* flush = Place<TsEdit>(form, Bounds(200, 179, 100, 21));
    auto* out = Place<TsEdit>(form, Bounds(250, 10, 100, 21));
    flush->SetEnabled(false);
    out->SetEnabled(false);
    form->Show();
    Pump();
    for (TsEdit* e : {flush, out}) {
        e->PaintFrameToDC(nullptr, false);
        e->PaintFrameToDC(nullptr, false);
    }
    EXPECT_FALSE(flush->SkinData()->HalfVisible);
    EXPECT_FALSE(flush->SkinData()->CacheStale);
    EXPECT_TRUE(out->SkinData()->HalfVisible);
}

TEST_F(SkinnedEditsTest, RemovingTheSkinGivesTheClassicLookBack) {
    // The same form never skinned, painted first.
    manager->SetActive(false);
    auto* ed = Place<TsEdit>(form, Bounds(10, 10, 100, 21));
    auto* mask = Place<TsMaskEdit>(form, Bounds(10, 40, 100, 21));
    ed->SetText("classic");
    mask->SetText("look");
    form->Show();
    Pump();
    const auto edClassic = Pixels(ed), maskClassic = Pixels(mask);
    manager->SetActive(true);
    Pump();
    EXPECT_NE(Pixels(ed), edClassic);
    EXPECT_NE(Pixels(mask), maskClassic);
    manager->SetActive(false);
    Pump();
    EXPECT_EQ(Pixels(ed), edClassic);
    EXPECT_EQ(Pixels(mask), maskClassic);
}

TEST_F(SkinnedEditsTest, ADisabledCacheIsGreyedOrBlendedAsTheEditSays) {
    auto* ed = Place<TsEdit>(form, Bounds(10, 10, 100, 21));
    ed->SetText("abc");
    form->Show();
    Pump();
    auto cache = [&](bool enabled, TsDisabledKind kind) {
        ed->SetEnabled(enabled);
        ed->SetDisabledKind(kind);
        ed->PrepareCache();
        std::vector<uint32_t> px;
        for (int y = 0; y < ed->Height(); ++y)
            for (int x = 0; x < ed->Width(); ++x) px.push_back(CachePixel(ed->SkinData(), x, y));
        return px;
    };
    const auto normal = cache(true, {dkBlended});
    const auto blended = cache(false, {dkBlended});
    const auto greyed = cache(false, {dkGrayed});
    EXPECT_NE(blended, normal);
    EXPECT_NE(greyed, blended);
    bool colourLeft = false;
    for (uint32_t p : greyed)
        ASSERT_TRUE((p & 0xFF) == (p >> 8 & 0xFF) && (p & 0xFF) == (p >> 16)) << std::hex << p;
    for (uint32_t p : normal) colourLeft |= (p & 0xFF) != (p >> 16);
    EXPECT_TRUE(colourLeft);  // else greying proves nothing
}

TEST_F(SkinnedEditsTest, AMaskEditWithoutBorderHasTheBackgroundAloneAndPaintsNoBorder) {
    auto* framed = Place<TsMaskEdit>(form, Bounds(10, 10, 100, 21));
    auto* bare = Place<TsMaskEdit>(form, Bounds(10, 40, 100, 21));
    bare->SetBorderStyle(bsNone);
    form->Show();
    Pump();
    framed->PaintEditFrame();
    bare->PaintEditFrame();
    // The corner of the framed cache is the border; the bare one's is its inside.
    EXPECT_NE(CachePixel(framed->SkinData(), 0, 0), CachePixel(framed->SkinData(), 50, 10));
    EXPECT_EQ(CachePixel(bare->SkinData(), 0, 0), CachePixel(bare->SkinData(), 50, 10));
    TBitmap target;
    target.SetSize(100, 21);
    target.Canvas()->Brush()->SetColor(TColor(0x00FF00));
    target.Canvas()->FillRect(Rect(0, 0, 100, 21));
    bare->PaintBorder(target.Canvas()->Handle());
    target.Canvas()->Refresh();
    EXPECT_EQ(target.Canvas()->Pixels(0, 0), TColor(0x00FF00));
}

// An adapter that notes what the memo asks of it.
class RecordingAdapter : public TacControlAdapter {
public:
    explicit RecordingAdapter(std::vector<std::string>* log) : log_(log) {}
    ~RecordingAdapter() override { log_->push_back("freed"); }
    void RefreshScrollBarInfo(bool repaint) override {
        log_->push_back(repaint ? "refresh+paint" : "refresh");
    }
    bool PaintScrollBars(win::HDC, int, uint32_t) override { return true; }
    bool Destroyed() const override { return false; }
    int BorderWidthX() const override { return 2; }
    int BorderWidthY() const override { return 2; }
    int HorzBarHeight() const override { return 0; }
    int VertBarWidth() const override { return 0; }
    void WndProc(TMessage&) override {}

private:
    std::vector<std::string>* log_;
};

TEST_F(SkinnedEditsTest, TheMemoAsksForItsAdapterAndKeepsItsBarsUpToDate) {
    std::vector<std::string> log;
    WindowSlots().UpdateEditWndAdapter = [&](TsCommonData* d, AdapterPtr& adapter) {
        log.push_back(IsControlSkinned(d) ? "update" : "update unskinned");
        if (!adapter) adapter = std::make_unique<RecordingAdapter>(&log);
    };
    auto* memo = Place<TsMemo>(form, Bounds(10, 10, 120, 60));
    memo->Loaded();
    // Asked when its window was made and again when loaded; the adapter is made once.
    EXPECT_EQ(log, (std::vector<std::string>{"update", "update"}));
    form->Show();  // showing tells the memo CM_SHOWINGCHANGED
    Pump();
    ASSERT_NE(memo->Adapter(), nullptr);
    log.clear();
    memo->Lines()->Add("a line");
    EXPECT_NE(std::find(log.begin(), log.end(), "refresh+paint"), log.end());
    log.clear();
    memo->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_REFRESH),
                  reinterpret_cast<intptr_t>(manager.get()));
    EXPECT_EQ(log, (std::vector<std::string>{"update"}));
    log.clear();
    memo->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_REMOVESKIN),
                  reinterpret_cast<intptr_t>(manager.get()));
    EXPECT_EQ(log.front(), "freed");
    EXPECT_EQ(memo->Adapter(), nullptr);
    EXPECT_TRUE(memo->HandleAllocated());  // made again with the plain frame
}

// A control that writes to `log` what happens to the message under test: the messages it sends
// itself meanwhile (by name), "base" when the class library's handling gets a message, with
// "(stale)" when the skin had already marked the cache stale, and "cache" when the cache is
// rebuilt.
template <class T>
class Logged : public T {
public:
    using T::T;
    std::vector<std::string>* log = nullptr;

    void WndProc(TMessage& m) override {
        static const std::map<uint32_t, std::string> named = {
            {win::WM_NCPAINT, "WM_NCPAINT"}, {win::WM_PAINT, "WM_PAINT"}};
        const bool nested = depth_ > 0;
        if (log && nested && named.count(m.Msg)) log->push_back(named.at(m.Msg));
        const bool logged = log && (!nested || named.count(m.Msg));
        ++depth_;
        const uint32_t was = logging_;
        logging_ = logged ? m.Msg : 0;
        T::WndProc(m);
        logging_ = was;
        --depth_;
    }
    void Dispatch(TMessage& m) override {
        if (logging_ == m.Msg && logging_)
            log->push_back(this->SkinData()->CacheStale ? "base(stale)" : "base");
        T::Dispatch(m);
    }

protected:
    void Note(const char* what) {
        if (log) log->push_back(what);
    }

private:
    int depth_ = 0;
    uint32_t logging_ = 0;
};

template <class T>
class LoggedFrame : public Logged<T> {
public:
    using Logged<T>::Logged;
    void PrepareCache() override {
        this->Note("cache");
        T::PrepareCache();
    }
};

// How the skin's handling and the class library's are ordered, message by message, on the
// edit, the spin edit's frame (the same as the edit's) and the memo.
TEST_F(SkinnedEditsTest, TheWindowProcedureOrderFollowsTheRecordedLog) {
    enum State { Classic, Skinned, Stale, Disabled, Waiting };
    TBitmap print;
    print.SetSize(120, 60);
    TsSkinManager other(nullptr);
    const auto own = reinterpret_cast<intptr_t>(manager.get());
    const auto otherManager = reinterpret_cast<intptr_t>(&other);
    const auto printDC = reinterpret_cast<intptr_t>(print.Canvas()->Handle());
    struct Row {
        const char* what;
        State state;
        uint32_t msg;
        uintptr_t wParam;
        intptr_t lParam;
        const char* edit;  // also the spin edit's
        const char* memo;
    };
    const uintptr_t ref = SkinCommandWParam(SKC_REFRESH);
    const Row rows[] = {
        {"is skin-aware, classic", Classic, SM_ALPHACMD, SkinCommandWParam(SKC_ISSKINAWARE), 0, "",
         ""},
        {"is skin-aware", Skinned, SM_ALPHACMD, SkinCommandWParam(SKC_ISSKINAWARE), 0, "", ""},
        {"refresh, own manager", Skinned, SM_ALPHACMD, ref, own, "", ""},
        {"refresh, another manager", Skinned, SM_ALPHACMD, ref, otherManager, "base", "base"},
        {"does the parent show through", Skinned, SM_ALPHACMD, SkinCommandWParam(SKC_ISSEETHROUGH),
         1, "", "base"},
        {"parent's update ended", Waiting, SM_ALPHACMD, SkinCommandWParam(SKC_ENDPARENTUPDATE), 0,
         "base WM_PAINT base WM_NCPAINT", "base"},
        {"frame, classic", Classic, win::WM_NCPAINT, 1, 0, "base", "base"},
        {"frame", Stale, win::WM_NCPAINT, 1, 0, "cache", "base(stale)"},
        {"frame, waiting", Waiting, win::WM_NCPAINT, 1, 0, "", "base"},
        {"paint", Skinned, win::WM_PAINT, 0, 0, "base", "base"},
        {"paint, disabled", Disabled, win::WM_PAINT, 0, 0, "cache", "base(stale)"},
        {"paint, waiting", Waiting, win::WM_PAINT, 0, 0, "", ""},
        {"erase", Skinned, win::WM_ERASEBKGND, 0, 0, "base", "base"},
        {"erase, disabled", Disabled, win::WM_ERASEBKGND, 0, 0, "", "base(stale)"},
        {"print", Skinned, win::WM_PRINT, 0, 0, "cache base", "base"},
        {"text", Skinned, win::WM_SETTEXT, 0, 0, "base WM_NCPAINT cache", "base"},
        {"size", Skinned, win::WM_SIZE, 0, 0, "base(stale) WM_NCPAINT cache", "base(stale)"},
        {"focus lost", Skinned, win::WM_KILLFOCUS, 0, 0,
         "base(stale) WM_PAINT base(stale) WM_NCPAINT cache", "base(stale)"},
        {"mouse enters", Skinned, CM_MOUSEENTER, 0, 0, "WM_NCPAINT cache base",
         "WM_NCPAINT base(stale) base(stale)"},
        {"keyboard cues", Skinned, win::WM_UPDATEUISTATE, 0, 0, "", "base"},
        {"keyboard cues, classic", Classic, win::WM_UPDATEUISTATE, 0, 0, "base", "base"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        manager->SetActive(row.state != Classic);
        auto* ed = Place<LoggedFrame<TsEdit>>(form, Bounds(10, 10, 100, 21));
        auto* spin = Place<LoggedFrame<TsDecimalSpinEdit>>(form, Bounds(10, 40, 100, 21));
        auto* memo = Place<Logged<TsMemo>>(form, Bounds(10, 70, 120, 60));
        for (TWinControl* c : std::initializer_list<TWinControl*>{ed, spin, memo}) {
            c->SetTabStop(true);
            c->SetEnabled(row.state != Disabled);
        }
        form->Show();
        Pump();
        // Each control logs only while its own message is handled: what the manager tells the
        // control it leaves does not belong to the order.
        auto run = [&](auto* c) {
            std::vector<std::string> log;
            TsCommonData* d = c->SkinData();
            d->CacheStale = row.state == Stale || row.state == Disabled;
            d->BGChanged = row.state == Waiting;
            const bool print = row.msg == win::WM_PRINT;
            c->log = &log;
            const intptr_t result = c->Perform(row.msg, print ? uintptr_t(printDC) : row.wParam,
                                               print ? win::PRF_CLIENT : row.lParam);
            c->log = nullptr;
            if (row.msg == SM_ALPHACMD && SkinCommandCode(row.wParam) == SKC_ISSKINAWARE) {
                EXPECT_EQ(result, 1);
            }
            std::string s;
            for (const std::string& e : log) s += (s.empty() ? "" : " ") + e;
            return s;
        };
        EXPECT_EQ(run(ed), row.edit) << "edit";
        EXPECT_EQ(run(spin), row.edit) << "spin edit";
        EXPECT_EQ(run(memo), row.memo) << "memo";
        ed->Free();
        spin->Free();
        memo->Free();
    }
}

}  // namespace
}  // namespace skin
