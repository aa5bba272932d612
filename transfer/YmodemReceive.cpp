// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/YmodemReceive.h"

#include "transfer/YmodemHeader.h"

using namespace xmodem;

YmodemReceive::YmodemReceive(TransferLink& link, const TransferClock& clock)
    : link(link), timers(clock), file(link, clock) {}

void YmodemReceive::initiate() {
  active = true;
  ending = TransferEnd::Running;
  batch.clear();
  pending.clear();
  purging = false;
  unanswered = retries = 0;
  requestHeader();
}

void YmodemReceive::requestHeader() {
  if (unanswered >= kMaxUnanswered) {
    abort(TransferEnd::NoAnswer);
    return;
  }
  ++unanswered;
  writeByte(kWantCrc);
  timers.start(kRequestTimer, kRequestPeriodMs);
}

void YmodemReceive::receive(const std::uint8_t* bytes, std::size_t size) {
  if (!active || size == 0) return;
  if (batch.inFile()) {
    fileMoved(batch.receive(bytes, size));
    return;
  }
  if (purging) {
    timers.start(kQuietTimer, kQuietMs);
    return;
  }
  headerBytes(bytes, size);
}

void YmodemReceive::headerBytes(const std::uint8_t* bytes, std::size_t size) {
  for (std::size_t i = 0; i < size && active && !batch.inFile() && !purging; ++i) {
    const std::uint8_t b = bytes[i];
    if (pending.empty()) {
      // The sender repeating the end of the last file: its ACK was lost.
      if (b == kEot) {
        writeByte(kAck);
        continue;
      }
      // What the board prints before a block is not part of it.
      if (b != kSoh && b != kStx && b != kCan) continue;
    }
    pending.push_back(b);
    if (pending[0] == kCan) {
      if (pending.size() < 2) continue;
      if (pending[1] == kCan) {
        finish(TransferEnd::CancelledByEndpoint);
        return;
      }
      pending.erase(pending.begin());
      continue;
    }
    if (pending.size() < packetLength(pending[0], true)) continue;
    const bool sound = packetDataVerified(pending.data(), true) && pending[1] == 0 && pending[2] == 0xFF;
    if (sound) {
      acceptHeader(pending.data());
    } else {
      badHeader();
    }
    pending.clear();
  }
}

void YmodemReceive::acceptHeader(const std::uint8_t* packet) {
  const ymodem::FileHeader header = ymodem::parseHeader(packet + kPacketHeaderSize, packetDataSize(packet[0]));
  timers.stop(kRequestTimer);
  unanswered = retries = 0;
  if (header.name.empty()) {
    writeByte(kAck);
    finish(TransferEnd::Completed);
  } else if (batch.full()) {
    abort(TransferEnd::TooManyFiles);
  } else if (header.size && *header.size > transfer_limits::kLargestFile) {
    abort(TransferEnd::FileTooLarge);
  } else {
    writeByte(kAck);
    batch.start(header.name, header.size);
    // The sender waits for the file's own "C", which goes out at once.
    file.initiate(true);
  }
}

void YmodemReceive::badHeader() {
  if (retries >= kMaxRetries) {
    abort(TransferEnd::TooManyErrors);
    return;
  }
  ++retries;
  // The sender answered, badly. The NAK waits until the line is quiet, so
  // that the rest of a bad block cannot be taken for the start of the next.
  unanswered = 0;
  purging = true;
  timers.stop(kRequestTimer);
  timers.start(kQuietTimer, kQuietMs);
}

void YmodemReceive::fileMoved(std::optional<TransferEnd> fileEnd) {
  if (!fileEnd) return;
  if (*fileEnd != TransferEnd::Completed) {
    // The file's receive has told the sender; the files before it are kept.
    finish(*fileEnd);
    return;
  }
  pending.clear();
  unanswered = 0;
  requestHeader();
}

std::optional<TransferMs> YmodemReceive::deadline() const {
  if (!active) return std::nullopt;
  return batch.inFile() ? batch.deadline() : timers.next();
}

void YmodemReceive::timeout() {
  if (!active) return;
  if (batch.inFile()) {
    fileMoved(batch.timeout());
    return;
  }
  for (int id; active && !batch.inFile() && (id = timers.takeDue()) >= 0;) {
    if (id == kRequestTimer) requestHeader();
    if (id == kQuietTimer && purging) {
      purging = false;
      writeByte(kNak);
      ++unanswered;
      timers.start(kRequestTimer, kRequestPeriodMs);
    }
  }
}

void YmodemReceive::cancel() {
  if (!active) return;
  if (batch.inFile()) {
    batch.cancel();
    finish(TransferEnd::CancelledByUser);
  } else {
    abort(TransferEnd::CancelledByUser);
  }
}

void YmodemReceive::connectionClosed() {
  if (!active) return;
  batch.connectionClosed();
  finish(TransferEnd::ConnectionClosed);
}

void YmodemReceive::writeByte(std::uint8_t byte) { link.write(&byte, 1); }

void YmodemReceive::abort(TransferEnd how) {
  writeByte(kCan);
  writeByte(kCan);
  finish(how);
}

void YmodemReceive::finish(TransferEnd how) {
  active = false;
  ending = how;
  purging = false;
  pending.clear();
  timers.stopAll();
}
