// Class registry and the atom table.
#include "platform/user/window_class.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/gdi/sys_colors.h"
#include "platform/user/input.h"
#include "platform/user/menu_window.h"
#include "platform/user/scroll_bar.h"
#include "platform/user/window_store.h"

namespace win {
namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

struct AtomTable {
    std::map<std::string, ATOM> byName;  // lower-case names
    std::map<ATOM, std::string> byAtom;  // names as first given
    ATOM next = 0xC000;
};

AtomTable& Atoms() {
    static AtomTable t;
    return t;
}

// "#123" is the integer atom 123.
bool ParseIntegerAtom(std::string_view s, ATOM* out) {
    if (s.size() < 2 || s.size() > 6 || s[0] != '#') return false;
    unsigned v = 0;
    for (char c : s.substr(1)) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + unsigned(c - '0');
    }
    if (v == 0 || v >= 0xC000) return false;
    *out = ATOM(v);
    return true;
}

ATOM AddAtom(std::string_view name) {
    ATOM a = 0;
    if (ParseIntegerAtom(name, &a)) return a;
    auto& t = Atoms();
    auto key = Lower(name);
    if (auto it = t.byName.find(key); it != t.byName.end()) return it->second;
    if (t.next == 0) return 0;  // the table is full
    a = t.next++;
    t.byName.emplace(key, a);
    t.byAtom.emplace(a, std::string(name));
    return a;
}

ATOM FindAtom(std::string_view name) {
    ATOM a = 0;
    if (ParseIntegerAtom(name, &a)) return a;
    auto& t = Atoms();
    auto it = t.byName.find(Lower(name));
    return it == t.byName.end() ? 0 : it->second;
}

std::map<ATOM, std::shared_ptr<detail::WindowClass>>& Classes() {
    static std::map<ATOM, std::shared_ptr<detail::WindowClass>> c;
    return c;
}

// The atom a class name or MAKEINTATOM value stands for; 0 when none.
ATOM AtomOf(const char* nameOrAtom) {
    if (nameOrAtom == nullptr) return 0;
    if (IS_INTRESOURCE(nameOrAtom)) return ATOM(reinterpret_cast<uintptr_t>(nameOrAtom));
    return FindAtom(nameOrAtom);
}

std::string NameOfAtom(ATOM a) {
    auto& t = Atoms();
    if (auto it = t.byAtom.find(a); it != t.byAtom.end()) return it->second;
    return "#" + std::to_string(a);
}

bool systemClassesMade = false;

}  // namespace

namespace detail {

void EnsureSystemClasses() {
    if (systemClassesMade) return;
    systemClassesMade = true;
    WNDCLASSEXA menu;
    menu.style = CS_SAVEBITS | CS_DBLCLKS | CS_DROPSHADOW;
    menu.lpfnWndProc = &MenuWindowProc;
    menu.cbWndExtra = sizeof(LONG_PTR);
    menu.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    menu.hbrBackground = reinterpret_cast<HBRUSH>(uintptr_t(COLOR_MENU + 1));
    menu.lpszClassName = MAKEINTATOM(kMenuClassAtom);
    RegisterClassExA(&menu);
    WNDCLASSEXA bar;
    bar.style = CS_DBLCLKS | CS_VREDRAW | CS_HREDRAW | CS_PARENTDC;
    bar.lpfnWndProc = &ScrollBarWndProc;
    bar.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    bar.lpszClassName = "ScrollBar";
    RegisterClassExA(&bar);
}

}  // namespace detail

