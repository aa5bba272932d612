// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bytes at a modem's pace: at a line speed of B bits per second a byte of
// ten bits (8N1) is due every 10/B seconds. The owner asks at each tick of
// one timer running at about the display's refresh rate, passing the time;
// the part of a byte earned between ticks is carried to the next, so the
// count over any stretch is the ideal one to within a byte. No tick hands
// out more than one refresh's worth: a late tick is made up over the next
// few, and a stall (a dragged window, a modal dialog) is made up only for
// a short while, so the screen never jumps ahead in a burst.
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "settings/LineSpeed.h"

class LinePacer {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::uint32_t kBitsPerByte = 10;
  static constexpr std::uint32_t kRefreshesPerSecond = 60;
  // The owner's tick: a little shorter than a refresh, so that ticks a
  // little late still earn no more than a step may show.
  static constexpr std::chrono::milliseconds kTickInterval{15};
  // The longest time between two ticks that is still made up.
  static constexpr std::chrono::milliseconds kLongestMadeUp{250};

  explicit LinePacer(std::uint32_t bitsPerSecond = kLineSpeedOff) : speed(bitsPerSecond) {}

  // From `now` on, this speed; nothing earned before counts.
  void SetSpeed(std::uint32_t bitsPerSecond, Clock::time_point now);
  std::uint32_t Speed() const { return speed; }
  bool Paced() const { return speed != kLineSpeedOff; }
  // The line starts sending at `now`: bytes arrived while it was idle.
  void Restart(Clock::time_point now);

  // How many of `waiting` bytes are due at `now`; they count as shown.
  // Off: all of them.
  std::size_t Release(std::size_t waiting, Clock::time_point now);

  // One refresh's worth of bytes at this speed, at least one.
  std::size_t StepLimit() const;
  // The bytes `duration` takes at this speed.
  std::size_t BytesIn(std::chrono::milliseconds duration) const;

 private:
  std::uint32_t speed;
  Clock::time_point last{};
  // Earned and not yet shown, in bit-microseconds: a byte is ten million.
  std::uint64_t earned = 0;
};
