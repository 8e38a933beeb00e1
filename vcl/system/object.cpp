#include "vcl/system/object.h"

#include "vcl/system/exceptions.h"
#include "vcl/system/format.h"
#include "vcl/system/sysutils.h"

namespace vcl {

TClassInfo::TClassInfo(const char* name, const TClassInfo* parent, std::vector<TPropInfo> props)
    : name_(name), parent_(parent), props_(std::move(props)) {
    for (std::size_t i = 0; i < props_.size(); ++i)
        index_[UpperCase(props_[i].Name)] = i;
}

bool TClassInfo::InheritsFrom(std::string_view className) const {
    for (const TClassInfo* c = this; c; c = c->parent_)
        if (SameText(c->name_, className)) return true;
    return false;
}

const TPropInfo* TClassInfo::FindProperty(std::string_view name) const {
    const std::string key = UpperCase(name);
    for (const TClassInfo* c = this; c; c = c->parent_) {
        auto it = c->index_.find(key);
        if (it != c->index_.end()) return &c->props_[it->second];
    }
    return nullptr;
}

std::vector<const TPropInfo*> TClassInfo::Properties() const {
    std::vector<const TClassInfo*> chain;
    for (const TClassInfo* c = this; c; c = c->parent_)
        chain.push_back(c);
    std::vector<const TPropInfo*> out;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        for (const TPropInfo& p : (*it)->props_)
            // A class may publish a property of its ancestor again; the latest one counts.
            if (FindProperty(p.Name) == &p) out.push_back(&p);
    return out;
}

const TClassInfo& TObject::StaticClass() {
    static const TClassInfo info("TObject", nullptr);
    return info;
}

void TObject::Free() {
    BeforeDestruction();
    delete this;
}

namespace {

const TPropInfo& Need(const TObject* object, std::string_view name) {
    if (!object) throw EPropertyError(Format("Property %s of nil object", name));
    const TPropInfo* p = object->ClassType().FindProperty(name);
    if (!p) throw EPropertyError(Format("Property %s does not exist", name));
    return *p;
}

bool IsOrdinal(TTypeKind k) {
    return k == TTypeKind::tkInteger || k == TTypeKind::tkEnumeration;
}

const TPropInfo& NeedKind(const TObject* object, std::string_view name, bool ok(TTypeKind)) {
    const TPropInfo& p = Need(object, name);
    if (!ok(p.Kind)) throw EPropertyError(Format("Invalid property type: %s", name));
    return p;
}

void Write(TObject* object, const TPropInfo& p, TPropValue v) {
    if (!p.Set) throw EPropertyError(Format("Property %s is read-only", p.Name));
    p.Set(object, v);
}

}  // namespace

const TPropInfo* GetPropInfo(const TObject* object, std::string_view name) {
    return object ? object->ClassType().FindProperty(name) : nullptr;
}

bool IsPublishedProp(const TObject* object, std::string_view name) {
    return GetPropInfo(object, name) != nullptr;
}

int64_t GetOrdProp(const TObject* object, std::string_view name) {
    return std::get<int64_t>(NeedKind(object, name, IsOrdinal).Get(object));
}

void SetOrdProp(TObject* object, std::string_view name, int64_t value) {
    Write(object, NeedKind(object, name, IsOrdinal), value);
}

double GetFloatProp(const TObject* object, std::string_view name) {
    return std::get<double>(
        NeedKind(object, name, [](TTypeKind k) { return k == TTypeKind::tkFloat; }).Get(object));
}

void SetFloatProp(TObject* object, std::string_view name, double value) {
    Write(object, NeedKind(object, name, [](TTypeKind k) { return k == TTypeKind::tkFloat; }),
          value);
}

std::string GetStrProp(const TObject* object, std::string_view name) {
    return std::get<std::string>(
        NeedKind(object, name, [](TTypeKind k) { return k == TTypeKind::tkString; }).Get(object));
}

void SetStrProp(TObject* object, std::string_view name, const std::string& value) {
    Write(object, NeedKind(object, name, [](TTypeKind k) { return k == TTypeKind::tkString; }),
          value);
}

TObject* GetObjectProp(const TObject* object, std::string_view name) {
    return std::get<TObject*>(
        NeedKind(object, name, [](TTypeKind k) { return k == TTypeKind::tkClass; }).Get(object));
}

void SetObjectProp(TObject* object, std::string_view name, TObject* value) {
    Write(object, NeedKind(object, name, [](TTypeKind k) { return k == TTypeKind::tkClass; }),
          value);
}

}  // namespace vcl
