// SPDX-License-Identifier: GPL-3.0-or-later
// The Multi-Punter receiver against any sender: announcements sound,
// endless or odd, the end of a batch, the Punter words and blocks of a
// file, random chunks, waits, the user's cancel, a dropped line, on fake
// time. It never faults, holds back at most one announcement and one
// block, writes only Punter's receiving words, hands over no more data than
// it was given and never a name longer than an announcement, and is silent
// once it has ended.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "PunterSender.h"
#include "BatchReceiveFuzz.h"
#include "transfer/MultiPunterReceive.h"
#include "transfer/PunterSend.h"

namespace {

using namespace multi_punter;

const char* const kSenderWords[] = {punter::kAck, punter::kGoo, punter::kSyn, punter::kSendBlock};
const char* const kReceiverWords[] = {punter::kGoo, punter::kBad, punter::kSendBlock, punter::kSyn};
enum Step { kAnnounce, kEndOfBatch, kWord, kBlock, kRawChunk, kWait, kUserCancel, kLineDrop, kLastStep = kLineDrop };

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  BatchReceiveFuzz<MultiPunterReceive> run;
  MultiPunterReceive& receiver = run.engine();
  auto deliver = [&](const std::uint8_t* bytes, std::size_t count) { run.deliver(bytes, count); };
  while (input.remaining_bytes() > 0) {
    const bool wasActive = receiver.isActive();
    switch (input.ConsumeIntegralInRange<int>(0, kLastStep)) {
      case kAnnounce: {
        ByteBuffer words(input.ConsumeIntegralInRange<std::size_t>(kShortestRun - 1, kLeadInRun), kLeadIn);
        const ByteBuffer name = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 400));
        words.insert(words.end(), name.begin(), name.end());
        if (input.ConsumeBool()) words.push_back(kReturn);
        DeliverSplit(input, words, deliver);
        break;
      }
      case kEndOfBatch: {
        ByteBuffer words(kLeadInRun, kLeadIn);
        words.insert(words.end(), kLeadInRun, kBatchEnd);
        words.push_back(kReturn);
        DeliverSplit(input, words, deliver);
        break;
      }
      case kWord:
        DeliverSplit(input, bytesOf(kSenderWords[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kSenderWords) - 1)]),
                     deliver);
        break;
      case kBlock: {
        const ByteBuffer payload = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 248));
        const bool final = input.ConsumeBool();
        DeliverSplit(input,
                     punter_test::makeBlock(input.ConsumeIntegral<std::uint8_t>(), final ? 0xFF01 : 1, payload), deliver);
        break;
      }
      case kRawChunk: run.rawChunk(input); break;
      case kWait: run.wait(input); break;
      case kUserCancel: receiver.cancel(); break;
      case kLineDrop: run.lineDrop(input); break;
    }
    run.checkWrites(
        wasActive,
        [](const ByteBuffer& w) {
          return w.size() == punter::kWordSize &&
                 std::any_of(std::begin(kReceiverWords), std::end(kReceiverWords),
                             [&](const char* word) { return std::memcmp(w.data(), word, punter::kWordSize) == 0; });
        },
        "only GOO, BAD, S/B and SYN");
    run.checkFiles([](const BatchFile& file) {
      FUZZ_CHECK(file.name.size() <= kLongestHeader, "a name from one announcement");
    });
    FUZZ_CHECK(receiver.heldBytes() <= kLongestHeader + punter::kLargestBlock, "holds back one announcement or block");
  }
  return 0;
}
