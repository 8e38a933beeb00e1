// Set<E>: the class library's "set of" an enumeration with at most 64 members.
//
//   TShiftState s{ssShift, ssCtrl};
//   if (s.Contains(ssCtrl)) ...;  s << ssAlt;  s >> ssShift;
#pragma once

#include <cstdint>
#include <initializer_list>

namespace vcl {

template <typename E>
class Set {
public:
    constexpr Set() = default;
    constexpr Set(std::initializer_list<E> items) {
        for (E e : items)
            bits_ |= Bit(e);
    }
    constexpr explicit Set(uint64_t bits, int) : bits_(bits) {}  // from raw bits

    constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr uint64_t Bits() const { return bits_; }

    constexpr Set& Include(E e) {
        bits_ |= Bit(e);
        return *this;
    }
    constexpr Set& Exclude(E e) {
        bits_ &= ~Bit(e);
        return *this;
    }
    constexpr Set& operator<<(E e) { return Include(e); }
    constexpr Set& operator>>(E e) { return Exclude(e); }

    friend constexpr Set operator+(Set a, Set b) { return Set(a.bits_ | b.bits_, 0); }
    friend constexpr Set operator*(Set a, Set b) { return Set(a.bits_ & b.bits_, 0); }
    friend constexpr Set operator-(Set a, Set b) { return Set(a.bits_ & ~b.bits_, 0); }
    friend constexpr bool operator==(Set a, Set b) { return a.bits_ == b.bits_; }
    Set& operator+=(Set o) {
        bits_ |= o.bits_;
        return *this;
    }
    Set& operator-=(Set o) {
        bits_ &= ~o.bits_;
        return *this;
    }

private:
    static constexpr uint64_t Bit(E e) { return uint64_t{1} << static_cast<unsigned>(e); }
    uint64_t bits_ = 0;
};

}  // namespace vcl
