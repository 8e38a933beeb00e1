// BMP files, read from and written to memory.
//
// Read: BITMAPCOREHEADER, BITMAPINFOHEADER and its V2 to V5 successors; 1, 4 and 8 bits with
// a colour table (also run-length coded, RLE8 and RLE4), 16 bits (5-5-5 or bit fields), 24 and
// 32 bits (plain or bit fields); rows bottom-up or top-down. The result is a DIB section: indexed
// files keep their depth and table, 16-bit files become 24 bits (32 when they have an alpha mask),
// 32-bit files keep the fourth byte as alpha. Every length is checked against what the file holds;
// a damaged file gives a message, never a read past its end.
//
// Written: 24 or 32 bits, bottom-up, with a BITMAPINFOHEADER.
#pragma once

#include <cstddef>
#include <string>

#include "platform/gdi/win_types.h"

namespace win {

HBITMAP ReadBmp(const void* data, size_t size, std::string* error);
// bitsPerPixel 0 picks 32 for a 32-bit DIB section and 24 for everything else.
bool WriteBmp(HBITMAP bitmap, int bitsPerPixel, std::string* out);

}  // namespace win
