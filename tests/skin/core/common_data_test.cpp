#include "skin/core/state/common_data.h"

#include <gtest/gtest.h>

#include "platform/user/user.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/pixels/text_utils.h"
#include "skin/core/state/engine_state.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "tests/skin/core/dib_dc.h"
#include "tests/skin/core/skin_recorders.h"
#include "vcl/controls/edits.h"
#include "vcl/controls/ext_ctrls.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/menus.h"
#include "vcl/controls/std_ctrls.h"
#include "vcl/graphics/bitmap.h"

namespace skin {
namespace {

using skin_test::Log;
using skin_test::Only;
using vcl::CM_MOUSEENTER;
using vcl::CM_MOUSELEAVE;

std::string Hex(intptr_t v) {
    char b[16];
    std::snprintf(b, sizeof b, "%06X", unsigned(v));
    return b;
}

// Notes "<name>:<code>" for each skin command it hears after its skin state (with "@m" when
// lParam is the fixture's manager, "@0" for none), and "<name>:ncpaint" for frame paints.
template <class Base>
class TSkinned : public Base {
public:
    TSkinned(vcl::TWinControl* parent, const std::string& name, Log* log, int kind,
             const std::string& section)
        : Base(parent), data(std::make_unique<TsCommonData>(this, true)), log_(log) {
        this->SetName(name);
        data->COC = kind;
        data->SetSkinSection(section);
        this->SetParent(parent);
    }
    void WndProc(vcl::TMessage& m) override {
        if (m.Msg == win::WM_NCPAINT) log_->push_back(this->Name() + ":ncpaint");
        if (m.Msg == SM_ALPHACMD) {
            std::string e = this->Name() + ":" + std::to_string(SkinCommandCode(m.WParam));
            if (SkinCommandArg(m.WParam)) e += "." + std::to_string(SkinCommandArg(m.WParam));
            if (m.LParam == reinterpret_cast<intptr_t>(DefaultManager))
                e += "@m";
            else if (m.LParam == 0)
                e += "@0";
            log_->push_back(e);
        }
        if (CommonWndProc(m, data.get())) return;
        Base::WndProc(m);
    }
    std::unique_ptr<TsCommonData> data;

private:
    Log* log_;
};

using TSkinnedPanel = TSkinned<vcl::TPanel>;
using TSkinnedEdit = TSkinned<vcl::TEdit>;
using TSkinnedGraphic = TSkinned<vcl::TGraphicControl>;

class CommonDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        win::ResetWindowing();
        neighbours_ = std::make_unique<skin_test::RecordingNeighbours>(&log);
        NeighbourServices& n = Neighbours();
        n.ShowGlow = [this](const TRect& r, const TRect&, const std::string& section,
                            TsSkinManager*, win::HWND, uint8_t alpha, int margin,
                            const std::string& mask) {
            log.push_back("glow:" + section + ":" + mask + ":" + std::to_string(alpha) + ":" +
                          std::to_string(margin) + ":" + std::to_string(r.Width()));
            return ++glows_;
        };
        n.HideGlow = [this](int id) { log.push_back("hide:" + std::to_string(id)); };
        n.SetMenuOwnerDraw = [this](TsSkinableMenusBase*, vcl::TMenu*, bool) {
            log.push_back("menu");
        };
        manager.reset(new TsSkinManager(nullptr));
        Section("FORMBG", 0xC8C8C8);
        Section("PANEL", 0x101010);
        Section("CLEAR", 0x0000FF).Transparency = 100;
        Section("HALF", 0x000000).Transparency = 25;
        Section("EDIT", 0x00FF00).FontColor = 0x0000FF;
        Section("GLOWING", 0x202020).GlowCount = 2;
        Section("GRAD", 0x303030).GradientPercent = 50;
        manager->SkinData().Active = true;
        form = new vcl::TForm(vcl::Application());
        form->SetBounds(0, 0, 400, 300);
        form->Show();
    }
    void TearDown() override {
        manager.reset();
        neighbours_.reset();
        vcl::DoneApplication();
        win::ResetWindowing();
    }
    TsGeneralData& Section(const std::string& name, TColor color) {
        TsGeneralData& s = manager->Sections().emplace_back();
        s.SectionName = name;
        s.Color = color;
        return s;
    }
    // A border mask of `section` with the given widths.
    void Borders(const std::string& section, int l, int t, int r, int b) {
        TsMaskData& m = manager->Masks().emplace_back();
        m.SectionName = section;
        m.PropertyName = "BORDERSMASK";
        m.WL = int16_t(l), m.WT = int16_t(t), m.WR = int16_t(r), m.WB = int16_t(b);
        m.ImageCount = 1;
        manager->Sections()[size_t(manager->GetSkinIndex(section))].BordersMask =
            int(manager->Masks().size()) - 1;
    }
    template <class C = TSkinnedPanel>
    C* Make(vcl::TWinControl* parent, const std::string& name, const std::string& section,
            vcl::TRect r = {10, 10, 110, 60}, int kind = 51) {
        auto* c = new C(parent, name, &log, kind, section);
        c->SetBoundsRect(r);
        log.clear();
        return c;
    }
    intptr_t Command(vcl::TControl* c, uint16_t code, intptr_t lParam = 0, uint16_t arg = 0) {
        return c->Perform(SM_ALPHACMD, SkinCommandWParam(code, arg), lParam);
    }
    intptr_t Mgr() const { return reinterpret_cast<intptr_t>(manager.get()); }

