#include "vcl/controls/forms.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>

#include "platform/display/screenshot.h"
#include "platform/gdi/gdi.h"
#include "platform/os/cp_literal.h"
#include "platform/user/message_box.h"
#include "tests/support/temp_dir.h"
#include "tests/vcl/gui_fixture.h"
#include "vcl/controls/std_ctrls.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/threads.h"

namespace vcl::testing {
namespace {

// A dialog shaped like the mailing window: key preview on, Escape closes it when the Close
// button is enabled, and it may close only then.
class TDialogForm : public TForm {
public:
    VCL_CLASS(TDialogForm, TForm)
    explicit TDialogForm(TComponent* owner) : TForm(owner) {
        SetBorderStyle(bsDialog);
        SetCaption("Dialog");
        SetBounds(50, 50, 300, 200);
        KeyPreview = true;
        btnStop = New<TButton>(this);
        btnStop->SetName("btnStop");
        btnStop->SetParent(this);
        btnStop->SetBounds(20, 80, 75, 25);
        btnStop->SetCaption("Stop");
        btnStop->OnClick = vcl::Method(this, &TDialogForm::btnStopClick);
        btnOk = New<TButton>(this);
        btnOk->SetName("btnOk");
        btnOk->SetParent(this);
        btnOk->SetBounds(20, 120, 75, 25);
        btnOk->SetCaption("OK");
        btnOk->SetModalResult(mrOk);
        btnClose = New<TButton>(this);
        btnClose->SetName("btnClose");
        btnClose->SetParent(this);
        btnClose->SetBounds(120, 120, 75, 25);
        btnClose->SetCaption("Close");
        btnClose->OnClick = vcl::Method(this, &TDialogForm::btnCloseClick);
        OnKeyPress = vcl::Method(this, &TDialogForm::FormKeyPress);
        OnCloseQuery = vcl::Method(this, &TDialogForm::FormCloseQuery);
        OnCreate = vcl::Method(this, &TDialogForm::FormCreate);
    }
    void FormCreate(TObject*) { created = btnOk->ComponentState().Contains(csLoading) ? -1 : 1; }
    void btnCloseClick(TObject*) { Close(); }
    void btnStopClick(TObject*) { btnClose->SetEnabled(true); }
    void FormKeyPress(TObject*, char& key) {
        if (key != 27) return;
        key = 0;
        ++escapes;
        if (btnClose->Enabled()) Close();
    }
    void FormCloseQuery(TObject*, bool& canClose) { canClose = btnClose->Enabled(); }

    TButton* btnStop;
    TButton* btnOk;
    TButton* btnClose;
    int escapes = 0;
    int created = 0;
};

using FormsTest = GuiTest;

TEST_F(FormsTest, CreateFormLoadsComponentsThenRunsOnCreateAndMakesTheMainForm) {
    TDialogForm* first = nullptr;
    TDialogForm* second = nullptr;
    Application()->CreateForm(first);
    Application()->CreateForm(second);
    EXPECT_EQ(first->created, 1);  // components were loaded before OnCreate
    EXPECT_EQ(Application()->MainForm(), first);
    EXPECT_EQ(Screen()->FormCount(), 2);
    EXPECT_EQ(GetParentForm(first->btnOk), first);
    EXPECT_FALSE(first->Visible());
}

TEST_F(FormsTest, ModalFormClosedByAButtonsModalResult) {
    TDialogForm* main = nullptr;
    TDialogForm* dlg = nullptr;
    Application()->CreateForm(main);
    Application()->CreateForm(dlg);
    main->Show();
    Pump();
    dlg->HandleNeeded();  // placed, so the click can be aimed before the loop starts
    dlg->Show();
    Pump();
    QueueClick(dlg->btnOk);
    dlg->Hide();
    EXPECT_EQ(dlg->ShowModal(), mrOk);
    EXPECT_FALSE(dlg->Visible());
    EXPECT_TRUE(win::IsWindowEnabled(main->Handle()));
    EXPECT_THROW(
        {
            dlg->Show();
            dlg->ShowModal();
        },
        EInvalidOperation);
}

TEST_F(FormsTest, EscapeThroughKeyPreviewClosesOnlyWhenAllowed) {
    TDialogForm* dlg = nullptr;
    Application()->CreateForm(dlg);
    dlg->btnClose->SetEnabled(false);
    // Escape is refused while Close is disabled; the space bar on Stop (which has the focus
    // first) enables it; the next Escape closes the form.
    QueueKey(win::VK_ESCAPE, 27);
    QueueKey(win::VK_SPACE, ' ');
    QueueKey(win::VK_ESCAPE, 27);
    EXPECT_EQ(dlg->ShowModal(), mrCancel);
    EXPECT_EQ(dlg->escapes, 2);
    EXPECT_TRUE(dlg->btnClose->Enabled());
}

TEST_F(FormsTest, MessageBoxWorksBeforeAnyFormExists) {
    QueueKey(win::VK_RETURN, '\r');
    EXPECT_EQ(Application()->MessageBox("Нельзя запускать более 20 экземпляров Tessary. "_cp,
                                        "Внимание"_cp, win::MB_OK | win::MB_ICONSTOP),
              win::IDOK);
    EXPECT_EQ(Screen()->FormCount(), 0);
}

TEST_F(FormsTest, SynchronizeFromAWorkerRunsInTheMessageLoop) {
    // The application wires the wake-up of its loop.
    const win::HWND appWindow = Application()->Handle();
    std::atomic<bool> ranOnMain{false};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        TThread::Synchronize([&] { ranOnMain = IsMainThread(); });
        done = true;
        win::PostMessageA(appWindow, win::WM_NULL, 0, 0);  // so the loop sees `done`
    });
    // The loop sleeps in WaitMessage until the queued call wakes it.
    for (int i = 0; i < 100000 && !done; ++i)
        Application()->HandleMessage();
    worker.join();
    EXPECT_TRUE(ranOnMain);
}

