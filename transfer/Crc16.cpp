// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/Crc16.h"

#include <array>

namespace {

// The bits of every nibble in reverse order.
constexpr std::array<std::uint8_t, 16> kReversedNibble = {0x0, 0x8, 0x4, 0xC, 0x2, 0xA, 0x6, 0xE,
                                                          0x1, 0x9, 0x5, 0xD, 0x3, 0xB, 0x7, 0xF};

std::uint8_t reflect8(std::uint8_t value) {
  return static_cast<std::uint8_t>(kReversedNibble[value & 0xF] << 4 | kReversedNibble[value >> 4]);
}

std::uint16_t reflect16(std::uint16_t value) {
  return static_cast<std::uint16_t>(reflect8(value & 0xFF) << 8 | reflect8(value >> 8));
}

// The register update for each value of its top byte, most significant bit
// first (`one`), and for two bytes at once (`two`: the first byte's update
// carried through the second; the second byte's own part comes from `one`,
// as the update is linear). Transfers compute thousands of CRCs with one
// polynomial, so the tables of the last polynomial are kept.
struct ByteTables {
  std::uint16_t polynomial = 0;
  bool built = false;
  std::array<std::uint16_t, 256> one{};
  std::array<std::uint16_t, 256> two{};
};

const ByteTables& tablesFor(std::uint16_t polynomial) {
  thread_local ByteTables tables;
  if (!tables.built || tables.polynomial != polynomial) {
    for (unsigned top = 0; top < 256; ++top) {
      std::uint16_t value = static_cast<std::uint16_t>(top << 8);
      for (int bit = 0; bit < 8; ++bit) {
        value = static_cast<std::uint16_t>(value & 0x8000 ? value << 1 ^ polynomial : value << 1);
      }
      tables.one[top] = value;
    }
    for (unsigned top = 0; top < 256; ++top) {
      const std::uint16_t first = tables.one[top];
      tables.two[top] = static_cast<std::uint16_t>((first & 0xFF) << 8 ^ tables.one[first >> 8]);
    }
    tables.polynomial = polynomial;
    tables.built = true;
  }
  return tables;
}

}  // namespace

std::uint16_t crc16(const std::uint8_t* bytes, std::size_t size, const Crc16Parameters& parameters) {
  const ByteTables& tables = tablesFor(parameters.polynomial);
  const bool reflect = parameters.reflectInput;
  auto in = [&](std::size_t i) { return reflect ? reflect8(bytes[i]) : bytes[i]; };
  unsigned crc = parameters.initial;
  std::size_t i = 0;
  for (; i + 1 < size; i += 2) crc = tables.two[(crc >> 8 ^ in(i)) & 0xFF] ^ tables.one[(crc ^ in(i + 1)) & 0xFF];
  if (i < size) crc = (crc << 8 ^ tables.one[(crc >> 8 ^ in(i)) & 0xFF]) & 0xFFFF;
  std::uint16_t result = static_cast<std::uint16_t>(crc);
  if (parameters.reflectOutput) result = reflect16(result);
  return static_cast<std::uint16_t>(result ^ parameters.finalXor);
}
