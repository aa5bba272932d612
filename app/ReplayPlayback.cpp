// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ReplayPlayback.h"

#include <algorithm>
#include <cstddef>
#include <limits>

void ReplayPlayback::Start(Clock::time_point now) {
  position = 0;
  running = true;
  pacer.Restart(now);
}

ReplayPlayback::Step ReplayPlayback::Advance(std::uint64_t sourceSize, Clock::time_point now) {
  Step step;
  step.first = position;
  if (!running || position >= sourceSize) {
    running = false;
    step.finished = true;
    return step;
  }
  const std::uint64_t left = std::min<std::uint64_t>(sourceSize - position, std::numeric_limits<std::size_t>::max());
  step.count = pacer.Release(static_cast<std::size_t>(left), now);
  position += step.count;
  return step;
}
