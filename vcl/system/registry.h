// TRegistry: the class library's registry access over the program's settings store
// (platform/os/settings_store.h). Keys are paths below a root key; HKEY_LOCAL_MACHINE maps to the
// store's top level, the other roots to a path beginning with the root's name.
//
// Reading a value of another type, or a missing integer or boolean, raises ERegistryException as
// the class library does; a missing string reads as empty. Writes reach the file when the key
// is closed (or the object goes); a file that cannot be written loses those writes silently,
// as writes to a key without rights do.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/os/settings_store.h"
#include "vcl/system/exceptions.h"

namespace vcl {

class ERegistryException : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const override { return "ERegistryException"; }
};

enum HKEY : uint32_t {
    HKEY_CLASSES_ROOT = 0x80000000,
    HKEY_CURRENT_USER = 0x80000001,
    HKEY_LOCAL_MACHINE = 0x80000002,
    HKEY_USERS = 0x80000003,
};

class TRegistry {
public:
    // The store in its usual file; or in `file` (tests).
    TRegistry();
    explicit TRegistry(const std::string& file);
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey = HKEY_CURRENT_USER;

    // A path beginning with "\" starts at the root; others below the current key.
    bool OpenKey(const std::string& key, bool canCreate);
    bool OpenKeyReadOnly(const std::string& key);  // false when the key does not exist
    void CloseKey();
    bool KeyExists(const std::string& key);
    const std::string& CurrentPath() const { return currentPath_; }

    bool ValueExists(const std::string& name) const;
    void GetValueNames(std::vector<std::string>& names) const;

    std::string ReadString(const std::string& name) const;
    int32_t ReadInteger(const std::string& name) const;
    bool ReadBool(const std::string& name) const;
    void WriteString(const std::string& name, const std::string& value);
    void WriteInteger(const std::string& name, int32_t value);
    void WriteBool(const std::string& name, bool value);

private:
    std::string FullPath(const std::string& key) const;
    void CheckOpen() const;
    void CheckWritable(const std::string& name) const;

    std::unique_ptr<os::SettingsStore> store_;
    std::string currentPath_;  // below the root, without leading "\"
    bool open_ = false, readOnly_ = false, dirty_ = false;
};

}  // namespace vcl
