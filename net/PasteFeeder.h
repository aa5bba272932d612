// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Types a paste into the board at a pace its input buffer can take: at the
// line speed when one is in force, else about 30 characters a second, and
// after each RETURN a short pause while the board takes the line. Letters
// are sent for the character set the screen shows at the time. The paste
// stops when the user says so, when a transfer starts (nothing of it goes
// out while one runs) or when the connection ends. Passive: the owner's
// clock ticks it.
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "keyboard/PasteText.h"
#include "net/LinePacer.h"
#include "net/PaceClock.h"
#include "net/SessionOutputs.h"
#include "settings/ByteBuffer.h"

// The connection a paste types into.
class PasteTarget {
 public:
  virtual ~PasteTarget() = default;
  virtual bool Connected() const = 0;
  virtual bool TransferRunning() const = 0;
  // kLineSpeedOff when none is in force.
  virtual std::uint32_t LineSpeed() const = 0;
  virtual bool LowerCaseShown() const = 0;
  // Sends the bytes as typed keys.
  virtual void Type(const std::uint8_t* bytes, std::size_t count) = 0;
};

class PasteFeeder {
 public:
  // Ten bits a character: about 30 characters a second.
  static constexpr std::uint32_t kDefaultSpeed = 300;
  static constexpr std::chrono::milliseconds kPauseAfterReturn{300};
  // A paste of more lines is asked about first (by the owner).
  static constexpr std::size_t kLinesWithoutAsking = 10;

  enum class End { None, Done, StoppedByUser, TransferStarted, ConnectionEnded };

  PasteFeeder(PasteTarget& target, PaceClock& clock, StatusSink& status);

  // Starts typing `paste`; the owner offers no paste while one runs, or
  // while no connection stands or a transfer runs.
  void Start(PasteKeys paste);
  // The user's Stop Paste (Escape).
  void Stop();
  // A tick of the clock: the keys now due go out.
  void Tick();

  bool Running() const { return running; }
  End LastEnd() const { return lastEnd; }
  std::size_t Sent() const { return next; }

 private:
  void Finish(End end);

  PasteTarget& target;
  PaceClock& clock;
  StatusSink& status;
  LinePacer pacer;
  PasteKeys paste;
  std::size_t next = 0;  // the first key not yet sent
  bool running = false;
  bool pausing = false;  // after a RETURN, until resumeAt
  PaceClock::Clock::time_point resumeAt{};
  End lastEnd = End::None;
  ByteBuffer out;  // reused by every tick
};
