// Adapters of static windows: text drawn in the skin's colours over the parent's background, and
// the icon static. Both paint into the skin state's cache and copy it to the window in one go.
#pragma once

#include <string>
#include <vector>

#include "skin/windows/adapters/window_adapter.h"

namespace skin {

class TacStaticWnd : public TacMainWnd {
public:
    void AdapterWindowProc(vcl::TMessage& m) override;
    // Only plain statics are drawn: a tab stop or a static edge keeps the standard look.
    virtual bool Painted();

protected:
    virtual void PaintContent(vcl::TCanvas* canvas);
    // Builds the cache and copies it to `dc` (null: the window's own DC).
    void PaintTo(win::HDC dc);
    // Marks the cache stale, runs the window's own handling and repaints at once.
    void StaleAndRedraw(vcl::TMessage& m, bool rereadCaption);
};

class TacIconWnd : public TacStaticWnd {
public:
    void AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                        const std::string& section, bool flag) override;
    // An icon static the platform draws by name answers no icon: it keeps its own look rather
    // than lose the icon.
    bool Painted() override;
    bool NotIcon = false;

protected:
    void PaintContent(vcl::TCanvas* canvas) override;
    win::HICON IconHandle();
};

// A link window: its text in the system's message font, the parts between "<A ...>" and "</A>"
// (any case) drawn as links. Painted like the static text.
class TacLinkWnd : public TacStaticWnd {
public:
    // The text cut into runs: plain text and link text by turns, tags taken out.
    struct Run {
        std::string Text;
        bool Link = false;
    };
    static std::vector<Run> SplitLinks(const std::string& text);

protected:
    void PaintContent(vcl::TCanvas* canvas) override;
};

}  // namespace skin
