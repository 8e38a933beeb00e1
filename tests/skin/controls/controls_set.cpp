#include "tests/skin/controls/controls_set.h"

#include <memory>

#include "skin/core/pixels/bitmaps.h"
#include "vcl/controls/menus.h"

namespace skin_test {

using namespace vcl;
using namespace skin;

namespace {

template <class T>
T* Put(TWinControl* parent, TPoint o, int l, int t, int w, int h, const char* caption = nullptr) {
    T* c = New<T>(parent);
    c->SetParent(parent);
    c->SetBoundsRect(Bounds(o.X + l, o.Y + t, w, h));
    if (caption) c->SetCaption(caption);
    return c;
}

}  // namespace

TImageList* ControlsGlyphs(TComponent* owner) {
    auto* list = New<TImageList>(owner);
    list->SetWidth(16);
    list->SetHeight(16);
    std::unique_ptr<TBitmap, FreeDeleter> pic(NewBitmap24(16, 16));
    TCanvas* c = pic->Canvas();
    c->Brush()->SetColor(vcl::TColor(0xFF00FF));
    c->FillRect(Rect(0, 0, 16, 16));
    c->Brush()->SetColor(vcl::TColor(0xB04010));
    c->FillRect(Rect(2, 2, 14, 14));
    for (int i = 2; i < 14; ++i)
        c->SetPixels(i, i, vcl::TColor(0x00E0FF));
    list->Add(pic.get(), nullptr);
    return list;
}

ControlsSet AddControlsSet(TForm* form, TPoint o, TImageList* glyphs) {
    ControlsSet s{};
    auto keep = [&s](TControl* c, TsCommonData* d) {
        s.Controls.push_back(c);
        s.Data.push_back(d);
    };
    const char* editTexts[5] = {"Normal", "Focused", "Blended", "Greyed", "secret"};
    for (int i = 0; i < 5; ++i) {
        s.edits[i] = Put<TsEdit>(form, o, 10, 10 + i * 30, 140, 22);
        s.edits[i]->SetText(editTexts[i]);
        keep(s.edits[i], s.edits[i]->SkinData());
    }
    s.edits[2]->SetEnabled(false);
    s.edits[3]->SetDisabledKind(TsDisabledKind{dkGrayed});
    s.edits[3]->SetEnabled(false);
    s.edits[4]->SetPasswordChar('*');
    s.memo = Put<TsMemo>(form, o, 10, 160, 140, 80);
    for (const char* line : {"A memo of", "three lines", "of text"})
        s.memo->Lines()->Add(line);
    keep(s.memo, s.memo->SkinData());

    const char* checkTexts[5] = {"Unchecked", "Checked", "Grey", "Disabled", "Disabled on"};
    for (int i = 0; i < 5; ++i) {
        s.checks[i] = Put<TsCheckBox>(form, o, 160, 10 + i * 30, 120, 22, checkTexts[i]);
        keep(s.checks[i], s.checks[i]->SkinData());
    }
    s.checks[1]->SetChecked(true);
    s.checks[2]->SetAllowGrayed(true);
    s.checks[2]->SetState(cbGrayed);
    s.checks[3]->SetEnabled(false);
    s.checks[4]->SetChecked(true);
    s.checks[4]->SetEnabled(false);

    const char* bitTexts[6] = {"Normal", "Hot", "Pressed", "Default", "Disabled", "Glyph"};
    for (int i = 0; i < 6; ++i) {
        s.bitBtns[i] = Put<TsBitBtn>(form, o, 290, 10 + i * 30, 90, 26, bitTexts[i]);
        keep(s.bitBtns[i], s.bitBtns[i]->SkinData());
    }
    s.bitBtns[2]->SetDown(true);
    s.bitBtns[3]->SetDefault(true);
    for (int i : {4, 5}) {
        s.bitBtns[i]->SetImages(glyphs);
        s.bitBtns[i]->SetImageIndex(0);
    }
    s.bitBtns[4]->SetEnabled(false);

    const char* speedTexts[5] = {"Flat", "Drop", "Down", "", "Tool"};
    for (int i = 0; i < 5; ++i) {
        s.speedBtns[i] =
            Put<TsSpeedButton>(form, o, 390, 10 + i * 30, 90, i == 4 ? 44 : 26, speedTexts[i]);
        keep(s.speedBtns[i], s.speedBtns[i]->SkinData());
    }
    s.speedBtns[0]->SetFlat(true);
    s.speedBtns[1]->SetButtonStyle(tbsDropDown);
    s.speedBtns[1]->SetDropdownMenu(New<TPopupMenu>(form));
    s.speedBtns[2]->SetGroupIndex(1);
    s.speedBtns[2]->SetDown(true);
    s.speedBtns[3]->SetButtonStyle(tbsSeparator);
    s.speedBtns[4]->SetImages(glyphs);
    s.speedBtns[4]->SetImageIndex(0);
    s.speedBtns[4]->SetLayout(blGlyphTop);

    s.dragBar = Put<TsDragBar>(form, o, 490, 10, 140, 20);
    s.dragBar->SetAlign(alNone);  // a title strip of the set, not of the form
    s.dragBar->SetBoundsRect(Bounds(o.X + 490, o.Y + 10, 140, 20));
    s.dragBar->SetCaption("Drag bar");
    s.panel = Put<TsPanel>(form, o, 490, 34, 140, 60, "Panel");
    s.boxes[0] = Put<TsGroupBox>(form, o, 490, 100, 140, 60, "Group box");
    auto* inside = Put<TsCheckBox>(s.boxes[0], {0, 0}, 10, 22, 110, 22, "Inside");
    s.boxes[1] = Put<TsGroupBox>(form, o, 490, 166, 140, 50, "Centred");
    s.boxes[1]->SetCaptionLayout(TsGroupBox::clTopCenter);
    for (TsPanel* p : std::initializer_list<TsPanel*>{s.dragBar, s.panel})
        keep(p, p->SkinData());
    for (TsGroupBox* b : s.boxes)
        keep(b, b->SkinData());
    keep(inside, inside->SkinData());

    for (int i = 0; i < 7; ++i) {
        auto* b = Put<TsBevel>(form, o, 10 + i * 22, 250, 20, 30);
        b->SetShape(TBevelShape(i));
        b->SetStyle(i % 2 ? bsRaised : bsLowered);
        keep(b, b->SkinData());
    }

    auto gauge = [&](int l, int t, int w, int h, int progress, bool text) {
        auto* g = Put<TsGauge>(form, o, l, t, w, h);
        g->SetAnimated(false);
        g->SetShowText(text);
        g->SetMaxValue(997);
        g->SetProgress(progress);
        keep(g, g->SkinData());
        return g;
    };
    s.emptyGauge = gauge(170, 250, 203, 20, 0, false);
    s.partGauge = gauge(170, 274, 203, 20, 613, false);
    gauge(170, 298, 203, 20, 470, true);
    s.uprightGauge = gauge(390, 250, 24, 110, 700, true);
    s.uprightGauge->SetKind(gkVerticalBar);

    Put<TsLabel>(form, o, 10, 290, 150, 16, "A plain label");
    Put<TsLabelFX>(form, o, 10, 308, 150, 24, "FX label");
    auto* web = Put<TsWebLabel>(form, o, 10, 336, 100, 16, "Web label");
    web->SetURL("http://localhost/");
    return s;
}

TsStatusBar* AddStatusBar(TForm* form) {
    auto* status = New<TsStatusBar>(form);
    status->SetParent(form);
    status->SetAlign(alBottom);
    status->SetHeight(22);
    for (const char* t : {"Port: ttyUSB0", "Sent 12 of 40", "Ready"}) {
        TStatusPanel* p = status->Panels()->Add();
        p->SetText(t);
        p->SetWidth(160);
    }
    status->SetSizeGrip(true);
    return status;
}

}  // namespace skin_test
