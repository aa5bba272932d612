// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/Xmodem.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "transfer/Crc16.h"

using namespace xmodem;

namespace {

constexpr std::size_t kHeaderSize = kPacketHeaderSize;
constexpr std::size_t kLongestPacket = kHeaderSize + Xmodem::kLongBlock + 2;
// The most a read of the line hands over at once, for the first reserve.
constexpr std::size_t kTypicalChunk = 4096;

bool startsPacket(std::uint8_t byte) { return byte == kSoh || byte == kStx || byte == kEot || byte == kCan; }

std::uint8_t checksum(const std::uint8_t* bytes, std::size_t size) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < size; ++i) sum += bytes[i];
  return static_cast<std::uint8_t>(sum);
}

bool dataVerified(const std::uint8_t* packet, bool crc) { return packetDataVerified(packet, crc); }

}  // namespace

namespace xmodem {

std::size_t packetDataSize(std::uint8_t header) { return header == kStx ? Xmodem::kLongBlock : Xmodem::kShortBlock; }

// Each packet's length follows from its own header and the mode.
std::size_t packetLength(std::uint8_t header, bool crc) { return kHeaderSize + packetDataSize(header) + (crc ? 2 : 1); }

bool packetDataVerified(const std::uint8_t* packet, bool crc) {
  const std::size_t size = packetDataSize(packet[0]);
  const std::uint8_t* data = packet + kHeaderSize;
  if (!crc) return checksum(data, size) == data[size];
  const std::uint16_t expected = static_cast<std::uint16_t>(data[size] << 8 | data[size + 1]);
  return crc16(data, size, kCrc16Xmodem) == expected;
}

void buildPacket(ByteBuffer& packet, std::uint8_t number, const std::uint8_t* data, std::size_t taken,
                 std::size_t size, bool crc) {
  packet.clear();
  packet.push_back(size == Xmodem::kLongBlock ? kStx : kSoh);
  packet.push_back(number);
  packet.push_back(static_cast<std::uint8_t>(0xFF - number));
  packet.insert(packet.end(), data, data + taken);
  packet.resize(kHeaderSize + size, kPadding);
  const std::uint8_t* padded = packet.data() + kHeaderSize;
  if (crc) {
    const std::uint16_t value = crc16(padded, size, kCrc16Xmodem);
    packet.push_back(static_cast<std::uint8_t>(value >> 8));
    packet.push_back(static_cast<std::uint8_t>(value & 0xFF));
  } else {
    packet.push_back(checksum(padded, size));
  }
}

}  // namespace xmodem

Xmodem::Xmodem(TransferLink& link, const TransferClock& clock) : link(link), clock(clock), timers(clock) {}

void Xmodem::initiate(bool askAtOnce) {
  mode = Mode::Receive;
  active = true;
  ending = TransferEnd::Running;
  retries = 0;
  block = 1;
  crc = false;
  oneK = cancelledByEndpoint = cancelRequested = false;
  received.clear();
  pending.clear();
  pending.reserve(kLongestPacket + kTypicalChunk);
  pendingStart = 0;
  handshaking = true;
  handshakeTicks = 0;
  unanswered = 0;
  purging = false;
  checkKindOpen = false;
  timers.stopAll();
  timers.startPeriodic(kHandshakeTimer, kHandshakePeriodMs, kHandshakePeriodMs);
  if (askAtOnce) handshakeStep();
}

void Xmodem::initiateSend(ByteBuffer file, bool useOneK) {
  mode = Mode::Send;
  active = true;
  ending = TransferEnd::Running;
  oneK = useOneK;
  cancelledByEndpoint = cancelRequested = false;
  crc = false;
  block = 0;
  started = false;
  retries = 0;
  outgoing = std::move(file);
  sendOffset = 0;
  lastBlockSize = 0;
  eotSent = false;
  packet.reserve(kLongestPacket);
  timers.stopAll();
}

void Xmodem::process(const std::uint8_t* bytes, std::size_t size) {
  if (!active || size == 0) return;
  if (mode == Mode::Receive) {
    receiveChunk(bytes, size);
  } else {
    sendChunk(bytes, size);
  }
}

void Xmodem::cancel() {
  if (!active) return;
  // The other side hears of it at once; a send whose EOT is out has
  // nothing left to stop.
  cancelRequested = true;
  if (mode == Mode::Receive || !eotSent) writeCancel();
  if (mode == Mode::Receive) {
    received.clear();
  } else {
    outgoing.clear();
    sendOffset = 0;
  }
  finish(TransferEnd::CancelledByUser);
}

