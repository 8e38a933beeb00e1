// TsCommonData: the skin state every skinned control owns and publishes as SkinData.
//
// It names the skin section the control paints from (empty: the default of the control's
// kind, COC), keeps the control's cache image and the flags that say when that image must be
// rebuilt, and the focus and mouse-over states the painters read. The control creates it in its
// constructor, sets COC, and frees it in its destructor; the state never frees its owner.
//
// Rules it keeps:
//  1. SkinSection is upper case once set; an empty name is stored as "UNKNOWN".
//  2. MouseAbove is set only for kinds that have a hot state (not panels, group boxes, status
//     bars, gauges ...), and only when the mouse entered the owner itself.
//  3. A windowed owner that hears a child report CM_MOUSEENTER sends CM_MOUSELEAVE to every
//     other child speed button that still shows the mouse over it, so at most one of them
//     looks hot. A skinned control reports its own CM_MOUSEENTER to its parent for that.
#pragma once

#include <cstdint>
#include <string>

#include "vcl/system/messages.h"
#include "vcl/system/persistent.h"

namespace vcl {
class TBitmap;
class TControl;
}  // namespace vcl

namespace skin {

class TsCommonData : public vcl::TPersistent {
public:
    VCL_CLASS_PUBLISHED(TsCommonData, vcl::TPersistent)

    // `owner` is the control (or adapter) the state belongs to; with `createCache` the state
    // keeps an empty 24-bit cache image from the start.
    TsCommonData(vcl::TObject* owner, bool createCache);
    ~TsCommonData() override;

    const std::string& SkinSection() const { return skinSection_; }
    void SetSkinSection(const std::string& name);
    // The owner keeps its own colour (font colour) instead of the section's.
    bool CustomColor() const { return customColor_; }
    void SetCustomColor(bool on);
    bool CustomFont() const { return customFont_; }
    void SetCustomFont(bool on);

    // The default section of the kind when none is set; the cache is to be rebuilt.
    void Loaded();
    // The cache is to be rebuilt, and the owner control repaints when it can.
    void Invalidate();

    vcl::TPersistent* GetOwner() const override;
    vcl::TControl* OwnerControl() const { return ownerControl_; }
    vcl::TObject* OwnerObject() const { return ownerObject_; }
    // The cache image, or nullptr when the owner keeps none (yet).
    vcl::TBitmap* CacheBmp() const { return cacheBmp_; }
    // Makes the 24-bit cache image when missing and sizes it to the owner control.
    void InitCacheBmp();

    int COC = 0;              // the control kind
    bool BGChanged = false;   // painting waits: the background is changing
    bool CacheStale = true;   // the cache image must be rebuilt before it is shown
    bool Focused = false;     // the owner has the focus
    bool MouseAbove = false;  // the mouse is over the owner

private:
    std::string skinSection_;
    bool customColor_ = false;
    bool customFont_ = false;
    vcl::TControl* ownerControl_;
    vcl::TObject* ownerObject_;
    vcl::TBitmap* cacheBmp_ = nullptr;
};

// The section a control of kind `kind` paints from when its SkinSection is empty; empty for a
// kind without one (the owner's class name is used then).
std::string DefaultSectionForKind(int kind);
// Kinds that take the mouse-over (hot) state.
bool KindHasHotState(int kind);

// Whether the owner paints in its active (hot or focused) look: enabled, not being destroyed,
// and focused, or under the mouse for a kind with a hot state.
bool ControlIsActive(const TsCommonData* data);

// The messages every skinned control hands its skin state before its own handling: focus,
// mouse over, enabling and visibility. Answers whether the message was used up (never, so far).
bool CommonWndProc(vcl::TMessage& message, TsCommonData* data);

}  // namespace skin
