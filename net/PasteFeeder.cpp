// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/PasteFeeder.h"

#include <algorithm>
#include <string>

namespace {
constexpr std::uint8_t kReturn = 0x0D;

std::string Characters(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " character" : " characters");
}

std::string LeftOutText(std::size_t leftOut) {
  return leftOut == 0 ? std::string() : "; " + Characters(leftOut) + " left out (not in PETSCII)";
}
}  // namespace

PasteFeeder::PasteFeeder(PasteTarget& target, PaceClock& clock, StatusSink& status)
    : target(target), clock(clock), status(status) {}

void PasteFeeder::Start(PasteKeys keys) {
  // The connection may have ended while the owner asked about a long paste.
  if (running || !target.Connected() || target.TransferRunning()) return;
  paste = std::move(keys);
  next = 0;
  pausing = false;
  lastEnd = End::None;
  if (paste.keys.empty()) {
    status.ShowStatus(StatusField::Message, "Nothing to paste" + LeftOutText(paste.leftOut));
    return;
  }
  running = true;
  const std::uint32_t speed = target.LineSpeed();
  pacer.SetSpeed(speed != kLineSpeedOff ? speed : kDefaultSpeed, clock.Now());
  clock.StartTicks(LinePacer::kTickInterval);
  status.ShowStatus(StatusField::Message, "Pasting " + Characters(paste.keys.size()) + LeftOutText(paste.leftOut));
}

void PasteFeeder::Stop() {
  if (running) Finish(End::StoppedByUser);
}

void PasteFeeder::Tick() {
  if (!running) return;
  if (!target.Connected()) return Finish(End::ConnectionEnded);
  if (target.TransferRunning()) return Finish(End::TransferStarted);
  const auto now = clock.Now();
  if (pausing) {
    if (now < resumeAt) return;
    // The pause earns nothing: the line starts again where it ended.
    pacer.Restart(resumeAt);
    pausing = false;
  }
  const std::uint32_t lineSpeed = target.LineSpeed();
  const std::uint32_t speed = lineSpeed != kLineSpeedOff ? lineSpeed : kDefaultSpeed;
  if (speed != pacer.Speed()) pacer.SetSpeed(speed, now);
  // Up to the next RETURN, never more than a step: a long line is not
  // searched to its end at every tick.
  const std::size_t most = std::min(paste.keys.size() - next, pacer.StepLimit());
  std::size_t waiting = 0;
  while (waiting < most && paste.keys[next + waiting++] != kReturn) {
  }
  const std::size_t due = pacer.Release(waiting, now);
  if (due == 0) return;
  const bool lowerCase = target.LowerCaseShown();
  out.clear();
  for (std::size_t i = next; i < next + due; ++i) out.push_back(PetsciiOfPasteKey(paste.keys[i], lowerCase));
  target.Type(out.data(), out.size());
  next += due;
  if (next == paste.keys.size()) return Finish(End::Done);
  if (paste.keys[next - 1] == kReturn) {
    pausing = true;
    resumeAt = now + kPauseAfterReturn;
  }
}

void PasteFeeder::Finish(End end) {
  running = false;
  lastEnd = end;
  clock.StopTicks();
  switch (end) {
    case End::Done:
      status.ShowStatus(StatusField::Message, "Pasted " + Characters(next) + LeftOutText(paste.leftOut));
      break;
    case End::StoppedByUser:
      status.ShowStatus(StatusField::Message, "Paste stopped: " + std::to_string(next) + " of " +
                                                  Characters(paste.keys.size()) + " sent");
      break;
    // The transfer's and the connection's own texts say what happened.
    case End::TransferStarted:
    case End::ConnectionEnded:
    case End::None: break;
  }
  paste = PasteKeys{};
}