ATOM RegisterClassExA(const WNDCLASSEXA* wc) {
    detail::EnsureSystemClasses();
    if (wc == nullptr || wc->lpszClassName == nullptr || wc->lpfnWndProc == nullptr ||
        wc->cbClsExtra < 0 || wc->cbWndExtra < 0 || wc->cbClsExtra > 40000 ||
        wc->cbWndExtra > 40000) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    ATOM atom = 0;
    std::string name;
    if (IS_INTRESOURCE(wc->lpszClassName)) {
        atom = ATOM(reinterpret_cast<uintptr_t>(wc->lpszClassName));
        name = NameOfAtom(atom);
    } else {
        name = wc->lpszClassName;
        if (name.empty()) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        atom = AddAtom(name);
    }
    if (atom == 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    auto& classes = Classes();
    if (auto it = classes.find(atom); it != classes.end() && it->second->registered) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto c = std::make_shared<detail::WindowClass>();
    c->name = name;
    c->atom = atom;
    c->info = *wc;
    c->info.cbSize = sizeof(WNDCLASSEXA);
    if (wc->lpszMenuName != nullptr && !IS_INTRESOURCE(wc->lpszMenuName))
        c->menuName = wc->lpszMenuName;
    c->classExtra.assign(size_t(wc->cbClsExtra), 0);
    classes[atom] = c;
    return atom;
}

ATOM RegisterClassA(const WNDCLASSA* wc) {
    if (wc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WNDCLASSEXA ex;
    ex.style = wc->style;
    ex.lpfnWndProc = wc->lpfnWndProc;
    ex.cbClsExtra = wc->cbClsExtra;
    ex.cbWndExtra = wc->cbWndExtra;
    ex.hInstance = wc->hInstance;
    ex.hIcon = wc->hIcon;
    ex.hCursor = wc->hCursor;
    ex.hbrBackground = wc->hbrBackground;
    ex.lpszMenuName = wc->lpszMenuName;
    ex.lpszClassName = wc->lpszClassName;
    return RegisterClassExA(&ex);
}

BOOL UnregisterClassA(const char* name, HINSTANCE) {
    auto& classes = Classes();
    auto it = classes.find(AtomOf(name));
    if (it == classes.end() || !it->second->registered) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (it->second->windows > 0) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    it->second->registered = false;
    classes.erase(it);
    return TRUE;
}

BOOL GetClassInfoExA(HINSTANCE, const char* name, WNDCLASSEXA* out) {
    detail::EnsureSystemClasses();
    auto c = detail::FindClass(name);
    if (!c || out == nullptr) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    *out = c->info;
    out->lpszClassName = c->name.c_str();
    out->lpszMenuName = c->menuName.empty() ? c->info.lpszMenuName : c->menuName.c_str();
    return TRUE;
}

BOOL GetClassInfoA(HINSTANCE instance, const char* name, WNDCLASSA* out) {
    WNDCLASSEXA ex;
    if (out == nullptr || !GetClassInfoExA(instance, name, &ex)) return FALSE;
    out->style = ex.style;
    out->lpfnWndProc = ex.lpfnWndProc;
    out->cbClsExtra = ex.cbClsExtra;
    out->cbWndExtra = ex.cbWndExtra;
    out->hInstance = ex.hInstance;
    out->hIcon = ex.hIcon;
    out->hCursor = ex.hCursor;
    out->hbrBackground = ex.hbrBackground;
    out->lpszMenuName = ex.lpszMenuName;
    out->lpszClassName = ex.lpszClassName;
    return TRUE;
}

int GetClassNameA(HWND hwnd, char* buffer, int size) {
    auto* w = detail::Find(hwnd);
    if (w == nullptr || buffer == nullptr || size <= 0) return 0;
    const std::string& n = w->cls->name;
    int len = std::min<int>(int(n.size()), size - 1);
    std::memcpy(buffer, n.data(), size_t(len));
    buffer[len] = '\0';
    return len;
}

namespace {

ULONG_PTR ClassValue(detail::WindowClass& c, int index, const LONG_PTR* set) {
    auto& i = c.info;
    auto swap = [set](auto& field) {
        auto old = ULONG_PTR(field);
        if (set) field = decltype(field)(*set);
        return old;
    };
    auto swapPtr = [set](auto*& field) {
        auto old = reinterpret_cast<ULONG_PTR>(field);
        if (set) field = reinterpret_cast<std::remove_reference_t<decltype(field)>>(*set);
        return old;
    };
    switch (index) {
        case GCL_STYLE:
            return swap(i.style);
        case GCL_WNDPROC: {
            auto old = reinterpret_cast<ULONG_PTR>(i.lpfnWndProc);
            if (set && *set != 0) i.lpfnWndProc = reinterpret_cast<WNDPROC>(*set);
            return old;
        }
        case GCL_HBRBACKGROUND:
            return swapPtr(i.hbrBackground);
        case GCL_HCURSOR:
            return swapPtr(i.hCursor);
        case GCL_HICON:
            return swapPtr(i.hIcon);
        case GCL_HICONSM:
            return swapPtr(i.hIconSm);
        case GCL_HMODULE:
            return swapPtr(i.hInstance);
        case GCL_CBWNDEXTRA:
            return ULONG_PTR(i.cbWndExtra);
        case GCL_CBCLSEXTRA:
            return ULONG_PTR(i.cbClsExtra);
        case GCW_ATOM:
            return c.atom;
        default:
            break;
    }
    if (index >= 0 && size_t(index) + sizeof(LONG_PTR) <= c.classExtra.size()) {
        LONG_PTR old;
        std::memcpy(&old, c.classExtra.data() + index, sizeof old);
        if (set) std::memcpy(c.classExtra.data() + index, set, sizeof *set);
        return ULONG_PTR(old);
    }
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
}

}  // namespace

ULONG_PTR GetClassLongPtrA(HWND hwnd, int index) {
    auto* w = detail::Find(hwnd);
    return w ? ClassValue(*w->cls, index, nullptr) : 0;
}

ULONG_PTR SetClassLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    auto* w = detail::Find(hwnd);
    return w ? ClassValue(*w->cls, index, &value) : 0;
}

UINT RegisterWindowMessageA(const char* name) {
    if (name == nullptr || *name == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    ATOM a = AddAtom(name);
    return a >= 0xC000 ? a : 0;
}

ATOM GlobalAddAtomA(const char* name) {
    if (name == nullptr) return 0;
    if (IS_INTRESOURCE(name)) return ATOM(reinterpret_cast<uintptr_t>(name));
    return AddAtom(name);
}

ATOM GlobalFindAtomA(const char* name) {
    if (name == nullptr) return 0;
    if (IS_INTRESOURCE(name)) return ATOM(reinterpret_cast<uintptr_t>(name));
    return FindAtom(name);
}

namespace detail {

std::shared_ptr<WindowClass> FindClass(const char* nameOrAtom) {
    EnsureSystemClasses();
    auto& classes = Classes();
    auto it = classes.find(AtomOf(nameOrAtom));
    return it == classes.end() ? nullptr : it->second;
}

void ClearClasses() {
    Classes().clear();
    systemClassesMade = false;
}

}  // namespace detail
}  // namespace win