    Log log;
    std::unique_ptr<skin_test::RecordingNeighbours> neighbours_;
    std::unique_ptr<TsSkinManager, vcl::FreeDeleter> manager;
    vcl::TForm* form = nullptr;
    int glows_ = 0;
};

TEST_F(CommonDataTest, SectionNamesAreUpperCaseAndTheDefaultManagerIsStoredAsNil) {
    auto* p = Make(form, "P", "panel");
    TsCommonData* d = p->data.get();
    EXPECT_EQ(d->SkinSection(), "PANEL");
    EXPECT_EQ(d->SkinIndex, 1);
    d->SetSkinSection("");
    EXPECT_EQ(d->SkinSection(), "UNKNOWN");
    EXPECT_EQ(d->SkinIndex, -1);
    d->SetSkinSection("edit");
    EXPECT_EQ(d->SkinSection(), "EDIT");
    d->SetSkinManager(manager.get());
    EXPECT_EQ(d->StoredSkinManager(), nullptr);
    EXPECT_EQ(d->SkinManager(), manager.get());
    EXPECT_EQ(vcl::GetObjectProp(d, "SkinManager"), manager.get());
}

TEST_F(CommonDataTest, WritingTheSectionOrManagerTellsTheOwnerWithTheEffectiveManager) {
    auto* p = Make(form, "P", "PANEL");
    p->data->SetSkinSection("HALF");    // usable: refresh
    p->data->SetSkinSection("NOSUCH");  // unusable: remove
    std::unique_ptr<TsSkinManager, vcl::FreeDeleter> other(new TsSkinManager(nullptr));
    p->data->SetSkinManager(other.get());  // no sections: remove, with the other manager
    p->data->SetSkinManager(nullptr);      // back to the default one
    EXPECT_EQ(log, Log({"P:3@m", "P:2@m", "P:2", "P:2@m"}));
    EXPECT_EQ(p->data->SkinIndex, -1);  // NOSUCH stays unknown
    p->data->SetSkinSection("PANEL");
    EXPECT_EQ(log.back(), "P:3@m");
    EXPECT_EQ(p->data->SkinIndex, 1);
    // Nil is the default manager: the control keeps the skin that manager has.
    p->data->SetSkinManager(other.get());
    p->data->SetSkinManager(nullptr);
    EXPECT_EQ(log.back(), "P:3@m");
    EXPECT_EQ(p->data->SkinIndex, 1);
}

