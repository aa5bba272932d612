// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ReplayPlayback.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Clock = ReplayPlayback::Clock;

// A fake clock reading: `ms` milliseconds after an arbitrary origin.
Clock::time_point At(long long ms) { return Clock::time_point{} + std::chrono::milliseconds(ms); }

// At ten thousand bits per second a byte takes a millisecond, so the
// readings below count bytes as well.
constexpr std::uint32_t kByteAMillisecond = 10000;
constexpr std::uint64_t kStep = (kByteAMillisecond + 599) / 600;  // a refresh's worth

void StartAt(ReplayPlayback& playback, long long ms) {
  playback.SetSpeed(kByteAMillisecond, At(ms));
  playback.Start(At(ms));
}

struct Expected {
  long long at;
  std::uint64_t sourceSize, first, count;
  bool finished;
};

void Expect(ReplayPlayback& playback, std::initializer_list<Expected> steps) {
  for (const Expected& e : steps) {
    const ReplayPlayback::Step step = playback.Advance(e.sourceSize, At(e.at));
    EXPECT_EQ(step.first, e.first) << "at " << e.at;
    EXPECT_EQ(step.count, e.count) << "at " << e.at;
    EXPECT_EQ(step.finished, e.finished) << "at " << e.at;
  }
}

TEST(ReplayPlayback, PacesOneBytePerMillisecondAndCatchesUpLateExpiries) {
  ReplayPlayback playback;
  StartAt(playback, 1000);
  Expect(playback, {
                       {400, 100, 0, 0, false},  // a reading before the start owes nothing
                       {1000, 100, 0, 0, false},
                       {1001, 100, 0, 1, false},
                       {1002, 100, 1, 1, false},
                       {1002, 100, 2, 0, false},   // two expiries in one millisecond
                       {1009, 100, 2, 7, false},   // late by a few: caught up
                       {1010, 100, 9, 1, false},
                   });
  EXPECT_EQ(playback.Position(), 10u);
}

TEST(ReplayPlayback, LongStallIsMadeUpAStepAtATimeForAQuarterSecondOnly) {
  constexpr std::uint64_t kSize = 100000;
  ReplayPlayback playback;
  StartAt(playback, 0);
  Expect(playback, {
                       {5, kSize, 0, 5, false},
                       {10005, kSize, 5, kStep, false},  // ten seconds without an expiry
                   });
  std::uint64_t largest = kStep;
  for (long long t = 10006; t <= 10100; ++t) largest = std::max(largest, playback.Advance(kSize, At(t)).count);
  EXPECT_EQ(largest, kStep);
  EXPECT_EQ(playback.Position(), 5u + 250u + 95u);  // the pace's bytes and 250 ms of the stall
}

TEST(ReplayPlayback, EndsAtTheStepThatFindsNothingLeft) {
  ReplayPlayback playback;
  StartAt(playback, 0);
  Expect(playback, {
                       {2, 3, 0, 2, false},
                       {20, 3, 2, 1, false},  // more due than left
                       {21, 3, 3, 0, true},
                       {500, 1000, 3, 0, true},  // over is over, even when the source grows
                   });
  EXPECT_FALSE(playback.Running());

  ReplayPlayback neverStarted;
  Expect(neverStarted, {{5, 10, 0, 0, true}});
  ReplayPlayback empty;
  StartAt(empty, 0);
  Expect(empty, {{50, 0, 0, 0, true}});

  playback.Start(At(600));  // starting again begins at the first byte
  Expect(playback, {{603, 10, 0, 3, false}});
}

TEST(ReplayPlayback, ReplacedSourceGoesOnFromTheSamePosition) {
  ReplayPlayback playback;
  StartAt(playback, 0);
  Expect(playback, {
                       {17, 50, 0, 17, false},
                       {27, 200, 17, 10, false},  // a longer buffer: on at byte 17 of it
                       {32, 20, 27, 0, true},     // shorter than the position: over
                   });
  ReplayPlayback other;
  StartAt(other, 0);
  Expect(other, {{10, 50, 0, 10, false}, {11, 10, 10, 0, true}});  // exactly as long: over too
}

}  // namespace
