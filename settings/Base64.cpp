// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/Base64.h"

#include <array>

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kPad = '=';
constexpr std::size_t kGroupBytes = 3;
constexpr std::size_t kGroupChars = 4;
constexpr int kBitsPerChar = 6;
constexpr unsigned kCharMask = 0x3F;
constexpr unsigned kByteMask = 0xFF;
constexpr int kBitsPerByte = 8;
constexpr int kInvalid = -1;
constexpr int kValue62 = 62;
constexpr int kValue63 = 63;
constexpr std::size_t kByteValues = 256;

using DecodeTable = std::array<int, kByteValues>;

DecodeTable makeDecodeTable() {
  DecodeTable table;
  table.fill(kInvalid);
  for (int i = 0; kAlphabet[i] != '\0'; ++i) table[static_cast<unsigned char>(kAlphabet[i])] = i;
  table[static_cast<unsigned char>('-')] = kValue62;
  table[static_cast<unsigned char>('_')] = kValue63;
  return table;
}

}  // namespace

std::string base64Encode(const ByteBuffer& bytes) {
  std::string out;
  out.reserve((bytes.size() + kGroupBytes - 1) / kGroupBytes * kGroupChars);
  std::size_t i = 0;
  for (; i + kGroupBytes <= bytes.size(); i += kGroupBytes) {
    const unsigned group = (unsigned{bytes[i]} << (2 * kBitsPerByte)) |
                           (unsigned{bytes[i + 1]} << kBitsPerByte) | bytes[i + 2];
    for (int shift = 3 * kBitsPerChar; shift >= 0; shift -= kBitsPerChar) {
      out += kAlphabet[(group >> shift) & kCharMask];
    }
  }
  const std::size_t rest = bytes.size() - i;
  if (rest == 0) return out;
  unsigned group = unsigned{bytes[i]} << (2 * kBitsPerByte);
  if (rest == 2) group |= unsigned{bytes[i + 1]} << kBitsPerByte;
  // One byte needs two characters, two bytes three.
  const std::size_t chars = rest + 1;
  for (std::size_t c = 0; c < chars; ++c) {
    out += kAlphabet[(group >> (3 * kBitsPerChar - kBitsPerChar * static_cast<int>(c))) & kCharMask];
  }
  out.append(kGroupChars - chars, kPad);
  return out;
}

ByteBuffer base64Decode(std::string_view text) {
  static const DecodeTable table = makeDecodeTable();
  ByteBuffer out;
  out.reserve(text.size() / kGroupChars * kGroupBytes + kGroupBytes);
  unsigned bits = 0;
  int bitCount = 0;
  for (const char c : text) {
    const int value = table[static_cast<unsigned char>(c)];
    if (value == kInvalid) break;
    bits = (bits << kBitsPerChar) | static_cast<unsigned>(value);
    bitCount += kBitsPerChar;
    if (bitCount >= kBitsPerByte) {
      bitCount -= kBitsPerByte;
      out.push_back(static_cast<std::uint8_t>((bits >> bitCount) & kByteMask));
    }
  }
  // A lone trailing character carries fewer than eight bits and gives
  // nothing, so unpadded text decodes like padded text.
  return out;
}