TEST_F(CommonDataTest, SkinLifeCommandsActOnlyForTheOwnManager) {
    auto* e = Make<TSkinnedEdit>(form, "E", "EDIT", {10, 10, 110, 31}, 3);
    TsCommonData* d = e->data.get();
    d->InitCacheBmp();
    d->CacheStale = false;
    Command(e, SKC_REMOVESKIN, 12345);  // another manager: nothing
    EXPECT_EQ(d->SkinIndex, 4);
    Command(e, SKC_REMOVESKIN, Mgr());
    EXPECT_EQ(d->SkinIndex, -1);
    EXPECT_EQ(d->BorderIndex, -1);
    EXPECT_TRUE(d->BGChanged);
    EXPECT_EQ(d->CacheBmp()->Width(), 0);
    EXPECT_EQ(e->Color(), vcl::clWindow);
    EXPECT_EQ(e->Font()->Color(), vcl::clWindowText);
    BroadcastingNewSkin = true;
    Command(e, SKC_NEWSKIN, Mgr());
    EXPECT_EQ(d->SkinIndex, 4);
    EXPECT_FALSE(BroadcastingNewSkin);
    Command(e, SKC_REFRESH, Mgr());
    EXPECT_FALSE(d->BGChanged);
    EXPECT_TRUE(d->CacheStale);
    EXPECT_EQ(e->Color(), 0x00FF00);
    EXPECT_EQ(e->Font()->Color(), 0x0000FF);
    d->SetCustomColor(true);
    Command(e, SKC_REMOVESKIN, Mgr());
    EXPECT_EQ(e->Color(), 0x00FF00);  // its own colour stays
    EXPECT_EQ(e->Font()->Color(), vcl::clWindowText);
}

TEST_F(CommonDataTest, FlagCommandsAndQueries) {
    auto* p = Make(form, "P", "HALF");
    TsCommonData* d = p->data.get();
    EXPECT_EQ(Command(p, SKC_ISSKINAWARE), 1);
    Command(p, SKC_SETBGCHANGED, 0, 1);
    EXPECT_TRUE(d->BGChanged);
    Command(p, SKC_SETBGCHANGED, 0, 2);  // only 1 is true
    EXPECT_FALSE(d->BGChanged);
    Command(p, SKC_SETKEEPCACHE, 0, 1);
    EXPECT_TRUE(d->KeepCache);
    d->CacheStale = false;
    EXPECT_EQ(Command(p, SKC_ISUPDATING), 0);
    d->BGChanged = true;
    EXPECT_EQ(Command(p, SKC_ISUPDATING), 1);
    d->HalfVisible = false;
    EXPECT_EQ(Command(p, SKC_ISHALFVISIBLE), 0);
    Command(p, SKC_SETHALFVISIBLE);
    EXPECT_EQ(Command(p, SKC_ISHALFVISIBLE), 1);
    Command(p, SKC_SETTRANSCHANGED, 0, 1);  // transparent section: stale
    EXPECT_TRUE(d->CacheStale);
    d->CacheStale = false;
    Command(p, SKC_SETSTALE);
    EXPECT_TRUE(d->CacheStale);
    // The section index goes into the integer lParam points at; lParam 0 is left alone.
    int32_t index = -7;
    EXPECT_EQ(Command(p, SKC_GETSKININDEX, reinterpret_cast<intptr_t>(&index)), 0);
    EXPECT_EQ(index, 3);
    EXPECT_EQ(Command(p, SKC_GETSKININDEX, 0), 0);
    vcl::TMessage app = SkinCommandMessage(SKC_GETAPPLICATION);
    EXPECT_FALSE(CommonWndProc(app, d));  // answered, and passed on
    EXPECT_EQ(app.Result, reinterpret_cast<intptr_t>(vcl::Application()));
    BroadcastingNewSkin = true;
    Command(p, SKC_INVALIDATESECTION);  // the repaint section is empty: not this one
    EXPECT_TRUE(BroadcastingNewSkin);
    BroadcastingNewSkin = false;
}

TEST_F(CommonDataTest, SeeThroughAnswersWriteTheMessageNotThroughItsPointer) {
    auto* outer = Make(form, "Outer", "GRAD", {0, 0, 300, 200});
    auto* clear = Make(outer, "Clear", "CLEAR");
    auto* unknown = Make(outer, "U", "NOSUCH");
    vcl::TMessage m = SkinCommandMessage(SKC_ISSEETHROUGH);
    EXPECT_FALSE(CommonWndProc(m, unknown->data.get()));  // no section: unanswered
    EXPECT_EQ(m.Result, 0);
    // Transparency 100 asks the parent, whose gradient shows.
    m = SkinCommandMessage(SKC_ISSEETHROUGH);
    EXPECT_TRUE(CommonWndProc(m, clear->data.get()));
    EXPECT_EQ(m.Result, 1);
    EXPECT_EQ(m.LParam, 1);
    EXPECT_EQ(Only(log, "Outer:"), Log({"Outer:19@0"}));
}

