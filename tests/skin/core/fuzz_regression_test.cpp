// Replays the inputs the fuzz targets found and started from: each must load or fail with one of
// the reader's declared errors, under the sanitizers like every test.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/os/files.h"
#include "skin/core/data/skin_pack.h"
#include "skin/core/fuzz/png_reuse_check.h"
#include "skin/core/fuzz/skin_load_input.h"
#include "skin/core/pixels/errors.h"
#include "skin/core/pixels/png_decoder.h"
#include "tests/support/temp_dir.h"

namespace skin {
namespace {

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(
             testing_support::TestDataDir() + "skin/fuzz/" + folder, ec)) {
        files.push_back(e.path().string());
    }
    return files;
}

TEST(FuzzRegression, PngInputsFailOnlyWithDeclaredErrorsAndLeaveNothingBehind) {
    for (const auto& file : FilesIn("png")) {
        SCOPED_TRACE(file);
        std::string data = *os::ReadWholeFile(file);
        PngDecoder decoder;
        PngImage image;
        try {
            decoder.Load(reinterpret_cast<const uint8_t*>(data.data()), data.size(), image);
        } catch (const vcl::EInvalidGraphic&) {
        } catch (const vcl::EReadError&) {
        } catch (const EGraphicCompression&) {
        } catch (const EColorConversionError&) {}
        // Among other pictures, through one decoder, as the fuzz target loads them.
        const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
        EXPECT_EQ(fuzz::CompareReusedLoads(fuzz::ReuseSequence(bytes, data.size())), "");
    }
}

TEST(FuzzRegression, PackedSkinInputsFailOnlyWithDeclaredErrors) {
    auto files = FilesIn("skin_pack");
    for (const auto& f : FilesIn("skin_pack_seeds"))
        files.push_back(f);
    EXPECT_GE(files.size(), 3u);
    for (const auto& file : files) {
        SCOPED_TRACE(file);
        std::string data = *os::ReadWholeFile(file);
        vcl::TStringStream stream(data);
        auto c = std::make_unique<TacSkinConvertor>();
        c->LendPackedData(&stream);
        try {
            ExtractPackedSkin(c);
        } catch (const ESkinPackError&) {
        } catch (const EZDecompressionError&) {
        } catch (const vcl::EReadError&) {}
    }
}

TEST(FuzzRegression, SkinLoadInputsFailOnlyWithDeclaredErrors) {
    auto files = FilesIn("skin_load");
    for (const char* folder : {"skin_load_seeds", "skin_load_large"}) {
        for (const auto& f : FilesIn(folder))
            files.push_back(f);
    }
    EXPECT_GE(files.size(), 3u);
    for (const auto& file : files) {
        SCOPED_TRACE(file);
        const std::string data = *os::ReadWholeFile(file);
        skin_fuzz::LoadSkinInput(reinterpret_cast<const uint8_t*>(data.data()), data.size());
    }
}

}  // namespace
}  // namespace skin
