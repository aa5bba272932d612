// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/SettingsSaveSchedule.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// The schedule looked at on a fake clock, as the window looks at idle time
// and when its timer fires: each look is (time, scale then). `saves` are
// the looks that asked for a save; the timer was always set for them.
TEST(SettingsSaveSchedule, ABurstOfChangesIsSavedOnceItSettles) {
  constexpr std::uint64_t kQuiet = SettingsSaveSchedule::kQuietMs, kLongest = SettingsSaveSchedule::kLongestWaitMs;
  struct Row {
    const char* what;
    std::vector<std::pair<std::uint64_t, int>> looks;
    std::vector<std::uint64_t> saves;
  } rows[] = {
      {"nothing changed", {{0, 2}, {kQuiet, 2}, {kLongest, 2}}, {}},
      {"one change", {{10, 3}, {9 + kQuiet, 3}, {10 + kQuiet, 3}, {10 + 2 * kQuiet, 3}}, {10 + kQuiet}},
      {"a burst", {{0, 3}, {200, 5}, {400, 1}, {400 + kQuiet, 1}}, {400 + kQuiet}},
      {"changed and changed back", {{0, 3}, {100, 2}, {100 + kQuiet, 2}}, {}},
      {"changes that never settle",
       {{0, 3}, {900, 5}, {1800, 3}, {2700, 5}, {3600, 3}, {4500, 5}, {kLongest, 5}, {kLongest + 100, 3},
        {kLongest + 100 + kQuiet, 3}},
       {kLongest, kLongest + 100 + kQuiet}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    SettingsSaveSchedule schedule(Settings{});
    std::vector<std::uint64_t> saves;
    std::uint64_t timer = 0;
    for (const auto& [at, scale] : r.looks) {
      const SettingsSaveSchedule::Step step = schedule.Look(Settings{scale, 1, false, true}, at);
      if (step.saveNow) {
        saves.push_back(at);
        EXPECT_EQ(timer, at);
      }
      if (step.lookAgainMs) timer = at + *step.lookAgainMs;
    }
    EXPECT_EQ(saves, r.saves);
  }
}

}  // namespace
