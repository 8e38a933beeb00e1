// The form skin provider's life cycle, its skin commands and its window procedure, against a
// recording procedure put between the provider and the form.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/region.h"
#include "platform/gdi/bitmap.h"
#include "platform/user/screen.h"
#include "platform/user/user.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/hooked_forms.h"
#include "skin/core/state/skin_commands.h"
#include "skin/windows/effects/fade_timers.h"
#include "skin/windows/provider/skin_provider.h"
#include "tests/skin/windows/windows_fixture.h"
#include "vcl/controls/std_ctrls.h"
#include "vcl/system/exceptions.h"

namespace skin::testing {
namespace {

using vcl::TMessage;
using vcl::TWndMethod;

// Counts the frame rebuilds, so a frame marked stale and already rebuilt is seen as well.
class CountingProvider : public TsSkinProvider {
public:
    using TsSkinProvider::TsSkinProvider;
    void PaintFrame() override {
        ++frames;
        TsSkinProvider::PaintFrame();
    }
    int frames = 0;
};

class ProviderCore : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        form->SetBorderStyle(vcl::bsSizeable);
        original = form->WindowProc;
    }
    void TearDown() override {
        LiveEffectTimers = 0;
        StopEffects = false;
        WindowsTest::TearDown();
    }

    CountingProvider* Make() { return vcl::New<CountingProvider>(form); }
    CountingProvider* Shown() {
        CountingProvider* p = Make();
        form->Show();
        Pump();
        return p;
    }
    // Puts the recorder between the provider and the form's own procedure.
    void Record(TsSkinProvider* p) {
        TWndMethod real = p->SavedFormProc();
        p->SetSavedFormProc(TWndMethod::FromCallable([this, p, real](TMessage& m) {
            heard.push_back({m.Msg, m.WParam});
            if (probe && m.Msg == probeMsg && !probed) {
                probeInOld = probe(*p);
                probed = true;
            }
            real(m);
            if (m.Msg == win::WM_QUERYENDSESSION && answerZero) m.Result = 0;
        }));
    }
    int Heard(uint32_t msg, uintptr_t wp) const {
        return int(std::count(heard.begin(), heard.end(), std::pair{msg, wp}));
    }
    intptr_t Send(uint32_t msg, uintptr_t wp = 0, intptr_t lp = 0) {
        return win::SendMessageA(form->Handle(), msg, wp, lp);
    }
    static bool Hooked(vcl::TControl* f) {
        return std::find(HookedForms.begin(), HookedForms.end(), f) != HookedForms.end();
    }

    TWndMethod original;
    std::vector<std::pair<uint32_t, uintptr_t>> heard;
    std::function<bool(TsSkinProvider&)> probe;  // asked when probeMsg first reaches the form
    uint32_t probeMsg = 0;
    bool probed = false;
    bool probeInOld = false;
    bool answerZero = false;
    int labelHeard = 0;
};

TEST_F(ProviderCore, ANonFormOwnerRaisesEAbortBeforeAnythingIsMade) {
    vcl::TComponent owner(nullptr);
    EXPECT_THROW(vcl::New<TsSkinProvider>(&owner), vcl::EAbort);
    EXPECT_EQ(owner.ComponentCount(), 0);
    EXPECT_FALSE(Hooked(form));
}

TEST_F(ProviderCore, ActiveHooksPassiveStaysOutDestroyGivesTheProcedureBack) {
    CountingProvider* active = Make();
    EXPECT_FALSE(active->Passive);
    EXPECT_FALSE(form->WindowProc == original);
    EXPECT_TRUE(Hooked(form));
    EXPECT_EQ(ProviderOf(form), active);

    TWndMethod hooked = form->WindowProc;
    CountingProvider* passive = Make();
    EXPECT_TRUE(passive->Passive);
    EXPECT_TRUE(form->WindowProc == hooked);
    EXPECT_EQ(ProviderOf(form), active);
    passive->Free();
    EXPECT_TRUE(form->WindowProc == hooked);
    EXPECT_EQ(ProviderOf(form), active);

    active->Free();
    EXPECT_TRUE(form->WindowProc == original);
    EXPECT_FALSE(Hooked(form));
    EXPECT_EQ(ProviderOf(form), nullptr);
}

