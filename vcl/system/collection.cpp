#include "vcl/system/collection.h"

#include <algorithm>

#include "vcl/system/list.h"

namespace vcl {

TCollectionItem::TCollectionItem(TCollection* collection) {
    SetCollection(collection);
}

TCollectionItem::~TCollectionItem() {
    SetCollection(nullptr);
}

void TCollectionItem::SetCollection(TCollection* collection) {
    if (collection == collection_) return;
    if (collection_) collection_->RemoveItem(this);
    if (collection) collection->InsertItem(this);
}

int TCollectionItem::Index() const {
    if (!collection_) return -1;
    auto& v = collection_->items_;
    return static_cast<int>(std::find(v.begin(), v.end(), this) - v.begin());
}

void TCollectionItem::SetIndex(int index) {
    const int current = Index();
    if (current < 0 || index == current) return;
    auto& v = collection_->items_;
    if (index < 0 || index >= static_cast<int>(v.size())) ListIndexError(index);
    v.erase(v.begin() + current);
    v.insert(v.begin() + index, this);
    Changed(true);
}

TPersistent* TCollectionItem::GetOwner() const {
    return collection_;
}

void TCollectionItem::Changed(bool allItems) {
    if (collection_ && collection_->updateCount_ == 0)
        collection_->Update(allItems ? nullptr : this);
}

TCollection::TCollection(ItemFactory factory, TPersistent* owner)
    : factory_(std::move(factory)), owner_(owner) {}

TCollection::~TCollection() {
    updateCount_ = 1;  // no Update calls into a collection that is going away
    Clear();
}

TCollectionItem* TCollection::Items(int index) const {
    if (index < 0 || index >= Count()) ListIndexError(index);
    return items_[index];
}

TCollectionItem* TCollection::Add() {
    // The item joins from its base constructor: Update hears of it once it is whole.
    BeginUpdate();
    TCollectionItem* item;
    try {
        item = factory_(this);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return item;
}

TCollectionItem* TCollection::Insert(int index) {
    BeginUpdate();
    TCollectionItem* item;
    try {
        item = Add();
        item->SetIndex(std::clamp(index, 0, Count() - 1));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return item;
}

void TCollection::Delete(int index) {
    delete Items(index);
}

void TCollection::Clear() {
    if (items_.empty()) return;
    BeginUpdate();
    while (!items_.empty())
        delete items_.back();
    EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int id) const {
    for (TCollectionItem* i : items_)
        if (i->id_ == id) return i;
    return nullptr;
}

void TCollection::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) Changed();
}

void TCollection::Changed() {
    if (updateCount_ == 0) Update(nullptr);
}

void TCollection::Assign(const TPersistent* source) {
    const auto* other = dynamic_cast<const TCollection*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    if (other == this) return;
    BeginUpdate();
    try {
        Clear();
        for (TCollectionItem* i : other->items_)
            Add()->Assign(i);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::InsertItem(TCollectionItem* item) {
    items_.push_back(item);
    item->collection_ = this;
    item->id_ = nextId_++;
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
    items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
    item->collection_ = nullptr;
    Changed();
}

}  // namespace vcl
