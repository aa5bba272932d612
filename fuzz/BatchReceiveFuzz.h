// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the batch receives' fuzz targets share: the receiver on the
// recording line and fake clock, started; every byte handed to it counted;
// the steps any line brings (raw chunks, waits, now and then the line's
// end); and the checks every batch receive passes after each step.
#include <cstddef>
#include <cstdint>

#include "TransferFuzzSupport.h"

template <typename Receiver>
class BatchReceiveFuzz {
 public:
  BatchReceiveFuzz() {
    clock.serve(receiver);
    receiver.initiate();
  }
  BatchReceiveFuzz(const BatchReceiveFuzz&) = delete;
  BatchReceiveFuzz& operator=(const BatchReceiveFuzz&) = delete;

  Receiver& engine() { return receiver; }

  void deliver(const std::uint8_t* bytes, std::size_t count) {
    given += count;
    receiver.receive(bytes, count);
  }
  void rawChunk(FuzzedDataProvider& input) {
    const ByteBuffer chunk = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(1, kLargestChunk));
    if (!chunk.empty()) deliver(chunk.data(), chunk.size());
  }
  void wait(FuzzedDataProvider& input) { clock.advance(input.ConsumeIntegralInRange<std::uint32_t>(0, kLongestWaitMs)); }
  void lineDrop(FuzzedDataProvider& input) {
    if (input.ConsumeIntegralInRange<int>(0, 15) == 0) receiver.connectionClosed();
  }

  // Every write since the last step: none once the receive had ended, and
  // each one `allowed` (`what` names what is).
  template <typename Allowed>
  void checkWrites(bool wasActive, Allowed allowed, const char* what) {
    for (const ByteBuffer& w : TakeWrites(link)) {
      FUZZ_CHECK(wasActive, "silent once ended");
      FUZZ_CHECK(allowed(w), what);
    }
  }

  // The files completed since the last step, each shown to `check`: no
  // more data than was received, no more files than a batch takes; and
  // the receiver is active until it has ended.
  template <typename CheckFile>
  void checkFiles(CheckFile check) {
    for (const BatchFile& file : receiver.takeFiles()) {
      taken += file.data.size();
      check(file);
    }
    FUZZ_CHECK(taken <= given, "no more data than was received");
    FUZZ_CHECK(receiver.filesDone() <= Receiver::kMaxFiles, "no more files than a batch takes");
    FUZZ_CHECK(receiver.isActive() == (receiver.end() == TransferEnd::Running), "active until it has ended");
  }

 private:
  RecordingLink link;
  FakeClock clock;
  Receiver receiver{link, clock};
  std::size_t given = 0;
  std::size_t taken = 0;
};
