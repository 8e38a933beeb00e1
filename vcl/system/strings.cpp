#include "vcl/system/strings.h"

#include "vcl/system/exceptions.h"
#include "vcl/system/format.h"
#include "vcl/system/streams.h"
#include "vcl/system/sysutils.h"

namespace vcl {

namespace {

bool IsBlank(char c) {
    return c >= 1 && c <= ' ';
}

}  // namespace

void TStrings::IndexError(int index) const {
    throw EStringListError(Format("List index out of bounds (%d)", index));
}

void TStrings::Put(int index, const std::string& s) {
    TObject* object = GetObject(index);
    BeginUpdate();
    try {
        Delete(index);
        InsertObject(index, s, object);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

TObject* TStrings::GetObject(int) const {
    return nullptr;
}

void TStrings::PutObject(int, TObject*) {}

void TStrings::InsertObject(int index, const std::string& s, TObject* object) {
    Insert(index, s);
    PutObject(index, object);
}

int TStrings::Add(const std::string& s) {
    const int index = Count();
    Insert(index, s);
    return index;
}

int TStrings::AddObject(const std::string& s, TObject* object) {
    const int index = Add(s);
    PutObject(index, object);
    return index;
}

void TStrings::AddStrings(const TStrings* strings) {
    BeginUpdate();
    try {
        for (int i = 0; i < strings->Count(); ++i)
            AddObject(strings->Get(i), strings->GetObject(i));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

int TStrings::IndexOf(std::string_view s) const {
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(Get(i), s) == 0) return i;
    return -1;
}

int TStrings::IndexOfName(std::string_view name) const {
    for (int i = 0; i < Count(); ++i) {
        const std::string s = Get(i);
        const auto p = s.find(NameValueSeparator);
        if (p != std::string::npos && CompareStrings(std::string_view(s).substr(0, p), name) == 0)
            return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
    for (int i = 0; i < Count(); ++i)
        if (GetObject(i) == object) return i;
    return -1;
}

void TStrings::Exchange(int index1, int index2) {
    BeginUpdate();
    try {
        const std::string s = Get(index1);
        TObject* o = GetObject(index1);
        Put(index1, Get(index2));
        PutObject(index1, GetObject(index2));
        Put(index2, s);
        PutObject(index2, o);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    BeginUpdate();
    try {
        const std::string s = Get(curIndex);
        TObject* o = GetObject(curIndex);
        Delete(curIndex);
        InsertObject(newIndex, s, o);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

bool TStrings::Equals(const TStrings* other) const {
    if (!other || other->Count() != Count()) return false;
    for (int i = 0; i < Count(); ++i)
        if (Get(i) != other->Get(i)) return false;
    return true;
}

void TStrings::BeginUpdate() {
    if (updateCount_ == 0) SetUpdateState(true);
    ++updateCount_;
}

void TStrings::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

std::string TStrings::Text() const {
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        out += Get(i);
        out += sLineBreak;
    }
    return out;
}

void TStrings::SetText(std::string_view text) {
    BeginUpdate();
    try {
        Clear();
        std::size_t i = 0;
        while (i < text.size()) {
            const std::size_t start = i;
            while (i < text.size() && text[i] != '\r' && text[i] != '\n')
                ++i;
            Add(std::string(text.substr(start, i - start)));
            if (i < text.size() && text[i] == '\r') ++i;
            if (i < text.size() && text[i] == '\n') ++i;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

std::string TStrings::Join(char delimiter, char quoteChar) const {
    const std::string quote(1, quoteChar);
    if (Count() == 1 && Get(0).empty()) return quote + quote;
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        const std::string s = Get(i);
        bool needsQuotes = false;
        for (char c : s) {
            if (c == '\0') break;
            if (IsBlank(c) || c == quoteChar || c == delimiter) {
                needsQuotes = true;
                break;
            }
        }
        if (needsQuotes) {
            out += quoteChar;
            for (char c : s) {
                out += c;
                if (c == quoteChar) out += c;
            }
            out += quoteChar;
        } else {
            out += s;
        }
        if (i + 1 < Count()) out += delimiter;
    }
    return out;
}

void TStrings::Split(std::string_view text, char delimiter, char quoteChar) {
    // The text ends at a NUL, as the class library's does; past it nothing is read.
    text = text.substr(0, text.find('\0'));
    BeginUpdate();
    try {
        Clear();
        std::size_t p = 0;
        const std::size_t n = text.size();
        while (p < n && IsBlank(text[p]))
            ++p;
        while (p < n) {
            std::string s;
            if (text[p] == quoteChar) {
                // A quoted item: doubled quotes stand for one; it ends at a single quote or
                // at the end of the text.
                ++p;
                while (p < n) {
                    if (text[p] == quoteChar) {
                        if (p + 1 < n && text[p + 1] == quoteChar) {
                            s += quoteChar;
                            p += 2;
                            continue;
                        }
                        ++p;
                        break;
                    }
                    s += text[p++];
                }
            } else {
                const std::size_t start = p;
                while (p<n&& static_cast<unsigned char>(text[p])> ' ' && text[p] != delimiter)
                    ++p;
                s = std::string(text.substr(start, p - start));
            }
            Add(s);
            while (p < n && IsBlank(text[p]))
                ++p;
            if (p < n && text[p] == delimiter) {
                if (p + 1 == n) Add("");
                do {
                    ++p;
                } while (p < n && IsBlank(text[p]));
            }
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

std::string TStrings::DelimitedText() const {
    return Join(Delimiter, QuoteChar);
}
void TStrings::SetDelimitedText(std::string_view text) {
    Split(text, Delimiter, QuoteChar);
}
// The comma form always uses "," and '"', whatever the delimiter settings are.
std::string TStrings::CommaText() const {
    return Join(',', '"');
}
void TStrings::SetCommaText(std::string_view text) {
    Split(text, ',', '"');
}

std::string TStrings::Names(int index) const {
    const std::string s = Get(index);
    const auto p = s.find(NameValueSeparator);
    return p == std::string::npos ? std::string() : s.substr(0, p);
}

std::string TStrings::Values(std::string_view name) const {
    const int i = IndexOfName(name);
    return i < 0 ? std::string() : ValueFromIndex(i);
}

std::string TStrings::ValueFromIndex(int index) const {
    const std::string s = Get(index);
    const auto p = s.find(NameValueSeparator);
    return p == std::string::npos ? std::string() : s.substr(p + 1);
}

void TStrings::SetValues(std::string_view name, const std::string& value) {
    const int i = IndexOfName(name);
    if (!value.empty()) {
        const std::string line = std::string(name) + NameValueSeparator + value;
        if (i < 0)
            Add(line);
        else
            Put(i, line);
    } else if (i >= 0) {
        Delete(i);
    }
}

void TStrings::Assign(const TPersistent* source) {
    const auto* other = dynamic_cast<const TStrings*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    if (other == this) return;
    BeginUpdate();
    try {
        Clear();
        Delimiter = other->Delimiter;
        QuoteChar = other->QuoteChar;
        NameValueSeparator = other->NameValueSeparator;
        AddStrings(other);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::LoadFromStream(TStream* stream) {
    const int64_t size = stream->Size() - stream->Position();
    std::string s(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (!s.empty()) stream->ReadBuffer(s.data(), static_cast<int64_t>(s.size()));
    SetText(s);
}

void TStrings::SaveToStream(TStream* stream) const {
    const std::string s = Text();
    stream->WriteBuffer(s.data(), static_cast<int64_t>(s.size()));
}

void TStrings::LoadFromFile(const std::string& fileName) {
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&f);
}

void TStrings::SaveToFile(const std::string& fileName) const {
    TFileStream f(fileName, fmCreate);
    SaveToStream(&f);
}

int TStrings::CompareStrings(std::string_view a, std::string_view b) const {
    return AnsiCompareText(a, b);
}

}  // namespace vcl
