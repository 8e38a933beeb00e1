#include "vcl/controls/controls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/user/dialog_manager.h"
#include "tests/vcl/gui_fixture.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/std_ctrls.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/system/exceptions.h"

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
        if (m.Msg == CM_CONTROLLISTCHANGE)
            listChanges.push_back({reinterpret_cast<TControl*>(m.WParam), m.LParam});
        if (m.Msg == CM_ENABLEDCHANGED ||
            (swallowRepaints && (m.Msg == CM_INVALIDATE || m.Msg == CM_RECREATEWND))) {
            m.Result = 42;  // swallowed
            return;
        }
        saved(m);
    }
    TControl* control;
    TWndMethod saved;
    std::vector<uint32_t> seen;
    bool swallowRepaints = false;
    std::vector<std::pair<TControl*, intptr_t>> listChanges;
};

class ControlsTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        form = PlainForm();
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
        c->SetColor(clBlue);  // (its repaint follows as CM_INVALIDATE)
        EXPECT_EQ(s.seen.end()[-2], CM_COLORCHANGED);
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
    EXPECT_EQ(s.seen.end()[-2], CM_TEXTCHANGED);
    s.Restore();
}

TEST_F(ControlsTest, InvalidateAndRecreateWndAreMessagesAWindowProcMaySwallow) {
    form->Show();
    Pump();
    const win::HWND before = form->Handle();
    win::RECT r;
    Subclasser s(form);
    s.swallowRepaints = true;
    form->Invalidate();
    form->RecreateWnd();
    EXPECT_FALSE(win::GetUpdateRect(before, &r, false));
    EXPECT_EQ(form->Handle(), before);
    EXPECT_EQ(s.seen, (std::vector<uint32_t>{CM_INVALIDATE, CM_RECREATEWND}));
    // Passed on, the class's own handling does what the calls always did.
    s.swallowRepaints = false;
    form->Invalidate();
    EXPECT_TRUE(win::GetUpdateRect(before, &r, false));
    form->RecreateWnd();
    EXPECT_NE(form->Handle(), before);
    EXPECT_TRUE(win::IsWindowVisible(form->Handle()));
    s.Restore();
}

