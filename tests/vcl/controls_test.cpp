#include "vcl/controls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/user/dialog_manager.h"
#include "tests/vcl/gui_fixture.h"
#include "vcl/exceptions.h"
#include "vcl/forms.h"
#include "vcl/std_ctrls.h"

namespace vcl::testing {
namespace {

// A graphic control that records what it hears.
class TProbe : public TGraphicControl {
public:
    VCL_CLASS(TProbe, TGraphicControl)
    explicit TProbe(TComponent* owner) : TGraphicControl(owner) {}
    void Dispatch(TMessage& m) override {
        if (m.Msg == CM_MOUSEENTER) log->push_back("+" + Name());
        if (m.Msg == CM_MOUSELEAVE) log->push_back("-" + Name());
        if (m.Msg == win::WM_LBUTTONDOWN) log->push_back("down " + Name());
        if (m.Msg == win::WM_LBUTTONUP) log->push_back("up " + Name());
        TGraphicControl::Dispatch(m);
    }
    std::vector<std::string>* log = nullptr;
};

class TWinProbe : public TCustomControl {
public:
    VCL_CLASS(TWinProbe, TCustomControl)
    explicit TWinProbe(TComponent* owner) : TCustomControl(owner) {}
    void Dispatch(TMessage& m) override {
        if (m.Msg == CM_MOUSEENTER) log->push_back("+" + Name());
        if (m.Msg == CM_MOUSELEAVE) log->push_back("-" + Name());
        if (m.Msg == CM_COLORCHANGED) ++colorChanges;
        TCustomControl::Dispatch(m);
    }
    std::vector<std::string>* log = nullptr;
    int colorChanges = 0;
};

// Stands in for code that subclasses a control, as the skin engine does.
class Subclasser : public TObject {
public:
    explicit Subclasser(TControl* c) : control(c), saved(c->WindowProc) {
        c->WindowProc = TWndMethod(this, &Subclasser::NewWndProc);
    }
    bool StillMine() const {
        return control->WindowProc ==
               TWndMethod(const_cast<Subclasser*>(this), &Subclasser::NewWndProc);
    }
    void Restore() { control->WindowProc = saved; }
    void NewWndProc(TMessage& m) {
        seen.push_back(m.Msg);
        if (m.Msg == CM_ENABLEDCHANGED) {
            m.Result = 42;  // swallowed
            return;
        }
        saved(m);
    }
    TControl* control;
    TWndMethod saved;
    std::vector<uint32_t> seen;
};

template <typename T>
T* Make(TComponent* owner, TWinControl* parent, const char* name, TRect bounds) {
    T* c = New<T>(owner);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBoundsRect(bounds);
    return c;
}

class ControlsTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        Application()->CreateForm(form);
        form->SetBounds(100, 100, 400, 300);
        form->SetBorderStyle(bsNone);
    }
    TForm* form = nullptr;
    std::vector<std::string> log;
};

TEST_F(ControlsTest, WindowProcIsReplacedChainedAndRestored) {
    auto* c = Make<TWinProbe>(form, form, "c", Bounds(10, 10, 50, 50));
    c->log = &log;
    const TWndMethod original = c->WindowProc;
    EXPECT_TRUE(original == TWndMethod(static_cast<TControl*>(c), &TControl::WndProc));
    {
        Subclasser s(c);
        EXPECT_TRUE(s.StillMine());
        c->SetColor(clRed);  // passed on: the control still sees it
        EXPECT_EQ(c->colorChanges, 1);
        EXPECT_EQ(c->Perform(CM_ENABLEDCHANGED), 42);  // swallowed by the new procedure
        // A second subclasser chains onto the first and comes off again.
        Subclasser inner(c);
        EXPECT_FALSE(s.StillMine());
        c->SetColor(clBlue);
        EXPECT_EQ(s.seen.back(), CM_COLORCHANGED);
        inner.Restore();
        EXPECT_TRUE(s.StillMine());
        s.Restore();
    }
    EXPECT_TRUE(c->WindowProc == original);
    c->SetColor(clGreen);
    EXPECT_EQ(c->colorChanges, 3);
    // Messages to the window go through WindowProc as well.
    Subclasser s(c);
    form->Show();
    Pump();
    win::SendMessageA(c->Handle(), CM_TEXTCHANGED, 0, 0);
    EXPECT_EQ(s.seen.back(), CM_TEXTCHANGED);
    s.Restore();
}

