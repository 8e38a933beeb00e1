// The open and save dialogs: the template, the dialog procedure and the folder listing.
//
// Rules:
//   1. The folder is kept as the disk's UTF-8 path, absolute and ending with "/"; what the
//      controls show is its cp1251 form, "?" standing for characters cp1251 lacks.
//   2. An entry whose name cp1251 cannot hold (inexact) is never chosen nor entered; neither is
//      a path whose folder cannot be held. The operator is told why.
//   3. A typed name is cp1251 and always becomes an exact UTF-8 name; a typed folder (or "..")
//      is entered, a typed path is taken relative to the folder shown.
//   4. Hidden entries (names starting with ".") are not listed.
#include "platform/controls/file_dialog.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/controls/combo_box_control.h"
#include "platform/controls/edit_control.h"
#include "platform/controls/list_box_control.h"
#include "platform/controls/native_control.h"
#include "platform/controls/standard_controls.h"
#include "platform/gdi/gdi.h"
#include "platform/os/cp1251.h"
#include "platform/os/cp_literal.h"
#include "platform/os/dir_search.h"
#include "platform/os/files.h"
#include "platform/user/message_box.h"
#include "platform/user/user.h"

namespace win {

namespace {

thread_local DWORD gLastError = 0;

struct Entry {
    std::string disk;   // UTF-8, as on disk
    std::string shown;  // cp1251, "?" for what it lacks
    bool exact = true;
};

struct FileType {
    std::string title;               // cp1251
    std::vector<std::string> masks;  // UTF-8
};

struct DialogData {
    OPENFILENAMEA* ofn = nullptr;
    bool save = false;
    std::string title;
    std::string folder;  // rule 1
    std::vector<Entry> folders;
    std::vector<Entry> files;  // every file of the folder; the list shows the matching ones
    std::vector<FileType> types;
    std::string startName;       // cp1251, put into the name edit at first
    bool pickedInexact = false;  // the name edit holds an inexact entry picked from the list
};

Entry MakeEntry(const std::string& disk) {
    Entry e;
    e.disk = disk;
    e.shown = os::Utf8ToCp1251(disk, '?', &e.exact);
    return e;
}

// Resolves "." and ".." lexically; the result is absolute and, when `folder`, ends with "/".
std::string Normalize(const std::string& path, bool folder) {
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (at <= path.size()) {
        std::size_t slash = path.find('/', at);
        if (slash == std::string::npos) slash = path.size();
        const std::string part = path.substr(at, slash - at);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        at = slash + 1;
    }
    std::string out = "/";
    for (std::size_t i = 0; i < parts.size(); ++i) {
        out += parts[i];
        if (folder || i + 1 < parts.size()) out += '/';
    }
    return out;
}

std::string CurrentFolder() {
    char buf[4096];
    if (getcwd(buf, sizeof buf)) return Normalize(buf, true);
    return "/";
}

// "Title\0*.a;*.b\0...\0\0" into types; a type without masks shows every file.
std::vector<FileType> ParseTypes(const char* filter) {
    std::vector<FileType> types;
    if (!filter) return types;
    const char* p = filter;
    while (*p) {
        FileType t;
        t.title = p;
        p += t.title.size() + 1;
        std::string masks = p;
        if (*p) p += masks.size() + 1;
        std::size_t at = 0;
        while (at <= masks.size()) {
            std::size_t semi = masks.find(';', at);
            if (semi == std::string::npos) semi = masks.size();
            std::string m = masks.substr(at, semi - at);
            m.erase(0, m.find_first_not_of(' '));
            m.erase(m.find_last_not_of(' ') + 1);
            if (!m.empty()) t.masks.push_back(os::Cp1251ToUtf8(m));
            at = semi + 1;
        }
        if (t.masks.empty()) t.masks.push_back("*");
        types.push_back(std::move(t));
    }
    return types;
}

DialogData* DataOf(HWND dlg) {
    return reinterpret_cast<DialogData*>(GetWindowLongPtrA(dlg, DWLP_USER));
}

int Ask(HWND dlg, const DialogData& d, const std::string& text, UINT type) {
    return MessageBoxA(dlg, text.c_str(), d.title.c_str(), type);
}

void RefuseInexact(HWND dlg, const DialogData& d, const std::string& shown, bool folder) {
    const std::string what = folder ? "Эту папку нельзя открыть: в её имени"_cp
                                    : "Этот файл нельзя выбрать: в его имени"_cp;
    Ask(dlg, d,
        shown + "\r" + what +
            " есть знаки, которых нет в кодировке cp1251 (они показаны как \"?\").\r"
            "Переименуйте его или выберите другой."_cp,
        MB_OK | MB_ICONWARNING);
}

// The folder as the static shows it: its tail behind "..." when it is too wide.
void ShowFolder(HWND dlg, const DialogData& d) {
    HWND label = GetDlgItem(dlg, kFileDialogFolderId);
    RECT r;
    GetClientRect(label, &r);
    const auto font = reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0));
    std::string shown = os::Utf8ToCp1251(d.folder);
    const std::string full = shown;
    for (std::size_t cut = 1; cut < full.size() && TextWidthIn(label, font, shown) > r.right; ++cut)
        shown = "..." + full.substr(cut);
    SetWindowTextA(label, shown.c_str());
}

