#include "lists/startup.h"

#include <cstdio>

#include "gateway/log_thread.h"
#include "platform/os/cp1251.h"
#include "platform/os/cp_literal.h"
#include "platform/os/instance_slots.h"
#include "vcl/system/format.h"

namespace lists {

void StderrLimitReporter::Show(const std::string& text, const std::string& caption, unsigned) {
    std::fprintf(stderr, "%s: %s\n", os::Cp1251ToUtf8(caption).c_str(),
                 os::Cp1251ToUtf8(text).c_str());
}

bool TakeInstanceSlot(int slot, const std::string& lockDir) {
    return os::TakeInstanceLock(lockDir.empty() ? os::InstanceLockDir() : lockDir, slot);
}

bool ClaimInstance(InstanceLimitReporter& reporter, const std::string& lockDir) {
    for (int slot = 0; slot < kMaxInstances; ++slot) {
        if (TakeInstanceSlot(slot, lockDir)) {
            gateway::InstanceNo = slot;
            return true;
        }
    }
    reporter.Show(vcl::Format("Нельзя запускать более %d экземпляров Tessary. "_cp, kMaxInstances),
                  "Внимание"_cp, kIconStop);
    return false;
}

}  // namespace lists
