#pragma once
// A set of the values of a small enumeration (at most 64), as the class library's
// set types: ComponentState, field attributes and the like.

#include <cstdint>
#include <initializer_list>

template<class E> class SetOf {
public:
    constexpr SetOf() = default;
    constexpr SetOf(std::initializer_list<E> items)
    {
        for (E item : items)
            Include(item);
    }

    constexpr bool Contains(E item) const { return (FBits & Bit(item)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr void Include(E item) { FBits |= Bit(item); }
    constexpr void Exclude(E item) { FBits &= ~Bit(item); }

    constexpr SetOf operator+(SetOf other) const { return FromBits(FBits | other.FBits); }
    constexpr SetOf operator-(SetOf other) const { return FromBits(FBits & ~other.FBits); }
    constexpr SetOf operator*(SetOf other) const { return FromBits(FBits & other.FBits); }
    constexpr bool operator==(const SetOf&) const = default;

private:
    static constexpr std::uint64_t Bit(E item) { return std::uint64_t {1} << static_cast<unsigned>(item); }
    static constexpr SetOf FromBits(std::uint64_t bits)
    {
        SetOf result;
        result.FBits = bits;
        return result;
    }

    std::uint64_t FBits = 0;
};
