// The small types the skinned controls share.
#pragma once

#include <cstdint>

#include "skin/core/pixels/disabled_kind.h"
#include "vcl/system/delegate.h"
#include "vcl/system/messages.h"
#include "vcl/system/object.h"
#include "vcl/system/set.h"

namespace skin {

// How a disabled glyph looks.
enum TsDisabledGlyphKindItem : uint8_t { dgBlended, dgGrayed };
using TsDisabledGlyphKind = vcl::Set<TsDisabledGlyphKindItem>;
// The mouse events whose state change fades; aeGlobalDef leaves it to the skin manager.
enum TacAnimatEvent : uint8_t { aeMouseEnter, aeMouseLeave, aeMouseDown, aeMouseUp, aeGlobalDef };
using TacAnimatEvents = vcl::Set<TacAnimatEvent>;

// Fires a control's own OnMouseEnter or OnMouseLeave for CM_MOUSEENTER or CM_MOUSELEAVE; a
// child's report of the mouse (the child in LParam) is not the control's own.
inline void TellMouse(const vcl::TMessage& m, vcl::TObject* sender, const vcl::TNotifyEvent& enter,
                      const vcl::TNotifyEvent& leave) {
    if (m.LParam != 0) return;
    if (m.Msg == vcl::CM_MOUSEENTER) enter(sender);
    if (m.Msg == vcl::CM_MOUSELEAVE) leave(sender);
}

// A published set-typed property, read and written as its bits.
template <class C, class E>
vcl::TPropInfo SetProperty(const char* name, vcl::Set<E> (C::*get)() const,
                           void (C::*set)(vcl::Set<E>)) {
    vcl::TPropInfo p;
    p.Name = name;
    p.Kind = vcl::TTypeKind::tkInteger;
    p.Get = [get](const vcl::TObject* o) {
        return vcl::TPropValue(static_cast<int64_t>((static_cast<const C*>(o)->*get)().Bits()));
    };
    p.Set = [set](vcl::TObject* o, const vcl::TPropValue& v) {
        (static_cast<C*>(o)->*set)(vcl::Set<E>(static_cast<uint64_t>(std::get<int64_t>(v)), 0));
    };
    return p;
}

}  // namespace skin
