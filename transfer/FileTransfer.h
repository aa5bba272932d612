// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One protocol's engine moving files over the open line. Passive: the
// owner hands it each chunk that arrives, asks for its next deadline and
// tells it when that has come; it writes through the line and reads the
// clock it was given. Every protocol is one of these, so the owner needs
// nothing protocol-specific beyond the row of the protocol table.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/ByteBuffer.h"
#include "transfer/TransferClock.h"
#include "transfer/TransferEnd.h"

// A file of a batch, as the sender named it.
struct BatchFile {
  std::string name;  // the sender's bytes, not yet made safe
  ByteBuffer data;
};

class FileTransfer {
 public:
  virtual ~FileTransfer() = default;

  // A chunk that arrived on the line.
  virtual void receive(const std::uint8_t* bytes, std::size_t size) = 0;
  // When the engine next has something to do if nothing arrives.
  virtual std::optional<TransferMs> deadline() const = 0;
  // The clock has reached the deadline: whatever is due is done.
  virtual void timeout() = 0;
  // The user's cancel: the other side is told at once where the protocol can.
  virtual void cancel() = 0;
  // The line went away: the engine ends and never writes again.
  virtual void connectionClosed() = 0;

  virtual bool isActive() const = 0;
  virtual TransferEnd end() const = 0;
  // A receive: the bytes of the file on its way so far. A send: the bytes
  // not yet acknowledged.
  virtual std::size_t progressBytes() const = 0;
  // A single-file receive hands its data over at its end, leaving none.
  virtual ByteBuffer takeData() { return {}; }
  // A batch receive: the files completed since the last call.
  virtual std::vector<BatchFile> takeFiles() { return {}; }
  // A batch receive: the name of the file on its way, and how many came before it.
  virtual std::string currentName() const { return {}; }
  virtual std::size_t filesDone() const { return 0; }
};
