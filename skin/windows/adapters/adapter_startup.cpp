#include "skin/windows/adapters/adapter_startup.h"

#include "skin/core/state/neighbour_services.h"
#include "skin/windows/adapters/window_adapter.h"

namespace skin {

void InitWindowAdapters() {
    // A child that does not paint through the skin but holds an adapter hears the broadcast
    // through its adapter, which is the first in its window's chain.
    Neighbours().BroadcastToAdapter = [](vcl::TWinControl* child, vcl::TMessage& m) {
        if (child == nullptr || !child->HandleAllocated()) return false;
        TacMainWnd* a = FindWindowAdapter(child->Handle());
        if (a == nullptr || a->Unhooked) return false;
        m.Result = win::SendMessageA(child->Handle(), m.Msg, m.WParam, m.LParam);
        return true;
    };
}

}  // namespace skin
