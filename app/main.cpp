// Tessary: the program's entry point.
#include <cstdio>

#include "gateway/form_gsm.h"
#include "gateway/form_start.h"
#include "gateway/log_thread.h"
#include "gateway/program_images.h"
#include "lists/form_about.h"
#include "lists/form_list.h"
#include "lists/form_filter.h"
#include "lists/form_load_save.h"
#include "lists/form_main.h"
#include "lists/form_number_log.h"
#include "lists/startup.h"
#include "lists/startup_message_box.h"
#include "platform/display/presenter.h"
#include "platform/os/cp_literal.h"
#include "skin/controls/window_services.h"
#include "skin/core/state/library_startup.h"
#include "skin/windows/windows_startup.h"
#include "vcl/controls/forms.h"
#include "vcl/system/format.h"
#include "vcl/system/sysutils.h"

namespace {

// The forms, made once in this order; the first becomes the main form.
lists::TformMain* formMain = nullptr;
lists::TformLoadSave* formLoadSave = nullptr;
gateway::TformGSM* formGSM = nullptr;
gateway::TformStart* formStart = nullptr;
lists::TformList* formList = nullptr;
lists::TformAbout* formAbout = nullptr;
lists::TformFilter* formFilter = nullptr;
lists::TformNumberLog* formNumberLog = nullptr;

}  // namespace

int main(int argc, char** argv) {
    vcl::SetCommandLine(argc, argv);
    // On a display the windows show in an X window; without one they live on the headless
    // screen, where nobody can answer a message box, so the report also goes to standard error.
    const auto screen = display::OpenPresenter();
    skin::InitSkinLibrary();
    skin::InitSkinControls();
    skin::InitSkinWindows();
    struct SkinLibrary {
        ~SkinLibrary() { skin::FinalizeSkinLibrary(); }
    } skinLibrary;
    const bool headless = screen->Kind() == display::PresenterKind::Headless;
    lists::MessageBoxLimitReporter reporter(headless);
    // Every refusal to start ends with a failure, so that a script starting it knows.
    if (!lists::ClaimInstance(reporter)) {
        vcl::DoneApplication();
        return 1;
    }

    gateway::StartLogThread();
    gateway::AddLog(vcl::Format("Tessary запущен, экземпляр %d"_cp, gateway::InstanceNo));

    vcl::TApplication* app = vcl::Application();
    app->Initialize();
    app->SetTitle("Tessary");
    gateway::LoadProgramIcon(app->Icon());
    if (headless)
        // A failure while the forms are made (a database that cannot be used) would wait in a
        // box that nobody can answer: it goes to standard error instead.
        app->OnException = vcl::TExceptionEvent::FromCallable(
            [](vcl::TObject*, const std::exception& e) {
                lists::StderrLimitReporter().Show(e.what(), "Tessary", 0);
            });
    app->CreateForm(formMain);
    app->CreateForm(formLoadSave);
    app->CreateForm(formGSM);
    app->CreateForm(formStart);
    app->CreateForm(formList);
    app->CreateForm(formAbout);
    app->CreateForm(formFilter);
    app->CreateForm(formNumberLog);

    if (headless)
        // Nobody could see or close the window: the program has shown that it starts, and ends
        // with a failure, so that a script starting it knows it never showed its window.
        std::fputs(
            "Tessary: no display (DISPLAY is not set or cannot be opened); the program "
            "needs one to show its window.\n",
            stderr);
    else
        app->Run();

    const bool failed = headless || formMain->DatabaseFailed();
    gateway::FlushLog(5000);
    vcl::DoneApplication();  // frees the forms; the mailing window stops the log writer
    gateway::StopLogThread();
    return failed ? 1 : 0;
}
