// The transfer engines' timers on the toolkit's event loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gui/GuiTestSupport.h"
#include "transfer/TransferTimers.h"

namespace {

using Repeat = TransferScheduler::Repeat;

template <class Timers>
void checkTimers() {
  std::vector<int> fired;
  Timers timers([&](int id) { fired.push_back(id); });
  auto count = [&](int id) { return std::count(fired.begin(), fired.end(), id); };
  timers.start(1, 30, Repeat::Once);
  timers.start(2, 20, Repeat::Periodic);
  EXPECT_TRUE(RunEventLoopUntil([&] { return count(1) == 1 && count(2) >= 3; }));
  RunEventLoopFor(100);
  EXPECT_EQ(count(1), 1) << "a one-shot timer fires once";
  EXPECT_FALSE(timers.isRunning(1));
  timers.stop(2);
  timers.stop(7);  // never started: nothing happens
  const std::size_t stopped = fired.size();
  RunEventLoopFor(150);
  EXPECT_EQ(fired.size(), stopped) << "a stopped timer stays quiet";

  // Starting a running timer again starts its wait over.
  timers.start(3, 400, Repeat::Once);
  RunEventLoopFor(250);
  timers.start(3, 400, Repeat::Once);
  RunEventLoopFor(250);
  EXPECT_EQ(count(3), 0);
  EXPECT_TRUE(RunEventLoopUntil([&] { return count(3) == 1; }));
}

TEST(TransferTimers, RunXmodemAndPunterTimersOnTheEventLoop) {
  checkTimers<XmodemTimers>();
  checkTimers<PunterTimers>();
}

TEST(TransferTimers, TimerCountsItsTicks) {
  Timer timer;
  int calls = 0;
  timer.setCallback([&] { ++calls; });
  timer.Start(15, wxTIMER_CONTINUOUS);
  EXPECT_TRUE(RunEventLoopUntil([&] { return timer.ticks() >= 3; }));
  timer.Stop();
  EXPECT_EQ(timer.ticks(), static_cast<std::uint32_t>(calls));
}

}  // namespace
