#include "vcl/system/component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vcl/system/delegate.h"
#include "vcl/system/exceptions.h"

namespace {

using namespace vcl;

// Keeps a pointer to another component and lets go of it when told.
class Holder : public TComponent {
public:
    VCL_CLASS(Holder, TComponent)
    using TComponent::TComponent;

    void SetTarget(TComponent* t) {
        if (target) target->RemoveFreeNotification(this);
        target = t;
        if (t) t->FreeNotification(this);
    }
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        log.push_back((op == opInsert ? "+" : "-") + c->Name());
        if (op == opRemove && c == target) target = nullptr;
    }
    void Loaded() override {
        TComponent::Loaded();
        loadedWhileReading = ComponentState().Contains(csReading);
        ++loadedCalls;
    }

    TComponent* target = nullptr;
    std::vector<std::string> log;
    bool loadedWhileReading = true;
    int loadedCalls = 0;
};

// Counts its destructions into a shared counter.
class Counted : public TComponent {
public:
    VCL_CLASS(Counted, TComponent)
    Counted(TComponent* owner, int* freed) : TComponent(owner), freed_(freed) {}
    ~Counted() override { ++*freed_; }

private:
    int* freed_;
};

TEST(TComponent, OwnerFreesWhatItOwnsAndHearsOfInsertAndRemove) {
    int freed = 0;
    auto* owner = New<Holder>(nullptr);
    auto* a = New<Counted>(owner, &freed);
    a->SetName("a");
    auto* b = New<Counted>(owner, &freed);
    b->SetName("b");
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(b->ComponentIndex(), 1);
    EXPECT_EQ(owner->FindComponent("A"), a);
    // Names were empty when the inserts were told.
    EXPECT_EQ(owner->log, (std::vector<std::string>{"+", "+"}));

    a->Free();
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(owner->ComponentCount(), 1);
    EXPECT_EQ(owner->log.back(), "-a");
    owner->Free();
    EXPECT_EQ(freed, 2);
}

TEST(TComponent, FreeNotificationClearsReferencesEitherWay) {
    auto* form1 = New<TComponent>(nullptr);
    auto* form2 = New<TComponent>(nullptr);
    auto* holder = New<Holder>(form1);
    auto* target = New<TComponent>(form2);
    target->SetName("target");
    holder->SetTarget(target);

    // The referenced component goes first: the holder is told and drops it.
    form2->Free();
    EXPECT_EQ(holder->target, nullptr);

    // The holder goes first: the target must not call into it later.
    auto* target2 = New<TComponent>(nullptr);
    holder->SetTarget(target2);
    form1->Free();
    target2->Free();  // ASan would catch a notice sent to the freed holder
}

TEST(TComponent, SiblingsLetGoOfEachOtherWhileTheOwnerFreesThem) {
    struct Checked : Holder {
        using Holder::Holder;
        ~Checked() override { EXPECT_EQ(target, nullptr); }
    };
    auto* form = New<TComponent>(nullptr);
    auto* holder = New<Checked>(form);
    auto* target = New<TComponent>(form);  // freed first: the owner frees the last one first
    holder->target = target;               // a plain reference, no free notification asked
    form->Free();                          // the holder is told through the owner
}

TEST(TComponent, NamesAreCheckedAndUniqueWithinTheOwner) {
    auto* owner = New<TComponent>(nullptr);
    auto* a = New<TComponent>(owner);
    auto* b = New<TComponent>(owner);
    a->SetName("btnStart");
    EXPECT_THROW(b->SetName("BTNSTART"), EComponentError);
    EXPECT_THROW(b->SetName("1st"), EComponentError);
    EXPECT_THROW(b->SetName("bad name"), EComponentError);
    b->SetName("_ok2");
    EXPECT_EQ(b->Name(), "_ok2");
    a->SetName("");  // empty names never clash
    b->SetName("");
    EXPECT_THROW(owner->Components(2), EListError);
    owner->Free();
}