TEST_F(ControlsTest, TheFormHearsOfEveryControlPutInOrTakenOutBelowIt) {
    auto* inner = Make<TWinProbe>(form, form, "inner", Bounds(0, 0, 200, 200));
    form->Show();
    Pump();
    Subclasser s(form);
    auto* label = Make<TProbe>(form, inner, "label", Bounds(5, 5, 20, 20));
    auto* box = Make<TWinProbe>(form, inner, "box", Bounds(30, 5, 20, 20));
    EXPECT_EQ(label->Parent(), inner);  // in place when the form hears of it
    box->SetParent(form);               // out of one container, into another
    label->Free();
    using Change = std::pair<TControl*, intptr_t>;
    EXPECT_EQ(s.listChanges,
              (std::vector<Change>{{label, 1}, {box, 1}, {box, 0}, {box, 1}, {label, 0}}));
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

// A form minimised, or sized smaller than its anchored children allow, gives every child its
// place back when it is restored.
TEST_F(ControlsTest, AnchoredChildrenComeBackAfterTheFormWasMinimisedOrTooSmall) {
    form->SetBorderStyle(bsSizeable);
    form->SetBounds(100, 100, 640, 480);
    auto* panel = Make<TWinProbe>(form, form, "panel", Bounds(0, 0, 10, 100));
    panel->SetAlign(alTop);
    auto* wide = Make<TWinProbe>(form, panel, "wide", Bounds(10, 10, 500, 20));
    wide->SetAnchors({akLeft, akTop, akRight});
    auto* right = Make<TProbe>(form, form, "right", Bounds(550, 200, 60, 20));
    right->SetAnchors({akRight, akTop});
    auto* both = Make<TWinProbe>(form, form, "both", Bounds(10, 200, 500, 200));
    both->SetAnchors({akLeft, akTop, akRight, akBottom});
    form->Show();
    Pump();
    const std::vector<TRect> placed{wide->BoundsRect(), right->BoundsRect(), both->BoundsRect()};
    auto places = [&] {
        return std::vector<TRect>{wide->BoundsRect(), right->BoundsRect(), both->BoundsRect()};
    };
    win::ShowWindow(form->Handle(), win::SW_MINIMIZE);
    Pump();
    EXPECT_EQ(form->BoundsRect(), Rect(100, 100, 740, 580));  // what it is restored to
    EXPECT_EQ(places(), placed);
    win::ShowWindow(form->Handle(), win::SW_RESTORE);
    Pump();
    EXPECT_EQ(places(), placed);

    form->SetBounds(100, 100, 120, 80);
    EXPECT_EQ(both->Width(), 0);
    form->SetBounds(100, 100, 640, 480);
    EXPECT_EQ(places(), placed);
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

namespace vcl::testing {
namespace {

// A windowed control that records the notices it gets and may want characters.
class TNoticeProbe : public TCustomControl {
public:
    VCL_CLASS(TNoticeProbe, TCustomControl)
    explicit TNoticeProbe(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
    void Dispatch(TMessage& m) override {
        if (m.Msg == win::WM_GETDLGCODE && wantsChars) {
            m.Result = win::DLGC_WANTCHARS;
            return;
        }
        if (m.Msg == CM_CANCELMODE) cancelSenders.push_back(reinterpret_cast<TControl*>(m.LParam));
        if (m.Msg == win::WM_CHAR) chars += static_cast<char>(m.WParam);
        if (m.Msg == CM_MOUSEWHEEL) ++wheels;
        TCustomControl::Dispatch(m);
    }
    bool wantsChars = false;
    std::vector<TControl*> cancelSenders;
    std::string chars;
    int wheels = 0;
};

// A graphic control that is see-through on its right half.
class THalfProbe : public TGraphicControl {
public:
    VCL_CLASS(THalfProbe, TGraphicControl)
    explicit THalfProbe(TComponent* owner) : TGraphicControl(owner) {}
    void Dispatch(TMessage& m) override {
        if (m.Msg == CM_HITTEST) {
            m.Result = static_cast<int16_t>(m.LParam & 0xFFFF) < Width() / 2;
            return;
        }
        if (m.Msg == win::WM_MOUSEWHEEL) ++wheels;
        TGraphicControl::Dispatch(m);
    }
    int wheels = 0;
};

void QueueAltKey(win::UINT vk, unsigned char ch) {
    win::QueueKeyEvent({win::VK_MENU, true, 0});
    win::QueueKeyEvent({vk, true, ch});
    win::QueueKeyEvent({vk, false, 0});
    win::QueueKeyEvent({win::VK_MENU, false, 0});
}

class ControlMessagesTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        Application()->CreateForm(form);
        form->SetBounds(100, 100, 400, 300);
        form->SetCaption("Form");
    }
    void ShowForm() {
        form->Show();
        Pump();
    }
    TForm* form = nullptr;
};

TEST_F(ControlMessagesTest, ARecreatedFormStaysShownWithItsChildrenFocusAndText) {
    auto* label = Make<TLabel>(form, form, "lab", Bounds(10, 10, 80, 17));
    auto* button = Make<TButton>(form, form, "btn", Bounds(10, 40, 75, 25));
    auto* probe = Make<TNoticeProbe>(form, form, "probe", Bounds(100, 40, 60, 30));
    ShowForm();
    button->SetFocus();
    const win::HWND before = form->Handle();
    const win::HDC probeDC = probe->Canvas()->Handle();  // a DC held outside painting
    ASSERT_NE(probeDC, nullptr);
    form->SetBorderStyle(bsDialog);  // a style that needs a new window
    ASSERT_NE(form->Handle(), before);
    EXPECT_FALSE(win::IsWindow(before));
    EXPECT_TRUE(win::IsWindowVisible(form->Handle()));
    EXPECT_TRUE(win::GetWindowLongPtrA(form->Handle(), win::GWL_EXSTYLE) &
                win::WS_EX_DLGMODALFRAME);
    EXPECT_TRUE(button->HandleAllocated());
    EXPECT_EQ(win::GetParent(button->Handle()), form->Handle());
    EXPECT_TRUE(win::IsWindowVisible(button->Handle()));
    EXPECT_EQ(win::GetFocus(), button->Handle());
    EXPECT_EQ(form->Caption(), "Form");
    EXPECT_EQ(label->Parent(), form);
    // The canvas let go of the old window's DC and draws on the new window.
    EXPECT_FALSE(probe->Canvas()->HandleAllocated());
    probe->Canvas()->Brush()->SetColor(clRed);
    probe->Canvas()->FillRect(Rect(0, 0, 10, 10));
    EXPECT_EQ(probe->Canvas()->Pixels(5, 5), clRed);

    // A child window made again keeps its text and place.
    button->SetCaption("Again");
    const win::HWND oldButton = button->Handle();
    button->Perform(CM_RECREATEWND);
    EXPECT_NE(button->Handle(), oldButton);
    EXPECT_EQ(button->Caption(), "Again");
    EXPECT_EQ(button->BoundsRect(), Bounds(10, 40, 75, 25));
    EXPECT_EQ(win::GetFocus(), button->Handle());
}

TEST_F(ControlMessagesTest, MnemonicsReachButtonsAndLabelsThroughTheForm) {
    auto* start = Make<TButton>(form, form, "start", Bounds(10, 10, 75, 25));
    auto* stop = Make<TButton>(form, form, "stop", Bounds(100, 10, 75, 25));
    auto* typing = Make<TNoticeProbe>(form, form, "typing", Bounds(10, 60, 100, 20));
    auto* label = Make<TLabel>(form, form, "lab", Bounds(10, 90, 80, 17));
    start->SetCaption("&Start");
    stop->SetCaption("Sto&p");
    label->SetCaption("&List:");
    label->FocusControl = typing;
    typing->wantsChars = true;
    std::string clicked;
    for (TButton* b : {start, stop})
        b->OnClick = TNotifyEvent::FromCallable([&clicked, b](TObject*) { clicked += b->Name(); });
    ShowForm();
    start->SetFocus();
    QueueKey('P', 'p');  // a button takes no characters: the form finds Sto&p
    Pump();
    EXPECT_EQ(clicked, "stop");
    QueueAltKey('S', 's');  // Alt with a letter, from anywhere
    Pump();
    EXPECT_EQ(clicked, "stopstart");
    QueueAltKey('L', 'l');  // the label hands the focus to its control
    Pump();
    EXPECT_EQ(win::GetFocus(), typing->Handle());
    QueueKey('P', 'p');  // a control that takes characters keeps them
    Pump();
    EXPECT_EQ(clicked, "stopstart");
    EXPECT_EQ(typing->chars, "p");
}

TEST_F(ControlMessagesTest, TheWheelGoesToTheFocusedControlThenUpItsParents) {
    auto* panel = Make<TNoticeProbe>(form, form, "panel", Bounds(0, 0, 300, 200));
    auto* inner = Make<TNoticeProbe>(form, panel, "inner", Bounds(10, 10, 100, 50));
    auto* graphic = Make<THalfProbe>(form, inner, "graphic", Bounds(0, 0, 100, 50));
    int formWheels = 0;
    const TWndMethod formProc = form->WindowProc;
    form->WindowProc = TWndMethod::FromCallable([&](TMessage& m) {
        if (m.Msg == CM_MOUSEWHEEL) ++formWheels;
        formProc(m);
    });
    ShowForm();
    inner->SetFocus();
    const TPoint at = ScreenCentre(inner);
    auto wheel = [&](int delta) {
        win::QueueMouseEvent({win::MouseEvent::Wheel, {at.X, at.Y}, win::MouseButton::None, delta});
        Pump();
    };
    wheel(-120);
    // Nobody handles it: each of the chain hears it once, the form last.
    EXPECT_EQ(inner->wheels, 1);
    EXPECT_EQ(panel->wheels, 1);
    EXPECT_EQ(formWheels, 1);
    EXPECT_EQ(graphic->wheels, 0);  // the graphic child under the mouse is not asked
    int delta = 0;
    panel->OnMouseWheel = TMouseWheelEvent::FromCallable(
        [&](TObject*, TShiftState, int d, TPoint pos, bool& handled) {
            delta = d;
            EXPECT_EQ(pos, at);
            handled = true;
        });
    wheel(240);
    EXPECT_EQ(delta, 240);
    EXPECT_EQ(inner->wheels, 2);
    EXPECT_EQ(formWheels, 1);  // the panel kept it
    form->WindowProc = formProc;
}

TEST_F(ControlMessagesTest, APressTellsTheFocusedControlToCancelItsMode) {
    auto* focused = Make<TNoticeProbe>(form, form, "focused", Bounds(10, 10, 100, 30));
    auto* label = Make<TLabel>(form, form, "lab", Bounds(10, 100, 80, 17));
    ShowForm();
    focused->SetFocus();
    QueueClick(label);
    Pump();
    ASSERT_EQ(focused->cancelSenders.size(), 1u);
    EXPECT_EQ(focused->cancelSenders[0], label);
}

TEST_F(ControlMessagesTest, CursorsFollowTheControlUnderTheMouseAndTheScreen) {
    auto* link = Make<TLabel>(form, form, "link", Bounds(10, 10, 80, 17));
    auto* plain = Make<TLabel>(form, form, "plain", Bounds(10, 50, 80, 17));
    auto* beam = Make<TNoticeProbe>(form, form, "beam", Bounds(150, 10, 80, 30));
    link->SetCursor(crHandPoint);
    beam->SetCursor(crIBeam);
    ShowForm();
    auto shapeOver = [&](TControl* c) {
        const TPoint p = ScreenCentre(c);
        QueueMove(p.X, p.Y);
        Pump();
        return win::StandardCursorId(win::GetCursor());
    };
    EXPECT_EQ(shapeOver(link), 32649);   // the hand
    EXPECT_EQ(shapeOver(plain), 32512);  // the class's arrow
    EXPECT_EQ(shapeOver(beam), 32513);
    Screen()->SetCursor(crHourGlass);
    EXPECT_EQ(win::StandardCursorId(win::GetCursor()), 32514);
    EXPECT_EQ(shapeOver(link), 32514);  // the screen's cursor wins everywhere
    Screen()->SetCursor(crDefault);     // back to what is under the mouse at once
    EXPECT_EQ(win::StandardCursorId(win::GetCursor()), 32649);
    EXPECT_EQ(Screen()->Cursors(crNone), nullptr);
}

TEST_F(ControlMessagesTest, GraphicChildrenShowTheirOwnMenusAndHitTests) {
    auto* under = Make<TProbe>(form, form, "under", Bounds(10, 10, 100, 40));
    auto* half = Make<THalfProbe>(form, form, "half", Bounds(10, 10, 100, 40));
    std::vector<std::string> log;
    under->log = &log;
    EXPECT_EQ(form->ControlAtPos({20, 20}, false), half);
    EXPECT_EQ(form->ControlAtPos({90, 20}, false), under);  // through the see-through half

    auto* labelMenu = New<TPopupMenu>(form);
    auto* formMenu = New<TPopupMenu>(form);
    auto* label = Make<TLabel>(form, form, "lab", Bounds(10, 100, 80, 17));
    label->SetPopupMenu(labelMenu);
    form->SetPopupMenu(formMenu);
    for (TPopupMenu* m : {labelMenu, formMenu}) {
        auto* item = New<TMenuItem>(form);
        item->SetCaption("Item");
        m->Items()->Add(item);
    }
    std::vector<TComponent*> shownFor;
    for (TPopupMenu* m : {labelMenu, formMenu})
        m->OnPopup = TNotifyEvent::FromCallable(
            [&shownFor, m](TObject*) { shownFor.push_back(m->PopupComponent()); });
    ShowForm();
    auto rightClick = [&](TPoint p) {
        QueueMove(p.X, p.Y);
        win::QueueMouseEvent({win::MouseEvent::Down, {p.X, p.Y}, win::MouseButton::Right});
        win::QueueMouseEvent({win::MouseEvent::Up, {p.X, p.Y}, win::MouseButton::Right});
        QueueKey(win::VK_ESCAPE, 27);  // the menu's own loop closes it
        Pump();
    };
    rightClick(ScreenCentre(label));
    rightClick(form->ClientToScreen({300, 200}));
    EXPECT_EQ(shownFor, (std::vector<TComponent*>{label, form}));
    label->Free();  // the menu forgets the component it was shown for
    EXPECT_EQ(labelMenu->PopupComponent(), nullptr);
}

TEST_F(ControlMessagesTest, ShowHintFollowsTheParentUntilSetOwnly) {
    auto* panel = Make<TNoticeProbe>(form, form, "panel", Bounds(0, 0, 200, 100));
    auto* follower = Make<TLabel>(form, panel, "follower", Bounds(0, 0, 50, 17));
    auto* own = Make<TLabel>(form, panel, "own", Bounds(0, 20, 50, 17));
    own->SetShowHint(false);
    EXPECT_FALSE(own->ParentShowHint());
    form->SetShowHint(true);
    EXPECT_TRUE(panel->ShowHint());
    EXPECT_TRUE(follower->ShowHint());  // down through the panel
    EXPECT_FALSE(own->ShowHint());
    auto* late = Make<TLabel>(form, panel, "late", Bounds(0, 40, 50, 17));
    EXPECT_TRUE(late->ShowHint());  // placed on a parent, it takes the parent's
    own->SetParentShowHint(true);
    EXPECT_TRUE(own->ShowHint());
}

}  // namespace
}  // namespace vcl::testing

namespace vcl::testing {
namespace {

// Controls that paint themselves in their colour and count how often.
class TFace : public TCustomControl {
public:
    VCL_CLASS(TFace, TCustomControl)
    explicit TFace(TComponent* owner) : TCustomControl(owner) {}
    int paints = 0;
    uint32_t extraStyle = 0;

protected:
    void Paint() override {
        ++paints;
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(ClientRect());
    }
    void CreateParams(TCreateParams& p) override {
        TCustomControl::CreateParams(p);
        p.Style |= extraStyle;
    }
};

class TSpot : public TGraphicControl {
public:
    VCL_CLASS(TSpot, TGraphicControl)
    explicit TSpot(TComponent* owner) : TGraphicControl(owner) { ControlStyle << csOpaque; }
    int paints = 0;

protected:
    void Paint() override {
        ++paints;
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(ClientRect());
    }
};

using WindowedControlsTest = ControlMessagesTest;

TEST_F(WindowedControlsTest, HandlesAreMadeWhenNeededWithTheirCreateParams) {
    auto* shown = Make<TFace>(form, form, "shown", Bounds(10, 10, 50, 50));
    auto* hidden = Make<TFace>(form, form, "hidden", Bounds(70, 10, 50, 50));
    hidden->Hide();
    shown->extraStyle = win::WS_BORDER;
    EXPECT_FALSE(form->HandleAllocated());
    EXPECT_FALSE(shown->HandleAllocated());
    form->HandleNeeded();  // the visible children come with it
    EXPECT_TRUE(shown->HandleAllocated());
    EXPECT_FALSE(hidden->HandleAllocated());
    EXPECT_TRUE(win::GetWindowLongPtrA(shown->Handle(), win::GWL_STYLE) & win::WS_BORDER);
    EXPECT_EQ(win::GetParent(shown->Handle()), form->Handle());
    char cls[64] = {};
    win::GetClassNameA(shown->Handle(), cls, sizeof cls);
    EXPECT_STREQ(cls, "TFace");  // the window class is named after the control's class
    hidden->Show();
    EXPECT_TRUE(hidden->HandleAllocated());
    EXPECT_EQ(FindControl(hidden->Handle()), hidden);

    auto* orphan = New<TFace>(form);  // no parent: no window can be made
    EXPECT_THROW(orphan->Handle(), EInvalidOperation);
    EXPECT_FALSE(orphan->HandleAllocated());
}

TEST_F(WindowedControlsTest, PaintToDrawsTheControlAndItsChildrenOffScreen) {
    auto* face = Make<TFace>(form, form, "face", Bounds(0, 0, 60, 40));
    auto* spot = Make<TSpot>(form, face, "spot", Bounds(5, 5, 10, 10));
    auto* inner = Make<TFace>(form, face, "inner", Bounds(30, 5, 20, 20));
    face->SetColor(clRed);
    spot->SetColor(clBlue);
    inner->SetColor(clLime);
    TBitmap target;
    target.SetPixelFormat(pf24bit);
    target.SetSize(80, 60);
    face->PaintTo(target.Canvas()->Handle(), 10, 10);  // the form is not even shown
    // Asked for its window first, the child made its parent's, and has one window only.
    EXPECT_EQ(win::ChildrenInDialogOrder(form->Handle()), std::vector<win::HWND>{face->Handle()});
    EXPECT_EQ(win::ChildrenInDialogOrder(face->Handle()), std::vector<win::HWND>{inner->Handle()});
    TCanvas* c = target.Canvas();
    EXPECT_EQ(c->Pixels(12, 12), clRed);
    EXPECT_EQ(c->Pixels(17, 17), clBlue);  // the graphic child
    EXPECT_EQ(c->Pixels(45, 20), clLime);  // the windowed child
    EXPECT_EQ(c->Pixels(5, 5), clWhite);   // outside: untouched
    EXPECT_EQ(c->Pixels(71, 20), clWhite);
}

TEST_F(WindowedControlsTest, ChangesRepaintOnTheNextTurnOrAtOnceWithUpdate) {
    auto* face = Make<TFace>(form, form, "face", Bounds(0, 0, 60, 40));
    auto* low = Make<TSpot>(form, form, "low", Bounds(100, 10, 40, 40));
    auto* high = Make<TSpot>(form, form, "high", Bounds(120, 10, 40, 40));
    low->SetColor(clBlue);
    high->SetColor(clGreen);
    ShowForm();
    const int painted = face->paints;
    EXPECT_GT(painted, 0);
    face->SetColor(clYellow);
    EXPECT_EQ(face->paints, painted);  // not yet
    Pump();
    EXPECT_EQ(face->paints, painted + 1);
    face->Invalidate();
    face->Update();  // at once
    EXPECT_EQ(face->paints, painted + 2);
    face->Repaint();
    EXPECT_EQ(face->paints, painted + 3);

    // The later graphic control lies on top until the first is brought to the front.
    EXPECT_EQ(form->ControlAtPos({130, 20}, false), high);
    low->BringToFront();
    EXPECT_EQ(form->ControlAtPos({130, 20}, false), low);
    Pump();
    win::HDC dc = win::GetDC(form->Handle());
    EXPECT_EQ(win::GetPixel(dc, 130, 20), ColorToRGB(clBlue));
    low->SendToBack();
    low->Invalidate();
    Pump();
    EXPECT_EQ(win::GetPixel(dc, 130, 20), ColorToRGB(clGreen));
    win::ReleaseDC(form->Handle(), dc);
    // A hidden or disabled control is not found under the mouse.
    high->SetEnabled(false);
    EXPECT_EQ(form->ControlAtPos({130, 20}, false), low);
    EXPECT_EQ(form->ControlAtPos({130, 20}, true), high);
    high->Hide();
    EXPECT_EQ(form->ControlAtPos({130, 20}, true), low);
}

TEST_F(WindowedControlsTest, TabOrderFocusAndEnterExit) {
    auto* a = Make<TNoticeProbe>(form, form, "a", Bounds(10, 10, 50, 20));
    auto* b = Make<TNoticeProbe>(form, form, "b", Bounds(10, 40, 50, 20));
    auto* c = Make<TNoticeProbe>(form, form, "c", Bounds(10, 70, 50, 20));
    std::string trail;
    for (TNoticeProbe* p : {a, b, c}) {
        p->OnEnter =
            TNotifyEvent::FromCallable([&trail, p](TObject*) { trail += "+" + p->Name(); });
        p->OnExit = TNotifyEvent::FromCallable([&trail, p](TObject*) { trail += "-" + p->Name(); });
    }
    EXPECT_EQ(a->TabOrder(), 0);
    c->SetTabOrder(0);  // c, a, b
    EXPECT_EQ(a->TabOrder(), 1);
    b->SetTabStop(false);
    ShowForm();
    EXPECT_EQ(win::GetFocus(), c->Handle());  // the first in tab order takes the focus
    QueueKey(win::VK_TAB);
    Pump();
    EXPECT_EQ(win::GetFocus(), a->Handle());
    QueueKey(win::VK_TAB);  // b has no tab stop
    Pump();
    EXPECT_EQ(win::GetFocus(), c->Handle());
    EXPECT_EQ(trail, "+c-c+a-a+c");
    EXPECT_EQ(form->ActiveControl(), c);
    b->SetFocus();  // still focusable by code
    EXPECT_TRUE(b->Focused());
    b->SetEnabled(false);
    EXPECT_FALSE(b->CanFocus());
    EXPECT_THROW(b->SetFocus(), EInvalidOperation);
    a->Free();  // the form forgets a freed control
    c->SetFocus();
    c->Free();
    EXPECT_EQ(form->ActiveControl(), nullptr);
}

}  // namespace
}  // namespace vcl::testing

namespace vcl::testing {
namespace {

// Code that handles controls of classes it does not know looks their properties up by name.
TEST_F(ControlMessagesTest, PropertiesOfControlsAreFoundByName) {
    auto* button = Make<TButton>(form, form, "btn", Bounds(10, 10, 75, 25));
    auto* label = Make<TLabel>(form, form, "lab", Bounds(10, 50, 75, 17));
    auto* menu = New<TPopupMenu>(form);
    EXPECT_TRUE(IsPublishedProp(button, "ModalResult"));
    EXPECT_FALSE(IsPublishedProp(label, "ModalResult"));
    EXPECT_TRUE(IsPublishedProp(label, "color"));  // names ignore case
    EXPECT_EQ(GetObjectProp(label, "Font"), label->Font());
    TFont big;
    big.SetSize(14);
    big.SetColor(clRed);
    SetObjectProp(label, "Font", &big);  // copied, not taken
    EXPECT_EQ(label->Font()->Size(), 14);
    EXPECT_EQ(label->Font()->Color(), clRed);
    EXPECT_NE(GetObjectProp(label, "Font"), &big);
    SetOrdProp(button, "Anchors", static_cast<int64_t>(TAnchors{akRight, akBottom}.Bits()));
    EXPECT_TRUE(button->Anchors() == (TAnchors{akRight, akBottom}));
    SetObjectProp(label, "PopupMenu", menu);
    EXPECT_EQ(label->PopupMenu(), menu);
    menu->Free();  // the reference goes with the menu
    EXPECT_EQ(GetObjectProp(label, "PopupMenu"), nullptr);
    SetOrdProp(button, "TabStop", 0);
    EXPECT_FALSE(button->TabStop());
    SetStrProp(label, "Caption", "Name:");
    EXPECT_EQ(GetStrProp(label, "Caption"), "Name:");
    EXPECT_EQ(GetOrdProp(form, "Visible"), 0);
    EXPECT_THROW(GetOrdProp(label, "Font"), EPropertyError);  // an object, not a number
    EXPECT_THROW(GetOrdProp(label, "NoSuchThing"), EPropertyError);
}

}  // namespace
}  // namespace vcl::testing
