#pragma once
// The line a transfer engine talks over. The session adapts its connection
// to this; tests record what an engine writes.
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
