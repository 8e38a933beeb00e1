// The pictures of a skin: the master bitmap named by GLOBALINFO's MASTERBITMAP, the masks (one
// per image key of every section: a rectangle of the master bitmap or a picture of its own) and
// the patterns (large JPEG pictures; small ones become texture masks).
//
// Image keys, by their first character (positions count from 1, the prefix being 1; the fixed
// fields are decimal and skins write the prefix between them):
//   "~" texture of the master bitmap: 2-5 left, 7-10 top, 12-15 right, 17-20 bottom,
//       22-23 StretchMode, 25 MaskType when the value is longer than 24 characters
//   "@" glyph of the master bitmap: the rectangle, 22 ImageCount, 24 MaskType
//   "^" border mask of the master bitmap: the rectangle, 22-25 WL, 27-30 WT, 32-35 WR,
//       37-40 WB, 42 ImageCount, 44 MaskType, 46 StretchMode, 48 BorderWidth
//   "!" own picture: "!" separated words: file, ImageCount, MaskType, image type[, WL, WT, WR,
//       WB]; a ".BMP" or ".PNG" file, else not an image
//   "#" anywhere: "#(left,top,right,bottom)(ImageCount,MaskType[,BorderWidth[,StretchMode]])"
//   ".BMP" in the upper-cased value: a BMP file of three states over a picture and its mask
//   anything else is not an image.
//
// Rules:
//  1. Files: a packed skin's entries are found by their upper-cased names; the name is taken as
//     written for MASTERBITMAP and "!" values (so skins write those in upper case) and
//     upper-cased for the other forms. In a folder skin, "\" and "/" both separate folders, a
//     name that begins with one is a full path, one that holds ":" (a drive) names no file,
//     any other lies in the skin's folder, and a name not found as written is found ignoring ASCII case.
//  2. Missing files and pictures 0 pixels wide are skipped silently; a number that is cut short
//     or not a number raises EConvertError, and a picture that cannot be decoded its decoder's
//     error, each with its place appended; the load then ends.
//  3. Borders that a skin leaves at 0 are computed from the state size, counting at least one
//     image and one row; the records keep ImageCount and MaskType as read.
//  4. Array order: the skin's own images in file order, then those of the common sections, then
//     the texture masks made of small JPEG pictures.
//  5. Each file is read and decoded once per load; every key naming it shares that picture (and
//     its one 24-bit copy). The decoded pictures of a load take at most the source's
//     PictureBudget; the picture that passes it, or a folder file larger than what is left,
//     fails the load with EOutOfResources and its place. A file found but not readable fails
//     the load too.
#pragma once

#include "skin/core/data/skin_content.h"
#include "skin/core/data/skin_source.h"

namespace skin {

// Empties the masks, the master bitmap and the patterns and builds them from the source; JPEG
// pictures below 90,000 pixels become texture masks.
void LoadSkinPictures(TsSkinContent& skin, const SkinSource& source);

}  // namespace skin
