// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The transfers' one timer on the toolkit's event loop: a monotonic clock
// and a single one-shot toolkit timer, set to the earliest deadline the
// transfers hand out. When it fires it calls its function, which serves
// every deadline due.
#include <wx/timer.h>

#include <functional>

#include "transfer/TransferClock.h"

class wxTransferTimer : public TransferTimer, private wxTimer {
 public:
  explicit wxTransferTimer(std::function<void()> due) : due(std::move(due)) {}

  TransferMs now() const override;
  void wakeAt(std::optional<TransferMs> when) override;
  // The moment it is set to, if any.
  std::optional<TransferMs> wakeTime() const { return IsRunning() ? std::optional<TransferMs>(wake) : std::nullopt; }

 private:
  void Notify() override;

  std::function<void()> due;
  TransferMs wake = 0;
};
