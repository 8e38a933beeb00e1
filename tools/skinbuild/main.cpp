// skinbuild: builds the program's internal skin from skin/topaz.
//
//   skinbuild SKIN_DIR RESOURCE_DIR OUT.asz OUT_MANIFEST OUT.cpp
//       packs SKIN_DIR, checks the result as the program loads it, and writes the packed skin,
//       its manifest and the C++ source that builds the skin and every picture of
//       RESOURCE_DIR (NAME.png becomes the resource NAME: the shadows, the default button
//       glyphs, the gauge's light) into the program. Any fault fails with its list.
//   skinbuild --unpack FILE.asz DIR
//       writes a packed skin out as a skin folder; an entry whose name would leave DIR fails
//       the whole unpack before anything is written.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>

#include "platform/os/files.h"
#include "skin/core/data/internal_skin.h"
#include "skin/core/pixels/png_graphic.h"
#include "tools/skinbuild/skin_build.h"
#include "vcl/system/streams.h"

namespace {

std::string ReadAll(const std::string& path) {
    auto data = os::ReadWholeFile(path);
    if (!data) throw std::runtime_error("skinbuild: cannot read " + path);
    return *data;
}

void Write(const std::string& path, const std::string& data) {
    if (!os::WriteFileAtomically(path, data)) {
        throw std::runtime_error("skinbuild: cannot write " + path);
    }
}

// A picture must be a PNG with alpha.
std::string AlphaPicture(const std::string& path) {
    std::string data = ReadAll(path);
    vcl::TStringStream stream(data);
    std::unique_ptr<skin::TPNGGraphic, vcl::FreeDeleter> png(new skin::TPNGGraphic);
    png->LoadFromStream(&stream);
    if (png->PixelFormat() != vcl::pf32bit || png->Width() == 0) {
        throw std::runtime_error("skinbuild: " + path + " is not a 32-bit picture with alpha");
    }
    return data;
}

int Build(const std::string& skinDir, const std::string& resourceDir, const std::string& asz,
          const std::string& manifest, const std::string& source) {
    const auto files = skinbuild::ReadSkinFolder(skinDir);
    const std::string blob = skinbuild::PackSkin(files);
    skin::TsSkinContent content;
    skinbuild::LoadPackedSkin(blob, content);
    const auto faults = skinbuild::CheckSkin(content);
    for (const std::string& f : faults)
        std::fprintf(stderr, "skinbuild: %s\n", f.c_str());
    if (!faults.empty()) return 1;
    Write(asz, blob);
    Write(manifest, skinbuild::Manifest(files, content));
    std::vector<skinbuild::Resource> resources{{skin::kInternalSkinResource, blob}};
    std::vector<std::filesystem::path> pictures;
    for (const auto& entry : std::filesystem::directory_iterator(resourceDir))
        if (entry.path().extension() == ".png") pictures.push_back(entry.path());
    std::sort(pictures.begin(), pictures.end());  // the same source from every checkout
    for (const auto& path : pictures)
        resources.push_back({path.stem().string(), AlphaPicture(path.string())});
    Write(source, skinbuild::ResourceSource(resources));
    return 0;
}

int Unpack(const std::string& asz, const std::string& dir) {
    skinbuild::WriteSkinFolder(skinbuild::UnpackSkin(ReadAll(asz)), dir);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        if (args.size() == 3 && args[0] == "--unpack") return Unpack(args[1], args[2]);
        if (args.size() == 5) return Build(args[0], args[1], args[2], args[3], args[4]);
        std::fprintf(stderr,
                     "usage: skinbuild SKIN_DIR RESOURCE_DIR OUT.asz OUT_MANIFEST OUT.cpp\n"
                     "       skinbuild --unpack FILE.asz DIR\n");
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "skinbuild: %s\n", e.what());
        return 1;
    }
}
