// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's one CRC-16 routine, for any of the published 16-bit CRCs.
#include <cstddef>
#include <cstdint>

struct Crc16Parameters {
  std::uint16_t initial;
  std::uint16_t polynomial;
  std::uint16_t finalXor;
  bool reflectInput;   // each input byte is taken least significant bit first
  bool reflectOutput;  // the register is bit-reversed before the final XOR
};

// Xmodem's CRC: polynomial 0x1021, no reflection, starting at 0.
inline constexpr Crc16Parameters kCrc16Xmodem{0x0000, 0x1021, 0x0000, false, false};

std::uint16_t crc16(const std::uint8_t* bytes, std::size_t size, const Crc16Parameters& parameters);
