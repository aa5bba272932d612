// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// When settings changed from the menus reach the disk: soon after a change,
// so that a crash a little later loses nothing, but only once a burst of
// changes has settled, so that the burst writes the file once. Time is
// passed in (milliseconds on a steady clock); the owner runs one timer.
#include <cstdint>
#include <optional>

#include "settings/Settings.h"

class SettingsSaveSchedule {
 public:
  // The quiet time after the last change, and the longest a change waits
  // however many follow it.
  static constexpr std::uint64_t kQuietMs = 1000;
  static constexpr std::uint64_t kLongestWaitMs = 5000;

  // `onDisk`: the settings as the file holds them.
  explicit SettingsSaveSchedule(const Settings& onDisk) : saved(onDisk), seen(onDisk) {}

  struct Step {
    bool saveNow = false;  // save the settings now; they count as saved
    // Look again after this long (restart the timer); nothing: no save waits.
    std::optional<std::uint64_t> lookAgainMs;
  };
  // Looks at the settings, as often as the owner likes (whenever they may
  // have changed, and when the timer fires).
  Step Look(const Settings& current, std::uint64_t nowMs);

 private:
  Settings saved;  // as last written (or found)
  Settings seen;   // as last looked at
  std::optional<std::uint64_t> firstChangeMs;  // of the changes not yet written
  std::uint64_t lastChangeMs = 0;
};
