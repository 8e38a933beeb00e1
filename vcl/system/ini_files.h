// TMemIniFile: INI text held in memory, read from a file or from a string list.
//
//   [Section]
//   Name=Value
//
// Section and key names compare ignoring cp1251 case. Reading trims blanks around lines,
// names and values and skips empty lines, lines that begin with ";" or "#" and lines without
// "="; lines before the first section are dropped. A section that comes again adds to the
// first one; of two equal keys the first is read. Values are taken as they stand (quotes
// stay). Changes stay in memory until UpdateFile writes them.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "vcl/system/string_list.h"

namespace vcl {

class TMemIniFile : public TObject {
public:
    VCL_CLASS(TMemIniFile, TObject)

    // Reads the file when it exists; an empty name gives an empty, memory-only file.
    explicit TMemIniFile(const std::string& fileName = {});
    ~TMemIniFile() override;

    const std::string& FileName() const { return fileName_; }
    // Another file name; with `reload`, the contents are read from it.
    void Rename(const std::string& fileName, bool reload);
    void UpdateFile();  // writes GetStrings to the file

    void Clear();
    void SetStrings(const TStrings* lines);
    void GetStrings(TStrings* lines) const;

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view ident) const;
    void ReadSections(TStrings* out) const;
    void ReadSection(std::string_view section, TStrings* out) const;        // the names
    void ReadSectionValues(std::string_view section, TStrings* out) const;  // name=value lines
    void EraseSection(std::string_view section);
    void DeleteKey(std::string_view section, std::string_view ident);

    std::string ReadString(std::string_view section, std::string_view ident,
                           const std::string& def) const;
    // Decimal, "$" hex or "0x" hex; the default when absent or not a number.
    int32_t ReadInteger(std::string_view section, std::string_view ident, int32_t def) const;
    bool ReadBool(std::string_view section, std::string_view ident, bool def) const;
    double ReadFloat(std::string_view section, std::string_view ident, double def) const;

    void WriteString(std::string_view section, std::string_view ident, const std::string& value);
    void WriteInteger(std::string_view section, std::string_view ident, int32_t value);
    void WriteBool(std::string_view section, std::string_view ident, bool value);
    void WriteFloat(std::string_view section, std::string_view ident, double value);

private:
    struct Section {
        std::string name;
        std::unique_ptr<TStringList> lines;
    };
    const TStringList* Find(std::string_view section) const;
    TStringList* AddSection(std::string_view section);
    void Load();

    // Section names ignoring cp1251 case, without making upper-cased copies to look one up.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const;
    };
    struct NameEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };

    std::string fileName_;
    std::vector<Section> sections_;
    // Section name -> place in sections_, so that texts of many sections read in linear time.
    std::unordered_map<std::string, size_t, NameHash, NameEqual> index_;
};

}  // namespace vcl