TEST_F(ProviderCore, AProgramProviderReplacesALibraryMadeOne) {
    TsSkinProvider* library = TsSkinProvider::CreateInternal(form);
    std::weak_ptr<int> libraryLife = library->LifeToken();
    CountingProvider* placed = Make();
    EXPECT_TRUE(libraryLife.expired());
    EXPECT_FALSE(placed->Passive);
    EXPECT_EQ(ProviderOf(form), placed);
    EXPECT_EQ(std::count(HookedForms.begin(), HookedForms.end(), form), 1);
    placed->Free();
    EXPECT_TRUE(form->WindowProc == original);
}

// The library's provider makes way while one of its own messages runs: it stops answering at
// once and is freed when that message returns.
TEST_F(ProviderCore, AProviderReplacedInsideItsOwnMessageIsFreedWhenItReturns) {
    form->HandleNeeded();
    TsSkinProvider* library = TsSkinProvider::CreateInternal(form);
    std::weak_ptr<int> life = library->LifeToken();
    TsSkinProvider* placed = nullptr;
    bool aliveInside = false;
    TWndMethod real = library->SavedFormProc();
    // Stays the form's own procedure after the test body: holds what it needs by value.
    library->SetSavedFormProc(TWndMethod::FromCallable([&, real](TMessage& m) {
        if (m.Msg == win::WM_USER + 1) {
            placed = Make();
            aliveInside = !life.expired();
        }
        real(m);
    }));
    Send(win::WM_USER + 1);
    EXPECT_TRUE(aliveInside);
    EXPECT_TRUE(life.expired());
    EXPECT_EQ(ProviderOf(form), placed);
    Send(win::WM_SETTEXT, 0, reinterpret_cast<intptr_t>("after"));
    EXPECT_EQ(form->Caption(), "after");
}

// Destroy with another procedure on top: the provider's link stays as a pass-through, so the
// procedure on top still reaches the form and nothing reaches the freed provider.
TEST_F(ProviderCore, TheFormWorksAfterDestroyAlsoWithAProcedureOnTop) {
    CountingProvider* p = Shown();
    TWndMethod under = form->WindowProc;
    int onTop = 0;
    form->WindowProc = TWndMethod::FromCallable([&](TMessage& m) {
        ++onTop;
        under(m);
    });
    TWndMethod top = form->WindowProc;
    p->Free();
    EXPECT_TRUE(form->WindowProc == top);
    EXPECT_FALSE(Hooked(form));

    Send(win::WM_SETTEXT, 0, reinterpret_cast<intptr_t>("still works"));
    EXPECT_EQ(form->Caption(), "still works");
    EXPECT_EQ(Command(form->Handle(), SKC_GETPROVIDER), 0);
    form->SetBounds(60, 60, 320, 240);
    Pump();
    EXPECT_GT(onTop, 0);
    form->WindowProc = under;
    Send(win::WM_SETTEXT, 0, reinterpret_cast<intptr_t>("below"));
    EXPECT_EQ(form->Caption(), "below");
    form->Free();  // the pass-through leaves with the window
    form = nullptr;
    Pump();
}

TEST_F(ProviderCore, RemovingTheSkinGivesTheClassicFormBackOnlyForItsOwnManager) {
    auto* label = vcl::New<vcl::TLabel>(form);
    label->SetParent(form);
    TWndMethod labelProc = label->WindowProc;
    label->WindowProc = TWndMethod::FromCallable([this, labelProc](TMessage& m) {
        if (m.Msg == SM_ALPHACMD && SkinCommandCode(m.WParam) == SKC_REMOVESKIN) ++labelHeard;
        labelProc(m);
    });
    CountingProvider* p = Shown();
    const win::HWND h = form->Handle();
    ASSERT_TRUE(p->SysMenuStyleRemoved);
    EXPECT_FALSE(win::GetWindowLongA(h, win::GWL_STYLE) & win::WS_SYSMENU);
    EXPECT_EQ(form->Color(), manager->GetGlobalColor());
    win::SetWindowRgn(h, win::CreateRectRgn(0, 0, 100, 100), win::TRUE);

    Command(h, SKC_REMOVESKIN, reinterpret_cast<intptr_t>(other.get()));
    EXPECT_EQ(labelHeard, 1);
    EXPECT_FALSE(win::GetWindowLongA(h, win::GWL_STYLE) & win::WS_SYSMENU);
    EXPECT_EQ(form->Color(), manager->GetGlobalColor());
    win::HRGN probe = win::CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(win::GetWindowRgn(h, probe), win::ERROR);

    Command(h, SKC_REMOVESKIN, reinterpret_cast<intptr_t>(manager.get()));
    EXPECT_EQ(labelHeard, 2);
    EXPECT_TRUE(win::GetWindowLongA(h, win::GWL_STYLE) & win::WS_SYSMENU);
    EXPECT_FALSE(p->SysMenuStyleRemoved);
    EXPECT_EQ(form->Color(), vcl::clBtnFace);
    EXPECT_EQ(win::GetWindowRgn(h, probe), win::ERROR);
    EXPECT_EQ(ProviderOf(form), p);  // the hook stays
    win::DeleteObject(probe);
}