TEST_F(CommonDataTest, SeeThroughChangesReachTheChildrenWhenTheParentShows) {
    auto* outer = Make(form, "Outer", "GRAD", {0, 0, 400, 300});
    auto* half = Make(outer, "Half", "HALF", {0, 0, 300, 200});
    auto* child = Make(half, "Child", "PANEL");
    auto* graphic = Make<TSkinnedGraphic>(half, "G", "PANEL", {5, 5, 20, 20}, 92);
    log.clear();
    half->data->CacheStale = false;
    Command(half, SKC_SEETHROUGHCHANGED, 0, 1);
    EXPECT_TRUE(half->data->CacheStale);
    EXPECT_EQ(log, Log({"Half:20.1@0", "Outer:19@0", "G:20@0", "Child:20@0"}));
    win::RECT u{};
    EXPECT_TRUE(win::GetUpdateRect(half->Handle(), &u, false));  // redrawn
    (void)child, (void)graphic;
}

TEST_F(CommonDataTest, BackgroundColourHasTheParentShareTransparencyPercent) {
    form->SetColor(vcl::TColor(0xC8C8C8));
    auto* half = Make(form, "Half", "HALF");
    auto* clear = Make(form, "Clear", "CLEAR");
    auto* plain = Make(form, "Plain", "PANEL");
    // Command 21: 25 percent of the parent, as the painters mix it (A = 25 * 255 div 100).
    EXPECT_EQ(Hex(Command(half, SKC_GETBGCOLOR, kTransparentKey)), "313131");
    EXPECT_EQ(Hex(Command(clear, SKC_GETBGCOLOR, kTransparentKey)), "C8C8C8");
    EXPECT_EQ(Hex(Command(plain, SKC_GETBGCOLOR, kTransparentKey)), "101010");
    // The colour the painters take: the same weights, mixed in floating point.
    EXPECT_EQ(Hex(GetControlBGColor(half->data.get(), false, nullptr)), "323232");
    EXPECT_EQ(Hex(GetControlBGColor(clear->data.get(), false, nullptr)), "C8C8C8");
    // Without an owner control or window: the button face behind.
    TsCommonData loose(nullptr, false);
    loose.SetSkinSection("HALF");
    const TColor face = ControlColorToRGB(0xFF00000F);
    EXPECT_EQ(GetControlBGColor(&loose, false, nullptr), BlendTwoColors(face, 0, 0.25));
    // Not skinned: the owner's own colour.
    plain->data->SetSkinSection("NOSUCH");
    plain->SetColor(vcl::TColor(0x123456));
    EXPECT_EQ(Hex(GetControlBGColor(plain->data.get(), false, nullptr)), "123456");
}

TEST_F(CommonDataTest, BackgroundsAreRealColoursWhateverTheOwnerHolds) {
    const TColor face = win::GetSysColor(win::COLOR_BTNFACE);
    // A system colour in either form is filled as the colour it stands for.
    skin_test::DibDC dc(2, 1, 24);
    for (TColor c : {TColor(0xFF00000F), TColor(0x8000000F)}) {
        FillRectSolid(dc.dc(), {0, 0, 2, 1}, c);
        EXPECT_EQ(Hex(dc.get(1, 0)), Hex(face)) << Hex(c);
    }
    // An unskinned or own-coloured owner answers its colour as a colour.
    auto* plain = Make(form, "Plain", "NOSUCH");
    auto* custom = Make(form, "Custom", "PANEL");
    custom->data->SetCustomColor(true);
    for (auto* c : {plain, custom}) {
        c->SetColor(vcl::clBtnFace);
        BackgroundInfo info;
        c->data->GetBGInfo(info, false, nullptr);
        EXPECT_EQ(Hex(info.Color), Hex(face)) << c->Name();
    }

    // A see-through owner with no parent mixes in its own colour, nothing else.
    Section("MIX", 0xC80000).Transparency = 50;
    auto* lone = Make(nullptr, "Lone", "MIX");
    lone->SetColor(vcl::TColor(0xC80000));
    EXPECT_EQ(Hex(GetControlBGColor(lone->data.get(), false, nullptr)), "C80000");
    CacheInfo cache;
    PixelView view;
    GetParentBGInfo(lone->data.get(), cache, view);
    EXPECT_EQ(Hex(cache.FillColor), "C80000");
    lone->Free();
}

