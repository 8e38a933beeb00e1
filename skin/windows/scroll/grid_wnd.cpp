#include "skin/windows/scroll/grid_wnd.h"

#include <algorithm>

#include "platform/gdi/dc.h"

#include "skin/core/pixels/blend.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"

namespace skin {
namespace {

// A grid of another component set with its own idea of the end of a drag.
bool WwGrid(const vcl::TControl* c) {
    return c && c->ClassName() == "TwwDBGrid";
}

}  // namespace

vcl::TColor FixedLineColorOf(const TsSkinManager* m) {
    return BlendTwoColors(vcl::ColorToRGB(m->GetGlobalFontColor()),
                          vcl::ColorToRGB(m->GetGlobalColor()), 0.3);
}

namespace {

// Each colour a grid may take from the skin, by the name the grid publishes it under.
struct SkinnedColor {
    const char* name;
    vcl::TColor (*of)(const TsSkinManager* m, const TsGeneralData* section);
};

const SkinnedColor kSkinnedColors[] = {
    {"FixedColor",
     [](const TsSkinManager* m, const TsGeneralData*) -> vcl::TColor {
         return m->GetGlobalColor();
     }},
    {"FixedLineColor",
     [](const TsSkinManager* m, const TsGeneralData*) -> vcl::TColor {
         return FixedLineColorOf(m);
     }},
    // The fixed cells shaded from the skin's hot tint down to its face, and below the middle
    // from a touch darker to a touch lighter than the face: a header that reads as raised
    // without the classic edge.
    {"FixedGradientFrom",
     [](const TsSkinManager* m, const TsGeneralData*) -> vcl::TColor {
         return BlendTwoColors(m->GetGlobalColor(), m->GetGlobalHotColor(), 0.5);
     }},
    {"FixedGradientTo",
     [](const TsSkinManager* m, const TsGeneralData*) -> vcl::TColor {
         return m->GetGlobalColor();
     }},
    {"FixedGradientMirrorFrom",
     [](const TsSkinManager* m, const TsGeneralData*) -> vcl::TColor {
         return BlendTwoColors(m->GetGlobalColor(), vcl::clBlack, 0.95);
     }},
    {"FixedGradientMirrorTo",
     [](const TsSkinManager* m, const TsGeneralData*) -> vcl::TColor {
         return BlendTwoColors(m->GetGlobalColor(), vcl::clWhite, 0.9);
     }},
    {"SelectionColor",
     [](const TsSkinManager* m, const TsGeneralData*) -> vcl::TColor {
         return m->GetHighlightColor();
     }},
    {"SelectionTextColor",
     [](const TsSkinManager* m, const TsGeneralData*) -> vcl::TColor {
         return m->GetHighlightFontColor();
     }},
    {"IndicatorIconColor",
     [](const TsSkinManager* m, const TsGeneralData* s) -> vcl::TColor {
         return s ? vcl::TColor(s->FontColor) : m->GetGlobalFontColor();
     }},
};

}  // namespace

void TacGridWnd::SaveStdParams() {
    TacEditWnd::SaveStdParams();
    Saved.clear();
    vcl::TControl* c = SkinData ? SkinData->OwnerControl() : nullptr;
    if (!c) return;
    for (const SkinnedColor& k : kSkinnedColors)
        if (vcl::IsPublishedProp(c, k.name)) Saved.emplace_back(k.name, vcl::GetOrdProp(c, k.name));
}

void TacGridWnd::RestoreStdParams() {
    TacEditWnd::RestoreStdParams();
    vcl::TControl* c = SkinData ? SkinData->OwnerControl() : nullptr;
    if (!c || c->ComponentState().Contains(vcl::csDestroying)) return;
    for (const auto& [name, value] : Saved)
        vcl::SetOrdProp(c, name, value);
}

void TacGridWnd::SetSkinParams() {
    TacEditWnd::SetSkinParams();
    vcl::TControl* c = SkinData ? SkinData->OwnerControl() : nullptr;
    TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
    if (!c || !m) return;
    const TsGeneralData* section = m->IsValidSkinIndex(SkinData->SkinIndex)
                                       ? &m->Sections()[size_t(SkinData->SkinIndex)]
                                       : nullptr;
    for (const SkinnedColor& k : kSkinnedColors)
        if (vcl::IsPublishedProp(c, k.name)) vcl::SetOrdProp(c, k.name, k.of(m, section));
}

void TacGridWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (Unhooked || !Skinned()) {
        TacEditWnd::AdapterWindowProc(m);
        return;
    }
    vcl::TControl* c = SkinData->OwnerControl();
    if (m.Msg == SM_ALPHACMD && SkinCommandCode(m.WParam) == SKC_REMOVESKIN &&
        m.LParam == reinterpret_cast<intptr_t>(SkinData->SkinManager()) && c &&
        vcl::IsPublishedProp(c, "ScrollBars")) {
        TacEditWnd::AdapterWindowProc(m);
        // Off and on again: the grid lays its system bars out anew.
        int64_t bars = vcl::GetOrdProp(c, "ScrollBars");
        vcl::SetOrdProp(c, "ScrollBars", 0);
        vcl::SetOrdProp(c, "ScrollBars", bars);
        return;
    }
    const bool data = m.Msg == win::WM_VSCROLL && c && vcl::IsPublishedProp(c, "DataSource");
    if (data) DataScrollBefore(m);
    TacEditWnd::AdapterWindowProc(m);
    if (Unhooked) return;
    if (data) DataScrollAfter(m);
    if (m.Msg == win::WM_PRINT && m.WParam && m.Result != 2)
        PrintClient(reinterpret_cast<win::HDC>(m.WParam));
    if (m.Msg == win::WM_WINDOWPOSCHANGED && win::IsWindowVisible(CtrlHandle))
        win::SendMessageA(CtrlHandle, win::WM_NCPAINT, 0, 0);
}

