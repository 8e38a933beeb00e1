// TsCommonData: the skin state every skinned control, window adapter and form skin provider
// owns and publishes as SkinData.
//
// It links its owner to a skin manager and a section, keeps the indexes the painters need, the
// owner's cache image and the flags that say when that image must be rebuilt or when painting
// must wait. It answers the owner's share of the skin commands (UpdateControlSkin) and the
// ordinary window messages that change the owner's look (CommonWndProc), and answers a child's
// question about what lies behind it (GetBGInfo). The owner creates it in its constructor, sets
// COC, and frees it in its destructor; the state never frees its owner.
//
// Rules it keeps:
//  1. SkinSection is upper case once set; an empty name is stored as "UNKNOWN".
//  2. The default manager is stored as nil; SkinManager() gives it back. The stored manager is
//     held by a link the manager clears when it is destroyed, so a state never points at a
//     manager that is gone.
//  3. Commands 1, 2 and 3 act only when their lParam is the state's effective manager (the
//     default one when none is stored); writing SkinManager or SkinSection sends them with the
//     effective manager.
//  4. MouseAbove is set only for kinds that have a hot state, and only when the mouse entered
//     the owner itself. A windowed owner that hears a child report CM_MOUSEENTER sends
//     CM_MOUSELEAVE to every other child speed button still marked under the mouse.
//  5. A shown glow (GlowID not -1) is hidden when the owner moves, is resized, is disabled or
//     the state is freed.
//  6. The parent's share of a transparent section's colour is TRANSPARENCY / 100, wherever the
//     colour is computed (the command-21 answer and GetControlBGColor alike).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/gdi/win_types.h"
#include "skin/core/pixels/disabled_kind.h"
#include "vcl/system/messages.h"
#include "vcl/system/persistent.h"
#include "vcl/system/types.h"

namespace vcl {
class TBitmap;
class TControl;
class TFont;
class TCustomLabel;
class TWinControl;
}  // namespace vcl

namespace skin {

struct CacheInfo;
struct PixelView;
struct TsGeneralData;
class TsManagerLink;
class TsSkinManager;

// CtrlState bits.
enum : uint16_t {
    kCtrlPlainBG = 0x0001,   // the background is a plain colour: children need not ask for it
    kCtrlUpdating = 0x0800,  // inside BeginUpdate .. EndUpdate
};

// BGKind bits.
enum : uint16_t {
    kBGGradientRows = 0x0002,     // a gradient whose first stop has mode 0
    kBGGradientColumns = 0x0001,  // mode 1
    kBGGradientTriangles = 0x0003,
    kBGImage = 0x0004,  // the section has an image (IMAGEPERCENT)
};

// BackgroundInfo::BgType
enum : uint8_t { btUnknown = 0, btFill = 1, btCache = 2 };

// The answer to skin command 34: what lies behind the asker.
struct BackgroundInfo {
    vcl::TBitmap* Bmp = nullptr;  // the image that holds the background, or nil
    uint32_t Color = 0;           // a colour value (red in the low byte)
    vcl::TPoint Offset{};         // where the asker's origin lies in Bmp
    vcl::TRect R{};               // the asker's area
    uint8_t BgType = btUnknown;
    uint8_t PleaseDraw = 0;  // paint the background into DC at R now
    win::HDC DC = nullptr;
};

class TsCommonData : public vcl::TPersistent {
public:
    VCL_CLASS_PUBLISHED(TsCommonData, vcl::TPersistent)

    // `owner` is the control, adapter or provider the state belongs to; with `createCache`
    // the state keeps an empty 24-bit cache image from the start.
    TsCommonData(vcl::TObject* owner, bool createCache);
    ~TsCommonData() override;
    TsCommonData(const TsCommonData&) = delete;
    TsCommonData& operator=(const TsCommonData&) = delete;

    // --- published ---
    const std::string& SkinSection() const { return skinSection_; }
    void SetSkinSection(const std::string& name);
    // The effective manager: the stored one, or the default manager when none is stored.
    TsSkinManager* SkinManager() const { return GetSkinManager(); }
    TsSkinManager* GetSkinManager() const;
    // What is stored: nil stands for the default manager.
    TsSkinManager* StoredSkinManager() const;
    void SetSkinManager(TsSkinManager* manager);
    bool CustomColor() const { return customColor_; }
    void SetCustomColor(bool on);
    bool CustomFont() const { return customFont_; }
    void SetCustomFont(bool on);

