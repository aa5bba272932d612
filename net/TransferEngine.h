// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file transfer running over the session's connection. While active it
// takes every chunk the host sends, so nothing of it reaches the screen; it
// writes its answers through the session's line.
#include <cstddef>
#include <cstdint>

#include "net/SessionEnd.h"

class TransferEngine {
 public:
  virtual ~TransferEngine() = default;
  // Takes the received chunks: while it works, and while it keeps a
  // cancelled sender's bytes off the screen.
  virtual bool Active() const = 0;
  // A file is on its way: key presses are held back from the board.
  virtual bool Working() const = 0;
  // One read's worth of received bytes (possibly none).
  virtual void TakeBytes(const std::uint8_t* data, std::size_t length) = 0;
  // The connection is gone (`how`): stop at once and never write to it again.
  virtual void ConnectionEnded(SessionEnd how) = 0;
};
