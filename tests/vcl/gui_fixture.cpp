#include "tests/vcl/gui_fixture.h"

#include "platform/gdi/bitmap.h"

namespace vcl::testing {

void GuiTest::SetUp() {
    win::ResetWindowing();
}

void GuiTest::TearDown() {
    shot_.reset();
    DoneApplication();
    win::ResetWindowing();
}

void FormTest::SetUp() {
    GuiTest::SetUp();
    Application()->CreateForm(form);
    form->SetBounds(50, 50, 300, 200);
    form->SetBorderStyle(bsNone);
}

TForm* GuiTest::PlainForm() {
    TForm* form = nullptr;
    Application()->CreateForm(form);
    form->SetBounds(100, 100, 400, 300);
    form->SetBorderStyle(bsNone);
    return form;
}

void GuiTest::Pump() {
    Application()->ProcessMessages();
}

TPoint GuiTest::ScreenCentre(TControl* c) {
    return c->ClientToScreen({c->Width() / 2, c->Height() / 2});
}

win::COLORREF GuiTest::ScreenPixel(TControl* c, int x, int y) {
    const TPoint p = c->ClientToScreen({x, y});
    win::BitmapView v;
    EXPECT_TRUE(win::GetBitmapView(win::ComposeScreen(), &v));
    const win::BYTE* px = v.Row(p.Y) + p.X * 4;
    return RGB(px[2], px[1], px[0]);
}

TBitmap* GuiTest::Shot(TControl* c) {
    if (!shot_) shot_.reset(new TBitmap);
    shot_->SetPixelFormat(pf24bit);
    shot_->SetSize(c->Width(), c->Height());
    TCanvas* canvas = shot_->Canvas();
    canvas->Brush()->SetColor(clGreen);
    canvas->FillRect(Rect(0, 0, c->Width(), c->Height()));
    if (auto* w = dynamic_cast<TWinControl*>(c))
        w->PaintTo(canvas->Handle(), 0, 0);
    else
        c->Perform(win::WM_PAINT, reinterpret_cast<uintptr_t>(canvas->Handle()));
    return shot_.get();
}

TColor GuiTest::Px(int x, int y) {
    return shot_ ? shot_->Canvas()->Pixels(x, y) : clNone;
}

void GuiTest::QueueMove(int x, int y) {
    win::QueueMouseEvent(win::MouseEvent{win::MouseEvent::Move, win::POINT{x, y}});
}

void GuiTest::QueueClick(TControl* c) {
    QueueClickAt(ScreenCentre(c));
}

void GuiTest::QueueClickAt(TPoint p) {
    QueueMove(p.X, p.Y);
    win::QueueMouseEvent(
        win::MouseEvent{win::MouseEvent::Down, win::POINT{p.X, p.Y}, win::MouseButton::Left});
    win::QueueMouseEvent(
        win::MouseEvent{win::MouseEvent::Up, win::POINT{p.X, p.Y}, win::MouseButton::Left});
}

void GuiTest::QueueDrag(TPoint from, TPoint to) {
    QueueMove(from.X, from.Y);
    win::QueueMouseEvent(
        win::MouseEvent{win::MouseEvent::Down, win::POINT{from.X, from.Y}, win::MouseButton::Left});
    QueueMove(to.X, to.Y);
    win::QueueMouseEvent(
        win::MouseEvent{win::MouseEvent::Up, win::POINT{to.X, to.Y}, win::MouseButton::Left});
}

void GuiTest::QueueWheel(TPoint p, int delta) {
    win::QueueMouseEvent(win::MouseEvent{win::MouseEvent::Wheel, win::POINT{p.X, p.Y},
                                         win::MouseButton::None, delta});
}

void GuiTest::QueueKey(win::UINT vk, unsigned char ch) {
    win::QueueKeyEvent(win::KeyEvent{vk, true, ch});
    win::QueueKeyEvent(win::KeyEvent{vk, false, 0});
}

}  // namespace vcl::testing
