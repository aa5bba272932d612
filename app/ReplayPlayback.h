// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a replay of a byte buffer stands and which bytes are due at a given
// moment: the buffer comes at a line speed, as the board sent it to a
// modem (LinePacer), from a tick at about the display's refresh rate.
// Ticks that arrive late (a slow repaint, a coarse timer) catch up a step
// at a time; a long stall is made up only briefly. Off shows the rest at once.
#include <chrono>
#include <cstdint>

#include "net/LinePacer.h"

class ReplayPlayback {
 public:
  using Clock = LinePacer::Clock;
  // About the pace replays have always had: a byte a millisecond.
  static constexpr std::uint32_t kDefaultSpeed = 9600;

  // The bytes [first, first + count) of the source are to be replayed now.
  // `finished`: the replay is over (the timer should stop); count is 0 then.
  struct Step {
    std::uint64_t first = 0;
    std::uint64_t count = 0;
    bool finished = false;
  };

  // Starts over at the first byte, with `now` as the start of the pace.
  void Start(Clock::time_point now);
  // From `now` on, this speed (bits per second; kLineSpeedOff: the rest at once).
  void SetSpeed(std::uint32_t bitsPerSecond, Clock::time_point now) { pacer.SetSpeed(bitsPerSecond, now); }
  std::uint32_t Speed() const { return pacer.Speed(); }
  // The bytes due at `now` out of a source of `sourceSize` bytes, which may
  // have changed since the last step: the replay goes on from the same
  // position and ends at the first step that finds nothing left there.
  Step Advance(std::uint64_t sourceSize, Clock::time_point now);

  std::uint64_t Position() const { return position; }
  bool Running() const { return running; }

 private:
  std::uint64_t position = 0;
  bool running = false;
  LinePacer pacer{kDefaultSpeed};
};
