// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Time as the transfers see it. Engines read the clock and hand out their
// deadlines as values; the owner keeps one timer, set to the earliest of
// them, and tells the transfers when it has come. Tests use fake time.
#include <cstdint>
#include <optional>

// Milliseconds on a clock that never goes back; only differences count.
using TransferMs = std::uint64_t;

class TransferClock {
 public:
  virtual ~TransferClock() = default;
  virtual TransferMs now() const = 0;
};

// The owner's one timer: the clock, and the moment the transfers are next
// to be woken (none: nothing waits on time).
class TransferTimer : public TransferClock {
 public:
  virtual void wakeAt(std::optional<TransferMs> when) = 0;
};

// The earlier of two deadlines, either of which may be missing.
inline std::optional<TransferMs> earlier(std::optional<TransferMs> a, std::optional<TransferMs> b) {
  if (!a) return b;
  if (!b) return a;
  return *a < *b ? a : b;
}
