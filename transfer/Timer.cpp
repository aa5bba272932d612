#include "transfer/Timer.h"

// The timer is its own owner: its ticks come to Notify.
Timer::Timer() : wxTimer() {}

void Timer::Notify() {
  if (onTick) onTick();
  ++tickCount;
}