    // --- fields, in the order the painters know them ---
    int32_t GlowID = -1;     // the glow shown around the owner, -1 none
    bool BGChanged = false;  // painting waits: the background is changing
    int32_t BorderIndex = -1;
    int32_t SkinIndex = -1;
    int32_t Texture = -1;
    int32_t HotTexture = -1;
    bool KeepCache = false;   // the owner's painter leaves the cache image alone
    bool CacheStale = true;   // the cache image must be rebuilt before it is shown
    bool HalfVisible = true;  // the owner is partly clipped away
    int COC = 0;              // the control kind
    bool Focused = false;     // the owner has the focus
    bool MouseAbove = false;  // the mouse is over the owner
    uint16_t CtrlState = 0;   // kCtrl... bits
    uint16_t BGKind = 0;      // kBG... bits

    vcl::TPersistent* GetOwner() const override;
    vcl::TControl* OwnerControl() const { return ownerControl_; }
    vcl::TObject* OwnerObject() const { return ownerObject_; }
    // The cache image, or nullptr when the owner keeps none (yet).
    vcl::TBitmap* CacheBmp() const { return cacheBmp_; }
    // The state's section record, or nullptr when the state is not skinned.
    const TsGeneralData* Section() const;

    // Re-reads the section, border-mask and texture indexes from the manager.
    void UpdateIndexes();
    void UpdateBGKindFlags();
    // The default section of the kind when none is set, else the indexes; an edit takes the
    // section's colours.
    void Loaded();
    // The cache is to be rebuilt, and the owner repaints when it can.
    void Invalidate();
    void BeginUpdate();
    void EndUpdate(bool repaint);
    void SetBGChanged(bool on) { BGChanged = on; }
    // Whether painting must wait for a background change, here or in a parent.
    bool GetBGChanged() const;
    bool NeedsParentBG() const;
    bool IsTransparent() const;
    bool ShowsParentBG() const;
    // Sets CtrlState bit 0 when the background is plain; with `passOn` the children recompute
    // theirs (command 36).
    void UpdatePlainBGFlag(bool passOn);
    // Makes the 24-bit cache image when missing and sizes it to the owner control.
    void InitCacheBmp();
    // As InitCacheBmp, and an existing image is made 24-bit.
    void PrepareCacheBmp();
    // The command-34 answer: what lies behind the owner, in the normal (`hot` false) or hot
    // look. `wnd` is the owner's window when the owner is no control.
    void GetBGInfo(BackgroundInfo& info, bool hot, win::HWND wnd) const;

private:
    void SendSkinChange();  // command 3 or 2 to the owner after a manager or section change

