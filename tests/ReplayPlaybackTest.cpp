#include "app/ReplayPlayback.h"

#include <gtest/gtest.h>

namespace {

using Clock = ReplayPlayback::Clock;

// A fake clock reading: `ms` milliseconds after an arbitrary origin.
Clock::time_point At(long long ms) { return Clock::time_point{} + std::chrono::milliseconds(ms); }

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
  playback.Start(At(1000));
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

TEST(ReplayPlayback, LongStallGivesOneBurstThenTheNormalPace) {
  constexpr std::uint64_t kBurst = ReplayPlayback::kMaxBytesPerStep;
  constexpr std::uint64_t kSize = 100000;
  ReplayPlayback playback;
  playback.Start(At(0));
  Expect(playback, {
                       {5, kSize, 0, 5, false},
                       {10005, kSize, 5, kBurst, false},  // ten seconds without an expiry
                       {10006, kSize, 5 + kBurst, 1, false},  // the backlog is gone
                       {10006 + kBurst, kSize, 6 + kBurst, kBurst, false},  // exactly a burst: all made up
                       {10007 + kBurst, kSize, 6 + 2 * kBurst, 1, false},
                   });
}

TEST(ReplayPlayback, EndsAtTheStepThatFindsNothingLeft) {
  ReplayPlayback playback;
  playback.Start(At(0));
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
  empty.Start(At(0));
  Expect(empty, {{50, 0, 0, 0, true}});

  playback.Start(At(600));  // starting again begins at the first byte
  Expect(playback, {{603, 10, 0, 3, false}});
}

TEST(ReplayPlayback, ReplacedSourceGoesOnFromTheSamePosition) {
  ReplayPlayback playback;
  playback.Start(At(0));
  Expect(playback, {
                       {30, 50, 0, 30, false},
                       {40, 200, 30, 10, false},  // a longer buffer: on at byte 30 of it
                       {45, 20, 40, 0, true},     // shorter than the position: over
                   });
  ReplayPlayback other;
  other.Start(At(0));
  Expect(other, {{10, 50, 0, 10, false}, {11, 10, 10, 0, true}});  // exactly as long: over too
}

}  // namespace
