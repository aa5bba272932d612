// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/Deadlines.h"

void Deadlines::start(int id, std::uint32_t ms) { slots.at(id) = Slot{true, clock.now() + ms, 0}; }

void Deadlines::startPeriodic(int id, std::uint32_t firstMs, std::uint32_t periodMs) {
  slots.at(id) = Slot{true, clock.now() + firstMs, periodMs};
}

void Deadlines::stop(int id) { slots.at(id).running = false; }

void Deadlines::stopAll() {
  for (Slot& slot : slots) slot.running = false;
}

bool Deadlines::running(int id) const { return slots.at(id).running; }

std::optional<TransferMs> Deadlines::next() const {
  std::optional<TransferMs> first;
  for (const Slot& slot : slots)
    if (slot.running && (!first || slot.due < *first)) first = slot.due;
  return first;
}

int Deadlines::takeDue() {
  const TransferMs now = clock.now();
  int due = -1;
  for (int id = 0; id < kSlots; ++id) {
    const Slot& slot = slots[id];
    if (slot.running && slot.due <= now && (due < 0 || slot.due < slots[due].due)) due = id;
  }
  if (due < 0) return due;
  Slot& slot = slots[due];
  if (slot.period > 0) {
    // An owner woken late does not make up for the periods it missed.
    slot.due += slot.period;
    if (slot.due <= now) slot.due = now + slot.period;
  } else {
    slot.running = false;
  }
  return due;
}
