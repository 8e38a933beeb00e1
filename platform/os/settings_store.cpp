#include "platform/os/settings_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>

#include "platform/os/cp1251.h"
#include "platform/os/files.h"

namespace os {

namespace {

std::string Fold(const std::string& s) {
    std::string key = UpperCaseCp1251(s);
    // "SOFTWARE\Tessary\" and "SOFTWARE\Tessary" are one key.
    while (!key.empty() && key.back() == '\\')
        key.pop_back();
    while (!key.empty() && key.front() == '\\')
        key.erase(key.begin());
    return key;
}

std::string Trim(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r'))
        --e;
    return std::string(s.substr(b, e - b));
}

std::string Quote(const std::string& cp) {
    std::string out = "\"";
    for (unsigned char c : cp) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || c == 0x98) {
                    static const char kHex[] = "0123456789ABCDEF";
                    out += "\\x";
                    out += kHex[c >> 4];
                    out += kHex[c & 15];
                } else {
                    AppendUtf8(out, Cp1251ToUnicode(c));
                }
        }
    }
    return out + "\"";
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A quoted UTF-8 string back to cp1251; nothing when the quoting is broken.
std::optional<std::string> Unquote(std::string_view q) {
    if (q.size() < 2 || q.front() != '"' || q.back() != '"') return std::nullopt;
    q = q.substr(1, q.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < q.size();) {
        if (q[i] == '"') return std::nullopt;
        if (q[i] != '\\') {
            const auto c = DecodeUtf8(q, i);
            const auto b = c ? UnicodeToCp1251(*c) : std::nullopt;
            out += b ? static_cast<char>(*b) : '?';
            continue;
        }
        if (i + 1 >= q.size()) return std::nullopt;
        switch (q[i + 1]) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'x': {
                if (i + 3 >= q.size()) return std::nullopt;
                const int h = HexDigit(q[i + 2]), l = HexDigit(q[i + 3]);
                if (h < 0 || l < 0) return std::nullopt;
                out += static_cast<char>(h * 16 + l);  // a raw cp1251 byte
                i += 2;
                break;
            }
            default:
                return std::nullopt;
        }
        i += 2;
    }
    return out;
}

}  // namespace

std::string DefaultSettingsFile() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config && *config) {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home && *home ? home : "/tmp") + "/.config";
    }
    return IncludeTrailingSlash(base) + "Tessary/settings.ini";
}

SettingsStore::SettingsStore(std::string file) : file_(std::move(file)) {
    Reload();
}

void SettingsStore::Reload() {
    changes_.clear();
    const auto text = ReadWholeFile(file_);
    keys_ = text ? Parse(*text) : Keys{};
}

SettingsStore::Keys SettingsStore::Parse(const std::string& text) {
    Keys keys;
    Key* current = nullptr;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        const std::string line = Trim(std::string_view(text).substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[') {
            current = nullptr;
            if (line.back() != ']') continue;
            const std::string name = Utf8ToCp1251(Trim(line.substr(1, line.size() - 2)));
            if (name.empty()) continue;
            current = &keys[Fold(name)];
            if (current->name.empty()) current->name = name;
            continue;
        }
        const auto eq = line.find('=');
        if (!current || eq == std::string::npos) continue;
        const std::string name = Utf8ToCp1251(Trim(line.substr(0, eq)));
        const std::string raw = Trim(line.substr(eq + 1));
        if (name.empty()) continue;
        std::optional<Value> value;
        if (!raw.empty() && raw.front() == '"') {
            if (auto s = Unquote(raw)) value = *s;
        } else {
            int32_t v = 0;
            const auto [p, ec] = std::from_chars(raw.data(), raw.data() + raw.size(), v);
            if (ec == std::errc() && p == raw.data() + raw.size() && !raw.empty()) value = v;
        }
        if (!value) continue;
        const std::string folded = Fold(name);
        current->names.emplace(folded, name);
        current->values.emplace(folded, *value);  // the first of duplicate names wins
    }
    return keys;
}

