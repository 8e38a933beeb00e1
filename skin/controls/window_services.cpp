#include "skin/controls/window_services.h"

#include "skin/controls/labels.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/neighbour_services.h"
#include "vcl/controls/controls.h"

namespace skin {

namespace {

// The look changes without a fade.
void RepaintNow(FadePtr& fade, TsCommonData* data) {
    fade.reset();
    if (!data) return;
    data->CacheStale = true;
    if (vcl::TControl* c = data->OwnerControl()) c->Repaint();
    ShowGlowingIfNeeded(data);
}

WindowServices Defaults() {
    WindowServices s;
    s.UpdateEditWndAdapter = [](TsCommonData*, AdapterPtr& adapter) { adapter.reset(); };
    s.UpdateScrollWndAdapter = [](TsCommonData*, AdapterPtr& adapter) { adapter.reset(); };
    s.IsAnimEventAllowed = [](TacAnimatEvent, TacAnimatEvents, TsSkinManager*) { return false; };
    s.ChangeStateAnimated = [](FadePtr& fade, TsCommonData* data, bool, int, bool) {
        if (data && IsControlSkinned(data)) RepaintNow(fade, data);
    };
    s.StartControlFade = [](FadePtr& fade, TsCommonData* data, bool, int) {
        RepaintNow(fade, data);
    };
    s.StartAnimFade = [](FadePtr& fade, TsCommonData* data, bool,
                         const std::function<void()>& rebuild) {
        fade.reset();
        if (rebuild) rebuild();
        if (data && data->OwnerControl()) data->OwnerControl()->Repaint();
    };
    s.StopControlFade = [](FadePtr& fade) { fade.reset(); };
    s.CreateComboListAdapter = [](win::HWND, bool, bool, const std::string&, TsSkinManager*) {
        return AdapterPtr();
    };
    s.ReleaseControlScrollAdapter = [](AdapterPtr& adapter) { adapter.reset(); };
    s.LastTrackPosition = [](const TacControlAdapter*) { return -1; };
    return s;
}

}  // namespace

WindowServices& WindowSlots() {
    static WindowServices services = Defaults();
    return services;
}

void ResetWindowServices() {
    WindowSlots() = Defaults();
}

int PresentState(const TsCommonData* data) {
    if (!data) return 0;
    if (auto* s = dynamic_cast<const TsStatefulControl*>(data->OwnerControl()))
        return s->CurrentState();
    return ControlIsActive(data) ? 1 : 0;
}

void InitSkinControls() {
    NeighbourServices& n = Neighbours();
    n.CreateEditLabel = [](vcl::TControl* edit, TsBoundLabel* bound) -> vcl::TCustomLabel* {
        return vcl::New<TsEditLabel>(edit, bound);
    };
    n.RepaintCacheBorders = [](TsCommonData* data) {
        if (data) PaintCtrlBorders(data, PresentState(data));
    };
}

}  // namespace skin