// The window as the screen shows it, frame included.
std::vector<uint32_t> WindowPixels(win::HWND wnd) {
    win::RECT r{};
    win::GetWindowRect(wnd, &r);
    win::BitmapView v;
    EXPECT_TRUE(win::GetBitmapView(win::ComposeScreen(), &v));
    std::vector<uint32_t> px;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const win::BYTE* p = v.Row(y) + x * 4;
            px.push_back(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16);
        }
    return px;
}

TEST_F(ProviderCore, RemovingTheSkinRestoresTheClassicFormPixelForPixel) {
    form->SetCaption("Classic");
    form->Show();
    Pump();
    const win::HWND h = form->Handle();
    const std::vector<uint32_t> classic = WindowPixels(h);

    Make();
    win::RedrawWindow(h, nullptr, nullptr,
                      win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_FRAME | win::RDW_UPDATENOW);
    Pump();
    EXPECT_NE(WindowPixels(h), classic);

    Command(h, SKC_REMOVESKIN, reinterpret_cast<intptr_t>(manager.get()));
    Pump();
    EXPECT_EQ(WindowPixels(h), classic);
}

TEST_F(ProviderCore, WhileItsShowAnimationIsPendingTheFormShowsNothingAndTakesNoClicks) {
    form->SetBounds(40, 30, 200, 150);
    CountingProvider* p = Make();
    Record(p);
    const win::POINT centre{140, 105};
    std::vector<uint32_t> pending;
    probeMsg = vcl::CM_SHOWINGCHANGED;
    probe = [&](TsSkinProvider&) {
        const win::HWND h = form->Handle();
        pending = WindowPixels(h);
        return (win::GetWindowLongA(h, win::GWL_EXSTYLE) & win::WS_EX_LAYERED) &&
               win::WindowFromPoint(centre) != h;
    };
    const std::vector<uint32_t> desktop = WindowPixels(form->Handle());
    form->Show();
    Pump();
    ASSERT_TRUE(probed);
    EXPECT_TRUE(probeInOld);
    EXPECT_EQ(pending, desktop);
    const win::HWND h = form->Handle();
    EXPECT_FALSE(win::GetWindowLongA(h, win::GWL_EXSTYLE) & win::WS_EX_LAYERED);
    EXPECT_EQ(win::WindowFromPoint(centre), h);
    EXPECT_NE(WindowPixels(h), desktop);
}

TEST_F(ProviderCore, NewSkinThenRefreshRebuildsFromTheManagerOnly) {
    CountingProvider* p = Shown();
    const win::HWND h = form->Handle();
    auto spoil = [p] {
        p->TitleSkinIndexCache = 12345;
        p->CaptionSkinIndex = -7;
        p->MenuLineCountCache = 3;
        p->SkinData()->CacheStale = false;
        p->frames = 0;
    };
    spoil();
    Command(h, SKC_NEWSKIN, reinterpret_cast<intptr_t>(other.get()));
    Command(h, SKC_REFRESH, reinterpret_cast<intptr_t>(other.get()));
    EXPECT_EQ(p->TitleSkinIndexCache, 12345);
    EXPECT_EQ(p->MenuLineCountCache, 3);
    EXPECT_FALSE(p->SkinData()->CacheStale);

    Command(h, SKC_NEWSKIN, reinterpret_cast<intptr_t>(manager.get()));
    Command(h, SKC_REFRESH, reinterpret_cast<intptr_t>(manager.get()));
    EXPECT_EQ(p->TitleSkinIndexCache, manager->GetSkinIndex("FORMTITLE"));
    EXPECT_EQ(p->CaptionSkinIndex, manager->GetSkinIndex("CAPTION"));
    EXPECT_EQ(p->MenuLineCountCache, -1);
    EXPECT_TRUE(p->SkinData()->CacheStale || p->frames > 0);
}

