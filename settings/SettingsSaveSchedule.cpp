// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/SettingsSaveSchedule.h"

#include <algorithm>

SettingsSaveSchedule::Step SettingsSaveSchedule::Look(const Settings& current, std::uint64_t nowMs) {
  if (current != seen) {
    seen = current;
    if (!firstChangeMs) firstChangeMs = nowMs;
    lastChangeMs = nowMs;
  }
  if (!firstChangeMs) return {};
  const std::uint64_t due = std::min(lastChangeMs + kQuietMs, *firstChangeMs + kLongestWaitMs);
  if (nowMs < due) return {false, due - nowMs};
  firstChangeMs.reset();
  // Changed and changed back: nothing to write.
  if (current == saved) return {};
  saved = current;
  return {true, std::nullopt};
}
