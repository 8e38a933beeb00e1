#include "lists/startup.h"

#include <cstdio>

#include "db/statements.h"
#include "gateway/log_thread.h"
#include "lists/settings.h"
#include "platform/os/cp1251.h"
#include "platform/os/cp_literal.h"
#include "platform/os/files.h"
#include "platform/os/instance_slots.h"
#include "platform/os/sys_error.h"
#include "vcl/system/format.h"

namespace lists {

void StderrLimitReporter::Show(const std::string& text, const std::string& caption, unsigned) {
    std::fprintf(stderr, "%s: %s\n", os::Cp1251ToUtf8(caption).c_str(),
                 os::Cp1251ToUtf8(text).c_str());
}

namespace {

std::string LockFolder(const std::string& lockDir) {
    return lockDir.empty() ? DatabaseFolder() : lockDir;
}

}  // namespace

os::InstanceLock TakeInstanceSlot(int slot, const std::string& lockDir) {
    return os::TakeInstanceLock(LockFolder(lockDir), slot);
}

bool ClaimInstance(InstanceLimitReporter& reporter, const std::string& lockDir) {
    const std::string dir = LockFolder(lockDir);
    os::MakeDirectories(dir);
    if (!os::DirectoryExists(dir)) {
        reporter.Show("Нет папки базы данных для блокировок экземпляров Tessary: "_cp +
                          os::Utf8ToCp1251(dir),
                      "Внимание"_cp, kIconStop);
        return false;
    }
    // A slot whose lock cannot be taken counts as taken and the next one is tried, but only
    // slots that running copies hold make the limit: else the first failure says why.
    int failedSlot = -1, failure = 0;
    for (int slot = 0; slot < kMaxInstances; ++slot) {
        const os::InstanceLock lock = TakeInstanceSlot(slot, dir);
        if (lock) {
            gateway::InstanceNo = slot;
            return true;
        }
        if (lock.state == os::InstanceLock::Failed && failedSlot < 0)
            failedSlot = slot, failure = lock.error;
    }
    if (failedSlot >= 0)
        reporter.Show(vcl::Format("Нельзя запустить Tessary: не удается занять файл блокировки %s "
                                  "в папке %s: %s."_cp,
                                  os::InstanceLockName(failedSlot).c_str(),
                                  os::Utf8ToCp1251(dir).c_str(),
                                  os::RussianErrorText(failure).c_str()),
                      "Внимание"_cp, kIconStop);
    else
        reporter.Show(
            vcl::Format("Нельзя запускать более %d экземпляров Tessary. "_cp, kMaxInstances),
            "Внимание"_cp, kIconStop);
    return false;
}

bool OtherInstanceRunning(const std::string& lockDir) {
    const std::string dir = LockFolder(lockDir);
    for (int slot = 0; slot < kMaxInstances; ++slot)
        if (slot != gateway::InstanceNo && os::InstanceLockHeld(dir, slot)) return true;
    return false;
}

void ClearStaleActiveFlags(vcl::TQuery& query, const std::string& lockDir) {
    if (OtherInstanceRunning(lockDir)) return;
    db::SetStatement(query, db::kClearActiveFlags);
    query.ExecSQL();
}

}  // namespace lists
