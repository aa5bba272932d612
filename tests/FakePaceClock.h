// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A session's pace clock on fake time: the test moves `now` and calls
// PaceTick itself while `running`.
#include "net/PaceClock.h"

class FakePaceClock : public PaceClock {
 public:
  Clock::time_point Now() const override { return now; }
  void StartTicks(std::chrono::milliseconds tick) override {
    running = true;
    interval = tick;
  }
  void StopTicks() override { running = false; }

  Clock::time_point now{};
  bool running = false;
  std::chrono::milliseconds interval{0};
};
