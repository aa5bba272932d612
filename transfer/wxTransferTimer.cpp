// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/wxTransferTimer.h"

#include <algorithm>
#include <chrono>
#include <limits>

TransferMs wxTransferTimer::now() const {
  using namespace std::chrono;
  return static_cast<TransferMs>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void wxTransferTimer::wakeAt(std::optional<TransferMs> when) {
  if (!when) {
    Stop();
    return;
  }
  // Set again only when the moment changes: a transfer asks after every chunk.
  if (IsRunning() && wake == *when) return;
  wake = *when;
  const TransferMs current = now();
  const TransferMs wait = wake > current ? wake - current : 0;
  // The toolkit takes an int; a later moment is simply asked again.
  const auto longest = static_cast<TransferMs>(std::numeric_limits<int>::max());
  Start(static_cast<int>(std::min(std::max<TransferMs>(wait, 1), longest)), wxTIMER_ONE_SHOT);
}

void wxTransferTimer::Notify() {
  // A toolkit timer may come a little early; the deadline is not yet due then.
  if (now() < wake) {
    Start(static_cast<int>(wake - now()), wxTIMER_ONE_SHOT);
    return;
  }
  due();
}
