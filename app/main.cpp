// Tessary: the program's entry point.
#include "gateway/log_thread.h"
#include "lists/startup.h"
#include "platform/os/cp_literal.h"
#include "vcl/format.h"

int main() {
    lists::StderrLimitReporter reporter;
    if (!lists::ClaimInstance(reporter)) return 0;

    gateway::StartLogThread();
    gateway::AddLog(vcl::Format("Tessary запущен, экземпляр %d"_cp, gateway::InstanceNo));

    // Until the windows exist the program ends here; its log lines are written before it does.
    gateway::FlushLog(5000);
    gateway::StopLogThread();
    return 0;
}
