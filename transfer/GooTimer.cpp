#include "transfer/GooTimer.h"

// The timer is its own owner: its ticks come to Notify.
GooTimer::GooTimer() : wxTimer() {}

void GooTimer::Notify() {
  if (onTick) onTick();
}
