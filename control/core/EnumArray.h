#pragma once

#include <array>
#include <cstddef>

namespace palvex {

// An array indexed by the values 0..N-1 of an enumeration instead of bare numbers, so that a
// reader sees which window part or message an entry is. An aggregate: `{{a, b, c}}` fills it.
template <class Enum, class T, std::size_t N> struct EnumArray {
    std::array<T, N> values{};

    T& operator[](Enum e) { return values[std::size_t(e)]; }
    const T& operator[](Enum e) const { return values[std::size_t(e)]; }
    static constexpr std::size_t size() { return N; }
    // The enumeration's value at a position, for loops over every entry.
    static constexpr Enum key(std::size_t i) { return Enum(i); }
    auto begin() { return values.begin(); }
    auto end() { return values.end(); }
    auto begin() const { return values.begin(); }
    auto end() const { return values.end(); }
};

} // namespace palvex
