// The program's pictures, built into the executable as 16 x 16 PNG icons with alpha: the main
// window's shared image list (AlphaImageList), whose indexes the forms name, and the six
// pictures of the modem's signal level.
#pragma once

namespace vcl {
class TCustomImageList;
class TIcon;
class TPicture;
}  // namespace vcl

namespace gateway {

// Indexes into the shared image list.
enum TProgramImage : int {
    piNewList = 0,
    piImport = 1,
    piExport = 2,
    piClear = 3,
    piAddRow = 4,
    piDeleteRow = 5,
    piAddColumn = 6,
    piDeleteColumn = 7,
    piCheckErrors = 8,
    piStartMailing = 9,
    piLoad = 10,
    piSave = 11,
    piChoosePort = 12,
    piManageLists = 13,
    piHelp = 14,
    piAbout = 15,
    piExit = 16,
    piJournal = 17,
    piFilter = 18,
    piRefresh = 19,
    piDeleteRecords = 20,
    piCount
};

inline constexpr int kProgramImageSize = 16;
inline constexpr int kSignalLevels = 6;  // imgLevel0 .. imgLevel5

// Empties `list`, sizes it to 16 x 16 and adds every program picture in index order.
void FillProgramImages(vcl::TCustomImageList* list);

// The picture of signal level 0..5.
void LoadSignalPicture(int level, vcl::TPicture* picture);

// The program's own icon, an ICO of 16 and 32 pixels (the application's Icon).
void LoadProgramIcon(vcl::TIcon* icon);

}  // namespace gateway
