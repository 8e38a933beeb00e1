// The list view adapter and the adapter of its column header.
#include "skin/windows/scroll/list_view_wnd.h"

#include <algorithm>

#include "platform/controls/header_control.h"
#include "platform/controls/list_view_control.h"
#include "platform/gdi/dc.h"
#include "platform/user/input.h"
#include "skin/controls/list_view.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_commands.h"
#include "vcl/controls/list_view.h"

namespace skin {
namespace {

// A header width beyond this is no real column: the row of items ends there.
constexpr int kMaxColumnWidth = 999999;
// What a caption's extent is widened by in the header.
constexpr int kHeaderTextPad = 5;

int ColumnAt(const std::vector<std::pair<int, win::RECT>>& items, win::POINT p) {
    for (const auto& [index, r] : items)
        if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) return index;
    return -1;
}

}  // namespace

// Paints the header itself and follows the mouse over it for its list view's adapter.
class TacListHeaderWnd : public TacMainWnd {
public:
    explicit TacListHeaderWnd(TacListViewWnd* owner) : Owner(owner) {}

    void AdapterWindowProc(vcl::TMessage& m) override {
        if (Owner == nullptr || Owner->Unhooked || !Skinned()) {
            TacMainWnd::AdapterWindowProc(m);
            return;
        }
        switch (m.Msg) {
            case win::WM_PAINT: {
                win::PAINTSTRUCT ps{};
                win::HDC dc = m.WParam ? reinterpret_cast<win::HDC>(m.WParam)
                                       : win::BeginPaint(CtrlHandle, &ps);
                Owner->PaintHeader(dc);
                if (m.WParam == 0) win::EndPaint(CtrlHandle, &ps);
                m.Result = 0;
                return;
            }
            case win::WM_PRINT:
            case win::WM_PRINTCLIENT:
                // The skin's picture is the whole print: the classic one would cover it.
                if (m.WParam) Owner->PaintHeader(reinterpret_cast<win::HDC>(m.WParam));
                m.Result = 0;
                return;
            case win::WM_ERASEBKGND:
                m.Result = 1;
                return;
            case win::WM_MOUSELEAVE:
                Owner->SetHeaderColumns(-1, Owner->PressedColumn);
                break;
            default:
                break;
        }
        TacMainWnd::AdapterWindowProc(m);
        if (Unhooked || Owner == nullptr) return;
        win::POINT p{win::GET_X_LPARAM(m.LParam), win::GET_Y_LPARAM(m.LParam)};
        switch (m.Msg) {
            case win::WM_MOUSEMOVE: {
                win::TRACKMOUSEEVENT tme;
                tme.dwFlags = win::TME_LEAVE;
                tme.hwndTrack = CtrlHandle;
                win::TrackMouseEvent(&tme);
                Owner->SetHeaderColumns(ColumnAt(Owner->HeaderItems(), p), Owner->PressedColumn);
                break;
            }
            case win::WM_LBUTTONDOWN: {
                // A press on a divider sizes a column: no item sinks.
                win::HDHITTESTINFO hit;
                hit.pt = p;
                win::SendMessageA(CtrlHandle, win::HDM_HITTEST, 0, reinterpret_cast<win::LPARAM>(&hit));
                const bool divider = (hit.flags & (win::HHT_ONDIVIDER | win::HHT_ONDIVOPEN)) != 0;
                Owner->SetHeaderColumns(Owner->HotColumn,
                                        divider ? -1 : ColumnAt(Owner->HeaderItems(), p));
                break;
            }
            case win::WM_LBUTTONUP:
            case win::WM_CAPTURECHANGED:
                Owner->SetHeaderColumns(Owner->HotColumn, -1);
                break;
            default:
                break;
        }
    }

    TacListViewWnd* Owner = nullptr;
};

TacListViewWnd::~TacListViewWnd() {
    if (auto* h = static_cast<TacListHeaderWnd*>(headerAdapter_)) h->Owner = nullptr;
    if (headerAdapter_) FreeAdapter(headerAdapter_);
}

