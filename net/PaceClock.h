// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The clock a session shows paced bytes by: the time now, and a periodic
// tick that the owner turns into TerminalSession::PaceTick while it runs.
// The main window runs it on a toolkit timer; tests on fake time.
#include <chrono>

class PaceClock {
 public:
  using Clock = std::chrono::steady_clock;
  virtual ~PaceClock() = default;
  virtual Clock::time_point Now() const = 0;
  // Ticks every `interval` until stopped; starting a running clock again
  // changes nothing.
  virtual void StartTicks(std::chrono::milliseconds interval) = 0;
  virtual void StopTicks() = 0;
};