// What a see-through control answers to command 21 is what its section paints over a parent of
// one colour, for every transparency.
TEST_F(CommonDataTest, TheColourAnswerIsThePaintedColour) {
    const TColor under = RGB(240, 7, 90);
    form->SetColor(vcl::TColor(under));
    manager->Sections()[3].Color = RGB(13, 140, 251);
    auto* half = Make(form, "Half", "HALF");
    std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> parent(NewBitmap24(4, 4)),
        target(NewBitmap24(4, 4));
    const PixelView pv = ViewOf(parent.get()), tv = ViewOf(target.get());
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            uint8_t* p = pv.At(x, y);
            p[0] = BlueOf(under), p[1] = GreenOf(under), p[2] = RedOf(under);
        }
    for (int t = 0; t <= 100; ++t) {
        manager->Sections()[3].Transparency = t;
        const TColor answer = TColor(Command(half, SKC_GETBGCOLOR, kTransparentKey));
        PaintSkinBackground(3, "HALF", MakeCacheInfo(&pv, 0, 0), 0, {0, 0, 4, 4}, {0, 0},
                            target.get(), manager.get(), -1, -1, kTransparentKey);
        const uint8_t* q = tv.At(2, 2);
        EXPECT_EQ(Hex(answer), Hex(RGB(q[2], q[1], q[0]))) << "T = " << t;
    }
}

TEST_F(CommonDataTest, BackgroundInfoOfWideBordersIsTheOwnImage) {
    Borders("CLEAR", 12, 0, 13, 0);
    auto* host = Make(form, "Host", "PANEL", {0, 0, 300, 200});
    auto* clear = Make(host, "Clear", "CLEAR", {20, 30, 120, 80});
    clear->data->UpdateIndexes();
    clear->data->InitCacheBmp();
    log.clear();
    BackgroundInfo info;
    Command(clear, SKC_GETBGINFO, reinterpret_cast<intptr_t>(&info));
    EXPECT_EQ(info.BgType, btCache);  // 12 + 13 is not below 25
    EXPECT_EQ(info.Bmp, clear->data->CacheBmp());
    EXPECT_TRUE(Only(log, "Host:").empty());
    // 12 + 12 both ways: the question goes to the parent, shifted by the own place.
    manager->Masks().back().WR = 12;
    manager->Masks().back().WT = manager->Masks().back().WB = 12;
    host->data->InitCacheBmp();
    info = {};
    Command(clear, SKC_GETBGINFO, reinterpret_cast<intptr_t>(&info));
    EXPECT_EQ(info.BgType, btFill);  // the host is a plain colour
    EXPECT_EQ(info.Color, 0x101010u);
    host->data->SetSkinSection("GRAD");
    info = {};
    Command(clear, SKC_GETBGINFO, reinterpret_cast<intptr_t>(&info));
    EXPECT_EQ(info.BgType, btCache);
    EXPECT_EQ(info.Bmp, host->data->CacheBmp());
    EXPECT_EQ(info.Offset.X, 20);
    EXPECT_EQ(info.Offset.Y, 30);
    // lParam 0 is ignored.
    EXPECT_EQ(Command(clear, SKC_GETBGINFO, 0), 0);
}

TEST_F(CommonDataTest, BorderWidthsAboveThirtyMakeTheBackgroundComplex) {
    Borders("PANEL", 16, 0, 15, 0);
    auto* p = Make(form, "P", "PANEL");
    p->data->UpdateIndexes();
    EXPECT_TRUE(IsComplexBackground(p->data.get()));
    EXPECT_FALSE(p->data->CtrlState & kCtrlPlainBG);
    EXPECT_EQ(GetMaxBorderWidth(p->data.get()), 16);
    manager->Masks().back().WL = 15;
    p->data->UpdateIndexes();
    EXPECT_FALSE(IsComplexBackground(p->data.get()));
    EXPECT_TRUE(p->data->CtrlState & kCtrlPlainBG);  // a panel of a plain colour
    EXPECT_EQ(Command(p, SKC_PLAINBG, 0), kCtrlPlainBG);
    manager->Masks().back().StretchMode = smNoNormalState;
    EXPECT_EQ(GetMaxBorderWidth(p->data.get()), 0);
    // A recompute passes down to the children.
    auto* child = Make(p, "Child", "PANEL");
    child->data->CtrlState = 0;
    Command(p, SKC_PLAINBG, 1);
    EXPECT_TRUE(child->data->CtrlState & kCtrlPlainBG);
}

