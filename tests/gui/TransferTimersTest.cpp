// SPDX-License-Identifier: GPL-3.0-or-later
// The transfers' one timer on the toolkit's event loop.
#include <gtest/gtest.h>

#include <vector>

#include "gui/GuiTestSupport.h"
#include "transfer/wxTransferTimer.h"

namespace {

TEST(TransferTimers, TheOneTimerWakesTheTransfersAtTheMomentLastAskedAndNotBefore) {
  std::vector<TransferMs> woken;
  wxTransferTimer timer([&] { woken.push_back(timer.now()); });
  const TransferMs start = timer.now();
  timer.wakeAt(start + 30);
  // Asked again for a later moment: only that one counts.
  timer.wakeAt(start + 300);
  RunEventLoopFor(200);
  EXPECT_TRUE(woken.empty());
  ASSERT_TRUE(RunEventLoopUntil([&] { return !woken.empty(); }));
  EXPECT_GE(woken[0], start + 300);
  RunEventLoopFor(100);
  EXPECT_EQ(woken.size(), 1u) << "it wakes once for each moment asked";

  // A moment already past wakes at once; none stops it.
  timer.wakeAt(timer.now() - 5);
  EXPECT_TRUE(RunEventLoopUntil([&] { return woken.size() == 2; }, 200));
  timer.wakeAt(timer.now() + 50);
  timer.wakeAt(std::nullopt);
  RunEventLoopFor(150);
  EXPECT_EQ(woken.size(), 2u);
  EXPECT_FALSE(timer.wakeTime().has_value());
}

}  // namespace
