// Packed skins: the files of a skin (its "Options.dat" text and its pictures) in one blob.
//
//   "ASzf", i32 Count, then Count entries of: i32 NameLen, NameLen bytes of name (cp1251),
//   i32 Size, one zlib stream inflating to exactly Size bytes.
//
// All integers are little-endian. The next entry starts right after a stream's Adler-32
// trailer; the compressed length is not stored, so the reader finds it by inflating.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vcl/system/persistent.h"
#include "vcl/system/streams.h"

namespace skin {

using MemoryStreamPtr = std::unique_ptr<vcl::TMemoryStream, vcl::FreeDeleter>;

struct TacImageItem {
    std::string Name;      // as stored
    MemoryStreamPtr Data;  // inflated
};
using TacImageItems = std::vector<TacImageItem>;

class TacSkinConvertor : public vcl::TPersistent {
public:
    VCL_CLASS(TacSkinConvertor, vcl::TPersistent)
    ~TacSkinConvertor() override;

    int32_t ImageCount = 0;  // the number of image entries
    TacImageItems Files;     // the image entries in file order
    MemoryStreamPtr Options;

    // The blob being read. A stream lent by the caller is never freed here, also not on failure;
    // one that ReadPackedSkinFile loaded is owned.
    vcl::TStream* PackedData = nullptr;
    void LendPackedData(vcl::TStream* stream);
    void OwnPackedData(MemoryStreamPtr stream);
    bool OwnsPackedData() const { return owned_ != nullptr; }
    void ReleasePackedData();

    // The first image whose ASCII upper-cased name equals `upperName`, or null.
    const TacImageItem* FindImage(std::string_view upperName) const;

private:
    MemoryStreamPtr owned_;
};

// Empties the convertor and releases what it owns; a lent stream is only forgotten.
void ClearConvertor(TacSkinConvertor& c);

// Reads the convertor's PackedData, from its start, into its options and images. A blob without the
// signature clears and frees the convertor (the variable becomes null) and raises ESkinPackError; a
// blob that ends early raises EReadError, damaged deflate data or an entry of another size than it
// states EZDecompressionError. The entries read before a failure stay.
void ExtractPackedSkin(std::unique_ptr<TacSkinConvertor>& c);

// When the file exists: loads it into a cleared (or new) convertor and extracts it; with
// `freePackedData` the loaded blob is released afterwards. A missing file changes nothing.
void ReadPackedSkinFile(const std::string& fileName, std::unique_ptr<TacSkinConvertor>& c,
                        bool freePackedData);

}  // namespace skin
