// Delegates: an object and one of its member functions, the class library's "procedure of object".
//
//   btnStart->OnClick = vcl::Method(this, &TformStart::btnStartClick);
//   if (form->WindowProc == vcl::Method(this, &TsSkinProvider::NewWndProc)) ...
//
// Two delegates are equal when they name the same object and the same member, so code that
// replaced a window procedure can ask whether it is still the one in force and give the saved
// one back. A delegate may also hold a callable (a lambda); such a delegate equals only its own
// copies. An empty delegate does nothing when called and returns a default value.
#pragma once

#include <cstring>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

namespace vcl {

template <typename Signature>
class Delegate;

template <typename R, typename... A>
class Delegate<R(A...)> {
public:
    Delegate() = default;
    Delegate(std::nullptr_t) {}  // NOLINT: "OnClick = nullptr" clears the event

    template <typename T, typename U>
    requires std::is_base_of_v<U, T> Delegate(T* object, R (U::*member)(A...)) {
        Bind<U>(object, member);
    }
    template <typename T, typename U>
    requires std::is_base_of_v<U, T> Delegate(T* object, R (U::*member)(A...) const) {
        Bind<U>(object, member);
    }

    // A callable that is not a member of an object (tests, small internal handlers).
    template <typename F>
    requires(std::is_invocable_r_v<R, F&, A...> &&
             !std::is_same_v<std::decay_t<F>, Delegate>) static Delegate FromCallable(F&& f) {
        Delegate d;
        auto holder = std::make_shared<std::function<R(A...)>>(std::forward<F>(f));
        d.object_ = holder.get();
        d.callable_ = std::move(holder);
        d.invoke_ = [](const Delegate& self, A... args) -> R {
            return (*self.callable_)(std::forward<A>(args)...);
        };
        return d;
    }

    explicit operator bool() const { return invoke_ != nullptr; }
    bool Assigned() const { return invoke_ != nullptr; }

    R operator()(A... args) const {
        if (!invoke_) {
            if constexpr (std::is_void_v<R>)
                return;
            else
                return R{};
        }
        return invoke_(*this, std::forward<A>(args)...);
    }

    // The object the delegate calls into; nullptr for an empty delegate.
    void* Object() const { return callable_ ? nullptr : object_; }

    friend bool operator==(const Delegate& a, const Delegate& b) {
        return a.invoke_ == b.invoke_ && a.object_ == b.object_ &&
               std::memcmp(a.member_, b.member_, sizeof(a.member_)) == 0;
    }
    friend bool operator==(const Delegate& a, std::nullptr_t) { return !a.invoke_; }

private:
    // A member pointer of any class fits here (two words in the Itanium ABI); the static assert
    // below keeps that true.
    static constexpr std::size_t kMemberSize = 2 * sizeof(void*);

    // Instantiated per class of the member, not per class of the object, so that the same
    // member bound through a derived pointer compares equal.
    template <typename U, typename M>
    void Bind(U* target, M member) {
        static_assert(sizeof(M) <= kMemberSize, "member pointer does not fit");
        if (!target) return;
        object_ = const_cast<void*>(static_cast<const void*>(target));
        std::memcpy(member_, &member, sizeof(M));
        invoke_ = [](const Delegate& self, A... args) -> R {
            M m;
            std::memcpy(&m, self.member_, sizeof(M));
            return (static_cast<U*>(self.object_)->*m)(std::forward<A>(args)...);
        };
    }

    void* object_ = nullptr;
    alignas(void*) unsigned char member_[kMemberSize] = {};
    R (*invoke_)(const Delegate&, A...) = nullptr;
    std::shared_ptr<std::function<R(A...)>> callable_;
};

// Deduces the delegate type from the member: vcl::Method(this, &TForm1::Handler).
template <typename T, typename U, typename R, typename... A>
Delegate<R(A...)> Method(T* object, R (U::*member)(A...)) {
    return Delegate<R(A...)>(object, member);
}

class TObject;

// The event of most controls and components: "something happened to Sender".
using TNotifyEvent = Delegate<void(TObject* Sender)>;

}  // namespace vcl