// Each row: a message to a shown, skinned form (or one whose skin is off), whether the form's
// own procedure hears it, and what the provider had done by the time it did.
TEST_F(ProviderCore, WindowProcedureRowsPassedOrNotBeforeOrAfter) {
    struct Row {
        const char* name;
        uint32_t msg;
        uintptr_t wp;
        intptr_t lp;
        bool passed;
        std::function<void(TsSkinProvider&)> before = {};
        std::function<bool(TsSkinProvider&)> inOld = {};  // true expected while old runs
        std::optional<intptr_t> answer = {};
        bool unskinned = false;
    };
    auto stale = [](TsSkinProvider& p) { return p.SkinData()->CacheStale; };
    auto fresh = [](TsSkinProvider& p) { p.SkinData()->CacheStale = false; };
    auto cmd = [](uint16_t c) { return SkinCommandWParam(c); };
    CountingProvider* p = Shown();
    const auto self = reinterpret_cast<intptr_t>(static_cast<TsSkinProviderBase*>(p));
    const Row rows[] = {
        {"a message of nobody's", win::WM_USER + 7, 0, 0, true},
        {"settings: frame stale first", win::WM_SETTINGCHANGE, 0, 0, true, fresh, stale},
        {"enabled: old first", vcl::CM_ENABLEDCHANGED, 0, 0, true, fresh,
         [&](TsSkinProvider& q) { return !stale(q); }},
        {"menu change: rows forgotten first", vcl::CM_MENUCHANGED, 0, 0, true,
         [](TsSkinProvider& q) { q.MenuLineCountCache = 4; },
         [](TsSkinProvider& q) { return q.MenuLineCountCache == -1 && q.MenuLineChanged; }},
        {"redraw off counted first", win::WM_SETREDRAW, 0, 0, true,
         [](TsSkinProvider& q) { q.RedrawLockCount = 0; },
         [](TsSkinProvider& q) { return q.RedrawLockCount == 1; }},
        {"redraw on counted first", win::WM_SETREDRAW, 1, 0, true, {},
         [](TsSkinProvider& q) { return q.RedrawLockCount == 0; }},
        {"system colours", win::WM_SYSCOLORCHANGE, 0, 0, true},
        {"moved", win::WM_MOVE, 0, 0, true},
        {"end of session without fades", win::WM_QUERYENDSESSION, 0, 0, true, {},
         [](TsSkinProvider&) { return StopEffects; }},
        {"control list without a control", vcl::CM_CONTROLLISTCHANGE, 0, 0, true},
        {"parent notify of a click", win::WM_PARENTNOTIFY, win::WM_LBUTTONDOWN, 0, true},
        {"context menu", win::WM_CONTEXTMENU, 0, 0, true},
        {"invalidate swallowed", vcl::CM_INVALIDATE, 0, 0, false, {}, {}, 0},
        {"recreate swallowed", vcl::CM_RECREATEWND, 0, 0, false, {}, {}, 0},
        {"0xB04C swallowed", 0xB04C, 0, 0, false, {}, {}, 0},
        {"own-region query answered 0", 0xBC4D, 0x41A2, 0, false, {}, {}, 0},
        {"themed menu-bar init", 0x93, 0, 0, false, {}, {}, 0},
        {"enter idle", win::WM_ENTERIDLE, 0, 0, false, {}, {}, 0},
        {"print client", win::WM_PRINTCLIENT, 0, 0, false},
        {"frame paint", win::WM_NCPAINT, 1, 0, false, {}, {}, 0},
        {"erase", win::WM_ERASEBKGND, 0, 0, false},
        {"position changing while the region is replaced", win::WM_WINDOWPOSCHANGING, 0, 0,
         false, [](TsSkinProvider& q) { q.RegionUpdating = true; }},
        {"skin-aware?", SM_ALPHACMD, cmd(SKC_ISSKINAWARE), 0, false, {}, {}, 1},
        {"which provider", SM_ALPHACMD, cmd(SKC_GETPROVIDER), 0, false, {}, {}, self},
        {"state flags", SM_ALPHACMD, cmd(SKC_PLAINBG), 0, false},
        {"application", SM_ALPHACMD, cmd(SKC_GETAPPLICATION), 0, false, {}, {},
         reinterpret_cast<intptr_t>(vcl::Application())},
        {"an unknown command", SM_ALPHACMD, cmd(99), 0, false, {}, {}, 0},
        {"end of update goes on", SM_ALPHACMD, cmd(SKC_ENDUPDATE), 0, false},
        {"unskinned: invalidate reaches the form", vcl::CM_INVALIDATE, 0, 0, true, {}, {}, {},
         true},
        {"unskinned: unknown command reaches the form", SM_ALPHACMD, cmd(99), 0, true, {}, {},
         {}, true},
        {"unskinned: skin-aware still answered", SM_ALPHACMD, cmd(SKC_ISSKINAWARE), 0, false,
         {}, {}, 1, true},
        {"unskinned: provider still answered", SM_ALPHACMD, cmd(SKC_GETPROVIDER), 0, false, {},
         {}, self, true},
    };
    Record(p);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        heard.clear();
        probe = row.inOld;
        probeMsg = row.msg;
        probed = probeInOld = false;
        if (row.before) row.before(*p);
        const int index = p->SkinData()->SkinIndex;
        if (row.unskinned) p->SkinData()->SkinIndex = -1;
        const intptr_t result = Send(row.msg, row.wp, row.lp);
        p->SkinData()->SkinIndex = index;
        p->RegionUpdating = false;
        EXPECT_EQ(Heard(row.msg, row.wp), row.passed ? 1 : 0);
        if (row.inOld) {
            EXPECT_TRUE(probeInOld);
        }
        if (row.answer) {
            EXPECT_EQ(result, *row.answer);
        }
    }
    probe = {};
}

