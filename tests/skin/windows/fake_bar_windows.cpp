#include "tests/skin/windows/fake_bar_windows.h"

#include <algorithm>
#include <cstring>

#include "skin/windows/adapters/tab_adapters.h"
#include "skin/windows/adapters/tool_bar_adapter.h"

namespace skin::testing {
namespace {

constexpr char kTable[] = "FakeTable";

// The window's table, kept in a property from its creation to its end.
template <class T>
T* TableOf(win::HWND h, win::UINT msg, win::LPARAM lp) {
    if (msg == win::WM_NCCREATE)
        win::SetPropA(h, kTable, reinterpret_cast<win::CREATESTRUCTA*>(lp)->lpCreateParams);
    auto* t = static_cast<T*>(win::GetPropA(h, kTable));
    if (msg == win::WM_NCDESTROY) win::RemovePropA(h, kTable);
    return t;
}

void CopyText(const std::string& text, char* out, int room) {
    if (out == nullptr || room < 1) return;
    const size_t n = std::min(text.size(), size_t(room - 1));
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

win::LRESULT TabProc(win::HWND h, win::UINT msg, win::WPARAM wp, win::LPARAM lp) {
    auto* t = TableOf<FakeTabTable>(h, msg, lp);
    if (t == nullptr) return win::DefWindowProcA(h, msg, wp, lp);
    const int count = int(t->tabs.size());
    const auto i = int(wp);
    switch (msg) {
        case TCM_GETITEMCOUNT: return count;
        case TCM_GETCURSEL: return t->selected;
        case TCM_SETCURSEL: return std::exchange(t->selected, i);
        case TCM_GETIMAGELIST: return reinterpret_cast<win::LRESULT>(t->images);
        case TCM_GETITEMRECT:
            if (i < 0 || i >= count || lp == 0) return 0;
            *reinterpret_cast<win::RECT*>(lp) = t->tabs[size_t(i)].rect;
            return 1;
        case TCM_GETITEMA: {
            auto* item = reinterpret_cast<TCITEMA*>(lp);
            if (i < 0 || i >= count || item == nullptr) return 0;
            if (item->mask & TCIF_TEXT) CopyText(t->tabs[size_t(i)].text, item->pszText, item->cchTextMax);
            if (item->mask & TCIF_IMAGE) item->iImage = t->tabs[size_t(i)].image;
            return 1;
        }
        case TCM_ADJUSTRECT: {
            auto* r = reinterpret_cast<win::RECT*>(lp);
            if (r == nullptr) return 0;
            const auto style = uint32_t(win::GetWindowLongA(h, win::GWL_STYLE));
            if (count == 0) return 0;
            if (style & TCS_VERTICAL)
                ((style & TCS_RIGHT) ? r->right -= t->band : r->left += t->band);
            else
                ((style & TCS_BOTTOM) ? r->bottom -= t->band : r->top += t->band);
            return 0;
        }
        default:
            break;
    }
    return win::DefWindowProcA(h, msg, wp, lp);
}

win::LRESULT ToolProc(win::HWND h, win::UINT msg, win::WPARAM wp, win::LPARAM lp) {
    auto* t = TableOf<FakeToolTable>(h, msg, lp);
    if (t == nullptr) return win::DefWindowProcA(h, msg, wp, lp);
    const int count = int(t->buttons.size());
    const auto i = int(wp);
    switch (msg) {
        case TB_BUTTONCOUNT: return count;
        case TB_GETIMAGELIST: return reinterpret_cast<win::LRESULT>(t->images);
        case TB_GETBUTTON: {
            auto* b = reinterpret_cast<TBBUTTON*>(lp);
            if (i < 0 || i >= count || b == nullptr) return 0;
            const FakeToolButton& f = t->buttons[size_t(i)];
            *b = TBBUTTON{};
            b->iBitmap = f.image;
            b->idCommand = i + 1;
            b->fsState = f.state;
            b->fsStyle = f.style;
            return 1;
        }
        case TB_GETITEMRECT:
            if (i < 0 || i >= count || lp == 0) return 0;
            *reinterpret_cast<win::RECT*>(lp) = t->buttons[size_t(i)].rect;
            return 1;
        case TB_GETBUTTONTEXTA: {
            // By command id, which the fake makes the index plus one.
            const int k = i - 1;
            if (k < 0 || k >= count) return -1;
            const std::string& text = t->buttons[size_t(k)].text;
            CopyText(text, reinterpret_cast<char*>(lp), int(text.size()) + 1);
            return win::LRESULT(text.size());
        }
        default:
            break;
    }
    return win::DefWindowProcA(h, msg, wp, lp);
}

win::HWND Create(const char* cls, win::WNDPROC proc, win::HWND parent, win::RECT b,
                 uint32_t style, void* table) {
    win::WNDCLASSEXA wc;
    if (!win::GetClassInfoExA(nullptr, cls, &wc)) {
        wc = win::WNDCLASSEXA{};
        wc.lpfnWndProc = proc;
        wc.lpszClassName = cls;
        win::RegisterClassExA(&wc);
    }
    return win::CreateWindowExA(0, cls, "", win::WS_CHILD | win::WS_VISIBLE | style, b.left, b.top,
                                b.right - b.left, b.bottom - b.top, parent, nullptr, nullptr,
                                table);
}

}  // namespace

win::HWND CreateFakeTabWindow(win::HWND parent, win::RECT bounds, uint32_t style,
                              FakeTabTable* table) {
    return Create("FakeTabControl", &TabProc, parent, bounds, style, table);
}

win::HWND CreateFakeToolBar(win::HWND parent, win::RECT bounds, FakeToolTable* table) {
    return Create("FakeToolBar", &ToolProc, parent, bounds, 0, table);
}

}  // namespace skin::testing

#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin::testing {

uint32_t PrintedWindow::At(int x, int y) const {
    return uint32_t(bmp->Canvas()->Pixels(x, y)) & 0xFFFFFF;
}
int PrintedWindow::Width() const { return bmp->Width(); }
int PrintedWindow::Height() const { return bmp->Height(); }

PrintedWindow PrintWindowImage(win::HWND wnd) {
    win::RECT r{};
    win::GetWindowRect(wnd, &r);
    PrintedWindow p{std::shared_ptr<vcl::TBitmap>(new vcl::TBitmap, vcl::FreeDeleter())};
    p.bmp->SetPixelFormat(vcl::pf24bit);
    p.bmp->SetSize(r.right - r.left, r.bottom - r.top);
    win::SendMessageA(wnd, win::WM_PRINT, reinterpret_cast<uintptr_t>(p.bmp->Canvas()->Handle()),
                      win::PRF_CLIENT);
    return p;
}

}  // namespace skin::testing
