// The pieces the profile generator's parts share: a portable random
// sequence, hex and time texts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// splitmix64: the same sequence on every platform.
class Random {
 public:
  explicit Random(std::uint64_t seed) : FState(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (FState += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(Next() % n); }
  // A fraction in [0, 1) with 1/1,000,000 steps.
  double Fraction() { return Below(1000000) / 1e6; }
  template <class T> const T& Pick(const std::vector<T>& v) { return v[Below(static_cast<std::uint32_t>(v.size()))]; }

 private:
  std::uint64_t FState;
};

// The low `bytes` bytes of the value, most significant first, in uppercase hex.
std::string Hex(std::uint64_t value, int bytes);
// "anna.berg@example.org" for "Anna Berg".
std::string Email(const std::string& person);
// A random time in 2024 as "YYYY-MM-DDTHH:MM:SSZ".
std::string Time(Random& rnd);
// FILETIME ticks of a "YYYY-MM-DDTHH:MM:SSZ" text (0 when it is not one).
std::int64_t Ticks(const std::string& time);