void Xmodem::timeout() {
  for (int id; active && (id = timers.takeDue()) >= 0;) timerFired(id);
}

void Xmodem::timerFired(int id) {
  if (!active) return;
  switch (id) {
    case kHandshakeTimer:
      handshakeStep();
      break;
    case kQuietTimer:
      quietStep();
      break;
    case kEotReplyTimer:
      if (eotSent) finish(TransferEnd::Completed);
      break;
    case kSilenceTimer:
      silenceStep();
      break;
    default:
      break;
  }
}

void Xmodem::connectionClosed() {
  if (active) finish(TransferEnd::ConnectionClosed);
}

// Receiving

void Xmodem::handshakeStep() {
  if (!handshaking) {
    timers.stop(kHandshakeTimer);
    return;
  }
  if (handshakeTicks < kCrcRequests) {
    crc = true;
    request(kWantCrc);
  } else {
    timers.stop(kHandshakeTimer);
    crc = false;
    checkKindOpen = true;
    request(kNak);
  }
  ++handshakeTicks;
}

void Xmodem::receiveChunk(const std::uint8_t* bytes, std::size_t size) {
  if (purging) {
    // Still the rest of a bad packet, or whatever came with it.
    timers.start(kQuietTimer, kQuietMs);
    return;
  }
  pending.insert(pending.end(), bytes, bytes + size);
  consumePackets(false);
  // What the board prints before the first packet is no answer; a packet
  // that failed is answered once the line is quiet.
  if (active && !handshaking && !purging) heard();
}

void Xmodem::consumePackets(bool lineQuiet) {
  // Every complete packet is checked: a sender's repeated packet can arrive
  // together with the next one.
  while (active && !purging) {
    const std::size_t available = pending.size() - pendingStart;
    if (available == 0) break;
    const std::uint8_t* head = pending.data() + pendingStart;
    if (handshaking) {
      // What the board prints before the first packet is not part of it.
      if (!startsPacket(head[0])) {
        ++pendingStart;
        continue;
      }
      handshaking = false;
      timers.stop(kHandshakeTimer);
    }
    if (head[0] == kEot) {
      writeByte(kAck);
      finish(TransferEnd::Completed);
      break;
    }
    if (head[0] == kCan) {
      if (available < 2) break;
      if (head[1] == kCan) {
        cancelledByEndpoint = true;
        finish(TransferEnd::CancelledByEndpoint);
        break;
      }
    }
    if (head[0] != kSoh && head[0] != kStx) {
      rejectPacket();
      break;
    }
    std::size_t length = packetLength(head[0], crc);
    if (available < length) break;
    if (checkKindOpen) {
      // After the fallback NAK, a sender that was slow to start may still
      // have taken one of the earlier C's: the first packet shows its check,
      // one byte longer with a CRC. A packet that stops at the checksum's
      // length is only taken as such once the line is quiet.
      if (available > length) {
        if (dataVerified(head, true) && head[2] == static_cast<std::uint8_t>(0xFF - head[1])) {
          // Settled, whether this packet is kept or not (a block 0, a repeat).
          crc = true;
          checkKindOpen = false;
          ++length;
        }
      } else if (!lineQuiet) {
        timers.start(kQuietTimer, kQuietMs);
        break;
      }
    }
    pendingStart += length;
    if (!checkPacket(head, length)) break;
  }
  if (purging || !active) {
    pending.clear();
    pendingStart = 0;
  } else if (pendingStart > 0) {
    // What is left is less than one packet: compacting costs no more than
    // the bytes just consumed.
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(pendingStart));
    pendingStart = 0;
  }
}

bool Xmodem::checkPacket(const std::uint8_t* packet, std::size_t length) {
  const std::uint8_t number = packet[1];
  // A damaged block number fails its complement and is sent again, rather
  // than taken for a block out of sequence.
  if (!dataVerified(packet, crc) || packet[2] != static_cast<std::uint8_t>(0xFF - number)) {
    rejectPacket();
    return false;
  }
  if (number == static_cast<std::uint8_t>(block - 1)) {
    // The sender repeated a block whose ACK it missed: confirm it again,
    // but not for ever.
    if (!retry()) return false;
    acknowledge();
    return true;
  }
  if (number != block) {
    writeCancel();
    finish(TransferEnd::OutOfSequence);
    return false;
  }
  const std::size_t dataLength = length - kHeaderSize - (crc ? 2 : 1);
  if (received.size() + dataLength > transfer_limits::kLargestFile) {
    writeCancel();
    received.clear();
    finish(TransferEnd::FileTooLarge);
    return false;
  }
  received.insert(received.end(), packet + kHeaderSize, packet + kHeaderSize + dataLength);
  checkKindOpen = false;
  ++block;
  retries = 0;
  acknowledge();
  return true;
}

