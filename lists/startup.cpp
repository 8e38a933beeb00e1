#include "lists/startup.h"

#include <cstdio>

#include "db/statements.h"
#include "gateway/log_thread.h"
#include "lists/settings.h"
#include "platform/os/cp1251.h"
#include "platform/os/cp_literal.h"
#include "platform/os/files.h"
#include "platform/os/instance_slots.h"
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

bool TakeInstanceSlot(int slot, const std::string& lockDir) {
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
    for (int slot = 0; slot < kMaxInstances; ++slot) {
        if (TakeInstanceSlot(slot, dir)) {
            gateway::InstanceNo = slot;
            return true;
        }
    }
    reporter.Show(vcl::Format("Нельзя запускать более %d экземпляров Tessary. "_cp, kMaxInstances),
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
