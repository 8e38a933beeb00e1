#include "vcl/system/registry.h"

#include "vcl/system/format.h"

namespace vcl {

namespace {

std::string RootName(HKEY root) {
    switch (root) {
        case HKEY_LOCAL_MACHINE:
            return {};
        case HKEY_CLASSES_ROOT:
            return "HKEY_CLASSES_ROOT\\";
        case HKEY_USERS:
            return "HKEY_USERS\\";
        default:
            return "HKEY_CURRENT_USER\\";
    }
}

std::string TrimSlashes(std::string s) {
    while (!s.empty() && s.front() == '\\')
        s.erase(s.begin());
    while (!s.empty() && s.back() == '\\')
        s.pop_back();
    return s;
}

}  // namespace

TRegistry::TRegistry() : store_(std::make_unique<os::SettingsStore>()) {}

TRegistry::TRegistry(const std::string& file) : store_(std::make_unique<os::SettingsStore>(file)) {}

TRegistry::~TRegistry() {
    CloseKey();
}

std::string TRegistry::FullPath(const std::string& key) const {
    std::string path = TrimSlashes(key);
    if (!(key.size() && key[0] == '\\') && open_ && !currentPath_.empty())
        path = path.empty() ? currentPath_ : currentPath_ + "\\" + path;
    return path;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
    const std::string path = FullPath(key);
    const std::string stored = RootName(RootKey) + path;
    if (!store_->KeyExists(stored)) {
        if (!canCreate || path.empty()) return false;
        store_->CreateKey(stored);
        dirty_ = true;
    }
    CloseKey();
    currentPath_ = path;
    open_ = true;
    readOnly_ = false;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
    const std::string path = FullPath(key);
    if (!store_->KeyExists(RootName(RootKey) + path)) return false;
    CloseKey();
    currentPath_ = path;
    open_ = true;
    readOnly_ = true;
    return true;
}

void TRegistry::CloseKey() {
    if (dirty_) store_->Save();  // a failed save is dropped, like a write without rights
    dirty_ = false;
    open_ = false;
    currentPath_.clear();
}

bool TRegistry::KeyExists(const std::string& key) {
    return store_->KeyExists(RootName(RootKey) + FullPath(key));
}

void TRegistry::CheckOpen() const {
    if (!open_) throw ERegistryException("No key is open");
}

void TRegistry::CheckWritable(const std::string& name) const {
    CheckOpen();
    if (readOnly_) throw ERegistryException(Format("Failed to set data for '%s'", name));
}

bool TRegistry::ValueExists(const std::string& name) const {
    return open_ && store_->ValueExists(RootName(RootKey) + currentPath_, name);
}

void TRegistry::GetValueNames(std::vector<std::string>& names) const {
    names.clear();
    if (open_) names = store_->ValueNames(RootName(RootKey) + currentPath_);
}

std::string TRegistry::ReadString(const std::string& name) const {
    CheckOpen();
    const std::string key = RootName(RootKey) + currentPath_;
    if (!store_->ValueExists(key, name)) return {};
    const auto v = store_->ReadString(key, name);
    if (!v) throw ERegistryException(Format("Invalid data type for '%s'", name));
    return *v;
}

int32_t TRegistry::ReadInteger(const std::string& name) const {
    CheckOpen();
    const auto v = store_->ReadInteger(RootName(RootKey) + currentPath_, name);
    if (!v) throw ERegistryException(Format("Invalid data type for '%s'", name));
    return *v;
}

bool TRegistry::ReadBool(const std::string& name) const {
    return ReadInteger(name) != 0;
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    CheckWritable(name);
    store_->WriteString(RootName(RootKey) + currentPath_, name, value);
    dirty_ = true;
}

void TRegistry::WriteInteger(const std::string& name, int32_t value) {
    CheckWritable(name);
    store_->WriteInteger(RootName(RootKey) + currentPath_, name, value);
    dirty_ = true;
}

void TRegistry::WriteBool(const std::string& name, bool value) {
    CheckWritable(name);
    store_->WriteBool(RootName(RootKey) + currentPath_, name, value);
    dirty_ = true;
}

}  // namespace vcl
