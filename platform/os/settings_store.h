// The settings store: typed values under key paths ("SOFTWARE\Tessary"), the program's stand-in
// for the registry. One text file holds all keys:
//
//   [SOFTWARE\Tessary]
//   COMPort="ttyUSB0"
//   SMSDelay=1
//
// Strings are quoted, integers bare; booleans are integers 0/1. Key paths and value names
// compare without regard to case. Names and strings are cp1251 in the program and UTF-8 in the
// file. Reading is tolerant: a line that cannot be read is skipped, a damaged file reads as
// what could be read. Writes go to disk atomically, and a save merges this store's changes into
// the file as it is then, so copies of the program that save at once lose nothing but the
// values both of them changed.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace os {

// $XDG_CONFIG_HOME (default ~/.config) + "/Tessary/settings.ini".
std::string DefaultSettingsFile();

class SettingsStore {
public:
    using Value = std::variant<std::string, int32_t>;

    explicit SettingsStore(std::string file = DefaultSettingsFile());

    const std::string& File() const { return file_; }

    // Reads the file again, dropping unsaved changes.
    void Reload();

    bool KeyExists(const std::string& key) const;
    void CreateKey(const std::string& key);
    std::vector<std::string> ValueNames(const std::string& key) const;
    bool ValueExists(const std::string& key, const std::string& name) const;

    // Absent when the value is missing or has another type.
    std::optional<std::string> ReadString(const std::string& key, const std::string& name) const;
    std::optional<int32_t> ReadInteger(const std::string& key, const std::string& name) const;
    std::optional<bool> ReadBool(const std::string& key, const std::string& name) const;

    void WriteString(const std::string& key, const std::string& name, const std::string& value);
    void WriteInteger(const std::string& key, const std::string& name, int32_t value);
    void WriteBool(const std::string& key, const std::string& name, bool value);

    // Writes the changes made since the last load or save. False when the file could not be
    // written; the changes then stay pending.
    bool Save();

    // The file's text for a set of keys (exposed for tests of the format).
    struct Key {
        std::string name;                          // as first written
        std::map<std::string, std::string> names;  // folded value name -> name as written
        std::map<std::string, Value> values;       // folded value name -> value
    };
    using Keys = std::map<std::string, Key>;  // folded key path -> key
    static Keys Parse(const std::string& text);
    static std::string Serialize(const Keys& keys);

private:
    const Value* Find(const std::string& key, const std::string& name) const;
    void Put(const std::string& key, const std::string& name, Value value);

    std::string file_;
    Keys keys_;
    Keys changes_;
};

}  // namespace os
