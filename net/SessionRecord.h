// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The session buffer: the bytes a session received, up to a ceiling. Past
// it the oldest bytes go, so that a board sending without end cannot take
// all of the user's memory; the record says when that happened.
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/ByteBuffer.h"

class SessionRecord {
 public:
  static constexpr std::size_t kDefaultCeiling = std::size_t{64} << 20;  // 64 MiB

  explicit SessionRecord(ByteBuffer start = {}, std::size_t ceiling = kDefaultCeiling);

  // Keeps the last `ceiling` bytes of all appended; linear in the length.
  void Append(const std::uint8_t* data, std::size_t length);
  // Empty and untrimmed again.
  void Clear();
  std::size_t Size() const { return bytes.size() - start; }
  std::size_t Ceiling() const { return ceiling; }
  // Bytes were dropped from the front since the last Clear.
  bool Trimmed() const { return trimmed; }
  // The bytes kept, oldest first; valid until the next change.
  const ByteBuffer& Bytes() const;

 private:
  // Dropped bytes stay in front of `start` until they are a quarter of the
  // ceiling, so that the bytes moved stay in proportion to those appended.
  // Bytes() drops them at once.
  void Compact() const;

  mutable ByteBuffer bytes;
  mutable std::size_t start = 0;
  std::size_t ceiling;
  bool trimmed = false;
};

// A buffer's size for the status bar: the count of bytes, or, once it was
// trimmed, that it holds the last ceiling's worth ("last 64 MiB", or
// "last 16 bytes" for a ceiling of no whole mebibytes).
std::string RecordSizeText(std::size_t size, bool trimmed, std::size_t ceiling = SessionRecord::kDefaultCeiling);