// A menu change during a skin update waits, the frame is not painted meanwhile, and the end of
// the update sends the change once.
TEST_F(ProviderCore, AMenuChangeInAnUpdateWaitsForItsEnd) {
    CountingProvider* p = Shown();
    Record(p);
    TsCommonData* data = p->SkinData();
    data->BeginUpdate();
    ASSERT_TRUE(data->CtrlState & kCtrlUpdating);
    Send(vcl::CM_MENUCHANGED);
    EXPECT_EQ(Heard(vcl::CM_MENUCHANGED, 0), 0);
    EXPECT_TRUE(data->CtrlState & kCtrlMenuChangePending);
    data->CacheStale = true;
    p->frames = 0;
    Send(win::WM_NCPAINT, 1);
    EXPECT_EQ(p->frames, 0);
    EXPECT_EQ(Heard(win::WM_NCPAINT, 1), 0);

    data->EndUpdate(false);
    EXPECT_EQ(Heard(vcl::CM_MENUCHANGED, 0), 1);
    EXPECT_FALSE(data->CtrlState & kCtrlMenuChangePending);
    Command(form->Handle(), SKC_ENDUPDATE);
    EXPECT_EQ(Heard(vcl::CM_MENUCHANGED, 0), 1);
}

TEST_F(ProviderCore, EachCauseMarksTheFrameStale) {
    CountingProvider* p = Shown();
    const win::HWND h = form->Handle();
    auto send = [h](uint32_t msg, uintptr_t wp = 0, intptr_t lp = 0) {
        return [=] { win::SendMessageA(h, msg, wp, lp); };
    };
    auto command = [h](uint16_t code, intptr_t lp, uint16_t arg = 0) {
        return [=] { win::SendMessageA(h, SM_ALPHACMD, SkinCommandWParam(code, arg), lp); };
    };
    const auto mgr = reinterpret_cast<intptr_t>(manager.get());
    const std::pair<const char*, std::function<void()>> causes[] = {
        {"activation", send(win::WM_NCACTIVATE, 0)},
        {"caption", send(win::WM_SETTEXT, 0, reinterpret_cast<intptr_t>("A new caption"))},
        {"size", [this] { form->SetBounds(50, 50, 340, 260); }},
        {"settings", send(win::WM_SETTINGCHANGE)},
        {"enabled", send(vcl::CM_ENABLEDCHANGED)},
        {"menu", send(vcl::CM_MENUCHANGED)},
        {"restore", send(win::WM_SYSCOMMAND, win::SC_RESTORE)},
        {"new skin", command(SKC_NEWSKIN, mgr)},
        {"refresh", command(SKC_REFRESH, mgr)},
        {"background changed", command(SKC_SETBGCHANGED, 0, 1)},
        {"InvalidateFrame", [p] { p->InvalidateFrame(); }},
        {"ShowAppIcon", [p] { p->SetShowAppIcon(!p->ShowAppIcon()); }},
        {"TitleSkin", [p] { p->SetTitleSkin(p->TitleSkin() + "X"); }},
        {"CaptionAlignment", [p] { p->SetCaptionAlignment(vcl::taCenter); }},
        {"AllowExtBorders", [p] { p->SetAllowExtBorders(!p->AllowExtBorders()); }},
    };
    for (const auto& [name, cause] : causes) {
        SCOPED_TRACE(name);
        p->SkinData()->CacheStale = false;
        p->frames = 0;
        cause();
        EXPECT_TRUE(p->SkinData()->CacheStale || p->frames > 0);
    }
    // The same setter value again does nothing.
    p->SkinData()->CacheStale = false;
    p->SetCaptionAlignment(vcl::taCenter);
    EXPECT_FALSE(p->SkinData()->CacheStale);
}