TEST_F(CommonDataTest, FontIndexPassesOverParentsMoreThanHalfTransparent) {
    manager->Sections()[0].GiveOwnFont = true;  // FORMBG
    manager->Sections()[3].Transparency = 60;   // HALF
    auto* outer = Make(form, "Outer", "FORMBG", {0, 0, 300, 200});
    auto* half = Make(outer, "Half", "HALF", {0, 0, 200, 100});
    auto* label = new vcl::TLabel(half);
    label->SetParent(half);
    EXPECT_EQ(GetFontIndex(label, -5, manager.get()), 0);
    manager->Sections()[3].Transparency = 50;  // not more than half: its own, which gives none
    EXPECT_EQ(GetFontIndex(label, -5, manager.get()), -5);
    EXPECT_EQ(GetFontIndex(nullptr, -5, manager.get()), -5);
    label->SetParent(form);  // a form that answers nothing
    EXPECT_EQ(GetFontIndex(label, -5, manager.get()), -5);
}

TEST_F(CommonDataTest, BackgroundChangesWaitForTheParent) {
    auto* outer = Make(form, "Outer", "GRAD", {0, 0, 300, 200});
    auto* inner = Make(outer, "Inner", "HALF");
    outer->data->CacheStale = false;
    EXPECT_FALSE(inner->data->GetBGChanged());
    outer->data->BeginUpdate();
    EXPECT_TRUE(inner->data->GetBGChanged());
    outer->data->EndUpdate(false);
    EXPECT_FALSE(inner->data->GetBGChanged());
    EXPECT_EQ(Only(log, "Outer:3"), Log({"Outer:31@0", "Outer:32@0"}));
    // Without an owner control only the own flag tells.
    TsCommonData loose(nullptr, false);
    loose.SetSkinSection("HALF");
    EXPECT_FALSE(loose.GetBGChanged());
    loose.BGChanged = true;
    EXPECT_TRUE(loose.GetBGChanged());
}

TEST_F(CommonDataTest, FocusAndMouseRepaintTheFrameAndShowTheGlow) {
    auto* e = Make<TSkinnedEdit>(form, "E", "GLOWING", {10, 10, 110, 31}, 3);
    TsCommonData* d = e->data.get();
    e->Perform(CM_MOUSEENTER);
    EXPECT_TRUE(d->MouseAbove);
    EXPECT_EQ(manager->ActiveControl(), e->Handle());
    EXPECT_EQ(d->GlowID, 1);
    EXPECT_EQ(Only(log, "glow:"), Log({"glow:GLOWING:GLOW:255:0:100"}));
    EXPECT_EQ(Only(log, "E:ncpaint").size(), 1u);
    e->Perform(CM_MOUSELEAVE);
    EXPECT_FALSE(d->MouseAbove);
    EXPECT_EQ(d->GlowID, -1);
    EXPECT_EQ(Only(log, "glows"), Log({"glows"}));
    EXPECT_EQ(Only(log, "E:ncpaint").size(), 2u);
    // A second glow replaces the first; moving hides it.
    e->Perform(CM_MOUSEENTER);
    ShowGlowingIfNeeded(d, true);  // one is shown already: it stays
    EXPECT_EQ(d->GlowID, 2);
    ShowGlowingIfNeeded(d);
    EXPECT_EQ(Only(log, "hide:"), Log({"hide:2"}));
    EXPECT_EQ(d->GlowID, 3);
    e->Perform(win::WM_MOVE);
    EXPECT_EQ(log.back(), "hide:3");
    EXPECT_EQ(d->GlowID, -1);
    // Focus marks the cache and redraws the frame.
    win::ValidateRect(e->Handle(), nullptr);
    d->CacheStale = false;
    e->Perform(win::WM_SETFOCUS);
    EXPECT_TRUE(d->Focused);
    EXPECT_TRUE(d->CacheStale);
    win::RECT u{};
    EXPECT_TRUE(win::GetUpdateRect(e->Handle(), &u, false));
    // A disabled control forgets the mouse and the focus, and its glow.
    e->Perform(CM_MOUSEENTER);
    e->SetEnabled(false);
    EXPECT_FALSE(d->MouseAbove);
    EXPECT_FALSE(d->Focused);
    EXPECT_EQ(d->GlowID, -1);
}