    std::string skinSection_;
    bool customFont_ = false;
    bool customColor_ = false;
    std::unique_ptr<TsManagerLink> skinManager_;
    vcl::TControl* ownerControl_;
    vcl::TObject* ownerObject_;
    vcl::TBitmap* cacheBmp_ = nullptr;
};

// The section a control of kind `kind` paints from when its SkinSection is empty; empty for a
// kind without one (the owner's class name is used then).
std::string DefaultSectionForKind(int kind);
// Kinds that take the mouse-over (hot) state.
bool KindHasHotState(int kind);
// Kinds that show a glow when the mouse enters them.
bool KindShowsGlow(int kind);
// Kinds whose frame is repainted when the focus or the mouse changes.
bool KindRepaintsFrame(int kind);

// Whether the state paints through a skin: a manager that is not being destroyed, a valid
// section and a live owner; with `checkActive` the skin must also be in force.
bool IsControlSkinned(const TsCommonData* data, bool checkActive = false);
// Whether the owner paints in its active (hot or focused) look.
bool ControlIsActive(const TsCommonData* data);
// The background is more than a plain colour.
bool IsComplexBackground(const TsCommonData* data);
// The widest border of the section's border mask; 0 without one.
int GetMaxBorderWidth(const TsCommonData* data);
// The colour the owner shows as its background, as RGB.
uint32_t GetControlBGColor(const TsCommonData* data, bool hot, win::HWND wnd);
// What lies behind the owner, as the painters take it: the parent's answer for a skinned
// owner with a parent, else the owner's plain colour. `view` receives the scan lines of the
// answer's bitmap and must outlive `cache`.
void GetParentBGInfo(const TsCommonData* data, CacheInfo& cache, PixelView& view);
// The same for a bare window, asking its parent window; without one, nothing is known.
void GetParentBGInfoByHandle(win::HWND wnd, CacheInfo& cache, PixelView& view);
// The section index whose font a label on `control` paints with: its parent's when the
// parent's section gives its font, passing over parents that are more than half transparent.
int GetFontIndex(vcl::TControl* control, int defaultIndex, TsSkinManager* manager);
// Shows the glow around the owner when its section glows and the mouse is over it, else hides
// it. With `onlyWhenNone` a glow already shown stays.
void ShowGlowingIfNeeded(TsCommonData* data, bool onlyWhenNone = false, win::HWND wnd = nullptr);
// Hides the glow of the state when one is shown.
void HideGlowOf(TsCommonData* data);
// A windowed owner heard `entered` report the mouse: every other speed button on it still
// marked under the mouse hears it leave, so only one shows it.
void LeaveOtherSpeedButtons(vcl::TWinControl* owner, vcl::TControl* entered);
// The same for every skinned child (a container the mouse entered through a child).
void LeaveOtherSkinControls(vcl::TWinControl* owner, vcl::TControl* entered);

// The skin command handler. True when the command is answered (m.Result) and the owner's own
// handling stops there.
bool UpdateControlSkin(vcl::TMessage& m, TsCommonData* data);
// The messages every skinned owner hands its skin state before its own handling: skin
// commands, focus, mouse, size, move, enabling, visibility. True when the message is used up.
bool CommonWndProc(vcl::TMessage& m, TsCommonData* data);

// Copies `r` of the cache image, from `src` on, into `dc`, leaving out the child controls that
// paint themselves. With `repaint` the borders are first repainted into the cache.
void CopyCacheBorderToDC(vcl::TControl* control, TsCommonData* data, vcl::TPoint src, int dx,
                         int dy, bool repaint, win::HDC dc, const vcl::TRect& r);
// The same for a bare window; its visible child windows are left out (of a group box only its
// frame).
void CopyCacheBorderToWndDC(win::HWND wnd, TsCommonData* data, vcl::TPoint src, int dx, int dy,
                            bool repaint, win::HDC dc, const vcl::TRect& r);

// --- TsBoundLabel: the caption an edit-like control keeps beside itself ---
//
// While Active it owns a label (owned by the edit, on the edit's parent, focusing the edit) and
// keeps it placed by Layout: left of the edit, centred on its height, 4 pixels plus Indent
// away; or above it, at its left, centre or right, Indent pixels away. With MaxWidth the label
// wraps within that width. The edit passes its messages on (FollowEdit), so the label shows,
// hides, enables and moves with it.
enum TsCaptionLayout : uint8_t { sclLeft, sclTopLeft, sclTopCenter, sclTopRight };

class TsBoundLabel : public vcl::TPersistent {
public:
    VCL_CLASS_PUBLISHED(TsBoundLabel, vcl::TPersistent)
    // `owner` is the edit's skin state; its owner control is the edit.
    explicit TsBoundLabel(TsCommonData* owner);
    ~TsBoundLabel() override;

    bool Active() const { return active_; }
    void SetActive(bool on);
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // The label's font while it exists, else the one it will get.
    vcl::TFont* Font() const;
    void SetFont(const vcl::TFont* font);
    int Indent() const { return indent_; }
    void SetIndent(int indent);
    TsCaptionLayout Layout() const { return layout_; }
    void SetLayout(TsCaptionLayout layout);
    // 0: no limit.
    int MaxWidth() const { return maxWidth_; }
    void SetMaxWidth(int width);
    // The label's own flag (a published "UseSkinColor" of the label); true without a label.
    bool UseSkinColor() const;
    void SetUseSkinColor(bool on);

    vcl::TCustomLabel* Label() const { return label_; }
    vcl::TControl* Edit() const;
    vcl::TPersistent* GetOwner() const override;

    // Places the label beside the edit (when it exists and is visible).
    void AlignLabel();
    // The label's text alignment from Layout.
    void UpdateAlignment();
    // Called by the edit after its own handling of `message`: the label follows its
    // visibility, enabling and place. A disabled edit whose look is blended greys its label.
    void FollowEdit(const vcl::TMessage& message, TsDisabledKind disabledKind);
    // The label tells its bound label that it is being freed.
    void LabelGone(vcl::TCustomLabel* label);

private:
    TsCommonData* owner_;
    vcl::TCustomLabel* label_ = nullptr;
    bool active_ = false;
    int maxWidth_ = 0;
    std::string caption_;
    TsCaptionLayout layout_ = sclLeft;
    std::unique_ptr<vcl::TFont> font_;
    bool fontSet_ = false;  // the label takes font_ rather than its parent's
    int indent_ = 0;
};

}  // namespace skin
