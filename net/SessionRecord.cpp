// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/SessionRecord.h"

#include <algorithm>

namespace {
constexpr std::size_t kCompactionShare = 4;  // compact once a quarter of the ceiling lies dropped
constexpr int kMebibyteShift = 20;
constexpr std::size_t kChunkRoom = std::size_t{1} << 16;  // more than a socket read
}

SessionRecord::SessionRecord(ByteBuffer start, std::size_t ceiling) : bytes(std::move(start)), ceiling(ceiling) {
  Append(nullptr, 0);
}

void SessionRecord::Append(const std::uint8_t* data, std::size_t length) {
  if (length >= ceiling) {
    // Everything kept so far goes, and the front of the new bytes with it.
    trimmed = trimmed || Size() > 0 || length > ceiling;
    bytes.assign(data + (length - ceiling), data + length);
    start = 0;
    return;
  }
  if (bytes.size() + length > bytes.capacity()) {
    Compact();
    // All the room it will need at once: growing by doubling would copy
    // what is kept and hold both copies for a moment. Pages not yet
    // written take no memory.
    bytes.reserve(std::max(bytes.size() + length, ceiling + ceiling / kCompactionShare + kChunkRoom));
  }
  bytes.insert(bytes.end(), data, data + length);
  if (Size() > ceiling) {
    start = bytes.size() - ceiling;
    trimmed = true;
  }
  if (start >= ceiling / kCompactionShare) Compact();
}

void SessionRecord::Clear() {
  bytes.clear();
  start = 0;
  trimmed = false;
}

const ByteBuffer& SessionRecord::Bytes() const {
  Compact();
  return bytes;
}

void SessionRecord::Compact() const {
  if (start == 0) return;
  bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(start));
  start = 0;
}

std::string RecordSizeText(std::size_t size, bool trimmed, std::size_t ceiling) {
  if (!trimmed) return std::to_string(size);
  const std::size_t mebibyte = std::size_t{1} << kMebibyteShift;
  if (ceiling % mebibyte != 0) return "last " + std::to_string(ceiling) + " bytes";
  return "last " + std::to_string(ceiling >> kMebibyteShift) + " MiB";
}
