// Adapters of windows that hold other controls and show the skin behind them: the group box
// (its section below the caption line, the caption in a gap of the parent's background), the
// class-library panel (its section chosen from its bevels, painted with its caption), the panel
// of a system dialog and the see-through panel. They paint into the skin state's cache and copy it to the window in one go; their skin
// state answers the background query, so skinned children draw the container behind them.
#pragma once

#include <string>

#include "skin/windows/adapters/window_adapter.h"

namespace vcl {
class TCanvas;
class TCustomPanel;
class TWinControl;
}  // namespace vcl

namespace skin {

class TacGroupBoxWnd : public TacMainWnd {
public:
    void AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                        const std::string& section, bool flag) override;
    void AdapterWindowProc(vcl::TMessage& m) override;
    // Where the caption is written, in window coordinates, measured with `canvas`'s font.
    vcl::TRect CaptionRect(vcl::TCanvas* canvas);

private:
    void PrepareGroupCache();
    void PaintTo(win::HDC dc);
};

class TacPanelWnd : public TacMainWnd {
public:
    void AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                        const std::string& section, bool flag) override;
    void AdapterWindowProc(vcl::TMessage& m) override;
    // The section of a panel by its bevels and border.
    static std::string SectionFor(const vcl::TCustomPanel* panel);

protected:
    // Paints the panel with its caption into the cache.
    virtual void PaintPanel();

private:
    bool Handled() const;
    // The width of the border around the client area.
    int BorderWidth() const;
    void CopyClient(win::HDC dc);
    void CopyBorder();
};

// A panel or group frame inside a system dialog: its section behind what the window paints
// itself, clipped to 6 pixels inside its edges.
class TacDlgPanelWnd : public TacMainWnd {
public:
    // The section is always chosen here: "CHECKBOX" for a class-library panel (which takes the
    // skin's global colour), else "GROUPBOX".
    void AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                        const std::string& section, bool flag) override;
    void SetSkinParams() override;
    void AdapterWindowProc(vcl::TMessage& m) override;

    vcl::TWinControl* Control = nullptr;

private:
    void ApplyGlobalColor();
    void PaintBackground(win::HDC dc);
};

// A see-through window (a nested dialog, a folder browser): it shows what its parent shows.
class TacTransPanelWnd : public TacMainWnd {
public:
    void AdapterWindowProc(vcl::TMessage& m) override;

protected:
    virtual void PaintWindow();
};

}  // namespace skin
