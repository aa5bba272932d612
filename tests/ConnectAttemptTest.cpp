// SPDX-License-Identifier: GPL-3.0-or-later
// The connection attempt's decisions without a socket: its clock, with the
// time passed in, and what a finished wait means.
#include "net/ConnectAttempt.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using qwx::ConnectResult;
using std::chrono::milliseconds;

// The attempt's clock: full steps, the last cut to the limit, never past it.
TEST(ConnectAttempt, WaitsAreStepsCutToTheLimit) {
  const auto start = qwx::ConnectDeadline::Clock::now();
  const qwx::ConnectDeadline fifteen(start, qwx::kDefaultConnectTimeoutSeconds);
  const auto end = start + std::chrono::seconds(qwx::kDefaultConnectTimeoutSeconds);
  const milliseconds halfStep = qwx::kConnectWaitStep / 2;
  EXPECT_EQ(fifteen.NextWait(start), qwx::kConnectWaitStep);
  EXPECT_EQ(fifteen.NextWait(end - qwx::kConnectWaitStep - halfStep), qwx::kConnectWaitStep);
  EXPECT_EQ(fifteen.NextWait(end - halfStep), halfStep);
  // Less than a millisecond left still waits, rather than spinning.
  EXPECT_EQ(fifteen.NextWait(end - std::chrono::microseconds(1)), milliseconds(1));
  EXPECT_FALSE(fifteen.Passed(end - std::chrono::microseconds(1)));
  EXPECT_EQ(fifteen.NextWait(end), milliseconds(0));
  EXPECT_TRUE(fifteen.Passed(end));
  for (const std::int32_t limit : {0, -5}) {
    const qwx::ConnectDeadline none(start, limit);
    EXPECT_EQ(none.NextWait(start), milliseconds(0));
    EXPECT_TRUE(none.Passed(start));
  }
}

// The client's loop on a fake clock: a host that never answers costs five
// waits of three seconds and ends as a time-out, exactly at the limit.
TEST(ConnectAttempt, SilentHostTimesOutAfterFiveStepsAtTheLimit) {
  const auto start = qwx::ConnectDeadline::Clock::time_point{};
  const qwx::ConnectDeadline deadline(start, qwx::kDefaultConnectTimeoutSeconds);
  auto now = start;
  int waits = 0;
  std::optional<ConnectResult> outcome;
  while (!outcome && waits < 100) {
    now += deadline.NextWait(now);
    ++waits;
    qwx::WaitFindings found;
    found.ranOut = true;
    found.limitPassed = deadline.Passed(now);
    outcome = qwx::attemptOutcome(found);
  }
  EXPECT_EQ(outcome, ConnectResult::TimedOut);
  EXPECT_EQ(waits, 5);
  EXPECT_EQ(now - start, std::chrono::seconds(qwx::kDefaultConnectTimeoutSeconds));
}

// Two cases a loopback test cannot bring about on purpose.
TEST(ConnectAttempt, CancellationWinsAndAnEarlyEndIsARefusal) {
  qwx::WaitFindings connectedAsCancelled;
  connectedAsCancelled.connected = true;
  connectedAsCancelled.cancelRequested = true;
  EXPECT_EQ(qwx::attemptOutcome(connectedAsCancelled), ConnectResult::Cancelled);
  // A wait ended by a failed connect with no closed state recorded (the
  // toolkit's wait records none when it polls without an event loop).
  EXPECT_EQ(qwx::attemptOutcome(qwx::WaitFindings{}), ConnectResult::Refused);
}

}  // namespace
