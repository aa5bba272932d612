// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An engine's waits as deadlines on its clock: a few named slots, each
// running once or periodically. The engine reports the earliest; when the
// owner says time has come, it takes the due ones in order.
#include <array>
#include <cstdint>
#include <optional>

#include "transfer/TransferClock.h"

class Deadlines {
 public:
  // Slots are numbered from 0 up to, not including, this.
  static constexpr int kSlots = 8;

  explicit Deadlines(const TransferClock& clock) : clock(clock) {}

  // Starts slot `id`, or starts it over: due `ms` from now.
  void start(int id, std::uint32_t ms);
  // Due `firstMs` from now, then every `periodMs` after that.
  void startPeriodic(int id, std::uint32_t firstMs, std::uint32_t periodMs);
  void stop(int id);
  void stopAll();
  bool running(int id) const;
  // The earliest moment a slot is due.
  std::optional<TransferMs> next() const;
  // The slot due first by now, taken (a periodic one moves on by its
  // period); -1 when none is due.
  int takeDue();

 private:
  struct Slot {
    bool running = false;
    TransferMs due = 0;
    std::uint32_t period = 0;  // 0: once
  };
  const TransferClock& clock;
  std::array<Slot, kSlots> slots{};
};