std::string SettingsStore::Serialize(const Keys& keys) {
    std::string out = "; Tessary settings. Strings are quoted, integers bare.\n";
    for (const auto& [folded, key] : keys) {
        out += "\n[" + Cp1251ToUtf8(key.name) + "]\n";
        for (const auto& [vname, value] : key.values) {
            const auto n = key.names.find(vname);
            out += Cp1251ToUtf8(n != key.names.end() ? n->second : vname) + "=";
            if (const auto* s = std::get_if<std::string>(&value))
                out += Quote(*s);
            else
                out += std::to_string(std::get<int32_t>(value));
            out += "\n";
        }
    }
    return out;
}

bool SettingsStore::KeyExists(const std::string& key) const {
    const std::string f = Fold(key);
    return keys_.count(f) || changes_.count(f);
}

void SettingsStore::CreateKey(const std::string& key) {
    const std::string f = Fold(key);
    if (f.empty()) return;
    Key& k = changes_[f];
    if (k.name.empty()) k.name = key;
    Key& kk = keys_[f];
    if (kk.name.empty()) kk.name = key;
}

std::vector<std::string> SettingsStore::ValueNames(const std::string& key) const {
    std::vector<std::string> names;
    const auto it = keys_.find(Fold(key));
    if (it != keys_.end())
        for (const auto& [folded, value] : it->second.values) {
            (void)value;
            const auto n = it->second.names.find(folded);
            names.push_back(n != it->second.names.end() ? n->second : folded);
        }
    return names;
}

const SettingsStore::Value* SettingsStore::Find(const std::string& key,
                                                const std::string& name) const {
    const auto k = keys_.find(Fold(key));
    if (k == keys_.end()) return nullptr;
    const auto v = k->second.values.find(Fold(name));
    return v == k->second.values.end() ? nullptr : &v->second;
}

bool SettingsStore::ValueExists(const std::string& key, const std::string& name) const {
    return Find(key, name) != nullptr;
}

std::optional<std::string> SettingsStore::ReadString(const std::string& key,
                                                     const std::string& name) const {
    const Value* v = Find(key, name);
    if (!v || !std::holds_alternative<std::string>(*v)) return std::nullopt;
    return std::get<std::string>(*v);
}

std::optional<int32_t> SettingsStore::ReadInteger(const std::string& key,
                                                  const std::string& name) const {
    const Value* v = Find(key, name);
    if (!v || !std::holds_alternative<int32_t>(*v)) return std::nullopt;
    return std::get<int32_t>(*v);
}

std::optional<bool> SettingsStore::ReadBool(const std::string& key, const std::string& name) const {
    const auto v = ReadInteger(key, name);
    if (!v) return std::nullopt;
    return *v != 0;
}

void SettingsStore::Put(const std::string& key, const std::string& name, Value value) {
    const std::string fk = Fold(key), fn = Fold(name);
    if (fk.empty() || fn.empty()) return;
    for (Keys* keys : {&keys_, &changes_}) {
        Key& k = (*keys)[fk];
        if (k.name.empty()) k.name = key;
        k.names[fn] = name;
        k.values[fn] = value;
    }
}

void SettingsStore::WriteString(const std::string& key, const std::string& name,
                                const std::string& value) {
    Put(key, name, value);
}

void SettingsStore::WriteInteger(const std::string& key, const std::string& name, int32_t value) {
    Put(key, name, value);
}

void SettingsStore::WriteBool(const std::string& key, const std::string& name, bool value) {
    Put(key, name, static_cast<int32_t>(value ? 1 : 0));
}

bool SettingsStore::Save() {
    if (changes_.empty()) return true;
    if (!MakeDirectories(ParentDir(file_), 0700)) return false;
    // Saves of several copies are serialised by a lock beside the file; each merges its own
    // changes into what the file holds now.
    const std::string lockPath = file_ + ".lock";
    const int lock = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock < 0) return false;
    while (flock(lock, LOCK_EX) != 0 && errno == EINTR) {}
    const auto text = ReadWholeFile(file_);
    Keys merged = text ? Parse(*text) : Keys{};
    for (const auto& [fk, change] : changes_) {
        Key& k = merged[fk];
        if (k.name.empty()) k.name = change.name;
        for (const auto& [fn, value] : change.values) {
            k.values[fn] = value;
            k.names[fn] = change.names.at(fn);
        }
    }
    const bool ok = WriteFileAtomically(file_, Serialize(merged));
    close(lock);
    if (ok) {
        keys_ = std::move(merged);
        changes_.clear();
    }
    return ok;
}

}  // namespace os
