// Tessary: the program's entry point.
#include "gateway/log_thread.h"
#include "lists/startup.h"
#include "lists/startup_message_box.h"
#include "platform/display/presenter.h"
#include "platform/os/cp_literal.h"
#include "skin/core/library_startup.h"
#include "vcl/controls/forms.h"
#include "vcl/system/format.h"
#include "vcl/system/sysutils.h"

int main(int argc, char** argv) {
    vcl::SetCommandLine(argc, argv);
    // On a display the windows show in an X window; without one they live on the headless
    // screen, where nobody can answer a message box, so the report also goes to standard error.
    const auto screen = display::OpenPresenter();
    skin::InitSkinLibrary();
    struct SkinLibrary {
        ~SkinLibrary() { skin::FinalizeSkinLibrary(); }
    } skinLibrary;
    lists::MessageBoxLimitReporter reporter(screen->Kind() == display::PresenterKind::Headless);
    if (!lists::ClaimInstance(reporter)) {
        vcl::DoneApplication();
        return 0;
    }

    gateway::StartLogThread();
    gateway::AddLog(vcl::Format("Tessary запущен, экземпляр %d"_cp, gateway::InstanceNo));

    // Until the windows exist the program ends here; its log lines are written before it does.
    gateway::FlushLog(5000);
    gateway::StopLogThread();
    return 0;
}
