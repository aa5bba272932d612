// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/YmodemSend.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "transfer/YmodemHeader.h"

using namespace xmodem;

YmodemSend::YmodemSend(TransferLink& link, const TransferClock& clock)
    : link(link), timers(clock), file(link, clock) {}

void YmodemSend::initiate(ByteBuffer bytes, const std::string& fileName, std::int64_t lastChanged) {
  bytesToSend = std::move(bytes);
  name = fileName;
  modified = lastChanged;
  stage = Stage::Request;
  retries = 0;
  active = true;
  ending = TransferEnd::Running;
  timers.stopAll();
  timers.start(kWaitTimer, kFirstRequestMs);
}

void YmodemSend::receive(const std::uint8_t* bytes, std::size_t size) {
  if (!active || size == 0) return;
  if (std::memchr(bytes, kCan, size) != nullptr && stage != Stage::Data) {
    finish(TransferEnd::CancelledByEndpoint);
    return;
  }
  if (stage != Stage::Data) {
    headerStage(bytes, size);
    return;
  }
  file.process(bytes, size);
  if (file.isActive()) return;
  if (file.end() != TransferEnd::Completed) {
    finish(file.end());
    return;
  }
  // The receiver asks for the next file header with "C", perhaps in the
  // read that acknowledged the end of this one.
  stage = Stage::Close;
  retries = 0;
  timers.start(kWaitTimer, kReplyMs);
  if (size > 1) headerStage(bytes + 1, size - 1);
}

void YmodemSend::headerStage(const std::uint8_t* bytes, std::size_t size) {
  for (std::size_t i = 0; i < size && active && stage != Stage::Data; ++i) {
    const std::uint8_t b = bytes[i];
    switch (stage) {
      case Stage::Request:
        if (b != kWantCrc && b != kNak) break;
        crc = b == kWantCrc;
        sendBlockZero(false);
        break;
      case Stage::HeaderSent:
        if (b == kAck) {
          // The file goes as Xmodem-1k; the receiver asks for it next.
          stage = Stage::Data;
          timers.stop(kWaitTimer);
          file.initiateSend(std::move(bytesToSend), true);
          if (i + 1 < size) receive(bytes + i + 1, size - i - 1);
          return;
        }
        if (b == kNak || b == kWantCrc) again();
        break;
      case Stage::Close:
        if (b == kWantCrc || b == kNak) sendBlockZero(true);
        break;
      case Stage::CloseSent:
        if (b == kAck) {
          finish(TransferEnd::Completed);
        } else if (b == kNak || b == kWantCrc) {
          again();
        }
        break;
      case Stage::Data: break;
    }
  }
}

void YmodemSend::sendBlockZero(bool empty) {
  const ByteBuffer data = empty ? ByteBuffer(Xmodem::kShortBlock, 0) : ymodem::headerData(name, bytesToSend.size(), modified);
  buildPacket(packet, 0, data.data(), data.size(), data.size(), crc);
  link.write(packet.data(), packet.size());
  stage = empty ? Stage::CloseSent : Stage::HeaderSent;
  timers.start(kWaitTimer, kReplyMs);
}

void YmodemSend::again() {
  if (retries >= kMaxRetries) {
    writeByte(kCan);
    writeByte(kCan);
    finish(TransferEnd::TooManyErrors);
    return;
  }
  ++retries;
  link.write(packet.data(), packet.size());
  timers.start(kWaitTimer, kReplyMs);
}

std::optional<TransferMs> YmodemSend::deadline() const {
  if (!active) return std::nullopt;
  return stage == Stage::Data ? file.deadline() : timers.next();
}

void YmodemSend::timeout() {
  if (!active) return;
  if (stage == Stage::Data) {
    file.timeout();
    if (file.isActive()) return;
    if (file.end() != TransferEnd::Completed) {
      finish(file.end());
      return;
    }
    stage = Stage::Close;
    timers.start(kWaitTimer, kReplyMs);
    return;
  }
  if (timers.takeDue() != kWaitTimer) return;
  switch (stage) {
    case Stage::Request: finish(TransferEnd::NoAnswer); break;
    case Stage::HeaderSent:
    case Stage::CloseSent: again(); break;
    // The file went through; a receiver that does not ask for more is done.
    case Stage::Close: finish(TransferEnd::Completed); break;
    case Stage::Data: break;
  }
}

void YmodemSend::cancel() {
  if (!active) return;
  if (stage == Stage::Data) {
    file.cancel();
  } else if (stage != Stage::Close && stage != Stage::CloseSent) {
    writeByte(kCan);
    writeByte(kCan);
  }
  finish(TransferEnd::CancelledByUser);
}

void YmodemSend::connectionClosed() {
  if (!active) return;
  if (stage == Stage::Data) file.connectionClosed();
  finish(TransferEnd::ConnectionClosed);
}

std::size_t YmodemSend::progressBytes() const {
  if (stage == Stage::Data) return file.bytesLeftToSend();
  return stage == Stage::Request || stage == Stage::HeaderSent ? bytesToSend.size() : 0;
}

void YmodemSend::writeByte(std::uint8_t byte) { link.write(&byte, 1); }

void YmodemSend::finish(TransferEnd how) {
  active = false;
  ending = how;
  timers.stopAll();
}
