#include "skin/controls/hints.h"

#include <algorithm>
#include <cmath>

#include "platform/user/system_metrics.h"
#include "skin/core/state/skin_manager.h"
#include "vcl/system/sysutils.h"

namespace skin {

using namespace vcl;

namespace {

TsAlphaHints* gCurrent = nullptr;

std::string Trimmed(const std::string& s) {
    const std::size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

}  // namespace

TsAlphaHints* CurrentAlphaHints() {
    return gCurrent;
}

// --- TacHintTemplate ---

std::vector<TPropInfo> TacHintTemplate::Published() {
    return {Property("Name", &TacHintTemplate::Name, &TacHintTemplate::SetName)};
}

TacHintTemplate::TacHintTemplate(TCollection* collection) : TCollectionItem(collection) {}

// --- TsAlphaHints ---

std::vector<TPropInfo> TsAlphaHints::Published() {
    using H = TsAlphaHints;
    return {Property("Active", &H::Active, &H::SetActive),
            Property("Animated", &H::Animated, &H::SetAnimated),
            Property("MaxWidth", &H::MaxWidth, &H::SetMaxWidth),
            Property("HTMLMode", &H::HTMLMode, &H::SetHTMLMode),
            Property("PauseHide", &H::PauseHide, &H::SetPauseHide),
            Property("SkinSection", &H::SkinSection, &H::SetSkinSection),
            Property("UseSkinData", &H::UseSkinData, &H::SetUseSkinData),
            Property("TemplateName", &H::TemplateName, &H::SetTemplateName)};
}

TsAlphaHints::TsAlphaHints(TComponent* owner)
    : TComponent(owner),
      templates_(New<TCollection>([](TCollection* c) { return new TacHintTemplate(c); })) {}

TsAlphaHints::~TsAlphaHints() {
    if (gCurrent == this) {
        gCurrent = nullptr;
        if (TApplication* app = Application()) {
            app->SetHintWindowClass({});
            app->OnShowHint = {};
        }
    }
    templates_->Free();
}

void TsAlphaHints::ChooseWindowClass() {
    if (ComponentState().Contains(csDesigning) || Tag() == -98) return;
    TApplication* app = Application();
    if (active_ && win::kLayeredWindowsAvailable && !ComponentState().Contains(csDestroying)) {
        gCurrent = this;
    } else if (gCurrent == this) {
        gCurrent = nullptr;
        if (app) app->SetHintWindowClass({});
    }
}

void TsAlphaHints::SetActive(bool on) {
    active_ = on;
    ChooseWindowClass();
}

void TsAlphaHints::SetPauseHide(int ms) {
    pauseHide_ = ms;
    if (!ComponentState().Contains(csDesigning))
        if (TApplication* app = Application()) app->HintHidePause = ms;
}

void TsAlphaHints::SetTemplateName(const std::string& name) {
    templateName_ = name;
    templateIndex_ = -1;
    const std::string wanted = Trimmed(name);
    for (int i = 0; i < templates_->Count(); ++i)
        if (Trimmed(static_cast<TacHintTemplate*>(templates_->Items(i))->Name()) == wanted) {
            templateIndex_ = i;
            return;
        }
}

bool TsAlphaHints::UsesSkinSection() const {
    const TsSkinManager* mgr = DefaultManager;
    return gCurrent == this && mgr && useSkinData_ && mgr->GetSkinIndex(skinSection_) >= 0;
}

void TsAlphaHints::Loaded() {
    TComponent::Loaded();
    if (skinSection_.empty()) skinSection_ = "HINT";
    if (ComponentState().Contains(csDesigning) || Tag() == -98) return;
    if (TApplication* app = Application()) {
        app->HintHidePause = pauseHide_;
        app->HintPause = 500;
        app->HintShortPause = 200;
    }
    ChooseWindowClass();
}

// --- placement and fading ---

int PlaceHint(TRect& r, TPoint at, int corner, const TRect& m, bool skinDrawn) {
    const int w = r.Width(), h = r.Height();
    int left = at.X, top = at.Y;
    if (corner == 1 || corner == 3) top -= h;
    if (corner == 2 || corner == 3) left -= w;
    bool below = corner == 0 || corner == 2, right = corner == 0 || corner == 1;
    bool moved = false;
    if (top + h > m.Bottom) {
        top = skinDrawn ? m.Bottom - h : at.Y - h;
        below = false;
        moved = true;
    }
    if (top < m.Top) {
        top = m.Top;
        below = true;
        moved = true;
    }
    if (left + w > m.Right) {
        if (skinDrawn) {
            left = m.Right - w;
        } else {
            left = at.X - w;
            top = at.Y - 16;
        }
        right = false;
        moved = true;
    }
    if (left < m.Left) {
        left = m.Left;
        right = true;
        moved = true;
    }
    r = Bounds(left, top, w, h);
    if (!moved) return corner;
    return below ? (right ? 0 : 2) : (right ? 1 : 3);
}

std::array<uint8_t, 12> HintFadeSteps(int t) {
    t = std::clamp(t, 0, 100);
    const double target = double(std::nearbyint((100 - t) * 2.55));  // halves to even
    std::array<uint8_t, 12> steps{};
    double alpha = 0;
    for (uint8_t& s : steps) {
        alpha += target / 12;
        s = uint8_t(std::clamp(std::nearbyint(alpha), 0.0, 255.0));
    }
    return steps;
}

}  // namespace skin