void TacListViewWnd::AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                                    const std::string& section, bool flag) {
    TacEditWnd::AttachToWindow(wnd, skinData, manager, section, flag);
    if (Unhooked) return;
    Header = win::FindWindowExA(wnd, nullptr, win::WC_HEADERA, nullptr);
    if (Header == nullptr) return;
    auto* h = new TacListHeaderWnd(this);
    headerAdapter_ = h;
    h->AttachToWindow(Header, nullptr, SkinData->SkinManager(), "COLHEADER", false);
}

TacListViewWnd::View TacListViewWnd::CurrentView() const {
    if (auto* lv = dynamic_cast<vcl::TCustomListView*>(SkinData ? SkinData->OwnerControl() : nullptr)) {
        switch (lv->ViewStyle()) {
            case vcl::vsList:
                return View::List;
            case vcl::vsReport:
                return View::Report;
            default:
                return View::Other;
        }
    }
    switch (uint32_t(win::SendMessageA(CtrlHandle, win::LVM_GETVIEW, 0, 0))) {
        case win::LVS_LIST:
            return View::List;
        case win::LVS_REPORT:
            return View::Report;
        default:
            return View::Other;
    }
}

std::vector<std::pair<int, win::RECT>> TacListViewWnd::HeaderItems() const {
    std::vector<std::pair<int, win::RECT>> items;
    if (Header == nullptr || !win::IsWindow(Header)) return items;
    const int n = std::max(0, int(win::SendMessageA(Header, win::HDM_GETITEMCOUNT, 0, 0)));
    std::vector<int> order(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) order[size_t(i)] = i;
    if (n > 0 && (uint32_t(win::GetWindowLongA(Header, win::GWL_STYLE)) & win::HDS_DRAGDROP))
        win::SendMessageA(Header, win::HDM_GETORDERARRAY, win::WPARAM(n),
                          reinterpret_cast<win::LPARAM>(order.data()));
    win::RECT client{};
    win::GetClientRect(Header, &client);
    int x = 0;
    for (int index : order) {
        if (index < 0 || index >= n) continue;
        win::HDITEMA item;
        item.mask = win::HDI_WIDTH;
        if (!win::SendMessageA(Header, win::HDM_GETITEMA, win::WPARAM(index),
                               reinterpret_cast<win::LPARAM>(&item)))
            continue;
        if (item.cxy > kMaxColumnWidth) break;
        const int w = std::max(0, item.cxy);
        items.push_back({index, win::RECT{x, 0, x + w, client.bottom}});
        x += w;
    }
    return items;
}

void TacListViewWnd::PaintHeader(win::HDC dc) {
    if (dc == nullptr || Header == nullptr || SkinData == nullptr) return;
    TsSkinManager* mgr = SkinData->SkinManager();
    const auto font = reinterpret_cast<win::HFONT>(win::SendMessageA(Header, win::WM_GETFONT, 0, 0));
    const auto images =
        reinterpret_cast<win::HIMAGELIST>(win::SendMessageA(Header, win::HDM_GETIMAGELIST, 0, 0));
    const bool enabled = win::IsWindowEnabled(CtrlHandle);
    win::RECT client{};
    win::GetClientRect(Header, &client);
    int right = 0;
    for (const auto& [index, r] : HeaderItems()) {
        right = std::max(right, int(r.right));
        if (r.right <= r.left) continue;
        const int state = index == PressedColumn ? 2 : index == HotColumn ? 1 : 0;
        PaintHeaderItem(Header, index, vcl::TRect(r.left, r.top, r.right, r.bottom), state, mgr, font,
                        images, enabled, kHeaderTextPad, dc);
    }
    if (right < client.right)
        PaintHeaderItem(Header, -1, vcl::TRect(right, 0, client.right, client.bottom), 0, mgr, font,
                        nullptr, enabled, kHeaderTextPad, dc);
}

