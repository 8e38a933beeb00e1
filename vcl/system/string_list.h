// TStringList: the stored list of lines, optionally kept sorted.
//
// Lines compare ignoring cp1251 case unless CaseSensitive is set. A sorted list places every
// added line by a binary search and refuses Insert and Put; Duplicates says what adding a line
// that is already there does (dupIgnore: nothing, dupError: EStringListError, dupAccept: add
// it before the equal ones). OnChanging and OnChange come around every change, once for a
// whole BeginUpdate/EndUpdate batch. The list does not own its objects.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "vcl/system/delegate.h"
#include "vcl/system/strings.h"

namespace vcl {

enum TDuplicates : uint8_t { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
public:
    VCL_CLASS(TStringList, TStrings)

    TStringList() = default;
    // Starts with the given lines (not sorted).
    TStringList(std::initializer_list<std::string> lines);

    int Count() const override { return static_cast<int>(items_.size()); }
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    void Insert(int index, const std::string& s) override;
    void InsertObject(int index, const std::string& s, TObject* object) override;
    void Delete(int index) override;
    void Clear() override;
    int Add(const std::string& s) override;
    int AddObject(const std::string& s, TObject* object) override;
    int IndexOf(std::string_view s) const override;
    int IndexOfName(std::string_view name) const override;  // without copying the lines
    void Exchange(int index1, int index2) override;
    int CompareStrings(std::string_view a, std::string_view b) const override;

    // Binary search of a sorted list: true when found; `index` is where the line is or would go.
    bool Find(std::string_view s, int& index) const;
    void Sort();
    // Sorts with a compare function of two indexes (negative, 0, positive).
    void CustomSort(const std::function<int(const TStringList&, int, int)>& compare);

    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates d) { duplicates_ = d; }
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool on);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool updating) override;
    virtual void Changed();
    virtual void Changing();

private:
    struct Item {
        std::string s;
        TObject* object = nullptr;
    };
    void InsertItem(int index, const std::string& s, TObject* object);
    void CheckIndex(int index) const;

    std::vector<Item> items_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
    TDuplicates duplicates_ = dupIgnore;
};

}  // namespace vcl
