#include "skin/core/state/library_startup.h"

#include "platform/user/system_metrics.h"
#include "skin/core/data/constants.h"
#include "skin/core/pixels/png_graphic.h"
#include "skin/core/pixels/text_utils.h"
#include "skin/core/state/hooked_forms.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "vcl/controls/dialogs.h"
#include "vcl/system/resources.h"
#include "vcl/system/sysutils.h"

namespace skin {

bool IsNTFamily = true;
bool GlowDisabledByWow64 = false;

namespace {

bool gLayered = win::kLayeredWindowsAvailable;
int gStarts = 0;
std::vector<std::string> gTrace;

TPNGGraphic* LoadResourcePng(const char* name) {
    vcl::TResourceStream stream(name);
    auto* png = new TPNGGraphic;
    try {
        png->LoadFromStream(&stream);
    } catch (...) {
        png->Free();
        throw;
    }
    return png;
}

void InitSkinManagerUnit() {
    // The platform id travels in the top bit of GetVersion: clear for the NT family.
    IsNTFamily = (win::GetVersion() & 0x80000000u) == 0;
    BuiltInShadowActive = LoadResourcePng("acSHDA");
    BuiltInShadowInactive = LoadResourcePng("acSHDI");
    for (int i = 1; i <= vcl::ParamCount(); ++i) {
        if (vcl::LowerCase(vcl::ParamStr(i)) == "/acver") {
            vcl::ShowMessage(kVersionBanner);
            break;
        }
    }
}

void FinalizeSkinManagerUnit() {
    vcl::FreeAndNil(BuiltInShadowActive);
    vcl::FreeAndNil(BuiltInShadowInactive);
}

struct Unit {
    const char* Name;
    void (*Init)();
    void (*Done)();
};

void Nothing() {}

// The order of the program's unit table.
const Unit kUnits[] = {
    {"sConst", [] { InitConstUnit(); }, Nothing},
    {"sMessages", [] { InitMessagesUnit(); }, Nothing},
    // The class library registers "jpg" and "jpeg" itself.
    {"jpeg", Nothing, Nothing},
    // The drawing layer always has its gradient fill.
    {"sGradient", Nothing, Nothing},
    {"sMaskData", Nothing, Nothing},
    {"graphics utilities", [] { gLayered = win::kLayeredWindowsAvailable; }, Nothing},
    // Visual themes are the windowing layer's no-op.
    {"sVclUtils", Nothing, Nothing},
    {"sSkinData", InitSkinDataUnit, FinalizeSkinDataUnit},
    {"acPNG", RegisterPngFormat, UnregisterPngFormat},
    {"utilities",
     [] { GlowDisabledByWow64 = RunsUnderWow64() && !Neighbours().IsDwmCompositionEnabled(); },
     Nothing},
    {"sSkinManager", InitSkinManagerUnit, FinalizeSkinManagerUnit},
};

}  // namespace

bool LayeredWindowsAvailable() {
    return gLayered;
}

void SetLayeredWindowsAvailable(bool on) {
    gLayered = on;
}

void InitSkinLibrary() {
    if (gStarts++ > 0) return;
    gTrace.clear();
    size_t done = 0;
    try {
        for (; done < std::size(kUnits); ++done) {
            kUnits[done].Init();
            gTrace.push_back(std::string("init ") + kUnits[done].Name);
        }
    } catch (...) {
        // The units that started are cleaned up again; the library stays down.
        while (done-- > 0)
            kUnits[done].Done();
        gStarts = 0;
        throw;
    }
}

void FinalizeSkinLibrary() {
    if (gStarts == 0 || --gStarts > 0) return;
    for (size_t i = std::size(kUnits); i-- > 0;) {
        kUnits[i].Done();
        gTrace.push_back(std::string("done ") + kUnits[i].Name);
    }
}

int SkinLibraryStarts() {
    return gStarts;
}

std::vector<std::string> SkinLibraryUnits() {
    std::vector<std::string> names;
    for (const Unit& u : kUnits)
        names.push_back(u.Name);
    return names;
}

const std::vector<std::string>& SkinLibraryTrace() {
    return gTrace;
}

}  // namespace skin
