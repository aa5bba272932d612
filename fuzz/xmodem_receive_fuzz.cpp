// SPDX-License-Identifier: GPL-3.0-or-later
// The Xmodem receiver against any sender: random chunks, packets that are
// sound or a little off (block number, size, check), EOT, CAN, the user's
// cancel, a dropped line, all on fake time. It never faults, holds back
// less than one packet, keeps only accepted data, answers every byte with
// a legal protocol byte and is silent once it has ended.
#include <cstddef>
#include <cstdint>

#include "TransferFuzzSupport.h"
#include "transfer/Xmodem.h"

namespace {

using namespace xmodem;

constexpr std::size_t kLongestPacket = 3 + Xmodem::kLongBlock + 2;

enum Step { kRawChunk, kPacket, kWait, kEndOfFile, kSenderCancel, kUserCancel, kLineDrop, kLastStep = kLineDrop };

ByteBuffer Packet(FuzzedDataProvider& input, std::uint8_t expected, bool engineCrc) {
  const bool longBlock = input.ConsumeBool();
  const std::size_t size = longBlock ? Xmodem::kLongBlock : Xmodem::kShortBlock;
  // Mostly the check the engine asked for; sometimes the other.
  const bool crc = input.ConsumeIntegralInRange<int>(0, 3) == 0 ? !engineCrc : engineCrc;
  // Mostly the block expected; sometimes a repeat, one ahead or any.
  std::uint8_t number = expected;
  switch (input.ConsumeIntegralInRange<int>(0, 7)) {
    case 0: number = static_cast<std::uint8_t>(expected - 1); break;
    case 1: number = static_cast<std::uint8_t>(expected + 1); break;
    case 2: number = input.ConsumeIntegral<std::uint8_t>(); break;
    default: break;
  }
  const ByteBuffer data = TakeBytes(input, size, kPadding);
  ByteBuffer packet = xmodemPacket(number, data, crc);
  // Now and then damaged in one byte.
  if (input.ConsumeIntegralInRange<int>(0, 7) == 0) {
    packet[input.ConsumeIntegralInRange<std::size_t>(0, packet.size() - 1)] ^= input.ConsumeIntegralInRange<std::uint8_t>(1, 255);
  }
  return packet;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  RecordingLink link;
  FakeClock clock;
  Xmodem receiver(link, clock);
  clock.serve(receiver);
  receiver.initiate();

  std::uint8_t expected = 1;  // the block the receiver waits for, as far as the sender knows
  std::size_t given = 0;
  auto deliver = [&](const std::uint8_t* bytes, std::size_t count) {
    given += count;
    receiver.process(bytes, count);
  };

  while (input.remaining_bytes() > 0) {
    const bool wasActive = receiver.isActive();
    const std::size_t before = receiver.receivedData().size();
    const bool accepted = before > 0;
    switch (input.ConsumeIntegralInRange<int>(0, kLastStep)) {
      case kRawChunk: {
        const ByteBuffer chunk = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(1, kLargestChunk));
        if (!chunk.empty()) deliver(chunk.data(), chunk.size());
        break;
      }
      case kPacket: DeliverSplit(input, Packet(input, expected, receiver.usesCrc()), deliver); break;
      case kWait: clock.advance(input.ConsumeIntegralInRange<std::uint32_t>(0, kLongestWaitMs)); break;
      case kEndOfFile: {
        const std::uint8_t eot = kEot;
        deliver(&eot, 1);
        break;
      }
      case kSenderCancel: {
        const ByteBuffer cancel(input.ConsumeIntegralInRange<std::size_t>(1, 2), kCan);
        deliver(cancel.data(), cancel.size());
        break;
      }
      case kUserCancel: receiver.cancel(); break;
      case kLineDrop:
        // Rare: it ends everything.
        if (input.ConsumeIntegralInRange<int>(0, 15) == 0) receiver.connectionClosed();
        break;
    }

    const std::vector<ByteBuffer> writes = TakeWrites(link);
    FUZZ_CHECK(wasActive || writes.empty(), "silent once ended");
    int cancels = 0;
    bool acknowledged = false;
    for (const ByteBuffer& w : writes) {
      FUZZ_CHECK(w.size() == 1, "a receiver writes single bytes");
      const std::uint8_t b = w[0];
      FUZZ_CHECK(b == kAck || b == kNak || b == kCan || b == kWantCrc, "only ACK, NAK, CAN and C");
      FUZZ_CHECK(b != kWantCrc || !accepted, "no request to start once a packet is in");
      cancels += b == kCan;
      acknowledged = acknowledged || b == kAck;
    }
    FUZZ_CHECK(cancels % 2 == 0, "CAN goes out in pairs");
    FUZZ_CHECK(receiver.isActive() == (receiver.end() == TransferEnd::Running), "active until it has ended");
    FUZZ_CHECK(receiver.bufferedBytes() <= kLongestPacket, "holds back less than a packet");
    const std::size_t after = receiver.receivedData().size();
    FUZZ_CHECK(after % Xmodem::kShortBlock == 0, "data arrives in whole blocks");
    FUZZ_CHECK(after <= given, "no more data than was received");
    if (after > before) {
      FUZZ_CHECK(acknowledged, "accepted data is acknowledged");
      expected = static_cast<std::uint8_t>(expected + 1);
    }
    const TransferEnd end = receiver.end();
    if (end == TransferEnd::TooManyErrors || end == TransferEnd::CancelledByUser)
      FUZZ_CHECK(after == 0, "a failed or cancelled receive keeps nothing");
    if (wasActive && end == TransferEnd::Completed) FUZZ_CHECK(acknowledged, "the end of the file is acknowledged");
  }
  return 0;
}
