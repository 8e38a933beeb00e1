// The skin for a class-library speed button, which has no window to subclass: the handler takes
// the button's WindowProc, paints the button from the skin into the skin state's cache and
// copies the cache into the DC its parent paints it with.
//
// Rules:
//  1. The handler sits in the button's chain through a link of its own. Destroying the handler
//     puts the button's previous WindowProc back only while the link is the one in force; when
//     something else was put on top since, or while the control adapter frees all its items
//     (no skin being removed), the link stays as a pass-through until the button goes.
//  2. A button freed while handled leaves the handler unhooked (Destroyed), never touched again.
//  3. A handler freed inside one of its own messages is not touched after that message's call
//     into the button's own procedure.
#pragma once

#include <string>

#include "vcl/controls/buttons.h"
#include "vcl/system/messages.h"

namespace skin {

class TsCommonData;
class TsSkinManager;
class SpeedButtonLink;

class TacSpeedButtonHandler {
public:
    // `skinData` is the caller's (not owned); its section becomes `section` when it has none.
    TacSpeedButtonHandler(vcl::TSpeedButton* button, const std::string& section,
                          TsSkinManager* manager, TsCommonData* skinData);
    virtual ~TacSpeedButtonHandler();
    TacSpeedButtonHandler(const TacSpeedButtonHandler&) = delete;
    TacSpeedButtonHandler& operator=(const TacSpeedButtonHandler&) = delete;

    virtual void WndProc(vcl::TMessage& m);
    // 2 while the button is down, else 1 when hot or focused, else 0.
    int CurrentState() const;

    vcl::TSpeedButton* Button = nullptr;  // null once the button is gone
    TsSkinManager* SkinManager = nullptr;
    TsCommonData* SkinData = nullptr;
    bool Destroyed = false;  // the button has its own WindowProc back (or is gone)
    vcl::TRect GlyphRect{}, TextRect{};

private:
    friend class SpeedButtonLink;
    void PassOn(vcl::TMessage& m);
    void Repaint();
    // Builds the cache; false when nothing could be painted.
    bool PrepareCache();
    void LayOut(vcl::TCanvas* canvas);

    SpeedButtonLink* link_ = nullptr;
};

// Pass-through links still waiting for their buttons, for tests.
int LiveSpeedButtonLinks();

}  // namespace skin
