// Shared machinery of the block transfers (internal to platform/gdi).
#pragma once

#include <vector>

#include "platform/gdi/dc_impl.h"

namespace win::detail {

// A transfer from a source bitmap to a DC's target, with the geometry worked out.
struct Transfer {
    Dc* dst = nullptr;
    Bitmap* target = nullptr;
    Dc* srcDc = nullptr;
    std::shared_ptr<Bitmap> source;  // a private copy when source and target are one bitmap
    RECT full{};                     // the destination rectangle, target coordinates, normalised
    RECT dstRect{};                  // the part of it whose pixels have a source pixel
    int srcLeft = 0, srcTop = 0;     // the source rectangle, source coordinates, normalised
    int srcWidth = 0, srcHeight = 0;
    bool mirrorX = false, mirrorY = false;
    std::vector<int> xmap;  // nearest source column of each column of `full` (-1: none)
    std::vector<int> ymap;  // nearest source row of each row of `full`

    int SourceRow(int y) const { return ymap[size_t(y - full.top)]; }
    const int* SourceColumns(int x) const { return xmap.data() + (x - full.left); }
};

// Sets up a transfer from logical rectangles (a negative size on one side mirrors); false when
// there is nothing to draw. Without a source DC only the destination is set up. The callers have
// looked the DCs up already; the transfer holds them by pointer while it runs.
bool PrepareTransfer(Transfer& t, Dc* dst, int x, int y, int w, int h, Dc* src, int sx, int sy,
                     int sw, int sh);

// The nearest source pixels of target row y over columns [x0, x1), with the monochrome rules.
void SampleRow(const Transfer& t, int y, int x0, int x1, Pixel* out);

// A monochrome source draws its black in the target DC's text colour and its white in its
// background colour; a colour source drawn into a monochrome target gives white where it
// matches the source DC's background colour and black elsewhere.
void MapMono(const Transfer& t, Pixel* row, int n);

// A resized copy in the same format: area averaging (alpha included) or the nearest pixel.
std::shared_ptr<Bitmap> StretchCopy(const std::shared_ptr<Bitmap>& src, int w, int h, bool average);

// The transfers' loops with a fast form (16 bytes at a time, narrow sums) keep their plain form
// beside it; switched off, every transfer takes the plain forms, so that the tests compare both.
bool FastPaths();
void SetFastPaths(bool on);

}  // namespace win::detail