void TacListViewWnd::RepaintHeader() {
    if (Header && win::IsWindow(Header)) win::InvalidateRect(Header, nullptr, win::FALSE);
}

void TacListViewWnd::SetHeaderColumns(int hot, int pressed) {
    if (hot == HotColumn && pressed == PressedColumn) return;
    HotColumn = hot;
    PressedColumn = pressed;
    RepaintHeader();
}

// The skinned bar hands the thumb's place over in lParam; the list is scrolled from where it
// stands to there. A list view reads a thumb position from its own bar, never from the
// message, so the ending SB_THUMBPOSITION is taken here as well.
void TacListViewWnd::ThumbScroll(vcl::TMessage& m) {
    const bool vertical = m.Msg == win::WM_VSCROLL;
    win::SCROLLINFO si;
    si.fMask = win::SIF_POS;
    win::GetScrollInfo(CtrlHandle, vertical ? win::SB_VERT : win::SB_HORZ, &si);
    int delta = int(m.LParam) - si.nPos;
    if (delta != 0) {
        win::RECT item{};
        item.left = win::LVIR_BOUNDS;
        const View view = CurrentView();
        const bool rows = vertical && view == View::Report, columns = !vertical && view == View::List;
        if ((rows || columns) &&
            win::SendMessageA(CtrlHandle, win::LVM_GETITEMRECT, 0, reinterpret_cast<intptr_t>(&item)))
            delta *= rows ? item.bottom - item.top : item.right - item.left;
        win::SendMessageA(CtrlHandle, win::LVM_SCROLL, vertical ? 0 : uintptr_t(intptr_t(delta)),
                          vertical ? delta : 0);
        if (!vertical) RepaintHeader();
    }
    m.Result = 0;
}

// The header is a child window: a print of the list shows it at its place.
void TacListViewWnd::PrintHeader(win::HDC dc) {
    if (Header == nullptr || !win::IsWindowVisible(Header)) return;
    win::RECT wr{}, hr{};
    win::GetWindowRect(CtrlHandle, &wr);
    win::GetWindowRect(Header, &hr);
    const int saved = win::SaveDC(dc);
    win::OffsetViewportOrgEx(dc, hr.left - wr.left, hr.top - wr.top, nullptr);
    win::IntersectClipRect(dc, 0, 0, hr.right - hr.left, hr.bottom - hr.top);
    PaintHeader(dc);
    win::RestoreDC(dc, saved);
}

void TacListViewWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (!CanSkin()) return TacEditWnd::AdapterWindowProc(m);
    switch (m.Msg) {
        case SM_ALPHACMD:
            if (SkinCommandCode(m.WParam) == SKC_BEFORESCROLL) {
                m.Result = 1;  // thumb positions come in lParam
                return;
            }
            if (SkinCommandCode(m.WParam) == SKC_REFRESH &&
                m.LParam == reinterpret_cast<intptr_t>(SkinData->SkinManager())) {
                TacEditWnd::AdapterWindowProc(m);
                RepaintHeader();
                return;
            }
            break;
        case win::WM_HSCROLL:
        case win::WM_VSCROLL:
            if (OwnScrollMessage && (win::LOWORD(m.WParam) == win::SB_THUMBTRACK ||
                                     win::LOWORD(m.WParam) == win::SB_THUMBPOSITION)) {
                ThumbScroll(m);
                return;
            }
            break;
        case win::WM_PAINT:
            if (!ParamsSet) SetSkinParams();
            break;
        case win::WM_NCHITTEST:
            SetHeaderColumns(-1, -1);
            break;
        default:
            break;
    }
    TacEditWnd::AdapterWindowProc(m);
    if (Unhooked) return;
    if (m.Msg == win::WM_PRINT && m.WParam && CurrentView() == View::Report)
        PrintHeader(reinterpret_cast<win::HDC>(m.WParam));
    if (m.Msg == win::WM_LBUTTONUP && win::GetCapture() == CtrlHandle) win::ReleaseCapture();
}

}  // namespace skin
