#include "vcl/graphics/picture.h"

#include <map>
#include <mutex>

#include "vcl/graphics/bitmap.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/format.h"
#include "vcl/graphics/icon.h"
#include "vcl/graphics/jpeg_image.h"
#include "vcl/system/streams.h"
#include "vcl/system/sysutils.h"

namespace vcl {

void TGraphic::SetTransparent(bool on) {
    if (on == transparent_) return;
    transparent_ = on;
    Changed();
}

void TGraphic::Changed() {
    Modified = true;
    OnChange(this);
}

void TGraphic::Progress(TObject* sender, TProgressStage stage, uint8_t percentDone, bool redrawNow,
                        const TRect& r, const std::string& msg) {
    OnProgress(sender, stage, percentDone, redrawNow, r, msg);
}

void TGraphic::LoadFromFile(const std::string& fileName) {
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&f);
}

void TGraphic::SaveToFile(const std::string& fileName) {
    TFileStream f(fileName, fmCreate);
    SaveToStream(&f);
}

namespace {

struct Format {
    std::string description;
    TGraphicFactory factory;
};

struct Registry {
    std::mutex lock;
    std::map<std::string, Format> formats;  // lower-case extension -> class
    Registry() {
        formats["bmp"] = {"Bitmaps", [] { return static_cast<TGraphic*>(new TBitmap); }};
        auto jpeg = [] { return static_cast<TGraphic*>(new TJPEGImage); };
        formats["jpg"] = {"JPEG Image File", jpeg};
        formats["jpeg"] = {"JPEG Image File", jpeg};
        formats["ico"] = {"Icons", [] { return static_cast<TGraphic*>(new TIcon); }};
    }
};

Registry& TheRegistry() {
    static Registry r;
    return r;
}

std::string ExtensionOf(const std::string& fileName) {
    const auto dot = fileName.find_last_of('.');
    const auto slash = fileName.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && slash > dot)) return {};
    return fileName.substr(dot + 1);
}

}  // namespace

void RegisterFileFormat(const std::string& extension, const std::string& description,
                        TGraphicFactory factory) {
    Registry& r = TheRegistry();
    std::lock_guard g(r.lock);
    r.formats[LowerCase(extension)] = {description, std::move(factory)};
}

void UnregisterFileFormat(const std::string& extension) {
    Registry& r = TheRegistry();
    std::lock_guard g(r.lock);
    r.formats.erase(LowerCase(extension));
}

TGraphic* CreateGraphicForExtension(const std::string& extension) {
    TGraphicFactory factory;
    {
        Registry& r = TheRegistry();
        std::lock_guard g(r.lock);
        auto it = r.formats.find(LowerCase(extension));
        if (it == r.formats.end()) return nullptr;
        factory = it->second.factory;
    }
    return factory();
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Take(TGraphic* graphic) {
    graphic_.reset(graphic);
    if (graphic) graphic->OnChange = TNotifyEvent(this, &TPicture::GraphicChanged);
    OnChange(this);
}

void TPicture::GraphicChanged(TObject*) {
    OnChange(this);
}

void TPicture::SetGraphic(TGraphic* graphic) {
    if (!graphic) {
        Take(nullptr);
        return;
    }
    TGraphic* copy = graphic->NewInstance();
    copy->Assign(graphic);
    Take(copy);
}

TBitmap* TPicture::Bitmap() {
    if (auto* b = dynamic_cast<TBitmap*>(graphic_.get())) return b;
    Take(new TBitmap);
    return static_cast<TBitmap*>(graphic_.get());
}

int TPicture::Width() const {
    return graphic_ ? graphic_->Width() : 0;
}
int TPicture::Height() const {
    return graphic_ ? graphic_->Height() : 0;
}

void TPicture::LoadFromFile(const std::string& fileName) {
    const std::string ext = ExtensionOf(fileName);
    TGraphic* g = CreateGraphicForExtension(ext);
    if (!g) throw EInvalidGraphic(vcl::Format("Unknown picture file extension (.%s)", ext));
    try {
        g->LoadFromFile(fileName);
    } catch (...) {
        g->Free();
        throw;
    }
    Take(g);
}

void TPicture::SaveToFile(const std::string& fileName) {
    if (graphic_) graphic_->SaveToFile(fileName);
}

void TPicture::Assign(const TPersistent* source) {
    if (!source) {
        Take(nullptr);
    } else if (const auto* p = dynamic_cast<const TPicture*>(source)) {
        SetGraphic(p->graphic_.get());
    } else if (const auto* g = dynamic_cast<const TGraphic*>(source)) {
        SetGraphic(const_cast<TGraphic*>(g));
    } else {
        TPersistent::Assign(source);
    }
}

}  // namespace vcl