TEST_F(CommonDataTest, AnOwnerIsHotWhileTheMouseIsOverItOrAChild) {
    // The messages come as the class library sends them: the control the mouse leaves hears
    // of it before the one it enters.
    auto* owner = Make(form, "Owner", "PANEL", {10, 10, 200, 100}, 93);
    auto* child = Make(owner, "Child", "PANEL", {10, 10, 50, 40}, 93);
    auto* other = Make(owner, "Other", "PANEL", {60, 10, 100, 40}, 93);
    const struct {
        vcl::TControl* control;
        unsigned msg;
        bool ownerHot;
    } steps[] = {
        {owner, CM_MOUSEENTER, true}, {owner, CM_MOUSELEAVE, false}, {child, CM_MOUSEENTER, true},
        {child, CM_MOUSELEAVE, false}, {other, CM_MOUSEENTER, true}, {other, CM_MOUSELEAVE, false},
    };
    for (const auto& s : steps) {
        s.control->Perform(s.msg);
        EXPECT_EQ(owner->data->MouseAbove, s.ownerHot) << s.control->Name() << " " << s.msg;
    }
    // Only the control under the mouse is the manager's active one.
    child->Perform(CM_MOUSEENTER);
    EXPECT_EQ(manager->ActiveControl(), child->Handle());
}

TEST_F(CommonDataTest, ButtonsAndPanelsShowNoGlow) {
    auto* b = Make(form, "B", "GLOWING", {10, 10, 80, 35}, 93);
    auto* p = Make(form, "P", "GLOWING", {10, 50, 80, 75}, 51);
    b->Perform(CM_MOUSEENTER);
    p->Perform(CM_MOUSEENTER);
    EXPECT_TRUE(b->data->MouseAbove);
    EXPECT_FALSE(p->data->MouseAbove);  // no hot state either
    EXPECT_TRUE(Only(log, "glow").empty());
    EXPECT_EQ(b->data->GlowID, -1);
}

TEST_F(CommonDataTest, SizeMovesAGradientUnderChildrenThatKeepTheirPlace) {
    auto* g = Make(form, "Grad", "GRAD", {0, 0, 300, 200});
    auto* kept = Make(g, "Kept", "PANEL");
    auto* right = Make(g, "Right", "PANEL");
    right->SetAnchors({vcl::akLeft, vcl::akRight});
    log.clear();
    g->data->CacheStale = false;
    g->Perform(win::WM_SIZE);
    EXPECT_TRUE(g->data->CacheStale);
    EXPECT_EQ(Only(log, "Kept:"), Log({"Kept:20.1@0"}));
    EXPECT_TRUE(Only(log, "Right:").empty());
    (void)kept;
}

TEST_F(CommonDataTest, OtherMessages) {
    auto* p = Make(form, "P", "PANEL");
    vcl::TMessage m{win::WM_UPDATEUISTATE, 0, 0, 0};
    EXPECT_TRUE(CommonWndProc(m, p->data.get()));  // skinned: swallowed
    p->data->SetSkinSection("NOSUCH");
    EXPECT_FALSE(CommonWndProc(m, p->data.get()));
    EXPECT_FALSE(CommonWndProc(m, nullptr));
    auto* menu = new vcl::TPopupMenu(form);
    p->SetPopupMenu(menu);
    p->Perform(win::WM_CONTEXTMENU);
    EXPECT_EQ(Only(log, "menu"), Log({"menu"}));
    p->data->InitCacheBmp();
    p->SetVisible(false);
    EXPECT_EQ(p->data->CacheBmp()->Width(), 0);
}

