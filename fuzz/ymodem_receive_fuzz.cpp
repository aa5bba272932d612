// SPDX-License-Identifier: GPL-3.0-or-later
// The Ymodem batch receiver against any sender: file headers with any
// name and size field, data packets sound or a little off, EOT, CAN,
// random chunks, waits, the user's cancel, a dropped line, on fake time.
// It never faults, holds back less than one packet, answers with single
// protocol bytes only, hands over no more data than it was given nor more
// files than a batch takes, and is silent once it has ended.
#include <cstddef>
#include <cstdint>

#include "BatchReceiveFuzz.h"
#include "transfer/YmodemReceive.h"

namespace {

using namespace xmodem;

enum Step { kHeader, kPacket, kEndOfFile, kRawChunk, kWait, kSenderCancel, kUserCancel, kLineDrop, kLastStep = kLineDrop };

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  BatchReceiveFuzz<YmodemReceive> run;
  YmodemReceive& receiver = run.engine();
  std::uint8_t number = 1;
  auto deliver = [&](const std::uint8_t* bytes, std::size_t count) { run.deliver(bytes, count); };
  while (input.remaining_bytes() > 0) {
    const bool wasActive = receiver.isActive();
    switch (input.ConsumeIntegralInRange<int>(0, kLastStep)) {
      case kHeader: {
        const bool longBlock = input.ConsumeBool();
        const ByteBuffer fields = TakeBytes(input, longBlock ? Xmodem::kLongBlock : Xmodem::kShortBlock, 0);
        number = 1;
        DeliverSplit(input, xmodemPacket(0, fields, true), deliver);
        break;
      }
      case kPacket: {
        const ByteBuffer payload = TakeBytes(input, input.ConsumeBool() ? Xmodem::kLongBlock : Xmodem::kShortBlock, kPadding);
        ByteBuffer packet = xmodemPacket(input.ConsumeIntegralInRange<int>(0, 7) == 0 ? input.ConsumeIntegral<std::uint8_t>() : number++,
                                         payload, true);
        if (input.ConsumeIntegralInRange<int>(0, 7) == 0) packet[input.ConsumeIntegralInRange<std::size_t>(0, packet.size() - 1)] ^= 0x5A;
        DeliverSplit(input, packet, deliver);
        break;
      }
      case kEndOfFile: deliver(&kEot, 1); break;
      case kRawChunk: run.rawChunk(input); break;
      case kWait: run.wait(input); break;
      case kSenderCancel: DeliverSplit(input, ByteBuffer{kCan, kCan}, deliver); break;
      case kUserCancel: receiver.cancel(); break;
      case kLineDrop: run.lineDrop(input); break;
    }
    run.checkWrites(
        wasActive,
        [](const ByteBuffer& w) {
          return w.size() == 1 && (w[0] == kWantCrc || w[0] == kAck || w[0] == kNak || w[0] == kCan);
        },
        "single protocol bytes");
    run.checkFiles([](const BatchFile&) {});
    FUZZ_CHECK(receiver.bufferedBytes() < 3 + Xmodem::kLongBlock + 2, "holds back less than a packet");
  }
  return 0;
}
