// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/ClipboardText.h"

namespace {
constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kLastLatin1 = 0xFF;

bool IsScalarValue(char32_t c) { return c < 0xD800 || (c > 0xDFFF && c <= 0x10FFFF); }

void AppendUtf8(std::string& out, char32_t c) {
  if (!IsScalarValue(c)) c = kReplacement;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}
}  // namespace

ClipboardText ClipboardTextOf(std::u32string_view text) {
  ClipboardText result;
  result.utf8.reserve(text.size());
  std::string latin1;
  bool allLatin1 = true;
  for (const char32_t c : text) {
    AppendUtf8(result.utf8, c);
    allLatin1 = allLatin1 && c <= kLastLatin1;
    if (allLatin1) latin1 += static_cast<char>(c);
  }
  if (allLatin1) result.latin1 = std::move(latin1);
  return result;
}
