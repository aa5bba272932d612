// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The line bytes go out on: a transfer engine's packets and words, the
// terminal's key presses. The connection implements it; tests record what
// is written.
#include <cstddef>
#include <cstdint>

class TransferLink {
 public:
  virtual ~TransferLink() = default;
  // Sends `size` bytes as one write: a whole packet, a word or a control
  // byte. Does nothing when the line is gone.
  virtual void write(const std::uint8_t* bytes, std::size_t size) = 0;
  // Drops every byte that has arrived on the line and has not yet been
  // handed to the engine.
  virtual void discardPendingInput() = 0;
};