// The grid moves to the record the bar's position names. The thumb's last tracked position is
// that record itself (the bar spans the records from 1): one more would leave the grid a
// record past the place the thumb was let go.
void TacGridWnd::DataScrollBefore(const vcl::TMessage& m) {
    const int code = win::LOWORD(m.WParam);
    if (code != win::SB_THUMBTRACK && code != win::SB_THUMBPOSITION) return;
    win::SCROLLINFO si;
    si.fMask = win::SIF_POS;
    si.nPos = VBar.ScrollInfo.nTrackPos;
    win::SetScrollInfo(CtrlHandle, win::SB_VERT, &si, win::FALSE);
}

void TacGridWnd::DataScrollAfter(const vcl::TMessage& m) {
    if (win::LOWORD(m.WParam) != win::SB_ENDSCROLL || WwGrid(SkinData->OwnerControl())) return;
    const int pos = VBar.ScrollInfo.nTrackPos;
    win::SendMessageA(CtrlHandle, win::WM_VSCROLL,
                      win::MAKEWPARAM(win::SB_THUMBPOSITION, uint16_t(std::clamp(pos, 0, 65535))), 0);
}

// The class-library grid paints its cells only on WM_PAINT: the print DC is given to it with
// the origin at the client's corner and clipped to the client less the bars.
void TacGridWnd::PrintClient(win::HDC dc) {
    win::RECT wr{}, cr{};
    win::GetWindowRect(CtrlHandle, &wr);
    win::GetClientRect(CtrlHandle, &cr);
    win::POINT o{0, 0};
    win::ClientToScreen(CtrlHandle, &o);
    const int saved = win::SaveDC(dc);
    win::OffsetViewportOrgEx(dc, o.x - wr.left, o.y - wr.top, nullptr);
    win::IntersectClipRect(dc, 0, 0, cr.right, cr.bottom);
    win::SendMessageA(CtrlHandle, win::WM_PAINT, reinterpret_cast<uintptr_t>(dc), 0);
    win::RestoreDC(dc, saved);
}

}  // namespace skin
