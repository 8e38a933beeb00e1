// What the mailing window and the port dialog need of the main window: the operator's settings,
// its data sets, its shared image list and the journal viewer. The main window implements it and
// registers itself when it is made, before the other forms; tests implement it over a database of
// their own.
#pragma once

#include <string>

#include "db/data_sets.h"
#include "gateway/run_settings.h"
#include "platform/os/date_time.h"

namespace vcl {
class TCustomImageList;
}

namespace gateway {

class TMainWindowLink {
public:
    virtual ~TMainWindowLink() = default;

    // The four settings, read and written in place.
    virtual TSettings& Settings() = 0;
    // The operator changed the settings: they are stored at once, not only when the main window
    // closes, so a crash or a kill does not lose them.
    virtual void SettingsChanged() = 0;
    // Table, Table2, Query, Query2 and Query3, pointed at the database folder.
    virtual db::TMainDataSets DataSets() = 0;
    // AlphaImageList: the program's pictures (FillProgramImages).
    virtual vcl::TCustomImageList* AlphaImageList() = 0;
    // The journal viewer, filtered to the run of `imei` started at `startTime`, shown modally.
    virtual void ShowForMailing(const std::string& imei, os::TDateTime startTime) = 0;
};

// The main window of this process; nullptr until one registers. Forms made after the main
// window reach it here, as they would reach the main form.
TMainWindowLink* MainWindowLink();
void SetMainWindowLink(TMainWindowLink* link);
// The main window for a form that cannot work without it: EInvalidOperation naming `who` when
// none has registered.
TMainWindowLink& TheMainWindow(const char* who);

}  // namespace gateway
