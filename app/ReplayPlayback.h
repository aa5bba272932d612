#pragma once
// Where a replay of a byte buffer stands and which bytes are due at a given
// moment. The pace is one byte per millisecond since the replay started, so
// expiries that arrive late (a slow repaint, a coarse timer) catch up
// instead of stretching the replay; a stall longer than a short burst is
// not made up, so the screen never jumps far ahead at once.
#include <chrono>
#include <cstdint>

class ReplayPlayback {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::uint64_t kBytesPerMillisecond = 1;
  // The most bytes one step hands out; any further backlog is dropped.
  static constexpr std::uint64_t kMaxBytesPerStep = 64;

  // The bytes [first, first + count) of the source are to be replayed now.
  // `finished`: the replay is over (the timer should stop); count is 0 then.
  struct Step {
    std::uint64_t first = 0;
    std::uint64_t count = 0;
    bool finished = false;
  };

  // Starts over at the first byte, with `now` as the start of the pace.
  void Start(Clock::time_point now);
  // The bytes due at `now` out of a source of `sourceSize` bytes, which may
  // have changed since the last step: the replay goes on from the same
  // position and ends at the first step that finds nothing left there.
  Step Advance(std::uint64_t sourceSize, Clock::time_point now);

  std::uint64_t Position() const { return position; }
  bool Running() const { return running; }

 private:
  std::uint64_t position = 0;
  bool running = false;
  Clock::time_point paceStart{};
  std::uint64_t pacedBytes = 0;  // handed out since paceStart
};
