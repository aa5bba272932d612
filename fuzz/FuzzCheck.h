// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers shared by the fuzz targets: a broken invariant aborts with its
// description, so that libFuzzer keeps the input as a finding.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, what)                                                  \
  do {                                                                               \
    if (!(condition)) {                                                              \
      std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", what, __FILE__, __LINE__); \
      std::abort();                                                                  \
    }                                                                                \
  } while (0)

// A small generator for choices that must not eat the input itself (batch
// sizes), seeded from it so that each input is replayed exactly.
class SplitMix {
 public:
  explicit SplitMix(std::uint64_t seed) : state(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 1 .. limit
  std::size_t upTo(std::size_t limit) { return 1 + static_cast<std::size_t>(next() % limit); }

 private:
  std::uint64_t state;
};
