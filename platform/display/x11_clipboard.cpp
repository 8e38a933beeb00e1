// The CLIPBOARD selection shared with other X programs as UTF-8 text.
#include "platform/display/x11_presenter_state.h"

namespace display {

void X11Presenter::State::AnswerSelection(const XSelectionRequestEvent& req) {
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = req.display;
    reply.requestor = req.requestor;
    reply.selection = req.selection;
    reply.target = req.target;
    reply.time = req.time;
    Atom property = req.property != None ? req.property : req.target;
    reply.property = None;
    if (req.selection == clipboard && ownSelection) {
        if (req.target == targets) {
            Atom offer[] = {targets, utf8, XA_STRING};
            XChangeProperty(dpy, req.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(offer), 3);
            reply.property = property;
        } else if (req.target == utf8 || req.target == XA_STRING) {
            std::string data = req.target == utf8 ? offered : Utf8ToLatin1(offered);
            XChangeProperty(dpy, req.requestor, property, req.target, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(data.data()), int(data.size()));
            reply.property = property;
        }
    }
    XSendEvent(dpy, req.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
}

void X11Presenter::Offer(const std::string& text) {
    State& s = *s_;
    s.offered = os::Cp1251ToUtf8(text);
    XSetSelectionOwner(s.dpy, s.clipboard, s.window, CurrentTime);
    s.ownSelection = XGetSelectionOwner(s.dpy, s.clipboard) == s.window;
    XFlush(s.dpy);
}

std::optional<std::string> X11Presenter::Take() {
    State& s = *s_;
    if (s.ownSelection) return os::Utf8ToCp1251(s.offered);
    if (XGetSelectionOwner(s.dpy, s.clipboard) == None) return std::nullopt;
    XDeleteProperty(s.dpy, s.window, s.transfer);
    XConvertSelection(s.dpy, s.clipboard, s.utf8, s.transfer, s.window, CurrentTime);
    XFlush(s.dpy);
    // The other program answers through the server; a second is plenty for one that answers.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    Atom property = None;
    bool answered = false;
    while (!answered) {
        while (!answered && XPending(s.dpy) > 0) {
            XEvent e;
            XNextEvent(s.dpy, &e);
            if (e.type == SelectionNotify && e.xselection.selection == s.clipboard) {
                answered = true;
                property = e.xselection.property;
            } else if (e.type == SelectionRequest) {
                s.AnswerSelection(e.xselectionrequest);
            } else {
                s.deferred.push_back(e);  // handled at the next wait, not inside this call
            }
        }
        if (answered) break;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0) return std::nullopt;
        pollfd fd{ConnectionNumber(s.dpy), POLLIN, 0};
        poll(&fd, 1, int(left));
    }
    if (property == None) return std::nullopt;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(s.dpy, s.window, property, 0, 1 << 24, True, AnyPropertyType, &type,
                           &format, &count, &after, &data) != Success)
        return std::nullopt;
    std::optional<std::string> text;
    // Transfers in pieces (INCR) are not taken; nor is text that is not 8-bit.
    if (data && format == 8 && type != s.incr) {
        std::string raw(reinterpret_cast<const char*>(data), count);
        if (type == XA_STRING) {  // Latin-1: every byte is its own character
            std::string utf8;
            for (unsigned char c : raw)
                os::AppendUtf8(utf8, c);
            raw = utf8;
        }
        text = os::Utf8ToCp1251(raw);
    }
    if (data) XFree(data);
    return text;
}

}  // namespace display
