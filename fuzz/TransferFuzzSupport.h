// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the transfer fuzz targets share: the unit tests' recording line and
// fake clock, and the pieces of a transfer a fuzz input is made of.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzCheck.h"
#include "TransferTestSupport.h"

// The longest stretch of fake time one step lets pass: past every timer
// the engines arm.
constexpr std::uint32_t kLongestWaitMs = 12000;
// The most a read of the socket hands over at once.
constexpr std::size_t kLargestChunk = 4096;

// Bytes from the input; when it runs short, the rest is `fill`.
inline ByteBuffer TakeBytes(FuzzedDataProvider& input, std::size_t size, std::uint8_t fill) {
  ByteBuffer bytes = input.ConsumeBytes<std::uint8_t>(size);
  bytes.resize(size, fill);
  return bytes;
}

// Hands `bytes` over whole, byte by byte or in two pieces, as the input chooses.
template <typename Deliver>
void DeliverSplit(FuzzedDataProvider& input, const ByteBuffer& bytes, Deliver deliver) {
  switch (input.ConsumeIntegralInRange<int>(0, 2)) {
    case 0: deliver(bytes.data(), bytes.size()); break;
    case 1:
      for (std::uint8_t b : bytes) deliver(&b, 1);
      break;
    default: {
      const std::size_t at = input.ConsumeIntegralInRange<std::size_t>(0, bytes.size());
      if (at > 0) deliver(bytes.data(), at);
      if (at < bytes.size()) deliver(bytes.data() + at, bytes.size() - at);
    }
  }
}

// Every write since the last call, handed back and forgotten.
inline std::vector<ByteBuffer> TakeWrites(RecordingLink& link) {
  std::vector<ByteBuffer> writes;
  writes.swap(link.writes);
  return writes;
}
