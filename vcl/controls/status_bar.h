// TCustomStatusBar and TStatusBar over the native "msctls_statusbar32": panels side by side,
// each as wide as its Width (the last one to the end of the bar), with their text aligned or
// drawn by OnDrawPanel; or, with SimplePanel, one text across the bar. The bar never places
// itself: Align (alBottom at first) does. BorderWidth leaves a margin of the bar's colour round
// the panels.
#pragma once

#include <cstdint>
#include <string>

#include "vcl/controls/controls.h"
#include "vcl/system/collection.h"

namespace vcl {

class TCustomStatusBar;

enum TStatusPanelStyle : uint8_t { psText, psOwnerDraw };

class TStatusPanel : public TCollectionItem {
public:
    VCL_CLASS_PUBLISHED(TStatusPanel, TCollectionItem)
    explicit TStatusPanel(TCollection* collection) : TCollectionItem(collection) {}

    const std::string& Text() const { return text_; }
    void SetText(const std::string& text);
    int Width() const { return width_; }
    void SetWidth(int width);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    TStatusPanelStyle Style() const { return style_; }
    void SetStyle(TStatusPanelStyle style);
    void Assign(const TPersistent* source) override;

private:
    std::string text_;
    int width_ = 50;
    TAlignment alignment_ = taLeftJustify;
    TStatusPanelStyle style_ = psText;
};

class TStatusPanels : public TCollection {
public:
    VCL_CLASS(TStatusPanels, TCollection)
    explicit TStatusPanels(TCustomStatusBar* owner);

    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
    TStatusPanel* Items(int index) const {
        return static_cast<TStatusPanel*>(TCollection::Items(index));
    }

protected:
    void Update(TCollectionItem* item) override;

private:
    TCustomStatusBar* owner_;
};

using TDrawPanelEvent =
    Delegate<void(TCustomStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;

class TCustomStatusBar : public TWinControl {
public:
    VCL_CLASS_PUBLISHED(TCustomStatusBar, TWinControl)
    explicit TCustomStatusBar(TComponent* owner);
    ~TCustomStatusBar() override;

    TStatusPanels* Panels() const { return panels_; }
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool on);
    const std::string& SimpleText() const { return simpleText_; }
    void SetSimpleText(const std::string& text);
    // The grip shows on a form that can be sized.
    bool SizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool on);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width);
    TCanvas* Canvas() const { return canvas_; }

    TDrawPanelEvent OnDrawPanel;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& message) override;
    // Paints an owner-drawn panel on Canvas: OnDrawPanel, or the bar's colour without one.
    virtual void DrawPanel(TStatusPanel* panel, const TRect& rect);

private:
    friend class TStatusPanels;
    void UpdatePanels();
    bool ShowsGrip() const;

    TStatusPanels* panels_;
    TCanvas* canvas_;
    bool simplePanel_ = false;
    std::string simpleText_;
    bool sizeGrip_ = true;
    int borderWidth_ = 0;
};

class TStatusBar : public TCustomStatusBar {
public:
    VCL_CLASS(TStatusBar, TCustomStatusBar)
    explicit TStatusBar(TComponent* owner) : TCustomStatusBar(owner) {}
};

}  // namespace vcl
