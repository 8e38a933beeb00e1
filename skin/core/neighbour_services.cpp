#include "skin/core/neighbour_services.h"

#include "platform/user/message_box.h"

namespace skin {

namespace {

void PlainMessageBox(const std::string& text, TMsgDlgKind kind) {
    static const char* const kCaptions[] = {"Warning", "Error", "Information", "Confirm"};
    static const win::UINT kIcons[] = {win::MB_ICONWARNING, win::MB_ICONERROR,
                                       win::MB_ICONINFORMATION, win::MB_ICONQUESTION};
    const int k = kind >= mdWarning && kind <= mdConfirmation ? kind : mdWarning;
    win::MessageBoxA(nullptr, text.c_str(), kCaptions[k], win::MB_OK | kIcons[k]);
}

NeighbourServices Defaults() {
    NeighbourServices s;
    s.BroadcastToAdapter = [](vcl::TWinControl*, vcl::TMessage&) { return false; };
    s.ShowMessage = PlainMessageBox;
    return s;
}

}  // namespace

NeighbourServices& Neighbours() {
    static NeighbourServices services = Defaults();
    return services;
}

void ResetNeighbourServices() {
    Neighbours() = Defaults();
}

}  // namespace skin
