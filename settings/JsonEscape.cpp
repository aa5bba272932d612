// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/JsonEscape.h"

#include <algorithm>
#include <optional>

#include "settings/Utf8Text.h"

namespace {

constexpr char kBackslash = '\\';
constexpr unsigned char kLastControl = 0x1F;
constexpr std::size_t kShortEscapeExtra = 1;    // \n is two bytes for one
constexpr std::size_t kUnicodeEscapeExtra = 5;  // \u00XX is six bytes for one
constexpr std::size_t kUnicodeDigits = 4;
constexpr int kHexBase = 16;
constexpr std::string_view kUnicodePrefix = "\\u";
constexpr char32_t kFirstHighSurrogate = 0xD800;
constexpr char32_t kFirstLowSurrogate = 0xDC00;
constexpr char32_t kLastLowSurrogate = 0xDFFF;
constexpr char32_t kFirstSupplementary = 0x10000;
constexpr int kSurrogateBits = 10;
constexpr char32_t kReplacementCharacter = 0xFFFD;
// The largest code point written in one, two and three UTF-8 bytes.
constexpr char32_t kOneByteLimit = 0x7F;
constexpr char32_t kTwoByteLimit = 0x7FF;
constexpr char32_t kThreeByteLimit = 0xFFFF;
constexpr int kContinuationBits = 6;
constexpr char32_t kContinuationMask = 0x3F;
constexpr unsigned char kContinuationMark = 0x80;
constexpr unsigned char kTwoByteLead = 0xC0;
constexpr unsigned char kThreeByteLead = 0xE0;
constexpr unsigned char kFourByteLead = 0xF0;
const char kHexDigits[] = "0123456789abcdef";
const char kUnicodeEscapePrefix[] = "\\u00";

// The letter of a two-byte escape, or 0 when the byte has none.
char shortEscape(unsigned char c) {
  switch (c) {
    case '"': return '"';
    case '\\': return '\\';
    case '\b': return 'b';
    case '\t': return 't';
    case '\n': return 'n';
    case '\f': return 'f';
    case '\r': return 'r';
    default: return 0;
  }
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool isHighSurrogate(char32_t code) { return code >= kFirstHighSurrogate && code < kFirstLowSurrogate; }
bool isLowSurrogate(char32_t code) { return code >= kFirstLowSurrogate && code <= kLastLowSurrogate; }

// The four hexadecimal digits at `at` (either case); nothing when they are
// not all there.
std::optional<char32_t> unicodeUnit(std::string_view text, std::size_t at) {
  if (at > text.size() || text.size() - at < kUnicodeDigits) return std::nullopt;
  char32_t value = 0;
  for (std::size_t d = 0; d < kUnicodeDigits; ++d) {
    const int digit = hexValue(text[at + d]);
    if (digit < 0) return std::nullopt;
    value = value * kHexBase + static_cast<char32_t>(digit);
  }
  return value;
}

void appendUtf8(std::string& out, char32_t code) {
  auto continuation = [&](int shift) {
    out += static_cast<char>(kContinuationMark | ((code >> shift) & kContinuationMask));
  };
  if (code <= kOneByteLimit) {
    out += static_cast<char>(code);
  } else if (code <= kTwoByteLimit) {
    out += static_cast<char>(kTwoByteLead | (code >> kContinuationBits));
    continuation(0);
  } else if (code <= kThreeByteLimit) {
    out += static_cast<char>(kThreeByteLead | (code >> (2 * kContinuationBits)));
    continuation(kContinuationBits);
    continuation(0);
  } else {
    out += static_cast<char>(kFourByteLead | (code >> (3 * kContinuationBits)));
    continuation(2 * kContinuationBits);
    continuation(kContinuationBits);
    continuation(0);
  }
}

}  // namespace

std::string jsonEscape(std::string_view text) {
  std::size_t length = text.size();
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (shortEscape(c) != 0) {
      length += kShortEscapeExtra;
    } else if (c <= kLastControl) {
      length += kUnicodeEscapeExtra;
    }
  }
  std::string out;
  out.reserve(length);
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (const char letter = shortEscape(c)) {
      out += kBackslash;
      out += letter;
    } else if (c <= kLastControl) {
      out += kUnicodeEscapePrefix;
      out += kHexDigits[c / kHexBase];
      out += kHexDigits[c % kHexBase];
    } else {
      out += ch;
    }
  }
  return out;
}

std::string jsonUnescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c != kBackslash) {
      out += c;
      ++i;
      continue;
    }
    // A backslash as the very last byte escapes nothing and is dropped.
    if (i + 1 >= text.size()) break;
    const char kind = text[i + 1];
    i += 2;
    switch (kind) {
      case '"': out += '"'; break;
      case '\\': out += '\\'; break;
      case '/': out += '/'; break;
      case 'b': out += '\b'; break;
      case 'f': out += '\f'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case 'u': {
        const std::optional<char32_t> unit = unicodeUnit(text, i);
        // A \u with bad or missing digits yields nothing; its six bytes
        // (or what is left of them) go.
        i = std::min(i + kUnicodeDigits, text.size());
        if (!unit) break;
        char32_t code = *unit;
        if (isHighSurrogate(code)) {
          const std::optional<char32_t> low = text.substr(i, kUnicodePrefix.size()) == kUnicodePrefix
                                                  ? unicodeUnit(text, i + kUnicodePrefix.size())
                                                  : std::nullopt;
          if (low && isLowSurrogate(*low)) {
            code = kFirstSupplementary + ((code - kFirstHighSurrogate) << kSurrogateBits) + (*low - kFirstLowSurrogate);
            i += kUnicodePrefix.size() + kUnicodeDigits;
          } else {
            code = kReplacementCharacter;
          }
        } else if (isLowSurrogate(code)) {
          code = kReplacementCharacter;
        }
        appendUtf8(out, code);
        break;
      }
      default:
        // Unknown escapes vanish with their backslash.
        break;
    }
  }
  return out;
}

bool unescapesExactly(std::string_view text) {
  constexpr std::string_view kShortEscapes = "\"\\/bfnrt";
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] != kBackslash) {
      const auto [character, length] = nextUtf8Character(text, i);
      if (!character) return false;
      i += length;
      continue;
    }
    if (i + 1 >= text.size()) return false;
    const char kind = text[i + 1];
    i += 2;
    if (kind != 'u') {
      if (kShortEscapes.find(kind) == std::string_view::npos) return false;
      continue;
    }
    const std::optional<char32_t> unit = unicodeUnit(text, i);
    if (!unit || isLowSurrogate(*unit)) return false;
    i += kUnicodeDigits;
    if (!isHighSurrogate(*unit)) continue;
    const std::optional<char32_t> low = text.substr(i, kUnicodePrefix.size()) == kUnicodePrefix
                                            ? unicodeUnit(text, i + kUnicodePrefix.size())
                                            : std::nullopt;
    if (!low || !isLowSurrogate(*low)) return false;
    i += kUnicodePrefix.size() + kUnicodeDigits;
  }
  return true;
}
