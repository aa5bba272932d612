// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/Crc16.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The published check values (the CRC of the nine ASCII digits "123456789")
// of CRC-16 variants that between them use every switch of the routine.
TEST(Crc16, GivesThePublishedCheckValueOfEachVariant) {
  struct Variant {
    const char* name;
    Crc16Parameters parameters;
    std::uint16_t check;
  };
  const Variant variants[] = {
      {"XMODEM", kCrc16Xmodem, 0x31C3},
      {"IBM-3740", {0xFFFF, 0x1021, 0x0000, false, false}, 0x29B1},
      {"GENIBUS", {0xFFFF, 0x1021, 0xFFFF, false, false}, 0xD64E},
      {"KERMIT", {0x0000, 0x1021, 0x0000, true, true}, 0x2189},
      {"IBM-SDLC", {0xFFFF, 0x1021, 0xFFFF, true, true}, 0x906E},
      {"ARC", {0x0000, 0x8005, 0x0000, true, true}, 0xBB3D},
      {"MODBUS", {0xFFFF, 0x8005, 0x0000, true, true}, 0x4B37},
      {"UMTS", {0x0000, 0x8005, 0x0000, false, false}, 0xFEE8},
      {"DNP", {0x0000, 0x3D65, 0xFFFF, true, true}, 0xEA82},
  };
  const std::string digits = "123456789";
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(digits.data());
  for (const Variant& v : variants) {
    EXPECT_EQ(crc16(bytes, digits.size(), v.parameters), v.check) << v.name;
    // Alternating polynomials must not disturb each other.
    EXPECT_EQ(crc16(bytes, digits.size(), kCrc16Xmodem), 0x31C3) << "after " << v.name;
  }
  EXPECT_EQ(crc16(bytes, 0, kCrc16Xmodem), 0x0000);
}

}  // namespace
