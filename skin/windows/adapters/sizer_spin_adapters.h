// The size grip adapter: the skin's grip image at the bottom-right corner over the parent's
// background, painted into the skin state's cache and copied to the window in one go.
#pragma once

#include "skin/windows/adapters/window_adapter.h"

namespace skin {

struct TsMaskData;

class TacSizerWnd : public TacMainWnd {
public:
    void AdapterWindowProc(vcl::TMessage& m) override;

private:
    TsSkinManager* Manager() const;
    // The skin's grip image; without one the window keeps its own look.
    const TsMaskData* Grip() const;
    void Paint(win::HDC dc, const TsMaskData& grip);
};

}  // namespace skin
