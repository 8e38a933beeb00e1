#include "vcl/system/component.h"

#include <algorithm>

#include "vcl/system/exceptions.h"
#include "vcl/system/format.h"
#include "vcl/system/sysutils.h"

namespace vcl {

namespace {

thread_local TLoadingScope* gScope = nullptr;

bool IsValidIdent(std::string_view s) {
    if (s.empty()) return false;
    auto letter = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    };
    if (!letter(s[0])) return false;
    return std::all_of(s.begin(), s.end(),
                       [&](char c) { return letter(c) || (c >= '0' && c <= '9'); });
}

void Erase(std::vector<TComponent*>& v, TComponent* c) {
    v.erase(std::remove(v.begin(), v.end(), c), v.end());
}

}  // namespace

std::vector<TPropInfo> TComponent::Published() {
    return {Property("Name", &TComponent::Name, &TComponent::SetName),
            Property("Tag", &TComponent::Tag, &TComponent::SetTag)};
}

TComponent::TComponent(TComponent* owner) {
    if (TLoadingScope* s = TLoadingScope::Current()) {
        state_ << csLoading << csReading;
        s->loaded_.push_back(this);
    }
    // The owner hears of the new component in AfterConstruction, once the component is whole.
    if (owner) owner->Insert(this);
}

TComponent::~TComponent() {
    Destroying();
    while (!freeNotifies_.empty()) {
        TComponent* c = freeNotifies_.back();
        RemoveFreeNotification(c);
        c->Notification(this, opRemove);
    }
    DestroyComponents();
    if (owner_) owner_->RemoveComponent(this);
    for (TLoadingScope* s = gScope; s; s = s->outer_)
        s->Forget(this);
}

void TComponent::AfterConstruction() {
    if (owner_) owner_->Notification(this, opInsert);
}

void TComponent::BeforeDestruction() {
    Destroying();
    DestroyComponents();
}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount())
        throw EListError(Format("List index out of bounds (%d)", index));
    return components_[index];
}

int TComponent::ComponentIndex() const {
    if (!owner_) return -1;
    auto& v = owner_->components_;
    auto it = std::find(v.begin(), v.end(), this);
    return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

void TComponent::SetName(const std::string& name) {
    if (name == name_) return;
    if (!name.empty() && !IsValidIdent(name))
        throw EComponentError(Format("'%s' is not a valid component name", name));
    if (owner_) owner_->ValidateRename(this, name);
    name_ = name;
}

void TComponent::ValidateRename(TComponent* c, const std::string& newName) const {
    if (newName.empty()) return;
    for (TComponent* other : components_)
        if (other != c && SameText(other->name_, newName))
            throw EComponentError(Format("A component named %s already exists", newName));
}

void TComponent::Insert(TComponent* c) {
    components_.push_back(c);
    c->owner_ = this;
}

void TComponent::Remove(TComponent* c) {
    Erase(components_, c);
    c->owner_ = nullptr;
}

void TComponent::InsertComponent(TComponent* c) {
    if (!c || c->owner_ == this) return;
    ValidateRename(c, c->name_);
    if (c->owner_) c->owner_->RemoveComponent(c);
    Insert(c);
    Notification(c, opInsert);
}

void TComponent::RemoveComponent(TComponent* c) {
    if (!c || c->owner_ != this) return;
    Notification(c, opRemove);
    Remove(c);
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        TComponent* c = components_.back();
        // Removed with notice, so that siblings holding a pointer to it let go of it before
        // it goes.
        RemoveComponent(c);
        c->Free();
    }
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_)
        if (SameText(c->name_, name)) return c;
    return nullptr;
}

void TComponent::FreeNotification(TComponent* c) {
    if (!c || c == this) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), c) == freeNotifies_.end())
        freeNotifies_.push_back(c);
    if (std::find(c->freeNotifies_.begin(), c->freeNotifies_.end(), this) == c->freeNotifies_.end())
        c->freeNotifies_.push_back(this);
    state_ << csFreeNotification;
}

void TComponent::RemoveFreeNotification(TComponent* c) {
    if (!c) return;
    Erase(freeNotifies_, c);
    Erase(c->freeNotifies_, this);
}

void TComponent::Notification(TComponent* c, TOperation op) {
    if (op == opRemove && c) RemoveFreeNotification(c);
    // A receiver may free components; walk down and re-check the bound at every step.
    for (std::size_t i = components_.size(); i > 0; --i) {
        if (i > components_.size()) continue;
        components_[i - 1]->Notification(c, op);
    }
}

void TComponent::Loaded() {
    state_ >> csLoading;
}

void TComponent::Destroying() {
    if (state_.Contains(csDestroying)) return;
    state_ << csDestroying;
    for (TComponent* c : components_)
        c->Destroying();
}

void TComponent::SetComponentState(TComponentStateItem item, bool on) {
    if (on)
        state_ << item;
    else
        state_ >> item;
}

TLoadingScope::TLoadingScope() : outer_(gScope) {
    gScope = this;
}

TLoadingScope::~TLoadingScope() {
    if (!finished_) {
        try {
            Finish();
        } catch (...) {
            // A destructor must not throw; the caller that wanted the error calls Finish.
        }
    }
}

TLoadingScope* TLoadingScope::Current() {
    // Nested scopes collect into the outermost one.
    TLoadingScope* s = gScope;
    while (s && s->outer_)
        s = s->outer_;
    return s;
}

void TLoadingScope::Forget(TComponent* c) {
    std::replace(loaded_.begin(), loaded_.end(), c, static_cast<TComponent*>(nullptr));
}

void TLoadingScope::Finish() {
    if (finished_) return;
    finished_ = true;
    if (gScope == this) gScope = outer_;
    for (TComponent* c : loaded_)
        if (c) c->SetComponentState(csReading, false);
    // Loaded may free components; Forget blanks them in this list meanwhile.
    for (std::size_t i = 0; i < loaded_.size(); ++i)
        if (TComponent* c = loaded_[i]) c->Loaded();
    loaded_.clear();
}

}  // namespace vcl
