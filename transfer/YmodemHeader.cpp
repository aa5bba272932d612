// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/YmodemHeader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include "transfer/Xmodem.h"

namespace ymodem {

namespace {
constexpr std::uint64_t kLargest = std::numeric_limits<std::uint64_t>::max();
constexpr int kDecimal = 10;
constexpr unsigned kPlainFileMode = 0100644;
}  // namespace

FileHeader parseHeader(const std::uint8_t* data, std::size_t size) {
  FileHeader header;
  const auto* end = data + size;
  const auto* nameEnd = std::find(data, end, 0);
  header.name.assign(data, nameEnd);
  if (nameEnd == end) return header;
  const auto* field = nameEnd + 1;
  const auto* fieldEnd = std::find_if(field, end, [](std::uint8_t b) { return b == 0 || b == ' '; });
  if (field == fieldEnd) return header;
  std::uint64_t value = 0;
  for (const auto* digit = field; digit != fieldEnd; ++digit) {
    // A sign or any other character: no size to go by.
    if (*digit < '0' || *digit > '9') return header;
    const unsigned d = *digit - '0';
    value = value > (kLargest - d) / kDecimal ? kLargest : value * kDecimal + d;
  }
  header.size = value;
  return header;
}

ByteBuffer headerData(const std::string& name, std::uint64_t size, std::int64_t modified) {
  char fields[64];
  std::snprintf(fields, sizeof fields, "%llu %llo %o", static_cast<unsigned long long>(size),
                static_cast<unsigned long long>(modified < 0 ? 0 : modified), kPlainFileMode);
  const std::string text = name + '\0' + fields;
  ByteBuffer data(text.begin(), text.end());
  data.resize(data.size() < Xmodem::kShortBlock ? Xmodem::kShortBlock : Xmodem::kLongBlock, 0);
  if (data.size() > Xmodem::kLongBlock) data.resize(Xmodem::kLongBlock);
  return data;
}

}  // namespace ymodem
