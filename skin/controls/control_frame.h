// The common shape of a skinned control's painting: when it may paint, when its cache must be
// rebuilt, how the cache reaches a device context, the section's colours and the disabled look.
//
// Rules:
//  1. The cache image covers the control's whole window (window coordinates). A DC of WM_PRINT
//     or GetWindowDC takes it at (0, 0); a client DC (WM_PAINT) takes it shifted by minus the
//     client origin, so the same pixel lands on the same place of the screen.
//  2. Nothing is painted while the background changes (BGChanged) or redraw is frozen; the
//     update region is still validated.
//  3. A control whose bounds do not lie wholly inside its parent's client area is partly
//     clipped: its cache is rebuilt at every frame paint (the background-dirty flag).
#pragma once

#include <functional>
#include <string>
#include <type_traits>

#include "platform/gdi/win_types.h"
#include "platform/user/window_dc.h"
#include "skin/core/state/common_data.h"
#include "vcl/controls/controls.h"

namespace skin {

struct CacheInfo;

// A margin, spacing or indent taken within what a control could use (+-1024 pixels), so
// that sums of them and of sizes never overflow and a size made from them stays paintable.
int ClampInset(int value);

// Redraw of the forms is frozen for a skin change: paints only validate.
bool RedrawFrozen();
// The control can paint now and its skin state paints through a skin.
bool IsSkinnedNow(vcl::TControl* control, const TsCommonData* data);
// A skin command 1, 2 or 3 whose lParam is the state's own manager.
bool IsOwnSkinChange(const vcl::TMessage& m, const TsCommonData* data);
// Answers the skin commands every control answers alike, skinned or not (is it skin-aware,
// its application). True when the message is used up.
bool AnswerCommonCommands(vcl::TMessage& m);

// The stale decision of a frame paint. False when the background is changing (nothing may be
// drawn); else the cache-stale flag takes the background-dirty flags of the control and its
// parent, and the background-dirty flag is set again when the control sticks out of its
// parent's client area.
bool DecideCacheStale(vcl::TControl* control, TsCommonData* data);
// Sets the background-dirty flag when the control does not lie wholly inside its parent's
// client area (both corners tested); a control without a parent is not clipped.
void NoteHalfVisible(vcl::TControl* control, TsCommonData* data);

// What a control's cache image was last built from, beyond what marks it stale: a control
// whose look is read afresh at each paint rebuilds only when this changes. `Changed` stores
// the new key and tells whether it differs from the last one.
class LookKey {
public:
    template <typename... T>
    bool Changed(const T&... parts) {
        std::string key;
        (Append(key, parts), ...);
        if (key == last_) return false;
        last_ = std::move(key);
        return true;
    }
    void Forget() { last_.clear(); }

private:
    static void Append(std::string& key, const std::string& s) {
        Append(key, int64_t(s.size()));
        key += s;
    }
    template <typename T>
    static void Append(std::string& key, const T& v) {
        static_assert(std::is_trivially_copyable_v<T>);
        key.append(reinterpret_cast<const char*>(&v), sizeof v);
    }
    std::string last_;
};

// A font's look as a key part.
std::string FontKey(vcl::TFont* font);

// Whether a control whose look key changed (`changed`) must build its cache image again: also
// when the cache is stale, missing or of another size, or the control sticks out of its
// parent's client area (what lies under the clipped part is not kept).
bool CacheNeedsBuild(vcl::TControl* control, TsCommonData* data, bool changed);

// Sizes the cache to the control and paints the section over the parent's background, with
// the border mask when `borders`, else the background only. A `height` of 0 or more keeps the
// cache to that many top rows of the control.
void PaintSectionIntoCache(vcl::TControl* control, TsCommonData* data, int state, bool borders,
                           int height = -1);
// Copies what the parent shows at the control's place (`parent`, taken by GetParentBGInfo) into
// the rows 0 .. `height` of the cache, pixel by pixel whatever the depth of the parent's image;
// without an image, fills them with the parent's colour.
void CopyParentBackground(vcl::TControl* control, const CacheInfo& parent, vcl::TBitmap* cache,
                          int height);
// The disabled look of the whole cache, blended with the parent's background or greyed.
void BlendDisabledCache(vcl::TControl* control, TsCommonData* data, TsDisabledKind kind);

// Runs `draw` with the cache as the background of what it draws into it: key-coloured pixels
// leave the cache as it is.
void WithCacheAsBackground(vcl::TBitmap* cache, const std::function<void(const CacheInfo&)>& draw);
// The same with a copy of `bmp` as it stands, for painters that show the background only where
// they do not paint (key-coloured pixels of a mask).
void WithCopyAsBackground(vcl::TBitmap* bmp, const std::function<void(const CacheInfo&)>& draw);

// `text` in `r` of `dc` as classic disabled text: in the highlight colour one pixel down and to
// the right, then in the shadow colour in its place. `r` becomes what DrawText gives for the
// second.
void DrawEmbossedText(win::HDC dc, const std::string& text, vcl::TRect& r, uint32_t flags);

// WM_PAINT of a container that paints itself: onto the DC in wParam, else onto a begin-paint
// DC of its own; the update region is validated either way.
void PaintOnPaintDC(vcl::TWinControl* control, const vcl::TMessage& m,
                    const std::function<void(win::HDC)>& paint);

// The skin commands a skinned container (panel, group box) answers alike: those of every
// control, a new skin (the children's plain-background flags refreshed, the own manager's
// taken in, the command passed to the children) and a child's request for the background,
// which `background` answers. True when the message is used up.
bool AnswerContainerCommand(vcl::TWinControl* container, TsCommonData* data, vcl::TMessage& m,
                            const std::function<void(BackgroundInfo&)>& background);

// Copies the whole cache to `dc`; `clientDC` says the DC's origin is the client area.
void CopyCacheToDC(vcl::TWinControl* control, TsCommonData* data, win::HDC dc, bool clientDC);

// The DC a frame paint draws on, for its whole scope: the paint is begun unless redraw is frozen,
// and without a caller's DC the window DC is taken (window-relative; its state saved when
// `saveOwn`). Everything is given back in reverse order on every way out.
class FramePaintDC {
public:
    FramePaintDC(vcl::TWinControl* control, win::HDC dc, bool clientDC, bool saveOwn = false);
    ~FramePaintDC();
    FramePaintDC(const FramePaintDC&) = delete;
    FramePaintDC& operator=(const FramePaintDC&) = delete;

    win::HDC dc() const { return dc_; }
    bool clientDC() const { return clientDC_; }

private:
    vcl::TWinControl* control_;
    win::PAINTSTRUCT ps_{};
    bool painting_;
    win::HDC dc_;
    bool clientDC_;
    win::HDC own_ = nullptr;
    int saved_ = 0;
};
// Copies the border strips of the cache, `width` pixels wide, to the window DC `dc`.
void CopyCacheBorders(vcl::TControl* control, TsCommonData* data, win::HDC dc, int width);

// Validates the window's update region without painting.
void ValidateOnly(vcl::TWinControl* control);

// The section's colour and font colour of the state, written to the control unless it keeps
// its own (CustomColor, CustomFont) or already has them.
void TakeSectionColors(vcl::TControl* control, TsCommonData* data, bool active);
// The section's normal colours (TakeSectionColors) when the state paints through a skin.
void TakeSkinColors(vcl::TControl* control, TsCommonData* data);
// The window's own colours (clWindow, clWindowText) once the skin has gone, unless the control
// keeps its own.
void TakeWindowColors(vcl::TControl* control, TsCommonData* data);

}  // namespace skin
