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
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skin {

struct TacImageItem {
    std::string Name;  // as stored
    std::string Data;  // inflated
};
using TacImageItems = std::vector<TacImageItem>;

class TacSkinConvertor {
public:
    int32_t ImageCount = 0;  // the number of image entries
    TacImageItems Files;     // the image entries in file order
    std::optional<std::string> Options;
    // The blob being read: lent by the caller (never freed here) or loaded from a file.
    std::string_view PackedData;
    std::string OwnPackedData;

    // The first image whose ASCII upper-cased name equals `upperName`, or null.
    const TacImageItem* FindImage(std::string_view upperName) const;
};

// Empties the convertor and releases what it owns; a lent blob is only forgotten.
void ClearConvertor(TacSkinConvertor& c);

// Reads the convertor's PackedData into its options and images. A blob without the signature
// clears and frees the convertor (the variable becomes null) and raises ESkinPackError; a blob
// that ends early raises EReadError, damaged deflate data or an entry of another size than it
// states EZDecompressionError. The entries read before a failure stay.
void ExtractPackedSkin(std::unique_ptr<TacSkinConvertor>& c);

// When the file exists: loads it into a cleared (or new) convertor and extracts it; with
// `freePackedData` the loaded blob is released afterwards. A missing file changes nothing.
void ReadPackedSkinFile(const std::string& fileName, std::unique_ptr<TacSkinConvertor>& c,
                        bool freePackedData);

}  // namespace skin
