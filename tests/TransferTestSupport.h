// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fakes for the transfer engines: a link that records what an engine
// writes, and fake time that the test moves on.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "settings/ByteBuffer.h"
#include "transfer/Crc16.h"
#include "transfer/TransferClock.h"
#include "transfer/TransferLink.h"
#include "transfer/Xmodem.h"

class RecordingLink : public TransferLink {
 public:
  void write(const std::uint8_t* bytes, std::size_t size) override { writes.emplace_back(bytes, bytes + size); }
  void discardPendingInput() override { ++discards; }

  // Every write since the last call, one string per write.
  std::vector<std::string> take() {
    std::vector<std::string> taken;
    for (const ByteBuffer& w : writes) taken.emplace_back(w.begin(), w.end());
    writes.clear();
    return taken;
  }

  std::vector<ByteBuffer> writes;
  int discards = 0;
};

// Fake time. It serves either an engine directly (serve) or the owner's one
// timer (the moment wakeAt set, then `fire`).
class FakeClock : public TransferTimer {
 public:
  TransferMs now() const override { return current; }
  void wakeAt(std::optional<TransferMs> when) override { wake = when; }

  template <class Engine>
  void serve(Engine& engine) {
    deadline = [&engine] { return engine.deadline(); };
    fire = [&engine] { engine.timeout(); };
  }

  // The next moment something is due: `deadline` when set, else the wake time.
  std::optional<TransferMs> next() const { return deadline ? deadline() : wake; }
  // Milliseconds until then, if anything waits.
  std::optional<std::uint64_t> untilNext() const {
    const std::optional<TransferMs> due = next();
    if (!due) return std::nullopt;
    return *due > current ? *due - current : 0;
  }
  // Moves time on by `ms`, serving everything that falls due, in order.
  void advance(std::uint64_t ms) {
    const TransferMs target = current + ms;
    for (int guard = 0;; ++guard) {
      const std::optional<TransferMs> due = next();
      if (!due || *due > target) break;
      if (guard > 10000000) std::abort();  // a deadline that never moves on
      current = std::max(current, *due);
      fire();
    }
    current = target;
  }

  std::optional<TransferMs> wakeTime() const { return wake; }

  std::function<std::optional<TransferMs>()> deadline;
  std::function<void()> fire;
  TransferMs current = 0;

 private:
  std::optional<TransferMs> wake;
};

inline ByteBuffer bytesOf(const std::string& text) { return ByteBuffer(text.begin(), text.end()); }

// `size` bytes of a repeatable pattern: a file to send.
inline ByteBuffer patterned(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  ByteBuffer bytes(size);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

// An Xmodem packet as a sender builds it: SOH with 128 data bytes or STX
// with 1024, then CRC-16 or the arithmetic checksum.
inline ByteBuffer xmodemPacket(std::uint8_t number, const ByteBuffer& data, bool crc) {
  using namespace xmodem;
  // Room for the whole packet first: growing a three-byte buffer draws a
  // false out-of-bounds warning from the compiler.
  ByteBuffer packet;
  packet.reserve(kPacketHeaderSize + data.size() + 2);
  packet.push_back(data.size() == Xmodem::kLongBlock ? kStx : kSoh);
  packet.push_back(number);
  packet.push_back(static_cast<std::uint8_t>(0xFF - number));
  packet.insert(packet.end(), data.begin(), data.end());
  if (crc) {
    const std::uint16_t value = crc16(data.data(), data.size(), kCrc16Xmodem);
    packet.push_back(static_cast<std::uint8_t>(value >> 8));
    packet.push_back(static_cast<std::uint8_t>(value));
  } else {
    unsigned sum = 0;
    for (std::uint8_t b : data) sum += b;
    packet.push_back(static_cast<std::uint8_t>(sum));
  }
  return packet;
}
