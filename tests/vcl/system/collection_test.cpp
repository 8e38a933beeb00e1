#include "vcl/system/collection.h"

#include <gtest/gtest.h>

#include "vcl/system/exceptions.h"

namespace {

using namespace vcl;

class TItem : public TCollectionItem {
public:
    VCL_CLASS(TItem, TCollectionItem)
    using TCollectionItem::TCollectionItem;
    void Assign(const TPersistent* source) override {
        if (auto* i = dynamic_cast<const TItem*>(source)) {
            value = i->value;
            Changed(false);
            return;
        }
        TCollectionItem::Assign(source);
    }
    void SetValue(int v) {
        value = v;
        Changed(false);
    }
    int value = 0;
};

class TItems : public TOwnedCollection<TItem> {
public:
    using TOwnedCollection::TOwnedCollection;
    std::vector<TCollectionItem*> updates;

protected:
    void Update(TCollectionItem* item) override { updates.push_back(item); }
};

TEST(TCollection, ItemsJoinLeaveAndMove) {
    TItems c;
    TItem* a = c.Add();
    TItem* b = c.Add();
    TItem* first = c.Insert(0);
    EXPECT_EQ(c.Count(), 3);
    EXPECT_EQ(first->Index(), 0);
    EXPECT_EQ(a->Index(), 1);
    EXPECT_EQ(b->ID(), 1);
    EXPECT_EQ(c.FindItemID(2), first);
    EXPECT_EQ(first->GetOwner(), &c);
    b->SetIndex(0);
    EXPECT_EQ(c.Items(0), b);
    EXPECT_THROW(b->SetIndex(3), EListError);
    EXPECT_THROW(c.Items(-1), EListError);
    delete a;  // an item freed on its own leaves the collection
    EXPECT_EQ(c.Count(), 2);
    c.Delete(0);
    EXPECT_EQ(c.Items(0), first);

    TItems other;
    first->SetCollection(&other);
    EXPECT_EQ(c.Count(), 0);
    EXPECT_EQ(other.Items(0), first);
}

TEST(TCollection, UpdatesAreHeldDuringABatchAndAssignCopiesItems) {
    TItems c;
    TItem* a = c.Add();
    c.updates.clear();
    a->SetValue(5);
    ASSERT_EQ(c.updates.size(), 1u);
    EXPECT_EQ(c.updates[0], a);
    c.BeginUpdate();
    c.Add()->SetValue(6);
    c.Add();
    EXPECT_EQ(c.updates.size(), 1u);
    c.EndUpdate();
    ASSERT_EQ(c.updates.size(), 2u);
    EXPECT_EQ(c.updates[1], nullptr);  // the whole collection

    TItems copy;
    copy.Add();
    copy.Assign(&c);
    ASSERT_EQ(copy.Count(), 3);
    EXPECT_EQ(copy.Items(0)->value, 5);
    EXPECT_EQ(copy.Items(1)->value, 6);
}

// An item that counts itself once its own constructor has run.
class TCounted : public TCollectionItem {
public:
    explicit TCounted(TCollection* c) : TCollectionItem(c) { ++built; }
    static inline int built = 0;
};

class TCountedItems : public TOwnedCollection<TCounted> {
public:
    std::vector<int> wholeAtUpdate;  // items built when Update came, against the count

protected:
    void Update(TCollectionItem*) override { wholeAtUpdate.push_back(TCounted::built - Count()); }
};

TEST(TCollection, UpdateHearsOfAnAddedItemOnlyOnceItIsWhole) {
    TCounted::built = 0;
    TCountedItems c;
    c.Add();
    c.Insert(0);
    ASSERT_EQ(c.wholeAtUpdate.size(), 2u);
    EXPECT_EQ(c.wholeAtUpdate, (std::vector<int>{0, 0}));
}

}  // namespace