int CurrentType(HWND dlg) {
    const LRESULT i = SendDlgItemMessageA(dlg, kFileDialogTypeId, CB_GETCURSEL, 0, 0);
    return i == CB_ERR ? -1 : static_cast<int>(i);
}

bool Matches(const DialogData& d, int type, const std::string& name) {
    if (type < 0 || type >= static_cast<int>(d.types.size())) return true;
    const auto& masks = d.types[type].masks;
    return std::any_of(masks.begin(), masks.end(),
                       [&](const std::string& m) { return os::MatchesWildcard(name, m); });
}

// A list box's items, each carrying its index into `entries`.
void FillList(HWND dlg, int id, const std::vector<Entry>& entries,
              const std::function<bool(const Entry&)>& shown) {
    HWND list = GetDlgItem(dlg, id);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!shown(entries[i])) continue;
        const LRESULT at =
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entries[i].shown.c_str()));
        if (at >= 0) SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(at), LPARAM(i));
    }
}

void ShowFiles(HWND dlg, DialogData& d) {
    const int type = CurrentType(dlg);
    FillList(dlg, kFileDialogFileListId, d.files,
             [&](const Entry& e) { return Matches(d, type, e.disk); });
}

// Reads the folder into the lists; false (and nothing changed) when it cannot be read.
bool ReadFolder(HWND dlg, DialogData& d, const std::string& folder) {
    std::vector<Entry> folders, files;
    bool readable = false;  // a readable folder lists at least "." and ".."
    os::DirSearch search(folder + "*");
    os::DirEntry e;
    while (search.Next(e)) {
        readable = true;
        if (e.name == "." || e.name == ".." || e.hidden) continue;
        (e.directory ? folders : files).push_back(MakeEntry(e.name));
    }
    if (!readable) return false;
    auto byName = [](const Entry& a, const Entry& b) {
        const int c = os::CompareCp1251(a.shown, b.shown, true);
        return c != 0 ? c < 0 : a.disk < b.disk;
    };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    if (folder != "/") folders.insert(folders.begin(), Entry{"..", "..", true});
    d.folder = folder;
    d.folders = std::move(folders);
    d.files = std::move(files);
    ShowFolder(dlg, d);
    FillList(dlg, kFileDialogFolderListId, d.folders, [](const Entry&) { return true; });
    ShowFiles(dlg, d);
    return true;
}

bool EnterFolder(HWND dlg, DialogData& d, const std::string& folder) {
    if (ReadFolder(dlg, d, folder)) return true;
    Ask(dlg, d, os::Utf8ToCp1251(folder) + "\r" + "Папку нельзя открыть."_cp,
        MB_OK | MB_ICONWARNING);
    return false;
}

// The entry of a list's selected item, or nullptr.
const Entry* Selected(HWND dlg, int id, const std::vector<Entry>& entries) {
    const LRESULT i = SendDlgItemMessageA(dlg, id, LB_GETCURSEL, 0, 0);
    if (i == LB_ERR) return nullptr;
    const auto at =
        static_cast<std::size_t>(SendDlgItemMessageA(dlg, id, LB_GETITEMDATA, WPARAM(i), 0));
    return at < entries.size() ? &entries[at] : nullptr;
}

void EnterSelectedFolder(HWND dlg, DialogData& d) {
    const Entry* e = Selected(dlg, kFileDialogFolderListId, d.folders);
    if (!e) return;
    if (!e->exact) {
        RefuseInexact(dlg, d, e->shown, true);
        return;
    }
    EnterFolder(dlg, d, Normalize(d.folder + e->disk, true));
}

void SetName(HWND dlg, DialogData& d, const std::string& name, bool inexact) {
    SetDlgItemTextA(dlg, kFileDialogNameId, name.c_str());
    d.pickedInexact = inexact;  // after the edit's EN_CHANGE, which clears it
}

std::string NameOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

