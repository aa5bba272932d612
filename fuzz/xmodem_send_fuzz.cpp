// SPDX-License-Identifier: GPL-3.0-or-later
// The Xmodem sender against any receiver: answers sound or stray, random
// chunks, the user's cancel, a dropped line, all on fake time. Every write
// is a whole packet of the file (the bytes at the position not yet
// acknowledged, padded, numbered in order, with a check that verifies),
// an EOT or a CAN pair; nothing goes out before the receiver asks or after
// the end.
//
// Input: the file's size, then steps; the file's bytes follow from its size.
#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <optional>

#include "TransferFuzzSupport.h"
#include "transfer/Crc16.h"
#include "transfer/Xmodem.h"

namespace {

using namespace xmodem;

constexpr std::size_t kLargestFile = 6000;
constexpr std::size_t kHeader = 3;

enum Step { kAnswer, kRawChunk, kWait, kUserCancel, kLineDrop, kLastStep = kLineDrop };

struct SentPacket {
  std::uint8_t number = 0;
  std::size_t offset = 0;
  std::size_t size = 0;
};

void CheckPacket(const ByteBuffer& w, const ByteBuffer& file, const Xmodem& sender, bool oneK,
                 std::optional<SentPacket>& last) {
  const bool crc = sender.usesCrc();
  const bool longBlock = w[0] == kStx;
  FUZZ_CHECK(w[0] == kSoh || longBlock, "a packet starts with SOH or STX");
  const std::size_t size = longBlock ? Xmodem::kLongBlock : Xmodem::kShortBlock;
  FUZZ_CHECK(w.size() == kHeader + size + (crc ? 2 : 1), "the packet's length follows its header and mode");
  FUZZ_CHECK(w[2] == static_cast<std::uint8_t>(0xFF - w[1]), "the number's complement");
  const std::uint8_t* data = w.data() + kHeader;
  if (crc) {
    const std::uint16_t value = crc16(data, size, kCrc16Xmodem);
    FUZZ_CHECK(w[kHeader + size] == (value >> 8) && w[kHeader + size + 1] == (value & 0xFF), "the CRC verifies");
  } else {
    unsigned sum = 0;
    for (std::size_t i = 0; i < size; ++i) sum += data[i];
    FUZZ_CHECK(w[kHeader + size] == static_cast<std::uint8_t>(sum), "the checksum verifies");
  }
  const std::size_t offset = file.size() - sender.bytesLeftToSend();
  const std::size_t left = file.size() - offset;
  FUZZ_CHECK(left > 0, "a packet carries part of the file");
  FUZZ_CHECK(longBlock == (oneK && crc && left > Xmodem::kOneKThreshold), "long blocks only with 1k, CRC and enough left");
  const std::size_t taken = std::min(size, left);
  FUZZ_CHECK(std::equal(data, data + taken, file.begin() + static_cast<std::ptrdiff_t>(offset)),
             "the packet carries the bytes not yet acknowledged");
  FUZZ_CHECK(std::all_of(data + taken, data + size, [](std::uint8_t b) { return b == kPadding; }), "padded with SUB");
  if (!last) {
    FUZZ_CHECK(w[1] == 1 && offset == 0, "the first packet is block 1 from the start of the file");
  } else if (w[1] == last->number) {
    FUZZ_CHECK(offset == last->offset, "a packet sent again is the same block");
  } else {
    FUZZ_CHECK(w[1] == static_cast<std::uint8_t>(last->number + 1), "blocks go out in order");
    FUZZ_CHECK(offset == last->offset + last->size, "the next block follows the one acknowledged");
  }
  last = SentPacket{w[1], offset, size};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::size_t fileSize = input.ConsumeIntegralInRange<std::size_t>(1, kLargestFile);
  const bool oneK = input.ConsumeBool();
  SplitMix random(fileSize);
  ByteBuffer file(fileSize);
  for (std::uint8_t& b : file) b = static_cast<std::uint8_t>(random.next());

  RecordingLink link;
  FakeClock clock;
  Xmodem sender(link, clock);
  clock.serve(sender);
  sender.initiateSend(file, oneK);

  static const std::uint8_t kAnswers[] = {kWantCrc, kNak, kAck, kAck, kAck, kCan, kEot, 0x41};
  std::optional<SentPacket> last;
  bool asked = false, eotSent = false;
  while (input.remaining_bytes() > 0) {
    const bool wasActive = sender.isActive();
    switch (input.ConsumeIntegralInRange<int>(0, kLastStep)) {
      case kAnswer: {
        const std::uint8_t answer = kAnswers[input.ConsumeIntegralInRange<std::size_t>(0, sizeof kAnswers - 1)];
        asked = asked || answer == kWantCrc || answer == kNak;
        sender.process(&answer, 1);
        break;
      }
      case kRawChunk: {
        const ByteBuffer chunk = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(1, 64));
        for (std::uint8_t b : chunk) asked = asked || b == kWantCrc || b == kNak;
        sender.process(chunk);
        break;
      }
      case kWait: clock.advance(input.ConsumeIntegralInRange<std::uint32_t>(0, kLongestWaitMs)); break;
      case kUserCancel: sender.cancel(); break;
      case kLineDrop:
        if (input.ConsumeIntegralInRange<int>(0, 15) == 0) sender.connectionClosed();
        break;
    }

    const std::vector<ByteBuffer> writes = TakeWrites(link);
    FUZZ_CHECK(wasActive || writes.empty(), "silent once ended");
    FUZZ_CHECK(writes.size() <= 2, "one answer per chunk");
    int cancels = 0;
    for (const ByteBuffer& w : writes) {
      if (w.size() == 1) {
        FUZZ_CHECK(w[0] == kEot || w[0] == kCan, "single bytes are EOT or CAN");
        if (w[0] == kEot) {
          FUZZ_CHECK(sender.bytesLeftToSend() == 0, "EOT only once all is acknowledged");
          eotSent = true;
        }
        cancels += w[0] == kCan;
        continue;
      }
      FUZZ_CHECK(asked, "nothing is sent before the receiver asks");
      FUZZ_CHECK(!eotSent, "no packet after EOT");
      CheckPacket(w, file, sender, oneK, last);
    }
    FUZZ_CHECK(cancels == 0 || cancels == 2, "CAN goes out in pairs");
    FUZZ_CHECK(sender.isActive() == (sender.end() == TransferEnd::Running), "active until it has ended");
    FUZZ_CHECK(sender.bytesLeftToSend() <= file.size(), "never more left than the file");
    if (sender.end() == TransferEnd::Completed) FUZZ_CHECK(eotSent, "complete only after EOT");
  }
  return 0;
}