// Ending the session waits for running fades by waiting for messages, at most a second of the
// clock; a session that goes on lets fades start again.
TEST_F(ProviderCore, EndOfSessionWaitsForFadesAtMostASecond) {
    CountingProvider* p = Shown();
    Record(p);
    LiveEffectTimers = 1;  // a fade that never ends
    uint32_t start = clock_.Ticks();
    EXPECT_NE(Send(win::WM_QUERYENDSESSION), 0);
    const uint32_t waited = clock_.Ticks() - start;
    EXPECT_GE(waited, 1000u);
    EXPECT_LT(waited, 1100u);
    EXPECT_EQ(Heard(win::WM_QUERYENDSESSION, 0), 1);
    EXPECT_TRUE(StopEffects);

    // The last fade ends at its tick 300 ms on; the session goes on.
    static int* live = &LiveEffectTimers;
    win::SetTimer(nullptr, 0, 300, [](win::HWND, win::UINT, win::UINT_PTR id, win::DWORD) {
        *live = 0;
        win::KillTimer(nullptr, id);
    });
    answerZero = true;
    start = clock_.Ticks();
    EXPECT_EQ(Send(win::WM_QUERYENDSESSION), 0);
    const uint32_t second = clock_.Ticks() - start;
    EXPECT_GE(second, 300u);
    EXPECT_LT(second, 1000u);
    EXPECT_FALSE(StopEffects);
}

}  // namespace
}  // namespace skin::testing

namespace skin::testing {
namespace {

int earlierHookCalls = 0;
win::LRESULT EarlierHook(int code, win::WPARAM w, win::LPARAM l) {
    if (code == win::HCBT_CREATEWND) ++earlierHookCalls;
    return win::CallNextHookEx(nullptr, code, w, l);
}

// The manager's dialog hook passes every call on to the hooks installed before it (a test
// rig's message-box hook among them).
TEST_F(ProviderCore, HooksInstalledBeforeTheManagersStillHearEveryCall) {
    manager->UninstallHook();
    win::HHOOK earlier = win::SetWindowsHookExA(win::WH_CBT, EarlierHook, nullptr, 0);
    manager->InstallHook();
    earlierHookCalls = 0;
    PlainForm()->HandleNeeded();
    EXPECT_EQ(earlierHookCalls, 1);
    win::UnhookWindowsHookEx(earlier);
}

}  // namespace
}  // namespace skin::testing
