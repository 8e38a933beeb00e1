#include "skin/core/state/skin_loading.h"

#include <algorithm>

#include "platform/os/cp1251.h"
#include "platform/os/files.h"
#include "skin/core/data/skin_pack.h"
#include "skin/core/data/skin_reader.h"
#include "skin/core/data/stored_skins.h"
#include "skin/core/state/system_utils.h"
#include "vcl/system/ini_files.h"
#include "vcl/system/streams.h"

namespace skin {

namespace {

// Every check, listing and read of a skin folder converts the program's text the same way the
// file streams do, so a folder that a check finds is the folder that is read.
bool FileThere(const std::string& path) {
    return os::FileExists(vcl::SysPath(path));
}

}  // namespace

std::string ResolveSkinDirectory(const std::string& value, const std::string& programFolder) {
    std::string v = value;
    std::replace(v.begin(), v.end(), '\\', '/');
    std::string dir;
    if (!v.empty() && v[0] == '/') {
        dir = v;
    } else if (v.find(':') != std::string::npos) {
        return {};  // a drive ("c:\Skins") is no folder here
    } else if (programFolder.empty()) {
        return {};
    } else if (v == ".." || v.starts_with("../")) {
        std::string parent = programFolder;
        if (!parent.empty()) parent.pop_back();
        while (!parent.empty() && parent.back() != '/')
            parent.pop_back();
        dir = parent + (v.size() > 3 ? v.substr(3) : std::string());
    } else if (v.starts_with("./")) {
        dir = programFolder + v.substr(2);
    } else {
        dir = programFolder + v;
    }
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

namespace {

SkinSource SourceOf(const SkinLoadRequest& r) {
    SkinSource s;
    s.SkinName = r.Name;
    s.InternalSkins = r.InternalSkins;
    s.CommonSections = r.CommonSections;
    s.HueOffset = r.HueOffset;
    s.Saturation = r.Saturation;
    s.ShowMessage = r.ShowMessage;
    return s;
}

// Reads an unpacked skin; the convertor and its options live for this call only.
LoadedSkin ReadUnpacked(SkinSource& source, std::unique_ptr<TacSkinConvertor>& convertor,
                        const std::string& name, const std::string& skinPath) {
    vcl::TMemIniFile ini;
    ReadPackedOptions(*convertor, ini);
    source.Options = &ini;
    source.Convertor = convertor.get();
    LoadedSkin out{std::make_unique<TsSkinContent>(), name, true};
    ReadSkinContent(*out.Content, source);
    out.Content->SkinData.SkinPath = skinPath;
    return out;
}

}  // namespace

bool PackedSkinExists(const SkinLoadRequest& request) {
    return !request.Folder.empty() && FileThere(request.Folder + request.Name + ".asz");
}

LoadedSkin LoadInternalSkin(const SkinLoadRequest& request, int index) {
    const TsStoredSkin* item = request.InternalSkins->GetItem(index);
    SkinSource source = SourceOf(request);
    source.SkinName = item->Name;
    if (item->Data && item->Data->Size() > 0) {
        auto convertor = std::make_unique<TacSkinConvertor>();
        convertor->LendPackedData(item->Data.get());
        ExtractPackedSkin(convertor);
        convertor->ReleasePackedData();
        return ReadUnpacked(source, convertor, item->Name, std::string());
    }
    // Held as collections: the keys come from the item itself.
    LoadedSkin out{std::make_unique<TsSkinContent>(), item->Name, false};
    ReadSkinContent(*out.Content, source);
    out.Content->SkinData.SkinPath.clear();
    return out;
}

LoadedSkin LoadSkinFromFolderOrInternal(const SkinLoadRequest& request) {
    const std::string skinFolder = request.Folder + request.Name + "/";
    if (!request.Folder.empty() && !request.Name.empty() && FileThere(skinFolder + "Options.dat")) {
        vcl::TMemIniFile ini;
        ini.Rename(skinFolder + "Options.dat", true);
        SkinSource source = SourceOf(request);
        source.Options = &ini;
        source.SkinFolder = skinFolder;
        LoadedSkin out{std::make_unique<TsSkinContent>(), request.Name, false};
        ReadSkinContent(*out.Content, source);
        out.Content->SkinData.SkinPath = skinFolder;
        return out;
    }
    const TsStoredSkins* internals = request.InternalSkins;
    if (!internals || internals->Count() == 0) return {};
    const int index = std::max(internals->IndexOf(request.Name), 0);
    return LoadInternalSkin(request, index);
}

LoadedSkin LoadSkinFromPackedFile(const SkinLoadRequest& request) {
    std::unique_ptr<TacSkinConvertor> convertor;
    if (!request.Folder.empty())
        ReadPackedSkinFile(request.Folder + request.Name + ".asz", convertor, true);
    if (!convertor) {
        throw vcl::EFOpenError("Cannot open file \"" + request.Folder + request.Name + ".asz\"");
    }
    SkinSource source = SourceOf(request);
    source.SkinFolder = request.Folder;
    return ReadUnpacked(source, convertor, request.Name, request.Folder);
}

void ListSkins(const TsStoredSkins* internals, const std::string& folder, int kind,
               vcl::TStrings* list, std::string& firstName) {
    firstName.clear();
    list->Clear();
    vcl::TStringList names;
    if (internals) {
        for (int i = 0; i < internals->Count(); ++i)
            names.Add(internals->GetItem(i)->Name);
        if (internals->Count() > 0) firstName = internals->GetItem(0)->Name;
    }
    if (!folder.empty() && os::DirectoryExists(vcl::SysPath(folder))) {
        vcl::TSearchRec rec;
        for (int found = FindFirstEntry(vcl::SysPath(folder) + "*", vcl::faDirectory, rec);
             found == 0; found = FindNextEntry(rec)) {
            // A name the program's text cannot hold could not be loaded by its listed name.
            const std::optional<std::string> entry = os::TryUtf8ToCp1251(rec.Name);
            if (!entry || entry->empty() || (*entry)[0] == '.') continue;
            std::string name;
            if (rec.Attr & vcl::faDirectory) {
                if (kind == 1 || !FileThere(folder + *entry + "/Options.dat")) continue;
                name = *entry;
            } else {
                if (kind == 0 || !entry->ends_with(".asz") || entry->size() == 4) continue;
                name = entry->substr(0, entry->size() - 4);
            }
            names.Add(name);
            if (firstName.empty()) firstName = name;
        }
        FindCloseEntry(rec);
    }
    names.Sort();
    list->Assign(&names);
}

}  // namespace skin