// A plain form with buttons, a check box and a label, taken with the headless screen. The
// picture is kept as tests/data/vcl/plain_form.png for comparison by eye; TESSARY_UPDATE_
// REFERENCE=1 writes it again.
TEST_F(FormsTest, PlainFormScreenshot) {
    TForm* form = nullptr;
    Application()->CreateForm(form);
    form->SetCaption("Tessary");
    form->SetBorderStyle(bsSingle);
    form->SetBounds(20, 20, 320, 180);
    auto* label = New<TLabel>(form);
    label->SetParent(form);
    label->SetBounds(16, 16, 200, 17);
    label->SetCaption("Текст сообщения:"_cp);
    auto* check = New<TCheckBox>(form);
    check->SetParent(form);
    check->SetBounds(16, 44, 220, 20);
    check->SetCaption("Запросить отчет о доставке"_cp);
    check->SetChecked(true);
    auto* start = New<TButton>(form);
    start->SetParent(form);
    start->SetBounds(16, 100, 75, 25);
    start->SetCaption("Старт"_cp);
    start->SetDefault(true);
    auto* close = New<TButton>(form);
    close->SetParent(form);
    close->SetBounds(100, 100, 75, 25);
    close->SetCaption("Закрыть"_cp);
    form->Show();
    Pump();
    const win::RECT area{0, 0, 360, 220};
    const display::Rgb shot = display::CaptureScreen(&area);
    ASSERT_EQ(shot.width, 360);
    ASSERT_EQ(shot.height, 220);
    testing_support::TempDir dir;
    EXPECT_TRUE(display::WritePng(shot, dir / "plain_form.png"));
    if (const char* update = std::getenv("TESSARY_UPDATE_REFERENCE"); update && *update == '1')
        display::WritePng(shot, testing_support::TestDataDir() + "vcl/plain_form.png");
    // The face of the form is the button face colour between the controls.
    const unsigned char* px = shot.pixels.data() + (150 * shot.width + 300) * 3;
    const win::COLORREF face = ColorToRGB(clBtnFace);
    EXPECT_EQ(px[0], GetRValue(face));
    EXPECT_EQ(px[1], GetGValue(face));
    EXPECT_EQ(px[2], GetBValue(face));
}

}  // namespace
}  // namespace vcl::testing