// Takes the name in the edit (rules 2 and 3); ends the dialog when a file is chosen.
void Choose(HWND dlg, DialogData& d) {
    char buf[4096] = {};
    GetDlgItemTextA(dlg, kFileDialogNameId, buf, sizeof buf);
    std::string typed = buf;
    typed.erase(0, typed.find_first_not_of(" \t"));
    typed.erase(typed.find_last_not_of(" \t") + 1);
    if (typed.empty()) {
        MessageBeep(MB_OK);
        return;
    }
    if (d.pickedInexact) {
        RefuseInexact(dlg, d, typed, false);
        return;
    }
    const std::string utf8 = os::Cp1251ToUtf8(typed);
    std::string path = Normalize(utf8[0] == '/' ? utf8 : d.folder + utf8, false);
    if (os::DirectoryExists(path)) {
        if (EnterFolder(dlg, d, Normalize(path, true))) SetName(dlg, d, "", false);
        return;
    }
    const std::string ext = d.ofn->lpstrDefExt ? d.ofn->lpstrDefExt : "";
    if (!ext.empty() && NameOf(path).find('.') == std::string::npos && !os::FileExists(path))
        path += "." + os::Cp1251ToUtf8(ext);
    const auto chosen = os::TryUtf8ToCp1251(path);
    if (!chosen) {
        RefuseInexact(dlg, d, os::Utf8ToCp1251(path), false);
        return;
    }
    const std::string name = NameOf(*chosen);
    if (!os::DirectoryExists(os::ParentDir(path))) {
        Ask(dlg, d, *chosen + "\r" + "Такой папки нет. Проверьте путь."_cp, MB_OK | MB_ICONWARNING);
        return;
    }
    const bool exists = os::FileExists(path);
    if ((d.ofn->Flags & OFN_FILEMUSTEXIST) && !exists) {
        Ask(dlg, d, name + "\r" + "Файл не найден. Проверьте, правильно ли указано имя."_cp,
            MB_OK | MB_ICONWARNING);
        return;
    }
    if (d.save && (d.ofn->Flags & OFN_OVERWRITEPROMPT) && exists &&
        Ask(dlg, d, name + " " + "уже существует.\rЗаменить его?"_cp,
            MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
        return;
    if (chosen->size() + 1 > d.ofn->nMaxFile) {
        gLastError = FNERR_BUFFERTOOSMALL;
        EndDialog(dlg, IDABORT);
        return;
    }
    std::copy(chosen->begin(), chosen->end(), d.ofn->lpstrFile);
    d.ofn->lpstrFile[chosen->size()] = '\0';
    if (const int type = CurrentType(dlg); type >= 0) d.ofn->nFilterIndex = DWORD(type + 1);
    EndDialog(dlg, IDOK);
}

void Init(HWND dlg, DialogData& d) {
    SetWindowLongPtrA(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(&d));
    HWND types = GetDlgItem(dlg, kFileDialogTypeId);
    for (const FileType& t : d.types)
        SendMessageA(types, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t.title.c_str()));
    if (!d.types.empty()) {
        DWORD index = d.ofn->nFilterIndex;
        if (index < 1 || index > d.types.size()) index = 1;
        SendMessageA(types, CB_SETCURSEL, index - 1, 0);
    }
    // A start folder that is gone gives way to the current one, then to the root.
    if (!ReadFolder(dlg, d, d.folder) && !ReadFolder(dlg, d, CurrentFolder()))
        ReadFolder(dlg, d, "/");
    HWND name = GetDlgItem(dlg, kFileDialogNameId);
    SetName(dlg, d, d.startName, false);
    SendMessageA(name, EM_SETSEL, 0, -1);
    SetFocus(name);
}

INT_PTR FileDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        Init(dlg, *reinterpret_cast<DialogData*>(lParam));
        return FALSE;  // the focus is set
    }
    DialogData* d = DataOf(dlg);
    if (!d || msg != WM_COMMAND) return FALSE;
    const int id = LOWORD(static_cast<DWORD>(wParam));
    const WORD code = HIWORD(static_cast<DWORD>(wParam));
    switch (id) {
        case kFileDialogFolderListId:
            if (code == LBN_DBLCLK) EnterSelectedFolder(dlg, *d);
            return TRUE;
        case kFileDialogFileListId:
            if (code == LBN_SELCHANGE || code == LBN_DBLCLK) {
                if (const Entry* e = Selected(dlg, kFileDialogFileListId, d->files))
                    SetName(dlg, *d, e->shown, !e->exact);
                if (code == LBN_DBLCLK) Choose(dlg, *d);
            }
            return TRUE;
        case kFileDialogNameId:
            if (code == EN_CHANGE) d->pickedInexact = false;
            return TRUE;
        case kFileDialogTypeId:
            if (code == CBN_SELCHANGE) ShowFiles(dlg, *d);
            return TRUE;
        case IDOK:
            // Enter on the folder list opens the folder chosen there.
            if (GetFocus() == GetDlgItem(dlg, kFileDialogFolderListId))
                EnterSelectedFolder(dlg, *d);
            else
                Choose(dlg, *d);
            return TRUE;
        case IDCANCEL:
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}