bool Xmodem::retry() {
  if (retries >= kMaxRetries) {
    writeCancel();
    if (mode == Mode::Receive) received.clear();
    finish(TransferEnd::TooManyErrors);
    return false;
  }
  ++retries;
  return true;
}

void Xmodem::rejectPacket() {
  // The NAK waits until the line is quiet, so that the rest of a bad or
  // misaligned packet cannot be taken for the start of the next one.
  if (!retry()) return;
  purging = true;
  timers.start(kQuietTimer, kQuietMs);
}

void Xmodem::quietStep() {
  if (!purging) {
    if (checkKindOpen) consumePackets(true);
    return;
  }
  purging = false;
  request(kNak);
}

void Xmodem::silenceStep() {
  if (unanswered >= kMaxUnanswered) {
    writeCancel();
    finish(TransferEnd::NoAnswer);
    return;
  }
  // Whatever part of a packet came is not going to be completed now.
  pending.clear();
  pendingStart = 0;
  purging = false;
  timers.stop(kQuietTimer);
  request(kNak);
}

void Xmodem::request(std::uint8_t byte) {
  writeByte(byte);
  ++unanswered;
  timers.start(kSilenceTimer, kSilenceMs);
}

void Xmodem::acknowledge() {
  writeByte(kAck);
  heard();
}

void Xmodem::heard() {
  unanswered = 0;
  timers.start(kSilenceTimer, kSilenceMs);
}

// Sending

void Xmodem::sendChunk(const std::uint8_t* bytes, std::size_t size) {
  if (std::memchr(bytes, kCan, size) != nullptr) {
    cancelledByEndpoint = true;
    finish(TransferEnd::CancelledByEndpoint);
    return;
  }
  // One answer per chunk: a receiver answers each packet once, and a second
  // byte in the same chunk is a repeated request that would otherwise make
  // the same packet go out twice.
  const std::uint8_t answer = bytes[0];
  if (eotSent) {
    if (answer == kAck) {
      finish(TransferEnd::Completed);
    } else if (answer == kNak && retry()) {
      writeByte(kEot);
    }
    return;
  }
  if (!started) {
    if (answer != kNak && answer != kWantCrc) return;
    crc = answer == kWantCrc;
    started = true;
    block = 1;
  } else if (answer == kAck) {
    sendOffset += std::min(lastBlockSize, bytesLeftToSend());
    retries = 0;
  } else if (answer == kNak || (answer == kWantCrc && sendOffset == 0 &&
                                  clock.now() - lastBlockSentAt >= kStaleRequestMs)) {
    // A receiver still waiting for block 1 asks for it as it asked first.
    if (!retry()) return;
    --block;
  } else {
    return;
  }
  if (bytesLeftToSend() == 0) {
    sendEot();
    return;
  }
  sendPacket();
  if (active) ++block;
}

void Xmodem::sendPacket() {
  const std::size_t left = bytesLeftToSend();
  // 1024-byte blocks only with CRC: a one-byte checksum over them is not
  // what a checksum-mode receiver can verify. The tail of the file goes in
  // short blocks rather than in one mostly padded long one.
  const bool longBlock = oneK && crc && left > kOneKThreshold;
  const std::size_t size = longBlock ? kLongBlock : kShortBlock;
  buildPacket(packet, block, outgoing.data() + sendOffset, std::min(size, left), size, crc);
  lastBlockSize = size;
  lastBlockSentAt = clock.now();
  link.write(packet.data(), packet.size());
}

void Xmodem::sendEot() {
  // Some receivers answer the first EOT with NAK to make sure of it; the
  // send is complete at its ACK, or when no answer comes.
  writeByte(kEot);
  eotSent = true;
  timers.start(kEotReplyTimer, kEotReplyMs);
}

// Both directions

void Xmodem::writeByte(std::uint8_t byte) { link.write(&byte, 1); }

void Xmodem::writeCancel() {
  writeByte(kCan);
  writeByte(kCan);
}

void Xmodem::finish(TransferEnd how) {
  active = false;
  ending = how;
  purging = false;
  timers.stop(kHandshakeTimer);
  timers.stop(kQuietTimer);
  timers.stop(kEotReplyTimer);
  timers.stop(kSilenceTimer);
}
