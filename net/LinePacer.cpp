// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/LinePacer.h"

#include <algorithm>

namespace {
using Microseconds = std::chrono::microseconds;
constexpr std::uint64_t kMicrosecondsPerSecond = 1000000;
constexpr std::uint64_t kUnitsPerByte = LinePacer::kBitsPerByte * kMicrosecondsPerSecond;
const std::uint64_t kLongestMadeUpMicroseconds =
    static_cast<std::uint64_t>(std::chrono::duration_cast<Microseconds>(LinePacer::kLongestMadeUp).count());
}  // namespace

void LinePacer::SetSpeed(std::uint32_t bitsPerSecond, Clock::time_point now) {
  speed = bitsPerSecond;
  Restart(now);
}

void LinePacer::Restart(Clock::time_point now) {
  last = now;
  earned = 0;
}

std::size_t LinePacer::Release(std::size_t waiting, Clock::time_point now) {
  if (!Paced()) return waiting;
  if (now > last) {
    const auto elapsed = static_cast<std::uint64_t>(std::chrono::duration_cast<Microseconds>(now - last).count());
    earned += speed * std::min(elapsed, kLongestMadeUpMicroseconds);
    // Time before `last` that was not spent on shown bytes stays earned up
    // to the same bound; the rest of a stall is forgotten.
    earned = std::min(earned, speed * kLongestMadeUpMicroseconds);
    last = now;
  }
  const std::size_t due = static_cast<std::size_t>(earned / kUnitsPerByte);
  const std::size_t shown = std::min({due, waiting, StepLimit()});
  earned -= shown * kUnitsPerByte;
  return shown;
}

std::size_t LinePacer::StepLimit() const {
  const std::uint64_t perRefresh = kBitsPerByte * kRefreshesPerSecond;
  return static_cast<std::size_t>(std::max<std::uint64_t>(1, (speed + perRefresh - 1) / perRefresh));
}

std::size_t LinePacer::BytesIn(std::chrono::milliseconds duration) const {
  const auto milliseconds = static_cast<std::uint64_t>(std::max<std::int64_t>(0, duration.count()));
  return static_cast<std::size_t>(speed * milliseconds / (kBitsPerByte * 1000));
}
