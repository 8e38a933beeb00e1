#include "vcl/system/ini_files.h"

#include "platform/os/cp1251.h"
#include "platform/os/files.h"
#include "vcl/system/streams.h"
#include "vcl/system/sysutils.h"

namespace vcl {

TMemIniFile::TMemIniFile(const std::string& fileName) : fileName_(fileName) {
    Load();
}

TMemIniFile::~TMemIniFile() = default;

void TMemIniFile::Load() {
    Clear();
    if (fileName_.empty() || !os::FileExists(SysPath(fileName_))) return;
    TStringList lines;
    lines.LoadFromFile(fileName_);
    SetStrings(&lines);
}

void TMemIniFile::Rename(const std::string& fileName, bool reload) {
    fileName_ = fileName;
    if (reload) Load();
}

void TMemIniFile::UpdateFile() {
    TStringList lines;
    GetStrings(&lines);
    lines.SaveToFile(fileName_);
}

void TMemIniFile::Clear() {
    sections_.clear();
    index_.clear();
}

void TMemIniFile::SetStrings(const TStrings* lines) {
    Clear();
    TStringList* current = nullptr;
    for (int i = 0; i < lines->Count(); ++i) {
        const std::string s = Trim(lines->Get(i));
        if (s.empty() || s[0] == ';' || s[0] == '#') continue;
        if (s.front() == '[' && s.back() == ']' && s.size() >= 2) {
            current = AddSection(Trim(std::string_view(s).substr(1, s.size() - 2)));
        } else if (current) {
            // A line without "=" holds no value and is left out.
            const auto eq = s.find('=');
            if (eq != std::string::npos)
                current->Add(Trim(std::string_view(s).substr(0, eq)) + '=' +
                             Trim(std::string_view(s).substr(eq + 1)));
        }
    }
}

void TMemIniFile::GetStrings(TStrings* out) const {
    out->BeginUpdate();
    out->Clear();
    for (const Section& sec : sections_) {
        out->Add('[' + sec.name + ']');
        for (int i = 0; i < sec.lines->Count(); ++i)
            out->Add(sec.lines->Get(i));
        out->Add("");
    }
    out->EndUpdate();
}

size_t TMemIniFile::NameHash::operator()(std::string_view name) const {
    size_t h = 14695981039346656037ull;  // FNV-1a over the upper-cased bytes
    for (char c : name)
        h = (h ^ os::UpperCp1251(static_cast<unsigned char>(c))) * 1099511628211ull;
    return h;
}

bool TMemIniFile::NameEqual::operator()(std::string_view a, std::string_view b) const {
    return AnsiSameText(a, b);
}

const TStringList* TMemIniFile::Find(std::string_view section) const {
    const auto it = index_.find(section);
    return it == index_.end() ? nullptr : sections_[it->second].lines.get();
}

TStringList* TMemIniFile::AddSection(std::string_view section) {
    if (const TStringList* found = Find(section)) return const_cast<TStringList*>(found);
    index_.emplace(std::string(section), sections_.size());
    sections_.push_back({std::string(section), std::make_unique<TStringList>()});
    return sections_.back().lines.get();
}

bool TMemIniFile::SectionExists(std::string_view section) const {
    return Find(section) != nullptr;
}

bool TMemIniFile::ValueExists(std::string_view section, std::string_view ident) const {
    const TStringList* s = Find(section);
    return s && s->IndexOfName(ident) >= 0;
}

void TMemIniFile::ReadSections(TStrings* out) const {
    out->BeginUpdate();
    out->Clear();
    for (const Section& sec : sections_)
        out->Add(sec.name);
    out->EndUpdate();
}

void TMemIniFile::ReadSection(std::string_view section, TStrings* out) const {
    out->BeginUpdate();
    out->Clear();
    if (const TStringList* s = Find(section))
        for (int i = 0; i < s->Count(); ++i)
            out->Add(s->Names(i));
    out->EndUpdate();
}

void TMemIniFile::ReadSectionValues(std::string_view section, TStrings* out) const {
    out->BeginUpdate();
    out->Clear();
    if (const TStringList* s = Find(section)) out->AddStrings(s);
    out->EndUpdate();
}

void TMemIniFile::EraseSection(std::string_view section) {
    const auto it = index_.find(section);
    if (it == index_.end()) return;
    sections_.erase(sections_.begin() + std::ptrdiff_t(it->second));
    index_.clear();
    for (size_t i = 0; i < sections_.size(); ++i)
        index_.emplace(sections_[i].name, i);
}

void TMemIniFile::DeleteKey(std::string_view section, std::string_view ident) {
    if (auto* s = const_cast<TStringList*>(Find(section))) {
        const int i = s->IndexOfName(ident);
        if (i >= 0) s->Delete(i);
    }
}

std::string TMemIniFile::ReadString(std::string_view section, std::string_view ident,
                                    const std::string& def) const {
    const TStringList* s = Find(section);
    if (!s) return def;
    const int i = s->IndexOfName(ident);
    return i < 0 ? def : s->ValueFromIndex(i);
}

int32_t TMemIniFile::ReadInteger(std::string_view section, std::string_view ident,
                                 int32_t def) const {
    std::string s = ReadString(section, ident, "");
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s = '$' + s.substr(2);
    return StrToIntDef(s, def);
}

bool TMemIniFile::ReadBool(std::string_view section, std::string_view ident, bool def) const {
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

double TMemIniFile::ReadFloat(std::string_view section, std::string_view ident, double def) const {
    const std::string s = ReadString(section, ident, "");
    double v;
    return !s.empty() && TryStrToFloat(s, v) ? v : def;
}

void TMemIniFile::WriteString(std::string_view section, std::string_view ident,
                              const std::string& value) {
    TStringList* s = AddSection(section);
    const std::string line = std::string(ident) + '=' + value;
    const int i = s->IndexOfName(ident);
    if (i >= 0)
        s->Put(i, line);
    else
        s->Add(line);
}

void TMemIniFile::WriteInteger(std::string_view section, std::string_view ident, int32_t value) {
    WriteString(section, ident, IntToStr(value));
}

void TMemIniFile::WriteBool(std::string_view section, std::string_view ident, bool value) {
    WriteString(section, ident, value ? "1" : "0");
}

void TMemIniFile::WriteFloat(std::string_view section, std::string_view ident, double value) {
    WriteString(section, ident, FloatToStr(value));
}

}  // namespace vcl