// The controls, in tab order, in client pixels.
DialogTemplate MakeTemplate(const DialogData& d) {
    constexpr int kClientW = 440, kClientH = 298;
    constexpr int kListTop = 32, kListH = 196;
    constexpr int kRow1 = 236, kRow2 = 266;
    constexpr int kFieldX = 92, kFieldW = 250, kButtonX = 352, kButtonW = 80, kButtonH = 23;
    DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
    t.exStyle = WS_EX_DLGMODALFRAME;
    t.caption = d.title;
    t.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    RECT frame{0, 0, kClientW, kClientH};
    AdjustWindowRectEx(&frame, t.style, FALSE, t.exStyle);
    t.cx = frame.right - frame.left;
    t.cy = frame.bottom - frame.top;
    const DWORD label = WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
    const DWORD list =
        WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
    t.items = {
        {"Static", "Папка:"_cp, -1, label, 0, 8, 10, 50, 16},
        {"Static", "", kFileDialogFolderId, label | SS_LEFTNOWORDWRAP, 0, 60, 10, 372, 16},
        {"ListBox", "", kFileDialogFolderListId, list | WS_GROUP, WS_EX_CLIENTEDGE, 8, kListTop,
         170, kListH},
        {"ListBox", "", kFileDialogFileListId, list, WS_EX_CLIENTEDGE, 186, kListTop, 246, kListH},
        {"Static", "Имя файла:"_cp, -1, label, 0, 8, kRow1 + 3, 80, 16},
        {"Edit", "", kFileDialogNameId, WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
         kFieldX, kRow1, kFieldW, 21},
        {"Static", "Тип файлов:"_cp, -1, label, 0, 8, kRow2 + 3, 80, 16},
        {"ComboBox", "", kFileDialogTypeId, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
         0, kFieldX, kRow2, kFieldW, 120},
        {"Button", d.save ? "Сохранить"_cp : "Открыть"_cp, IDOK,
         WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0, kButtonX, kRow1 - 1, kButtonW,
         kButtonH},
        {"Button", "Отмена"_cp, IDCANCEL, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, kButtonX,
         kRow2 - 1, kButtonW, kButtonH},
    };
    return t;
}

BOOL Run(OPENFILENAMEA* ofn, bool save) {
    gLastError = 0;
    if (!ofn || ofn->lStructSize != sizeof(OPENFILENAMEA) || (!ofn->lpstrFile && ofn->nMaxFile)) {
        gLastError = CDERR_STRUCTSIZE;
        return FALSE;
    }
    DialogData d;
    d.ofn = ofn;
    d.save = save;
    d.title = ofn->lpstrTitle && *ofn->lpstrTitle ? ofn->lpstrTitle
              : save                              ? "Сохранить как"_cp
                                                  : "Открыть"_cp;
    d.types = ParseTypes(ofn->lpstrFilter);
    const std::string start =
        ofn->lpstrFile && ofn->nMaxFile
            ? std::string(ofn->lpstrFile, strnlen(ofn->lpstrFile, ofn->nMaxFile))
            : std::string();
    d.folder = CurrentFolder();
    if (ofn->lpstrInitialDir && *ofn->lpstrInitialDir)
        d.folder = Normalize(os::Cp1251ToUtf8(ofn->lpstrInitialDir), true);
    d.startName = start;
    // A start name with a folder starts in that folder.
    if (const auto slash = start.rfind('/'); slash != std::string::npos) {
        const std::string utf8 = os::Cp1251ToUtf8(start.substr(0, slash + 1));
        d.folder = Normalize(utf8[0] == '/' ? utf8 : d.folder + utf8, true);
        d.startName = start.substr(slash + 1);
    }
    const DialogTemplate t = MakeTemplate(d);
    const INT_PTR r = DialogBoxIndirectParamA(nullptr, &t, ofn->hwndOwner, FileDialogProc,
                                              reinterpret_cast<LPARAM>(&d));
    if (r < 0) gLastError = CDERR_DIALOGFAILURE;
    return r == IDOK ? TRUE : FALSE;
}

}  // namespace

BOOL GetOpenFileNameA(OPENFILENAMEA* ofn) {
    return Run(ofn, false);
}

BOOL GetSaveFileNameA(OPENFILENAMEA* ofn) {
    return Run(ofn, true);
}

DWORD CommDlgExtendedError() {
    return gLastError;
}

}  // namespace win
