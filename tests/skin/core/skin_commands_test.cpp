#include "skin/core/state/skin_commands.h"

#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "platform/os/clock.h"
#include "platform/user/user.h"
#include "skin/core/data/constants.h"
#include "skin/core/state/engine_state.h"
#include "skin/core/state/neighbour_services.h"
#include "vcl/controls/forms.h"

namespace skin {
namespace {

using Log = std::vector<std::string>;

// A control that hears skin commands: it answers command 7 when skin-aware and command 21 with
// its colour, and notes every other command with its name.
template <typename Base>
class TRecorder : public Base {
public:
    VCL_CLASS(TRecorder, Base)
    TRecorder(vcl::TWinControl* parent, const std::string& name, bool aware, Log* log)
        : Base(parent), aware(aware), log(log) {
        this->SetName(name);
        this->SetParent(parent);
    }
    void WndProc(vcl::TMessage& m) override {
        if (m.Msg != SM_ALPHACMD) return Base::WndProc(m);
        const uint16_t code = SkinCommandCode(m.WParam);
        if (!aware) return Base::WndProc(m);  // as a control that does not know the message
        if (code == SKC_ISSKINAWARE) {
            m.Result = 1;
        } else if (code == SKC_GETBGCOLOR) {
            m.Result = intptr_t(answer);
        } else {
            log->push_back(this->Name() + ":" + std::to_string(code));
        }
    }
    bool aware;
    Log* log;
    TColor answer = 0;
};
using TWinRecorder = TRecorder<vcl::TWinControl>;
using TGraphicRecorder = TRecorder<vcl::TGraphicControl>;

// A form that notes the children it is told of.
class TRecordingForm : public vcl::TForm {
public:
    VCL_CLASS(TRecordingForm, vcl::TForm)
    using vcl::TForm::TForm;
    void WndProc(vcl::TMessage& m) override {
        if (m.Msg == SM_ALPHACMD && SkinCommandCode(m.WParam) == SKC_CHILDCREATED) {
            told.push_back(m.LParam);
            return;
        }
        vcl::TForm::WndProc(m);
    }
    std::vector<intptr_t> told;
};

// A window of the windowing layer's own that answers as its record says.
struct RawWindow {
    intptr_t aware = 0;  // the answer to command 7
    TColor colour = 0;   // the answer to command 21
    Log* log = nullptr;
    std::string name;
    win::HWND hwnd = nullptr;
};

win::LRESULT RawProc(win::HWND h, win::UINT msg, win::WPARAM w, win::LPARAM l) {
    auto* r = reinterpret_cast<RawWindow*>(win::GetWindowLongPtr(h, win::GWLP_USERDATA));
    if (msg == SM_ALPHACMD && r) {
        if (SkinCommandCode(w) == SKC_ISSKINAWARE) return r->aware;
        if (SkinCommandCode(w) == SKC_GETBGCOLOR) return intptr_t(r->colour);
        if (r->log) r->log->push_back(r->name + ":" + std::to_string(SkinCommandCode(w)));
        return 0;
    }
    return win::DefWindowProcA(h, msg, w, l);
}

class SkinCommands : public ::testing::Test {
protected:
    void SetUp() override {
        win::ResetWindowing();
        ResetNeighbourServices();
        vcl::Application()->CreateForm(form);
    }
    void TearDown() override {
        ResetNeighbourServices();
        vcl::DoneApplication();
        win::ResetWindowing();
    }
    win::HWND Raw(RawWindow& r, win::HWND parent, win::HBRUSH background = nullptr) {
        const std::string cls = "SkinTestRaw" + std::to_string(++classes_);
        win::WNDCLASSA wc;
        wc.lpfnWndProc = RawProc;
        wc.hbrBackground = background;
        wc.lpszClassName = cls.c_str();
        win::RegisterClassA(&wc);
        r.hwnd = win::CreateWindowExA(0, cls.c_str(), "", parent ? win::WS_CHILD : 0, 0, 0, 10, 10,
                                      parent, nullptr, nullptr, nullptr);
        win::SetWindowLongPtr(r.hwnd, win::GWLP_USERDATA, reinterpret_cast<intptr_t>(&r));
        return r.hwnd;
    }