// The cache goes to the screen around the children that paint themselves.
TEST_F(CommonDataTest, CacheCopiesLeaveSelfPaintingChildrenOut) {
    auto* p = Make(form, "P", "PANEL", {0, 0, 40, 30});
    auto* g = Make<TSkinnedGraphic>(p, "G", "PANEL", {10, 10, 20, 20}, 92);
    // A windowed child that is not opaque is painted over here.
    auto* w = Make<TSkinned<vcl::TWinControl>>(p, "W", "PANEL", {25, 5, 30, 10});
    p->data->InitCacheBmp();
    const PixelView cache = ViewOf(p->data->CacheBmp());
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            uint8_t* px = cache.At(x, y);
            px[0] = 0, px[1] = 0xFF, px[2] = 0;  // green
        }
    skin_test::DibDC screen(40, 30, 24);
    int repaints = 0;
    Neighbours().RepaintCacheBorders = [&](TsCommonData*) { ++repaints; };
    CopyCacheBorderToDC(p, p->data.get(), {0, 0}, 0, 0, true, screen.dc(), {0, 0, 40, 30});
    EXPECT_EQ(repaints, 1);
    EXPECT_EQ(Hex(screen.get(5, 5)), "00FF00");
    EXPECT_EQ(Hex(screen.get(15, 15)), "000000");  // the graphic child's place
    EXPECT_EQ(Hex(screen.get(27, 7)), "00FF00");
    (void)g, (void)w;
}

TEST_F(CommonDataTest, AControlOutlivesItsManager) {
    auto* other = new TsSkinManager(nullptr);
    other->Sections() = manager->Sections();
    auto* p = Make(form, "P", "PANEL");
    p->data->SetSkinManager(other);
    EXPECT_EQ(p->data->StoredSkinManager(), other);
    EXPECT_TRUE(IsControlSkinned(p->data.get()));
    other->Free();
    EXPECT_EQ(p->data->StoredSkinManager(), nullptr);
    EXPECT_EQ(p->data->SkinManager(), manager.get());  // the default one from now on
    Command(p, SKC_NEWSKIN, Mgr());
    EXPECT_EQ(p->data->SkinIndex, 1);
    // The default manager goes too: nothing is skinned, nothing dangles.
    manager.reset();
    EXPECT_EQ(p->data->SkinManager(), nullptr);
    EXPECT_FALSE(IsControlSkinned(p->data.get()));
    p->data->SetSkinSection("EDIT");
    EXPECT_EQ(p->data->SkinIndex, -1);
    EXPECT_FALSE(p->data->GetBGChanged());
}

TEST_F(CommonDataTest, BoundLabelKeepsFourPixelsLeftOfTheEdit) {
    auto* e = Make<TSkinnedEdit>(form, "Name", "EDIT", {100, 40, 200, 61}, 3);
    TsBoundLabel bound(e->data.get());
    vcl::TFont big;
    big.SetSize(14);
    bound.SetFont(&big);  // no label yet: kept for it
    EXPECT_EQ(bound.Font()->Size(), 14);
    EXPECT_TRUE(bound.UseSkinColor());
    bound.SetCaption("Name:");
    bound.SetActive(true);
    vcl::TCustomLabel* l = bound.Label();
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->Font()->Size(), 14);
    EXPECT_EQ(l->Parent(), form);
    EXPECT_EQ(l->FocusControl, e);
    EXPECT_EQ(l->Name(), "NameLabel");
    EXPECT_EQ(l->Left() + l->Width() + 4, e->Left());
    EXPECT_EQ(l->Top(), e->Top() + (e->Height() - l->Height()) / 2 - 1);
    bound.SetIndent(3);
    EXPECT_EQ(l->Left() + l->Width() + 7, e->Left());
    bound.SetLayout(sclTopRight);
    EXPECT_EQ(l->Left() + l->Width(), e->Left() + e->Width());
    EXPECT_EQ(l->Top(), e->Top() - l->Height() - 3);
    EXPECT_EQ(l->Alignment(), vcl::taRightJustify);
    bound.SetActive(false);
    EXPECT_EQ(bound.Label(), nullptr);
}

}  // namespace
}  // namespace skin
