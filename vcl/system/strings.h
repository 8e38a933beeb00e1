// TStrings: the class library's list of text lines, each with an optional object, and its text
// forms (Text, CommaText, DelimitedText, name=value pairs). Text is cp1251; files and streams
// hold the same bytes.
//
// TStrings leaves the storage to its descendants (TStringList; the lines of memos and list
// boxes); everything else is built on Get, Put, Insert, Delete and Count.
#pragma once

#include <string>
#include <string_view>

#include "vcl/system/persistent.h"

namespace vcl {

class TStream;

inline constexpr std::string_view sLineBreak = "\r\n";

class TStrings : public TPersistent {
public:
    VCL_CLASS(TStrings, TPersistent)

    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& s);
    virtual TObject* GetObject(int index) const;
    virtual void PutObject(int index, TObject* object);
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void InsertObject(int index, const std::string& s, TObject* object);
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    virtual int Add(const std::string& s);
    virtual int AddObject(const std::string& s, TObject* object);
    void Append(const std::string& s) { Add(s); }
    void AddStrings(const TStrings* strings);

    std::string Strings(int index) const { return Get(index); }
    std::string operator[](int index) const { return Get(index); }
    TObject* Objects(int index) const { return GetObject(index); }
    void SetObjects(int index, TObject* object) { PutObject(index, object); }

    virtual int IndexOf(std::string_view s) const;
    virtual int IndexOfName(std::string_view name) const;
    int IndexOfObject(const TObject* object) const;
    virtual void Exchange(int index1, int index2);
    virtual void Move(int curIndex, int newIndex);
    bool Equals(const TStrings* other) const;  // same lines, compared exactly

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    // Every line followed by CR LF. Setting splits at CR LF, CR or LF; a final line break does
    // not make an empty last line. A list over a window's text may answer that text itself.
    virtual std::string Text() const;
    virtual void SetText(std::string_view text);

    // The lines joined with Delimiter; a line holding a blank, a control character, the
    // delimiter or QuoteChar is quoted with QuoteChar (inner quotes doubled). A single empty
    // line is "" (two quotes). Setting reads that form back; unquoted blanks separate too.
    std::string DelimitedText() const;
    void SetDelimitedText(std::string_view text);
    // DelimitedText with "," and '"'.
    std::string CommaText() const;
    void SetCommaText(std::string_view text);
    char Delimiter = ',';
    char QuoteChar = '"';
    char NameValueSeparator = '=';

    // The name (before the first separator) and value of name=value lines. Setting a value
    // to empty text deletes the line.
    std::string Names(int index) const;
    std::string Values(std::string_view name) const;
    void SetValues(std::string_view name, const std::string& value);
    std::string ValueFromIndex(int index) const;

    void Assign(const TPersistent* source) override;

    // From the stream's position to its end; to the stream, the Text.
    virtual void LoadFromStream(TStream* stream);
    virtual void SaveToStream(TStream* stream) const;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

    // How the list compares lines: ignoring cp1251 case here, as TStringList does by default.
    virtual int CompareStrings(std::string_view a, std::string_view b) const;

protected:
    // Called with true when the first BeginUpdate starts a batch, false when the last
    // EndUpdate ends it.
    virtual void SetUpdateState(bool updating) { (void)updating; }
    [[noreturn]] void IndexError(int index) const;

private:
    std::string Join(char delimiter, char quoteChar) const;
    void Split(std::string_view text, char delimiter, char quoteChar);

    int updateCount_ = 0;
};

}  // namespace vcl