namespace vcl::testing {
namespace {

// A form that writes down its events.
class TTracedForm : public TForm {
public:
    VCL_CLASS(TTracedForm, TForm)
    explicit TTracedForm(TComponent* owner) : TForm(owner) {
        SetBounds(40, 40, 200, 120);
        OnShow = Note("show");
        OnHide = Note("hide");
        OnActivate = Note("activate");
        OnDeactivate = Note("deactivate");
        OnDestroy = TNotifyEvent::FromCallable([this](TObject*) {
            if (trail) *trail += Name() + ":destroy ";
        });
        OnCloseQuery = TCloseQueryEvent::FromCallable([this](TObject*, bool& canClose) {
            *trail += Name() + ":query ";
            canClose = mayClose;
        });
        OnClose = TCloseEvent::FromCallable([this](TObject*, TCloseAction& a) {
            *trail += Name() + ":close ";
            a = action;
        });
    }
    TNotifyEvent Note(const char* what) {
        return TNotifyEvent::FromCallable([this, what](TObject*) {
            if (trail) *trail += Name() + ":" + what + " ";
        });
    }
    std::string* trail = nullptr;
    bool mayClose = true;
    TCloseAction action = caHide;
};

class FormLifeTest : public GuiTest {
protected:
    TTracedForm* Make(const char* name) {
        TTracedForm* f = nullptr;
        Application()->CreateForm(f);
        f->SetName(name);
        f->trail = &trail;
        return f;
    }
    std::string trail;
};

TEST_F(FormLifeTest, ShowActivateAndTheWaysOfClosing) {
    TTracedForm* main = Make("main");
    TTracedForm* tool = Make("tool");
    main->Show();
    Pump();
    tool->Show();
    Pump();
    // OnShow comes before the window is up (and takes the activation).
    EXPECT_EQ(trail, "main:show main:activate tool:show main:deactivate tool:activate ");
    EXPECT_TRUE(tool->Active());
    trail.clear();

    tool->mayClose = false;  // the query can refuse
    tool->Close();
    EXPECT_TRUE(tool->Visible());
    tool->mayClose = true;
    tool->action = caNone;  // so can the close handler
    tool->Close();
    EXPECT_TRUE(tool->Visible());
    tool->action = caMinimize;
    tool->Close();
    EXPECT_EQ(tool->WindowState(), wsMinimized);
    tool->SetWindowState(wsNormal);
    tool->action = caHide;
    win::PostMessageA(tool->Handle(), win::WM_CLOSE, 0, 0);  // the close box
    Pump();
    EXPECT_FALSE(tool->Visible());
    EXPECT_EQ(trail.find("tool:query tool:query tool:close tool:query tool:close"), 0u) << trail;
    EXPECT_NE(trail.find("tool:hide"), std::string::npos);

    // caFree frees the form once its messages are handled.
    tool->Show();
    tool->action = caFree;
    trail.clear();
    tool->Close();
    EXPECT_EQ(Screen()->FormCount(), 2);  // not yet
    Pump();
    EXPECT_EQ(Screen()->FormCount(), 1);
    EXPECT_NE(trail.find("tool:destroy"), std::string::npos);

    // Closing the main form ends the program's loop.
    main->Close();
    EXPECT_TRUE(Application()->Terminated());
}

TEST_F(FormLifeTest, ConstraintsBoundTheSizeFromCodeAndFromTheUser) {
    TTracedForm* f = Make("f");
    f->SetBounds(10, 10, 300, 250);
    f->Show();
    f->Constraints()->SetMinWidth(200);
    f->Constraints()->SetMaxHeight(200);  // applied to the form at once
    EXPECT_EQ(f->BoundsRect(), Bounds(10, 10, 300, 200));
    f->Constraints()->SetMinHeight(120);
    f->Constraints()->SetMaxWidth(400);
    struct Case {
        int w, h, wantW, wantH;
    };
    for (const Case c :
         {Case{100, 100, 200, 120}, Case{900, 900, 400, 200}, Case{250, 150, 250, 150}})
        for (bool byWindow : {false, true}) {
            if (byWindow)
                win::SetWindowPos(f->Handle(), nullptr, 10, 10, c.w, c.h, win::SWP_NOZORDER);
            else
                f->SetBounds(10, 10, c.w, c.h);
            EXPECT_EQ(f->Width(), c.wantW) << c.w << (byWindow ? " by the window" : "");
            EXPECT_EQ(f->Height(), c.wantH) << c.h << (byWindow ? " by the window" : "");
        }
    // A graphic control keeps to its own.
    auto* label = New<TLabel>(f);
    label->SetParent(f);
    label->Constraints()->SetMaxWidth(50);
    label->Constraints()->SetMinWidth(80);  // the minimum wins
    label->SetBounds(0, 0, 10, 10);
    EXPECT_EQ(label->Width(), 80);
}

// A square icon of one colour.
win::HICON SolidIcon(int size, win::COLORREF colour) {
    std::vector<uint32_t> bits(
        static_cast<std::size_t>(size * size),
        0xFF000000u | (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour));
    std::vector<uint8_t> mask(static_cast<std::size_t>((size + 15) / 16 * 2 * size), 0);
    win::ICONINFO info;
    info.hbmColor = win::CreateBitmap(size, size, 1, 32, bits.data());
    info.hbmMask = win::CreateBitmap(size, size, 1, 1, mask.data());
    win::HICON icon = win::CreateIconIndirect(&info);
    win::DeleteObject(info.hbmColor);
    win::DeleteObject(info.hbmMask);
    return icon;
}

TEST_F(FormLifeTest, TheApplicationsIconShowsInCaptionsUnlessAFormHasItsOwn) {
    Application()->Icon()->SetHandle(SolidIcon(32, RGB(255, 0, 0)));
    const win::HWND app = Application()->Handle();
    EXPECT_EQ(win::SendMessageA(app, win::WM_GETICON, win::ICON_BIG, 0),
              reinterpret_cast<win::LRESULT>(Application()->Icon()->Handle()));
    const auto small =
        reinterpret_cast<win::HICON>(win::SendMessageA(app, win::WM_GETICON, win::ICON_SMALL2, 0));
    win::ICONINFO info;
    ASSERT_TRUE(win::GetIconInfo(small, &info));
    win::BITMAP bm;
    win::GetObject(info.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, win::GetSystemMetrics(win::SM_CXSMICON));
    win::DeleteObject(info.hbmColor);
    win::DeleteObject(info.hbmMask);

    TTracedForm* f = Make("f");
    f->SetBorderStyle(bsSingle);
    f->SetBounds(10, 10, 200, 100);
    f->Show();
    // Pixels of a colour in the caption's corner, where the icon goes.
    auto captionPixels = [&](win::COLORREF colour) {
        win::BitmapView v;
        EXPECT_TRUE(win::GetBitmapView(win::ComposeScreen(), &v));
        int n = 0;
        for (int y = 10; y < 40; ++y)
            for (int x = 10; x < 40; ++x) {
                const win::BYTE* px = v.Row(y) + x * 4;
                n += RGB(px[2], px[1], px[0]) == colour;
            }
        return n;
    };
    const int iconArea =
        win::GetSystemMetrics(win::SM_CXSMICON) * win::GetSystemMetrics(win::SM_CYSMICON);
    EXPECT_EQ(captionPixels(RGB(255, 0, 0)), iconArea);
    f->Icon()->SetHandle(SolidIcon(16, RGB(0, 0, 255)));
    EXPECT_EQ(win::SendMessageA(f->Handle(), win::WM_GETICON, win::ICON_BIG, 0),
              reinterpret_cast<win::LRESULT>(f->Icon()->Handle()));
    EXPECT_EQ(captionPixels(RGB(0, 0, 255)), iconArea);
    EXPECT_EQ(captionPixels(RGB(255, 0, 0)), 0);
    // A dialog frame shows no icon of the application's.
    f->Icon()->ReleaseHandle();
    f->SetBorderStyle(bsDialog);
    EXPECT_EQ(win::SendMessageA(f->Handle(), win::WM_GETICON, win::ICON_SMALL2, 0), 0);
    EXPECT_EQ(captionPixels(RGB(255, 0, 0)), 0);
}

TEST_F(FormLifeTest, StylesOfTheWindowFollowTheProperties) {
    TTracedForm* f = Make("f");
    f->SetBorderStyle(bsSingle);
    f->SetBorderIcons({biSystemMenu});
    f->HandleNeeded();
    auto style = [&] { return win::GetWindowLongPtrA(f->Handle(), win::GWL_STYLE); };
    auto ex = [&] { return win::GetWindowLongPtrA(f->Handle(), win::GWL_EXSTYLE); };
    EXPECT_TRUE(style() & win::WS_CAPTION);
    EXPECT_TRUE(style() & win::WS_SYSMENU);
    EXPECT_FALSE(style() & win::WS_THICKFRAME);
    EXPECT_FALSE(style() & win::WS_MINIMIZEBOX);
    EXPECT_EQ(win::GetWindow(f->Handle(), win::GW_OWNER), Application()->Handle());
    f->SetBorderIcons({biSystemMenu, biMinimize, biMaximize});
    EXPECT_TRUE(style() & win::WS_MAXIMIZEBOX);
    f->SetBorderStyle(bsNone);
    EXPECT_FALSE(style() & win::WS_CAPTION);
    EXPECT_TRUE(style() & win::WS_POPUP);
    f->SetBorderStyle(bsToolWindow);
    EXPECT_TRUE(ex() & win::WS_EX_TOOLWINDOW);
    f->SetFormStyle(fsStayOnTop);
    EXPECT_TRUE(ex() & win::WS_EX_TOPMOST);
    EXPECT_THROW(f->SetFormStyle(fsMDIForm), EInvalidOperation);

    f->SetAlphaBlend(true);
    f->SetAlphaBlendValue(128);
    EXPECT_TRUE(ex() & win::WS_EX_LAYERED);
    win::BYTE alpha = 0;
    win::DWORD flags = 0;
    ASSERT_TRUE(win::GetLayeredWindowAttributes(f->Handle(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 128);
    EXPECT_TRUE(flags & win::LWA_ALPHA);
    f->SetAlphaBlend(false);
    EXPECT_FALSE(ex() & win::WS_EX_LAYERED);

    f->Show();
    Pump();
    f->SetWindowState(wsMaximized);
    EXPECT_TRUE(win::IsZoomed(f->Handle()));
    EXPECT_EQ(f->WindowState(), wsMaximized);
    f->SetWindowState(wsNormal);
    EXPECT_EQ(f->WindowState(), wsNormal);
    EXPECT_EQ(f->BoundsRect(), Bounds(40, 40, 200, 120));
    // Published properties reach the same setters.
    SetOrdProp(f, "BorderStyle", bsDialog);
    EXPECT_EQ(f->BorderStyle(), bsDialog);
    EXPECT_TRUE(ex() & win::WS_EX_DLGMODALFRAME);
}

TEST_F(FormLifeTest, APlacedFormCentresOnTheMainFormAndTheActiveControlIsKept) {
    TTracedForm* main = Make("main");
    TTracedForm* dlg = Make("dlg");
    main->SetBounds(100, 100, 400, 300);
    main->Show();
    dlg->SetPosition(poMainFormCenter);
    auto* first = New<TButton>(dlg);
    first->SetParent(dlg);
    first->SetBounds(10, 10, 75, 25);
    auto* second = New<TButton>(dlg);
    second->SetParent(dlg);
    second->SetBounds(10, 50, 75, 25);
    dlg->SetActiveControl(second);
    EXPECT_THROW(dlg->SetActiveControl(main), EInvalidOperation);  // not on this form
    dlg->Show();
    Pump();
    EXPECT_EQ(dlg->Left(), 100 + (400 - 200) / 2);
    EXPECT_EQ(dlg->Top(), 100 + (300 - 120) / 2);
    EXPECT_EQ(win::GetFocus(), second->Handle());  // the focus goes where it was set
    first->SetFocus();
    EXPECT_EQ(dlg->ActiveControl(), first);
    main->Show();  // another form active, then back: the focus comes back too
    Pump();
    dlg->Show();
    Pump();
    EXPECT_EQ(win::GetFocus(), first->Handle());
    EXPECT_EQ(GetParentForm(first), dlg);
    EXPECT_EQ(GetParentForm(nullptr), nullptr);
}

// A frame is a container control placed on a form; forms and frames are scrolling containers.
TEST_F(FormsTest, AFrameHoldsControlsOnAForm) {
    auto* form = new TForm(Application());
    auto* frame = new TFrame(form);
    frame->SetParent(form);
    auto* button = new TButton(frame);
    button->SetParent(frame);
    EXPECT_EQ(frame->Width(), 320);
    EXPECT_EQ(frame->Height(), 240);
    EXPECT_TRUE(frame->ControlStyle.Contains(csAcceptsControls));
    EXPECT_TRUE(frame->InheritsFrom("TScrollingWinControl"));
    EXPECT_TRUE(form->InheritsFrom("TScrollingWinControl"));
    EXPECT_NE(dynamic_cast<TScrollingWinControl*>(form), nullptr);
    EXPECT_EQ(GetParentForm(button), form);
    EXPECT_EQ(std::string(frame->ClassName()), "TFrame");
}

}  // namespace
}  // namespace vcl::testing
