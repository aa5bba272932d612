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
// first. Transfers compute thousands of CRCs with one polynomial, so the
// table of the last polynomial is kept.
struct ByteTable {
  std::uint16_t polynomial = 0;
  bool built = false;
  std::array<std::uint16_t, 256> entries{};
};

const ByteTable& tableFor(std::uint16_t polynomial) {
  thread_local ByteTable table;
  if (!table.built || table.polynomial != polynomial) {
    for (unsigned top = 0; top < 256; ++top) {
      std::uint16_t value = static_cast<std::uint16_t>(top << 8);
      for (int bit = 0; bit < 8; ++bit) {
        value = static_cast<std::uint16_t>(value & 0x8000 ? value << 1 ^ polynomial : value << 1);
      }
      table.entries[top] = value;
    }
    table.polynomial = polynomial;
    table.built = true;
  }
  return table;
}

}  // namespace

std::uint16_t crc16(const std::uint8_t* bytes, std::size_t size, const Crc16Parameters& parameters) {
  const auto& entries = tableFor(parameters.polynomial).entries;
  std::uint16_t crc = parameters.initial;
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint8_t byte = parameters.reflectInput ? reflect8(bytes[i]) : bytes[i];
    crc = static_cast<std::uint16_t>(crc << 8 ^ entries[(crc >> 8 ^ byte) & 0xFF]);
  }
  if (parameters.reflectOutput) crc = reflect16(crc);
  return static_cast<std::uint16_t>(crc ^ parameters.finalXor);
}
