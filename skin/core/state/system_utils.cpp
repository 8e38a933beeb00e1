#include "skin/core/state/system_utils.h"

#include "platform/os/cp1251.h"
#include "platform/os/files.h"
#include "platform/user/system_metrics.h"
#include "skin/core/state/neighbour_services.h"

namespace skin {

std::string GetAppPath() {
    return os::TryUtf8ToCp1251(os::ExecutableDir()).value_or(std::string());
}

win::HICON GetFileIcon(const std::string& /*fileName*/, unsigned /*flags*/) {
    return nullptr;
}

namespace {

bool CaptionFont(win::LOGFONTA& font) {
    win::NONCLIENTMETRICSA metrics;
    if (!win::SystemParametersInfoA(win::SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return false;
    font = metrics.lfCaptionFont;
    return true;
}

}  // namespace

int GetCaptionFontHeight() {
    win::LOGFONTA font{};
    return CaptionFont(font) ? font.lfHeight : 0;
}

win::HFONT CreateCaptionFont() {
    win::LOGFONTA font{};
    return CaptionFont(font) ? win::CreateFontIndirectA(&font) : nullptr;
}

void ShowErrorMessage(const std::string& text) {
    Neighbours().ShowMessage(text, mdError);
}

}  // namespace skin