TEST_F(ControlsTest, MouseEnterAndLeaveBetweenSiblings) {
    auto* a = Make<TProbe>(form, form, "a", Bounds(10, 10, 40, 40));
    auto* b = Make<TProbe>(form, form, "b", Bounds(50, 10, 40, 40));
    auto* w = Make<TWinProbe>(form, form, "w", Bounds(100, 10, 40, 40));
    a->log = b->log = w->log = &log;
    form->Show();
    Pump();
    auto move = [&](TControl* target) {
        const TPoint p = ScreenCentre(target);
        QueueMove(p.X, p.Y);
        Pump();
    };
    move(a);
    move(b);
    move(w);
    move(a);
    EXPECT_EQ(log, (std::vector<std::string>{"+a", "-a", "+b", "-b", "+w", "-w", "+a"}));
    // A press over a graphic control reaches it, and the release too, even off its bounds.
    log.clear();
    const TPoint p = ScreenCentre(a);
    win::QueueMouseEvent({win::MouseEvent::Down, {p.X, p.Y}, win::MouseButton::Left});
    win::QueueMouseEvent({win::MouseEvent::Move, {p.X + 45, p.Y}});
    win::QueueMouseEvent({win::MouseEvent::Up, {p.X + 45, p.Y}, win::MouseButton::Left});
    Pump();
    EXPECT_EQ(log, (std::vector<std::string>{"down a", "up a"}));
}

TEST_F(ControlsTest, ChildrenAlignAndFollowTheirAnchors) {
    auto* top = Make<TWinProbe>(form, form, "top", Bounds(0, 0, 10, 20));
    auto* bottom = Make<TWinProbe>(form, form, "bottom", Bounds(0, 0, 10, 30));
    auto* left = Make<TProbe>(form, form, "left", Bounds(0, 0, 40, 10));
    auto* client = Make<TProbe>(form, form, "client", Bounds(0, 0, 1, 1));
    auto* corner = Make<TProbe>(form, form, "corner", Bounds(300, 200, 20, 20));
    auto* wide = Make<TProbe>(form, form, "wide", Bounds(100, 100, 50, 10));
    top->SetAlign(alTop);
    bottom->SetAlign(alBottom);
    left->SetAlign(alLeft);
    client->SetAlign(alClient);
    corner->SetAnchors({akRight, akBottom});
    wide->SetAnchors({akLeft, akTop, akRight});
    const int w = form->ClientWidth(), h = form->ClientHeight();
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, w, 20));
    EXPECT_EQ(bottom->BoundsRect(), Rect(0, h - 30, w, h));
    EXPECT_EQ(left->BoundsRect(), Rect(0, 20, 40, h - 30));
    EXPECT_EQ(client->BoundsRect(), Rect(40, 20, w, h - 30));

    form->SetBounds(100, 100, 500, 350);  // 100 wider, 50 higher
    const int w2 = form->ClientWidth(), h2 = form->ClientHeight();
    EXPECT_EQ(client->BoundsRect(), Rect(40, 20, w2, h2 - 30));
    EXPECT_EQ(corner->BoundsRect(),
              Rect(300 + (w2 - w), 200 + (h2 - h), 320 + (w2 - w), 220 + (h2 - h)));
    EXPECT_EQ(wide->BoundsRect(), Rect(100, 100, 150 + (w2 - w), 110));
    // A hidden control gives its place back.
    top->Hide();
    EXPECT_EQ(left->Top(), 0);
}

TEST_F(ControlsTest, FreeingControlsLeavesNoDanglingParents) {
    auto* panel = Make<TWinProbe>(form, form, "panel", Bounds(0, 0, 100, 100));
    auto* inner = Make<TProbe>(nullptr, panel, "inner", Bounds(0, 0, 10, 10));  // no owner
    auto* owned = Make<TProbe>(form, panel, "owned", Bounds(20, 0, 10, 10));
    auto* button = Make<TWinProbe>(form, panel, "button", Bounds(40, 0, 10, 10));
    // Graphic children come first, then the windowed ones.
    ASSERT_EQ(panel->ControlCount(), 3);
    EXPECT_EQ(panel->Controls(0), inner);
    EXPECT_EQ(panel->Controls(2), button);
    EXPECT_THROW(panel->Controls(3), EListError);
    EXPECT_EQ(form->ControlCount(), 1);
    button->Free();
    owned->Free();
    EXPECT_EQ(panel->ControlCount(), 1);
    panel->Free();  // takes the child it does not own with it
    EXPECT_EQ(form->ControlCount(), 0);
    (void)inner;
    EXPECT_EQ(form->FindComponent("owned"), nullptr);
}

TEST_F(ControlsTest, CheckBoxStateFiresClickAndFollowsTheMouse) {
    auto* box = Make<TCheckBox>(form, form, "chk", Bounds(10, 10, 120, 20));
    int clicks = 0;
    box->OnClick = TNotifyEvent::FromCallable([&](TObject*) { ++clicks; });
    form->Show();
    Pump();
    box->SetChecked(true);  // assigning fires OnClick, once per change
    box->SetChecked(true);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(win::SendMessageA(box->Handle(), win::BM_GETCHECK, 0, 0), 1);
    QueueClick(box);
    Pump();
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(clicks, 2);
    SetOrdProp(box, "Checked", 1);
    EXPECT_TRUE(box->Checked());
}

}  // namespace
}  // namespace vcl::testing
