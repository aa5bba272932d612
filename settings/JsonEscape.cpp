#include "settings/JsonEscape.h"

namespace {

constexpr char kBackslash = '\\';
constexpr unsigned char kLastControl = 0x1F;
constexpr std::size_t kShortEscapeExtra = 1;    // \n is two bytes for one
constexpr std::size_t kUnicodeEscapeExtra = 5;  // \u00XX is six bytes for one
constexpr std::size_t kUnicodeDigits = 4;
constexpr unsigned kByteMask = 0xFF;
constexpr int kHexBase = 16;
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
      case 'b': out += '\b'; break;
      case 'f': out += '\f'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case 'u': {
        // A \u cut short by the end of the text yields nothing.
        if (i + kUnicodeDigits > text.size()) {
          i = text.size();
          break;
        }
        unsigned value = 0;
        bool valid = true;
        for (std::size_t d = 0; d < kUnicodeDigits; ++d) {
          const int digit = hexValue(text[i + d]);
          if (digit < 0) valid = false;
          value = value * kHexBase + static_cast<unsigned>(digit < 0 ? 0 : digit);
        }
        if (valid) out += static_cast<char>(value & kByteMask);
        i += kUnicodeDigits;
        break;
      }
      default:
        // Unknown escapes (the solidus among them) vanish with their backslash.
        break;
    }
  }
  return out;
}
