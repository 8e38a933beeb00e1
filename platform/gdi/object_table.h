// The table behind every drawing handle (internal to platform/gdi).
//
// A handle is an id, handed out once and never again, so a handle that was deleted is simply
// not found. Objects are shared: a device context keeps the objects selected into it alive even
// after their handle was deleted, as the drawing layer promises for pens, brushes and fonts.
#pragma once

#include <cstdint>
#include <memory>

namespace win::detail {

// The numbers of the first kinds are those GetObjectType answers.
enum class Kind : int {
    Pen = 1,
    Brush = 2,
    DC = 3,
    Palette = 5,
    Font = 6,
    Bitmap = 7,
    Region = 8,
    Icon = 100,
    ImageList = 101,
};

struct Object {
    explicit Object(Kind k) : kind(k) {}
    virtual ~Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    const Kind kind;
    bool stock = false;  // stock objects ignore DeleteObject
    uintptr_t id = 0;    // the handle value, 0 until registered
};

// Registers the object and answers its handle value.
uintptr_t Register(std::shared_ptr<Object> object);
std::shared_ptr<Object> Find(const void* handle);
// Removes the handle; the object lives on while someone still holds it.
bool Unregister(const void* handle);
// How many handles are alive (for leak checks in tests).
size_t LiveHandleCount();

template <class T>
std::shared_ptr<T> Get(const void* handle) {
    auto o = Find(handle);
    if (!o || o->kind != T::kKind) return nullptr;
    return std::static_pointer_cast<T>(o);
}

template <class H, class T>
H Add(std::shared_ptr<T> object) {
    return reinterpret_cast<H>(Register(std::move(object)));
}

template <class H>
H HandleOf(const Object& o) {
    return reinterpret_cast<H>(o.id);
}

}  // namespace win::detail
