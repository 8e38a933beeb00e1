// TList: the class library's list of pointers (or of any small value), with its index checks:
// an index outside the list raises EListError "List index out of bounds (%d)".
#pragma once

#include <algorithm>
#include <functional>
#include <vector>

#include "vcl/system/exceptions.h"
#include "vcl/system/format.h"

namespace vcl {

[[noreturn]] inline void ListIndexError(int index) {
    throw EListError(Format("List index out of bounds (%d)", index));
}

template <typename T = void*>
class TList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    bool Empty() const { return items_.empty(); }

    const T& operator[](int index) const { return items_[Check(index)]; }
    T& operator[](int index) { return items_[Check(index)]; }
    const T& Items(int index) const { return (*this)[index]; }
    void Put(int index, T item) { items_[Check(index)] = std::move(item); }
    const T& First() const { return (*this)[0]; }
    const T& Last() const { return (*this)[Count() - 1]; }

    int Add(T item) {
        items_.push_back(std::move(item));
        return Count() - 1;
    }
    void Insert(int index, T item) {
        if (index < 0 || index > Count()) ListIndexError(index);
        items_.insert(items_.begin() + index, std::move(item));
    }
    void Delete(int index) { items_.erase(items_.begin() + Check(index)); }
    int IndexOf(const T& item) const {
        auto it = std::find(items_.begin(), items_.end(), item);
        return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
    }
    // Removes the first equal item; its former index, or -1.
    int Remove(const T& item) {
        const int i = IndexOf(item);
        if (i >= 0) Delete(i);
        return i;
    }
    void Exchange(int a, int b) { std::swap(items_[Check(a)], items_[Check(b)]); }
    void Move(int from, int to) {
        if (from == to) return;
        T item = items_[Check(from)];
        Check(to);
        items_.erase(items_.begin() + from);
        items_.insert(items_.begin() + to, std::move(item));
    }
    void SetCount(int count) {
        if (count < 0) ListIndexError(count);
        items_.resize(count);
    }
    // Drops the empty (default-valued) entries.
    void Pack() { items_.erase(std::remove(items_.begin(), items_.end(), T{}), items_.end()); }
    void Clear() { items_.clear(); }
    // `compare` answers negative, 0 or positive like the class library's list sort functions.
    void Sort(const std::function<int(const T&, const T&)>& compare) {
        std::stable_sort(items_.begin(), items_.end(),
                         [&](const T& a, const T& b) { return compare(a, b) < 0; });
    }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    int Check(int index) const {
        if (index < 0 || index >= Count()) ListIndexError(index);
        return index;
    }
    std::vector<T> items_;
};

}  // namespace vcl
