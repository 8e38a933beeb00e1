// TComponent: ownership, names and notifications.
//
// A component deletes the components it owns when it is freed. A component that keeps a
// pointer to another one asks for a free notification (FreeNotification); when that other one
// is freed, Notification(it, opRemove) tells it to drop the pointer. The owner is notified of
// every component it gains or loses, and the base Notification passes each notice on to all
// owned components.
//
// Forms are built in code. Components created while a TLoadingScope is open carry csLoading
// and csReading, as if read from a stored form; when the scope finishes, csReading goes and
// Loaded runs on each of them in creation order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vcl/system/persistent.h"
#include "vcl/system/set.h"

namespace vcl {

enum TComponentStateItem : uint8_t {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance
};
using TComponentState = Set<TComponentStateItem>;

enum TOperation : uint8_t { opInsert, opRemove };

class TComponent : public TPersistent {
public:
    VCL_CLASS_PUBLISHED(TComponent, TPersistent)

    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const;  // EListError when out of range
    int ComponentIndex() const;               // place in the owner's list, -1 without owner

    const std::string& Name() const { return name_; }
    // Letters, digits and "_", not starting with a digit; unique among the owner's components
    // (ignoring case). Raises EComponentError otherwise.
    virtual void SetName(const std::string& name);
    intptr_t Tag() const { return tag_; }
    void SetTag(intptr_t tag) { tag_ = tag; }

    TComponentState ComponentState() const { return state_; }

    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    void DestroyComponents();
    TComponent* FindComponent(std::string_view name) const;  // among the owned, ignoring case

    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // Told of components inserted into or removed from the owner chain, and of freed
    // components this one asked to be told about. Derived classes drop their references on
    // opRemove and call the base, which passes the notice on to the owned components.
    virtual void Notification(TComponent* component, TOperation operation);

    // Runs once the component's properties are all set; clears csLoading.
    virtual void Loaded();
    // Marks the component (and the owned ones) as being destroyed.
    virtual void Destroying();
    // Tells the owner of the new component (opInsert), once the component is whole.
    void AfterConstruction() override;
    void BeforeDestruction() override;

protected:
    void SetComponentState(TComponentStateItem item, bool on);

private:
    friend class TLoadingScope;
    void Insert(TComponent* c);
    void Remove(TComponent* c);
    void ValidateRename(TComponent* c, const std::string& newName) const;

    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    std::string name_;
    intptr_t tag_ = 0;
    TComponentState state_;
};

// Opens a loading scope for the current thread. Scopes nest: an inner one joins the outer
// one, whose Finish sends Loaded to the components of both.
class TLoadingScope {
public:
    TLoadingScope();
    ~TLoadingScope();  // finishes the scope when Finish was not called
    TLoadingScope(const TLoadingScope&) = delete;
    TLoadingScope& operator=(const TLoadingScope&) = delete;

    void Finish();

private:
    friend class TComponent;
    static TLoadingScope* Current();
    void Forget(TComponent* c);

    TLoadingScope* outer_;
    bool finished_ = false;
    std::vector<TComponent*> loaded_;
};

}  // namespace vcl
