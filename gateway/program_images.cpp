#include "gateway/program_images.h"

#include <memory>
#include <string>

#include "skin/core/pixels/png_graphic.h"
#include "vcl/graphics/icon.h"
#include "vcl/graphics/image_list.h"
#include "vcl/graphics/picture.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/resources.h"

namespace gateway {

// Generated from gateway/images at build time.
void RegisterProgramImageResources();

namespace {

// The resource of each index, in index order.
constexpr const char* kImageNames[piCount] = {
    "document-new",     "import",
    "export",           "edit-clear",
    "add_row",          "delete_row",
    "add_column",       "delete_column",
    "edit-find",        "mail-forward",
    "document-open",    "document-save",
    "network-wireless", "x-office-address-book",
    "help-browser",     "dialog-information",
    "system-log-out",   "accessories-text-editor",
    "system-search",    "view-refresh",
    "edit-delete",
};

std::unique_ptr<skin::TPNGGraphic, vcl::FreeDeleter> LoadPicture(const std::string& name) {
    RegisterProgramImageResources();
    std::unique_ptr<skin::TPNGGraphic, vcl::FreeDeleter> png(vcl::New<skin::TPNGGraphic>());
    vcl::TResourceStream stream(name);
    png->LoadFromStream(&stream);
    return png;
}

}  // namespace

void FillProgramImages(vcl::TCustomImageList* list) {
    list->Clear();
    list->SetSize(kProgramImageSize, kProgramImageSize);
    for (const char* name : kImageNames) {
        auto png = LoadPicture(name);
        if (list->Add(png.get(), nullptr) < 0)
            throw vcl::EInvalidGraphic(std::string("Program picture not added: ") + name);
    }
}

void LoadSignalPicture(int level, vcl::TPicture* picture) {
    if (level < 0 || level >= kSignalLevels)
        throw vcl::EInvalidOperation("Signal level out of range: " + std::to_string(level));
    picture->SetGraphic(LoadPicture("signal_" + std::to_string(level)).get());
}

void LoadProgramIcon(vcl::TIcon* icon) {
    RegisterProgramImageResources();
    vcl::TResourceStream stream("program");
    icon->LoadFromStream(&stream);
}

}  // namespace gateway
