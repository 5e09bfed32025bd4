#pragma once
// Sets of enumeration values: one bit per value, for enums whose values run from 0 to Count - 1.
#include <bitset>
#include <cstddef>
#include <initializer_list>

template <class Enum, std::size_t Count>
class TSet {
public:
  constexpr TSet() noexcept = default;
  TSet(std::initializer_list<Enum> values) noexcept {
    for (Enum value : values) Include(value);
  }

  bool Contains(Enum value) const noexcept { return Index(value) < Count && FBits.test(Index(value)); }
  void Include(Enum value) noexcept {
    if (Index(value) < Count) FBits.set(Index(value));
  }
  void Exclude(Enum value) noexcept {
    if (Index(value) < Count) FBits.reset(Index(value));
  }
  bool Empty() const noexcept { return FBits.none(); }

  TSet operator+(const TSet& other) const noexcept { return TSet(FBits | other.FBits); }
  TSet operator-(const TSet& other) const noexcept { return TSet(FBits & ~other.FBits); }
  TSet operator*(const TSet& other) const noexcept { return TSet(FBits & other.FBits); }
  bool operator==(const TSet& other) const noexcept = default;

private:
  explicit TSet(std::bitset<Count> bits) noexcept : FBits(bits) {}
  static std::size_t Index(Enum value) noexcept { return static_cast<std::size_t>(value); }

  std::bitset<Count> FBits;
};
