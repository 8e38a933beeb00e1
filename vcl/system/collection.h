// TCollection and TCollectionItem: an owned, ordered list of items of one class.
//
// An item joins its collection in its constructor and leaves it in its destructor; the
// collection frees the items it still holds. Every change tells the collection's Update
// (nothing while BeginUpdate is in force; once more at the last EndUpdate).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "vcl/system/persistent.h"

namespace vcl {

class TCollection;

class TCollectionItem : public TPersistent {
public:
    VCL_CLASS(TCollectionItem, TPersistent)

    explicit TCollectionItem(TCollection* collection);
    ~TCollectionItem() override;

    TCollection* Collection() const { return collection_; }
    void SetCollection(TCollection* collection);  // moves the item to another collection
    int Index() const;                            // -1 outside a collection
    virtual void SetIndex(int index);
    int ID() const { return id_; }
    virtual std::string DisplayName() const { return ClassName(); }
    TPersistent* GetOwner() const override;

protected:
    // Tells the collection that this item (or, with allItems, every item) changed.
    void Changed(bool allItems);

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
    int id_ = 0;
};

class TCollection : public TPersistent {
public:
    VCL_CLASS(TCollection, TPersistent)

    using ItemFactory = std::function<TCollectionItem*(TCollection*)>;

    TCollection(ItemFactory factory, TPersistent* owner = nullptr);
    ~TCollection() override;

    // A factory that makes items of class T (constructed from the collection).
    template <typename T>
    static ItemFactory ItemsOf() {
        return [](TCollection* c) -> TCollectionItem* { return new T(c); };
    }

    int Count() const { return static_cast<int>(items_.size()); }
    TCollectionItem* Items(int index) const;  // EListError when out of range
    TCollectionItem* Add();
    TCollectionItem* Insert(int index);
    void Delete(int index);
    void Clear();
    TCollectionItem* FindItemID(int id) const;

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    // Copies another collection item by item (each new item Assigns its source).
    void Assign(const TPersistent* source) override;
    TPersistent* GetOwner() const override { return owner_; }

protected:
    // A change of `item`, or of the whole collection for nullptr.
    virtual void Update(TCollectionItem* item) { (void)item; }
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* item);
    void RemoveItem(TCollectionItem* item);

    ItemFactory factory_;
    TPersistent* owner_;
    std::vector<TCollectionItem*> items_;
    int nextId_ = 0;
    int updateCount_ = 0;
};

// A collection whose items are of class T, with typed access.
template <typename T>
class TOwnedCollection : public TCollection {
public:
    explicit TOwnedCollection(TPersistent* owner = nullptr) : TCollection(ItemsOf<T>(), owner) {}
    T* Add() { return static_cast<T*>(TCollection::Add()); }
    T* Insert(int index) { return static_cast<T*>(TCollection::Insert(index)); }
    T* Items(int index) const { return static_cast<T*>(TCollection::Items(index)); }
};

}  // namespace vcl