    os::FakeClock clock_;
    os::ScopedClock scoped_{clock_};
    TRecordingForm* form = nullptr;
    Log log;
    int classes_ = 0;
};

TEST(SkinCommandWords, TheCodeTravelsInTheHighWordAndAFlagInTheLow) {
    EXPECT_EQ(SkinCommandWParam(SKC_GETBGCOLOR, 1), 0x00150001u);
    EXPECT_EQ(SkinCommandCode(0x00150001), SKC_GETBGCOLOR);
    EXPECT_EQ(SkinCommandArg(0x00150002), 2);
    EXPECT_TRUE(SkinCommandFlag(SkinCommandWParam(SKC_SETBGCHANGED, 1)));
    EXPECT_FALSE(SkinCommandFlag(SkinCommandWParam(SKC_SETBGCHANGED, 2)));
    const vcl::TMessage m = SkinCommandMessage(SKC_REFRESH, 42);
    EXPECT_EQ(m.Msg, 0xA100u);
    EXPECT_EQ(m.WParamHi(), 3);
    EXPECT_EQ(m.LParam, 42);
}

TEST_F(SkinCommands, AQueryIsTrueOnlyForAnAnswerOfOne) {
    RawWindow r;
    Raw(r, nullptr);
    for (const auto& [answer, yes] : {std::pair{0, false}, {1, true}, {2, false}}) {
        r.aware = answer;
        EXPECT_EQ(SendSkinQuery(r.hwnd, SKC_ISSKINAWARE), yes) << answer;
    }
    win::DestroyWindow(r.hwnd);
    EXPECT_EQ(SendSkinCommand(r.hwnd, SKC_ISSKINAWARE, 0), 0);
}

TEST_F(SkinCommands, ABroadcastReachesEachControlOnceByItsOwnRoad) {
    auto* graphic = new TGraphicRecorder(form, "graphic", true, &log);
    auto* aware = new TWinRecorder(form, "aware", true, &log);
    new TWinRecorder(aware, "awareKid", true, &log);  // reached only through its parent
    auto* unaware = new TWinRecorder(form, "unaware", false, &log);
    new TWinRecorder(unaware, "grandchild", true, &log);
    auto* dying = new TWinRecorder(form, "dying", true, &log);
    new TWinRecorder(form, "later", true, &log);
    auto* hidden = new TWinRecorder(form, "hidden", true, &log);
    hidden->SetVisible(false);
    auto* adapted = new TWinRecorder(form, "adapted", false, &log);
    new TWinRecorder(adapted, "behindAdapter", true, &log);
    form->HandleNeeded();
    ASSERT_TRUE(aware->HandleAllocated());
    ASSERT_FALSE(hidden->HandleAllocated());
    dying->Destroying();
    Log offered;
    Neighbours().BroadcastToAdapter = [&](vcl::TWinControl* c, vcl::TMessage&) {
        offered.push_back(c->Name());
        return c == adapted;
    };

    vcl::TMessage m = SkinCommandMessage(SKC_REFRESH);
    BroadcastToChildControls(form, m);
    EXPECT_EQ(log, (Log{"graphic:3", "aware:3", "grandchild:3", "later:3", "hidden:3"}));
    EXPECT_EQ(offered, (Log{"unaware", "adapted"}));
    EXPECT_FALSE(hidden->HandleAllocated());  // Perform made no window
    (void)graphic;
}

TEST_F(SkinCommands, ChangedChildrenAndChildWindowsAreToldTheUpdateEnded) {
    new TGraphicRecorder(form, "graphic", true, &log);
    new TWinRecorder(form, "shown", true, &log);
    (new TWinRecorder(form, "hidden", true, &log))->SetVisible(false);
    (new TWinRecorder(form, "dying", true, &log))->Destroying();
    form->Show();
    RepaintChangedChildren(form);
    EXPECT_EQ(log, (Log{"shown:6"}));
    log.clear();
    AnimationRunning = true;
    RepaintChangedChildren(form);
    AnimationRunning = false;
    EXPECT_TRUE(log.empty());

    RawWindow top, child, grandchild;
    top.name = "top", child.name = "child", grandchild.name = "grandchild";
    top.log = child.log = grandchild.log = &log;
    Raw(top, nullptr);
    Raw(child, top.hwnd);
    Raw(grandchild, child.hwnd);
    BroadcastToChildWindows(top.hwnd, SkinCommandMessage(SKC_STOPFADE));
    RepaintChangedChildWindows(top.hwnd);
    EXPECT_EQ(log, (Log{"child:16", "child:6"}));
}

TEST_F(SkinCommands, TheParentFormHearsOfANewChild) {
    auto* child = new TWinRecorder(form, "child", true, &log);
    EXPECT_EQ(NotifyParentForm(child), 0);  // no window yet, and none is made
    EXPECT_FALSE(form->HandleAllocated());
    form->HandleNeeded();
    NotifyParentForm(child);
    EXPECT_EQ(form->told, (std::vector<intptr_t>{reinterpret_cast<intptr_t>(child)}));
    EXPECT_EQ(NotifyParentForm(nullptr), 0);
}

TEST_F(SkinCommands, BackgroundColourQueries) {
    EXPECT_EQ(AskControlBackColor(nullptr), kTransparentKey);
    EXPECT_EQ(AskWindowBackColor(nullptr), kTransparentKey);
    auto* aware = new TWinRecorder(form, "aware", true, &log);
    aware->answer = 0x8000000F;  // a system colour comes back as RGB
    auto* plain = new TWinRecorder(form, "plain", false, &log);
    plain->SetColor(0x123456);
    // Without its window the control cannot say it is skin-aware: its Color counts.
    EXPECT_EQ(AskControlBackColor(aware), win::GetSysColor(win::COLOR_WINDOW));
    form->HandleNeeded();
    EXPECT_EQ(AskControlBackColor(aware), win::GetSysColor(win::COLOR_BTNFACE));
    EXPECT_EQ(AskControlBackColor(plain), 0x123456u);

    RawWindow skinned, system, brushed, bare;
    skinned.aware = 1, skinned.colour = 0x00ABCD;
    Raw(skinned, nullptr);
    Raw(system, nullptr, reinterpret_cast<win::HBRUSH>(intptr_t(win::COLOR_WINDOW + 1)));
    Raw(brushed, nullptr, win::CreateSolidBrush(0x224466));
    Raw(bare, nullptr);
    EXPECT_EQ(AskWindowBackColor(skinned.hwnd), 0x00ABCDu);
    EXPECT_EQ(AskWindowBackColor(system.hwnd), win::GetSysColor(win::COLOR_WINDOW));
    EXPECT_EQ(AskWindowBackColor(brushed.hwnd), 0x224466u);
    EXPECT_EQ(AskWindowBackColor(bare.hwnd), win::GetSysColor(win::COLOR_BTNFACE));
}

TEST(SkinBackgroundAnswer, TheParentShowsThroughByTheSectionsTransparency) {
    int asked = 0;
    TColor parentAnswer = 0xFFFFFF;
    auto askParent = [&] { return ++asked, parentAnswer; };
    BackgroundColorQuery q;
    q.Skinned = true, q.SectionColor = 0, q.HasParent = true, q.ParentColor = 0x8000000F;
    const struct {
        int t;
        TColor answer;
    } table[] = {{0, 0}, {1, 0x020202}, {50, 0x7F7F7F}, {99, 0xFBFBFB}, {100, 0xFFFFFF}};
    for (const auto& row : table) {
        q.Transparency = row.t;
        EXPECT_EQ(AnswerBackgroundColor(q, askParent), row.answer) << row.t;
    }
    EXPECT_EQ(asked, 4);  // not for 0
    // The parent's top byte stays; a parent without a colour gives its Color, as a colour.
    parentAnswer = 0x02FFFFFF;
    q.Transparency = 50;
    EXPECT_EQ(AnswerBackgroundColor(q, askParent), 0x027F7F7Fu);
    parentAnswer = kTransparentKey;
    q.Transparency = 100;
    EXPECT_EQ(AnswerBackgroundColor(q, askParent), win::GetSysColor(win::COLOR_BTNFACE));
    // Without a parent, the control's own colour takes the parent's place.
    q.HasParent = false, q.OwnerColor = 0x8000000F;
    EXPECT_EQ(AnswerBackgroundColor(q, askParent), win::GetSysColor(win::COLOR_BTNFACE));
    q.Skinned = false, q.Transparency = 0;
    EXPECT_EQ(AnswerBackgroundColor(q, askParent), win::GetSysColor(win::COLOR_BTNFACE));
    q.Skinned = true, q.Transparency = 1000, q.OwnerColor = 0xFFFFFF;
    EXPECT_EQ(AnswerBackgroundColor(q, askParent), 0xFEFEFEu);
}

TEST(EngineConstants, TextsByNumberAndSystemValues) {
    EXPECT_EQ(LoadConstText(s_Restore), "Restore");
    EXPECT_EQ(LoadConstText(s_AvailSkins), "Available skins");
    EXPECT_EQ(LoadConstText(58910), "Create");
    EXPECT_EQ(LoadConstText(58992), "OK");
    EXPECT_EQ(LoadConstText(58900), "");
    EXPECT_EQ(LoadConstText(58965), "");
    InitConstUnit();
    EXPECT_EQ(ScrollButtonSize, win::GetSystemMetrics(win::SM_CXHSCROLL));
    EXPECT_GT(ScrollButtonSize, 0);
}

}  // namespace
}  // namespace skin
