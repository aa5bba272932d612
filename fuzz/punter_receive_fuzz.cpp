// SPDX-License-Identifier: GPL-3.0-or-later
// The Punter receiver against any sender: random chunks, the sender's
// words, blocks that are sound or a little off (size, final mark, check),
// the user's cancel, a dropped line, all on fake time. It never faults,
// holds back less than one block, keeps only the data of accepted blocks
// and answers each with GOO after its short wait, writes nothing but its
// four words and is silent once it has ended.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <algorithm>

#include "PunterSender.h"
#include "TransferFuzzSupport.h"
#include "transfer/Punter.h"

namespace {

using namespace punter;

constexpr std::size_t kLongestBlock = 255;
const char* const kSenderWords[] = {kGoo, kBad, kAck, kSendBlock, kSyn};
const char* const kReceiverWords[] = {kGoo, kBad, kSendBlock, kSyn};

enum Step { kRawChunk, kWord, kBlock, kWait, kUserCancel, kLineDrop, kLastStep = kLineDrop };

ByteBuffer Block(FuzzedDataProvider& input) {
  switch (input.ConsumeIntegralInRange<int>(0, 2)) {
    case 0: return punter_test::makeBlock(kHeaderSize, 0, {input.ConsumeIntegral<std::uint8_t>()});  // file type
    case 1: return punter_test::makeBlock(input.ConsumeIntegral<std::uint8_t>(), 0, {});  // header only
    default: {
      const std::size_t size = input.ConsumeIntegralInRange<std::size_t>(0, kLongestBlock - kHeaderSize);
      const bool final = input.ConsumeIntegralInRange<int>(0, 3) == 0;
      const std::uint8_t next = input.ConsumeIntegral<std::uint8_t>();
      const std::uint16_t number = static_cast<std::uint16_t>((final ? 0xFF00 : 0) | input.ConsumeIntegral<std::uint8_t>());
      ByteBuffer block = punter_test::makeBlock(next, number, TakeBytes(input, size, 0));
      if (input.ConsumeIntegralInRange<int>(0, 7) == 0)
        block[input.ConsumeIntegralInRange<std::size_t>(0, block.size() - 1)] ^= input.ConsumeIntegralInRange<std::uint8_t>(1, 255);
      return block;
    }
  }
}

bool IsWord(const ByteBuffer& w, const char* word) { return std::memcmp(w.data(), word, kWordSize) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  RecordingLink link;
  FakeClock clock;
  Punter receiver(link, clock);
  clock.serve(receiver);
  receiver.initiate();

  std::size_t given = 0;
  bool gooOwed = false;  // a block was accepted; its GOO has yet to go out
  auto deliver = [&](const std::uint8_t* bytes, std::size_t count) {
    given += count;
    receiver.recieve(bytes, count);
  };
  while (input.remaining_bytes() > 0) {
    const bool wasActive = receiver.isActive();
    const std::size_t before = receiver.data().size();
    bool cancelled = false;
    std::uint32_t waited = 0;
    switch (input.ConsumeIntegralInRange<int>(0, kLastStep)) {
      case kRawChunk: {
        const ByteBuffer chunk = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(1, kLargestChunk));
        if (!chunk.empty()) deliver(chunk.data(), chunk.size());
        break;
      }
      case kWord: {
        const char* word = kSenderWords[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kSenderWords) - 1)];
        DeliverSplit(input, bytesOf(word), deliver);
        break;
      }
      case kBlock: DeliverSplit(input, Block(input), deliver); break;
      case kWait:
        waited = input.ConsumeIntegralInRange<std::uint32_t>(0, kLongestWaitMs);
        clock.advance(waited);
        break;
      case kUserCancel:
        cancelled = wasActive;
        receiver.cancel();
        break;
      case kLineDrop:
        if (input.ConsumeIntegralInRange<int>(0, 15) == 0) receiver.connectionClosed();
        break;
    }

    const std::vector<ByteBuffer> writes = TakeWrites(link);
    FUZZ_CHECK(wasActive || writes.empty(), "silent once ended");
    bool good = false;
    for (const ByteBuffer& w : writes) {
      FUZZ_CHECK(w.size() == kWordSize, "each word in one write of three bytes");
      FUZZ_CHECK(std::any_of(std::begin(kReceiverWords), std::end(kReceiverWords), [&](const char* word) { return IsWord(w, word); }),
                 "only GOO, BAD, S/B and SYN");
      good = good || IsWord(w, kGoo);
    }
    if (cancelled) {
      FUZZ_CHECK(writes.size() == 3 && std::all_of(writes.begin(), writes.end(), [](const ByteBuffer& w) { return IsWord(w, kBad); }),
                 "a cancel is BAD three times");
      FUZZ_CHECK(receiver.data().empty(), "a cancelled receive keeps nothing");
    }
    FUZZ_CHECK(receiver.isActive() == (receiver.end() == TransferEnd::Running), "active until it has ended");
    FUZZ_CHECK(receiver.currentState() >= 1 && receiver.currentState() <= 7, "one of the seven states");
    FUZZ_CHECK(receiver.bufferedBytes() < kLongestBlock, "holds back less than a block");
    const std::size_t after = receiver.data().size();
    FUZZ_CHECK(after <= given, "no more data than was received");
    if (after > before) gooOwed = true;
    if (good || !receiver.isActive()) gooOwed = false;
    FUZZ_CHECK(!(gooOwed && waited >= Punter::kAnswerDelayMs),
               "accepted data is answered with GOO after the short wait");
  }
  return 0;
}
