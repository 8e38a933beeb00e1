#include "platform/user/message_box.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/os/cp_literal.h"
#include "platform/user/user.h"

namespace win {

namespace {

constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kButtonW = 75;
constexpr int kButtonH = 23;
constexpr int kButtonGap = 6;

struct Button {
    int id;
    const char* text;
};

std::vector<Button> ButtonsFor(UINT type) {
    // The captions a Russian system gives these buttons.
    const Button ok{IDOK, "ОК"_cp}, cancel{IDCANCEL, "Отмена"_cp}, abort{IDABORT, "&Прервать"_cp},
        retry{IDRETRY, "П&овтор"_cp}, ignore{IDIGNORE, "Пр&опустить"_cp}, yes{IDYES, "&Да"_cp},
        no{IDNO, "&Нет"_cp};
    std::vector<Button> buttons;
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            buttons = {ok, cancel};
            break;
        case MB_ABORTRETRYIGNORE:
            buttons = {abort, retry, ignore};
            break;
        case MB_YESNOCANCEL:
            buttons = {yes, no, cancel};
            break;
        case MB_YESNO:
            buttons = {yes, no};
            break;
        case MB_RETRYCANCEL:
            buttons = {retry, cancel};
            break;
        default:
            buttons = {ok};
            break;
    }
    if (type & MB_HELP) buttons.push_back({IDHELP, "Справка"_cp});
    return buttons;
}

const char* IconName(UINT type) {
    switch (type & MB_ICONMASK) {
        case MB_ICONHAND:
            return "#32513";
        case MB_ICONQUESTION:
            return "#32514";
        case MB_ICONEXCLAMATION:
            return "#32515";
        case MB_ICONASTERISK:
            return "#32516";
        default:
            return nullptr;
    }
}

struct BoxState {
    UINT type;
    std::vector<Button> buttons;
    int defaultId;
};

INT_PTR BoxProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* st = reinterpret_cast<BoxState*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG: {
            st = reinterpret_cast<BoxState*>(lParam);
            SetWindowLongPtrA(dlg, DWLP_USER, lParam);
            SendMessageA(dlg, DM_SETDEFID, static_cast<WPARAM>(st->defaultId), 0);
            if (HWND b = GetDlgItem(dlg, st->defaultId)) SetFocus(b);
            return FALSE;  // the focus is set
        }
        case WM_COMMAND: {
            if (!st) return FALSE;
            const int id = LOWORD(static_cast<DWORD>(wParam));
            const bool ours = std::any_of(st->buttons.begin(), st->buttons.end(),
                                          [id](const Button& b) { return b.id == id; });
            if (id == IDHELP) return TRUE;  // no help to show; the box stays
            if (ours) {
                EndDialog(dlg, id);
            } else if (id == IDCANCEL && (st->type & MB_TYPEMASK) == MB_OK) {
                EndDialog(dlg, IDOK);
            }
            return TRUE;
        }
        default:
            return FALSE;
    }
}

}  // namespace

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
    const std::string body = text ? text : "";
    const std::string title = caption ? caption : "Ошибка"_cp;
    BoxState st{type, ButtonsFor(type), 0};
    const std::size_t defIndex =
        std::min<std::size_t>((type & MB_DEFMASK) >> 8, st.buttons.size() - 1);
    st.defaultId = st.buttons[defIndex].id;

    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, font);
    const int maxText = std::max(200, GetSystemMetrics(SM_CXSCREEN) * 3 / 4 - 2 * kMargin);
    SIZE extent;
    const std::vector<std::string> lines = LayoutTextLines(dc, body, maxText, &extent);
    SelectObject(dc, oldFont);
    DeleteDC(dc);
    std::string shown;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) shown += "\r\n";
        shown += lines[i];
    }

    const char* icon = IconName(type);
    const int textLeft = kMargin + (icon ? kIconSize + kMargin : 0);
    const int topHeight = std::max<int>(extent.cy, icon ? kIconSize : 0);
    const int buttonsW = static_cast<int>(st.buttons.size()) * kButtonW +
                         static_cast<int>(st.buttons.size() - 1) * kButtonGap;
    const int clientW =
        std::max(textLeft + static_cast<int>(extent.cx) + kMargin, buttonsW + 2 * kMargin);
    const int clientH = kMargin + topHeight + kMargin + kButtonH + kMargin;

    DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
    t.exStyle = WS_EX_DLGMODALFRAME | ((type & MB_TOPMOST) ? WS_EX_TOPMOST : 0);
    t.caption = title;
    t.font = font;
    RECT frame{0, 0, clientW, clientH};
    AdjustWindowRectEx(&frame, t.style, FALSE, t.exStyle);
    t.cx = frame.right - frame.left;
    t.cy = frame.bottom - frame.top;
    const int textTop = kMargin + (topHeight - static_cast<int>(extent.cy)) / 2;
    // The controls are placed in client coordinates of the dialog.
    if (icon)
        t.items.push_back({"Static", icon, kMessageBoxIconId, SS_ICON | WS_VISIBLE, 0, kMargin,
                           kMargin, kIconSize, kIconSize});
    t.items.push_back({"Static", shown, kMessageBoxTextId,
                       SS_LEFT | SS_NOPREFIX | WS_VISIBLE | WS_GROUP, 0, textLeft, textTop,
                       static_cast<int>(extent.cx) + 1, static_cast<int>(extent.cy)});
    int x = (clientW - buttonsW) / 2;
    for (std::size_t i = 0; i < st.buttons.size(); ++i) {
        const Button& b = st.buttons[i];
        DWORD style = WS_VISIBLE | WS_TABSTOP | (i == defIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        if (i == 0) style |= WS_GROUP;
        t.items.push_back({"Button", b.text, b.id, style, 0, x, clientH - kMargin - kButtonH,
                           kButtonW, kButtonH});
        x += kButtonW + kButtonGap;
    }
    const INT_PTR r =
        DialogBoxIndirectParamA(nullptr, &t, owner, BoxProc, reinterpret_cast<LPARAM>(&st));
    return r < 0 ? 0 : static_cast<int>(r);
}

BOOL MessageBeep(UINT) {
    return TRUE;
}

}  // namespace win