TEST(TComponent, InsertAndRemoveMoveOwnership) {
    auto* o1 = New<Holder>(nullptr);
    auto* o2 = New<Holder>(nullptr);
    auto* c = New<TComponent>(o1);
    c->SetName("c");
    o2->InsertComponent(c);
    EXPECT_EQ(c->Owner(), o2);
    EXPECT_EQ(o1->ComponentCount(), 0);
    EXPECT_EQ(o1->log.back(), "-c");
    EXPECT_EQ(o2->log.back(), "+c");
    o2->RemoveComponent(c);
    EXPECT_EQ(c->Owner(), nullptr);
    c->Free();
    o1->Free();
    o2->Free();
}

TEST(TComponent, DestroyingMarksTheWholeTree) {
    struct Probe : TComponent {
        VCL_CLASS(Probe, TComponent)
        Probe(TComponent* o, bool* sawDestroying) : TComponent(o), saw(sawDestroying) {}
        ~Probe() override { *saw = ComponentState().Contains(csDestroying); }
        bool* saw;
    };
    bool saw = false;
    auto* owner = New<TComponent>(nullptr);
    New<Probe>(owner, &saw);
    owner->Free();
    EXPECT_TRUE(saw);
}

TEST(TLoadingScope, ComponentsLoadAfterTheWholeTreeIsBuilt) {
    Holder* a;
    Holder* b;
    {
        TLoadingScope scope;
        a = New<Holder>(nullptr);
        b = New<Holder>(a);
        EXPECT_TRUE(b->ComponentState().Contains(csLoading));
        EXPECT_TRUE(b->ComponentState().Contains(csReading));
        {
            TLoadingScope inner;  // joins the outer one
            New<Holder>(b);
        }
        EXPECT_EQ(b->loadedCalls, 0);
        auto* gone = New<Holder>(a);
        gone->Free();  // freed before the end: must not be called
        scope.Finish();
    }
    EXPECT_EQ(a->loadedCalls, 1);
    EXPECT_EQ(b->loadedCalls, 1);
    EXPECT_FALSE(b->loadedWhileReading);
    EXPECT_FALSE(b->ComponentState().Contains(csLoading));
    auto* later = New<Holder>(nullptr);
    EXPECT_FALSE(later->ComponentState().Contains(csLoading));
    later->Free();
    a->Free();
}

class Clicker : public TObject {
public:
    void Click(TObject*) { ++clicks; }
    void Other(TObject*) {}
    int clicks = 0;
};

class SubClicker : public Clicker {};

TEST(Delegate, EqualWhenObjectAndMemberAgree) {
    Clicker x, y;
    TNotifyEvent e1(&x, &Clicker::Click);
    TNotifyEvent e2 = Method(&x, &Clicker::Click);
    EXPECT_TRUE(e1 == e2);
    EXPECT_FALSE(e1 == TNotifyEvent(&y, &Clicker::Click));
    EXPECT_FALSE(e1 == TNotifyEvent(&x, &Clicker::Other));
    SubClicker s;
    EXPECT_TRUE(TNotifyEvent(&s, &Clicker::Click) ==
                TNotifyEvent(static_cast<Clicker*>(&s), &Clicker::Click));
    e1(nullptr);
    EXPECT_EQ(x.clicks, 1);

    TNotifyEvent empty;
    EXPECT_FALSE(empty);
    empty(nullptr);  // nothing happens
    EXPECT_TRUE(empty == nullptr);
    int calls = 0;
    auto f = TNotifyEvent::FromCallable([&](TObject*) { ++calls; });
    auto g = f;
    EXPECT_TRUE(f == g);
    EXPECT_FALSE(f == TNotifyEvent::FromCallable([&](TObject*) { ++calls; }));
    g(nullptr);
    EXPECT_EQ(calls, 1);
    Delegate<int(int)> ret;
    EXPECT_EQ(ret(5), 0);
}

}  // namespace
