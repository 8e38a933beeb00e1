// TObject: the root of the class library, with class names and published properties.
//
// Every class declares itself with VCL_CLASS (or VCL_CLASS_PUBLISHED when it publishes
// properties) as the first thing of its public section:
//
//   class TButton : public TButtonControl {
//   public:
//       VCL_CLASS_PUBLISHED(TButton, TButtonControl)
//       ...
//   };
//
// ClassName gives the class library's name of the object's class ("TButton"), InheritsFrom
// walks the chain of names, and the published properties are read and written by name
// (GetOrdProp(control, "Color")), which code that handles controls of classes it does not know
// relies on. Objects are freed with Free, which runs BeforeDestruction while the whole object
// still exists and then deletes it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace vcl {

class TObject;

enum class TTypeKind { tkInteger, tkEnumeration, tkFloat, tkString, tkClass };

using TPropValue = std::variant<int64_t, double, std::string, TObject*>;

struct TPropInfo {
    std::string Name;
    TTypeKind Kind = TTypeKind::tkInteger;
    std::function<TPropValue(const TObject*)> Get;
    std::function<void(TObject*, const TPropValue&)> Set;  // empty for a read-only property
};

class TClassInfo {
public:
    TClassInfo(const char* name, const TClassInfo* parent, std::vector<TPropInfo> props = {});

    const std::string& Name() const { return name_; }
    const TClassInfo* Parent() const { return parent_; }
    bool InheritsFrom(std::string_view className) const;  // the class itself counts
    // A property of this class or of one of its ancestors; names ignore case.
    const TPropInfo* FindProperty(std::string_view name) const;
    // All published properties, the ancestors' first.
    std::vector<const TPropInfo*> Properties() const;

private:
    std::string name_;
    const TClassInfo* parent_;
    std::vector<TPropInfo> props_;
    std::map<std::string, std::size_t> index_;  // upper-cased name -> props_ index
};

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    static const TClassInfo& StaticClass();
    virtual const TClassInfo& ClassType() const { return StaticClass(); }
    const std::string& ClassName() const { return ClassType().Name(); }
    bool InheritsFrom(std::string_view className) const {
        return ClassType().InheritsFrom(className);
    }

    // Called by New right after the constructor, and by Free right before the destructor,
    // when every part of the object is alive.
    virtual void AfterConstruction() {}
    virtual void BeforeDestruction() {}

    // BeforeDestruction, then delete. Objects made with new are freed this way.
    void Free();
};

// Frees the object (nothing for nullptr) and clears the reference.
template <typename T>
void FreeAndNil(T*& object) {
    T* o = object;
    object = nullptr;
    if (o) o->Free();
}

// A deleter for std::unique_ptr that frees with Free.
struct FreeDeleter {
    void operator()(TObject* o) const {
        if (o) o->Free();
    }
};

// Creates an object and runs its AfterConstruction, as the class library's constructors do.
template <typename T, typename... Args>
T* New(Args&&... args) {
    T* object = new T(std::forward<Args>(args)...);
    try {
        object->AfterConstruction();
    } catch (...) {
        object->Free();
        throw;
    }
    return object;
}

// Published properties by name. A missing property, or one of another kind, raises
// EPropertyError; Set on a read-only property does too.
const TPropInfo* GetPropInfo(const TObject* object, std::string_view name);
bool IsPublishedProp(const TObject* object, std::string_view name);
int64_t GetOrdProp(const TObject* object, std::string_view name);
void SetOrdProp(TObject* object, std::string_view name, int64_t value);
double GetFloatProp(const TObject* object, std::string_view name);
void SetFloatProp(TObject* object, std::string_view name, double value);
std::string GetStrProp(const TObject* object, std::string_view name);
void SetStrProp(TObject* object, std::string_view name, const std::string& value);
TObject* GetObjectProp(const TObject* object, std::string_view name);
void SetObjectProp(TObject* object, std::string_view name, TObject* value);

namespace detail {

template <typename V>
constexpr TTypeKind KindOf() {
    using T = std::remove_cvref_t<V>;
    if constexpr (std::is_same_v<T, bool> || std::is_enum_v<T>)
        return TTypeKind::tkEnumeration;
    else if constexpr (std::is_integral_v<T>)
        return TTypeKind::tkInteger;
    else if constexpr (std::is_floating_point_v<T>)
        return TTypeKind::tkFloat;
    else if constexpr (std::is_pointer_v<T>)
        return TTypeKind::tkClass;
    else
        return TTypeKind::tkString;
}

template <typename V>
TPropValue ToValue(V v) {
    using T = std::remove_cvref_t<V>;
    if constexpr (std::is_enum_v<T>)
        return static_cast<int64_t>(v);
    else if constexpr (std::is_integral_v<T>)
        return static_cast<int64_t>(v);
    else if constexpr (std::is_floating_point_v<T>)
        return static_cast<double>(v);
    else if constexpr (std::is_pointer_v<T>)
        return static_cast<TObject*>(v);
    else
        return std::string(v);
}

template <typename V>
std::remove_cvref_t<V> FromValue(const TPropValue& v) {
    using T = std::remove_cvref_t<V>;
    if constexpr (std::is_same_v<T, bool>)
        return std::get<int64_t>(v) != 0;
    else if constexpr (std::is_enum_v<T> || std::is_integral_v<T>)
        return static_cast<T>(std::get<int64_t>(v));
    else if constexpr (std::is_floating_point_v<T>)
        return static_cast<T>(std::get<double>(v));
    else if constexpr (std::is_pointer_v<T>)
        return dynamic_cast<T>(std::get<TObject*>(v));
    else
        return std::get<std::string>(v);
}

}  // namespace detail

// A published property from a getter and an optional setter of class C.
template <typename C, typename G>
TPropInfo Property(const char* name, G (C::*get)() const) {
    TPropInfo p;
    p.Name = name;
    p.Kind = detail::KindOf<G>();
    p.Get = [get](const TObject* o) {
        return detail::ToValue<G>((static_cast<const C*>(o)->*get)());
    };
    return p;
}

template <typename C, typename G, typename S>
TPropInfo Property(const char* name, G (C::*get)() const, void (C::*set)(S)) {
    TPropInfo p = Property(name, get);
    p.Set = [set](TObject* o, const TPropValue& v) {
        (static_cast<C*>(o)->*set)(detail::FromValue<S>(v));
    };
    return p;
}

}  // namespace vcl

#define VCL_CLASS(Name, ParentClass)                                             \
    static const ::vcl::TClassInfo& StaticClass() {                              \
        static const ::vcl::TClassInfo info(#Name, &ParentClass::StaticClass()); \
        return info;                                                             \
    }                                                                            \
    const ::vcl::TClassInfo& ClassType() const override {                        \
        return StaticClass();                                                    \
    }

// As VCL_CLASS, for a class that defines `std::vector<vcl::TPropInfo> Name::Published()`.
#define VCL_CLASS_PUBLISHED(Name, ParentClass)                                                \
    static std::vector<::vcl::TPropInfo> Published();                                         \
    static const ::vcl::TClassInfo& StaticClass() {                                           \
        static const ::vcl::TClassInfo info(#Name, &ParentClass::StaticClass(), Published()); \
        return info;                                                                          \
    }                                                                                         \
    const ::vcl::TClassInfo& ClassType() const override {                                     \
        return StaticClass();                                                                 \
    }
