// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/SettingsSaveSchedule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The schedule looked at on a fake clock, as the window looks at it at idle
// time and when its timer fires. Each row is a run of looks; a look that
// finds the settings changed carries the new scale. `saves` are the times
// at which a save was asked for.
TEST(SettingsSaveSchedule, ABurstOfChangesIsSavedOnceItSettles) {
  constexpr std::uint64_t kQuiet = SettingsSaveSchedule::kQuietMs;
  constexpr std::uint64_t kLongest = SettingsSaveSchedule::kLongestWaitMs;
  struct Look {
    std::uint64_t at;
    int scale;
  };
  struct Row {
    const char* what;
    std::vector<Look> looks;
    std::vector<std::uint64_t> saves;
  };
  const Row rows[] = {
      {"nothing changed", {{0, 2}, {kQuiet, 2}, {kLongest, 2}}, {}},
      {"one change", {{10, 3}, {10 + kQuiet - 1, 3}, {10 + kQuiet, 3}, {10 + 2 * kQuiet, 3}}, {10 + kQuiet}},
      {"a burst", {{0, 3}, {200, 5}, {400, 1}, {400 + kQuiet, 1}}, {400 + kQuiet}},
      {"changed and changed back", {{0, 3}, {100, 2}, {100 + kQuiet, 2}}, {}},
      {"changes that never settle wait no longer than the longest wait",
       {{0, 3}, {900, 5}, {1800, 3}, {2700, 5}, {3600, 3}, {4500, 5}, {kLongest, 5}, {kLongest + 100, 3},
        {kLongest + 100 + kQuiet, 3}},
       {kLongest, kLongest + 100 + kQuiet}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    SettingsSaveSchedule schedule(Settings{});
    std::vector<std::uint64_t> saves;
    std::uint64_t wakeAt = 0;
    for (const Look& look : r.looks) {
      Settings now;
      now.petsciiScale = look.scale;
      const SettingsSaveSchedule::Step step = schedule.Look(now, look.at);
      if (step.saveNow) saves.push_back(look.at);
      // The timer is set for when the save is due: never later.
      if (step.lookAgainMs) wakeAt = look.at + *step.lookAgainMs;
      EXPECT_FALSE(step.saveNow && step.lookAgainMs);
    }
    EXPECT_EQ(saves, r.saves);
    if (!r.saves.empty()) {
      EXPECT_EQ(wakeAt, r.saves.back());
    }
  }
}

}  // namespace
