#pragma once
// Fakes for the transfer engines: a link that records what an engine
// writes, and a scheduler on fake time that the test advances.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "settings/ByteBuffer.h"
#include "transfer/Crc16.h"
#include "transfer/Xmodem.h"
#include "transfer/TransferLink.h"
#include "transfer/TransferScheduler.h"

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

class FakeScheduler : public TransferScheduler {
 public:
  // `fire` is the engine's timerFired; set before time advances.
  std::function<void(int)> fire;

  void start(int id, std::uint32_t periodMs, Repeat repeat) override {
    timers[id] = Running{now + periodMs, periodMs, repeat == Repeat::Periodic};
  }
  void stop(int id) override { timers.erase(id); }
  bool isRunning(int id) const { return timers.count(id) != 0; }

  // Milliseconds until the next timer is due, if any runs.
  std::optional<std::uint64_t> untilNext() const {
    std::optional<std::uint64_t> next;
    for (const auto& [id, t] : timers) next = std::min(next.value_or(t.due), t.due);
    if (next) return *next - now;
    return std::nullopt;
  }

  // Moves time on by `ms`, firing every timer that falls due, in order.
  void advance(std::uint64_t ms) {
    const std::uint64_t target = now + ms;
    for (;;) {
      auto due = timers.end();
      for (auto it = timers.begin(); it != timers.end(); ++it) {
        if (it->second.due <= target && (due == timers.end() || it->second.due < due->second.due)) due = it;
      }
      if (due == timers.end()) break;
      const int id = due->first;
      now = due->second.due;
      if (due->second.periodic) {
        due->second.due += due->second.period;
      } else {
        timers.erase(due);
      }
      fire(id);
    }
    now = target;
  }

  std::uint64_t now = 0;

 private:
  struct Running {
    std::uint64_t due;
    std::uint64_t period;
    bool periodic;
  };
  std::map<int, Running> timers;
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
  ByteBuffer packet{data.size() == Xmodem::kLongBlock ? kStx : kSoh, number, static_cast<std::uint8_t>(0xFF - number)};
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
