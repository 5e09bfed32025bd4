#pragma once
// A small set of enumeration values (the enumerators 0 .. Count-1), kept as one bit mask.
#include <cstdint>
#include <initializer_list>

template <class Enum, unsigned Count>
class TSet {
  static_assert(Count > 0 && Count <= 64, "TSet holds at most 64 enumerators");

public:
  constexpr TSet() noexcept = default;
  constexpr TSet(std::initializer_list<Enum> values) noexcept {
    for (Enum v : values) Include(v);
  }
  static constexpr TSet All() noexcept { return FromMask(~std::uint64_t{0}); }
  // Bit n stands for enumerator n; bits beyond Count are dropped.
  static constexpr TSet FromMask(std::uint64_t mask) noexcept {
    TSet set;
    set.FMask = mask & kAll;
    return set;
  }
  constexpr std::uint64_t Mask() const noexcept { return FMask; }

  constexpr bool Contains(Enum v) const noexcept { return (FMask & Bit(v)) != 0; }
  constexpr TSet& Include(Enum v) noexcept {
    FMask |= Bit(v);
    return *this;
  }
  constexpr TSet& Exclude(Enum v) noexcept {
    FMask &= ~Bit(v);
    return *this;
  }
  constexpr bool Empty() const noexcept { return FMask == 0; }

  constexpr TSet operator+(const TSet& other) const noexcept { return FromMask(FMask | other.FMask); }
  constexpr TSet operator-(const TSet& other) const noexcept { return FromMask(FMask & ~other.FMask); }
  constexpr TSet operator*(const TSet& other) const noexcept { return FromMask(FMask & other.FMask); }
  constexpr bool operator==(const TSet& other) const noexcept = default;

private:
  static constexpr std::uint64_t kAll = Count == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << Count) - 1;
  static constexpr std::uint64_t Bit(Enum v) noexcept {
    auto n = static_cast<unsigned>(v);
    return n < Count ? std::uint64_t{1} << n : 0;
  }
  std::uint64_t FMask = 0;
};
