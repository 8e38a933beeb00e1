// The item of the control walk for one class-library speed button: the skin state the button
// lacks, and the handler that paints the button with it.
#pragma once

#include <memory>

#include "vcl/controls/controls.h"
#include "vcl/system/persistent.h"

namespace skin {

class TacCtrlAdapter;
class TacSpeedButtonHandler;
class TsCommonData;

class TacGraphItem : public vcl::TPersistent {
public:
    VCL_CLASS(TacGraphItem, vcl::TPersistent)
    TacGraphItem();
    ~TacGraphItem() override;
    TacGraphItem(const TacGraphItem&) = delete;
    TacGraphItem& operator=(const TacGraphItem&) = delete;

    // Hands `control` (a speed button) to a new handler; nothing for the library's own helper
    // controls (Tag -98) or a control that is no speed button.
    virtual void AttachHandler(vcl::TControl* control);
    // No handler, or one whose button has its own WindowProc back.
    bool Dead() const;
    void FreeHandler();

    vcl::TControl* Ctrl = nullptr;
    std::unique_ptr<TsCommonData> SkinData;
    TacSpeedButtonHandler* Handler = nullptr;
    TacCtrlAdapter* OwnerAdapter = nullptr;
};

// A windowed control that has its window already; false for any other control.
bool CtrlHandleAllocated(vcl::TControl* control);

}  // namespace skin
