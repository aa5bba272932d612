#include "app/ReplayPlayback.h"

#include <algorithm>

void ReplayPlayback::Start(Clock::time_point now) {
  position = 0;
  running = true;
  paceStart = now;
  pacedBytes = 0;
}

ReplayPlayback::Step ReplayPlayback::Advance(std::uint64_t sourceSize, Clock::time_point now) {
  Step step;
  step.first = position;
  if (!running || position >= sourceSize) {
    running = false;
    step.finished = true;
    return step;
  }
  // A clock reading before the start (never from a steady clock) owes nothing.
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - paceStart).count();
  const std::uint64_t earned = elapsed > 0 ? static_cast<std::uint64_t>(elapsed) * kBytesPerMillisecond : 0;
  std::uint64_t due = earned > pacedBytes ? earned - pacedBytes : 0;
  if (due > kMaxBytesPerStep) {
    // Too far behind: hand out one burst and pace on from this moment.
    due = kMaxBytesPerStep;
    paceStart = now;
    pacedBytes = 0;
  } else {
    pacedBytes += due;
  }
  step.count = std::min(due, sourceSize - position);
  position += step.count;
  return step;
}
