// Halos: a soft glow around a hot control or title button, shown as a borderless layered tool
// window that lets clicks through, painted from a skin mask.
#pragma once

#include <memory>
#include <string>

#include "platform/user/win_types.h"
#include "vcl/system/types.h"

namespace vcl {
class TBitmap;
class TForm;
}  // namespace vcl

namespace skin {

class TsSkinManager;

class TacGlowEffect {
public:
    TacGlowEffect(TsSkinManager* manager, int maskIndex, int margin);
    ~TacGlowEffect();
    TacGlowEffect(const TacGlowEffect&) = delete;
    TacGlowEffect& operator=(const TacGlowEffect&) = delete;

    // Shows the glow round `wndRect` (screen), cut to `clipRect` (screen), above `anchor`'s
    // level: a topmost anchor makes a topmost glow.
    void Show(const vcl::TRect& wndRect, const vcl::TRect& clipRect, win::HWND anchor);
    win::HWND Window() const;

private:
    // The mask over a fully transparent 32-bit picture of this size.
    std::unique_ptr<vcl::TBitmap> PrepareImage(int width, int height) const;

    TsSkinManager* manager_;
    int maskIndex_;
    int margin_;
    vcl::TForm* form_ = nullptr;
};

// The neighbour-service routines; ids grow for the life of the process and are never reused,
// so a control that kept the id of a glow cleared since cannot free another control's glow.
int ShowGlow(const vcl::TRect& wndRect, const vcl::TRect& clipRect, const std::string& section,
             TsSkinManager* manager, win::HWND parent, uint8_t alpha, int margin,
             const std::string& mask);
// Nothing for -1 or an id that is gone.
void HideGlow(int id);
void ClearGlows();
// How many glows are shown now.
int GlowCount();
// The glow `id`, or null.
TacGlowEffect* FindGlow(int id);

// Fills the glow slots of the neighbour services. Idempotent.
void InitGlows();

}  // namespace skin