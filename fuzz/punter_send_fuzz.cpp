// SPDX-License-Identifier: GPL-3.0-or-later
// The Punter sender against any receiver: its words, repeated, early or
// late, random chunks, the user's cancel, a dropped line, on fake time. It
// never faults, says nothing before the receiver's first call, writes only
// "ACK", "S/B", "SYN" and blocks whose checksums hold and whose data is the
// file's own at the place their number gives, and is silent once ended.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>

#include "TransferFuzzSupport.h"
#include "transfer/PunterSend.h"

namespace {

using namespace punter;

const char* const kReceiverWords[] = {kGoo, kBad, kSendBlock, kSyn, kAck};
enum Step { kWord, kRawChunk, kWait, kUserCancel, kLineDrop, kLastStep = kLineDrop };

bool IsWord(const ByteBuffer& w, const char* word) { return w.size() == kWordSize && std::memcmp(w.data(), word, kWordSize) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const ByteBuffer file = TakeBytes(input, input.ConsumeIntegralInRange<std::size_t>(0, 3000), 0x41);
  const std::size_t blocks = std::max<std::size_t>(1, (file.size() + kLargestData - 1) / kLargestData);
  RecordingLink link;
  FakeClock clock;
  PunterSend sender(link, clock);
  clock.serve(sender);
  sender.initiate(file, input.ConsumeBool() ? kProgramFile : kSequentialFile);

  bool called = false;
  std::string tail;  // the last bytes delivered, for a "GOO" across deliveries
  auto deliver = [&](const std::uint8_t* bytes, std::size_t count) {
    tail.append(reinterpret_cast<const char*>(bytes), count);
    called = called || (sender.isActive() && tail.find(kGoo) != std::string::npos);
    tail.erase(0, tail.size() > 2 ? tail.size() - 2 : 0);
    sender.receive(bytes, count);
  };
  while (input.remaining_bytes() > 0) {
    const bool wasActive = sender.isActive();
    switch (input.ConsumeIntegralInRange<int>(0, kLastStep)) {
      case kWord: {
        const char* word = kReceiverWords[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kReceiverWords) - 1)];
        DeliverSplit(input, bytesOf(word), deliver);
        break;
      }
      case kRawChunk: {
        const ByteBuffer chunk = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(1, 64));
        if (!chunk.empty()) deliver(chunk.data(), chunk.size());
        break;
      }
      case kWait: clock.advance(input.ConsumeIntegralInRange<std::uint32_t>(0, kLongestWaitMs)); break;
      case kUserCancel: sender.cancel(); break;
      case kLineDrop:
        if (input.ConsumeIntegralInRange<int>(0, 15) == 0) sender.connectionClosed();
        break;
    }
    for (const ByteBuffer& w : TakeWrites(link)) {
      FUZZ_CHECK(wasActive, "silent once ended");
      FUZZ_CHECK(called, "nothing before the receiver's first call");
      if (IsWord(w, kAck) || IsWord(w, kSendBlock) || IsWord(w, kSyn)) continue;
      FUZZ_CHECK(w.size() >= kHeaderSize && w.size() <= kLargestBlock, "a block of a size the receiver can take");
      FUZZ_CHECK(blockIntact(w.data(), w.size()), "its checksums hold");
      const std::size_t length = w.size() - kHeaderSize;
      const unsigned number = w[5] | w[6] << 8;
      if (number == 0) {
        FUZZ_CHECK(length <= 1, "the file type or the header-only block");
        continue;
      }
      const std::size_t block = w[kFinalMarkAt] == kFinalBlock ? blocks - 1 : number - 1;
      FUZZ_CHECK(block < blocks && (w[kFinalMarkAt] == kFinalBlock) == (block + 1 == blocks), "numbered in order");
      FUZZ_CHECK(block * kLargestData + length <= file.size() &&
                     (length == 0 || std::memcmp(w.data() + kHeaderSize, file.data() + block * kLargestData, length) == 0),
                 "the file's own bytes");
    }
    FUZZ_CHECK(sender.isActive() == (sender.end() == TransferEnd::Running), "active until it has ended");
    FUZZ_CHECK(sender.progressBytes() <= file.size(), "no more left than the file");
  }
  return 0;
}
