// Tessary: the program's entry point.
#include "gateway/log_thread.h"
#include "lists/startup.h"
#include "lists/startup_message_box.h"
#include "platform/display/headless_presenter.h"
#include "platform/os/cp_literal.h"
#include "vcl/format.h"
#include "vcl/forms.h"

int main() {
    // No presenter shows the screen to a person yet: the windows live on the headless screen,
    // where nobody can answer a message box.
    display::HeadlessPresenter screen;
    lists::MessageBoxLimitReporter reporter(/*unattended=*/true);
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
