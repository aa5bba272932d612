// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/Utf8Text.h"

namespace {
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD
}

std::pair<std::optional<char32_t>, std::size_t> nextUtf8Character(std::string_view text, std::size_t at) {
  constexpr unsigned char kContinuationTop = 0xC0, kContinuationMark = 0x80;
  constexpr int kContinuationBits = 6;
  constexpr char32_t kFirstSurrogate = 0xD800, kLastSurrogate = 0xDFFF, kLastCharacter = 0x10FFFF;
  struct Form {
    unsigned char mask, lead;
    std::size_t length;
    char32_t smallest;
  };
  static constexpr Form kForms[] = {
      {0x80, 0x00, 1, 0x0}, {0xE0, 0xC0, 2, 0x80}, {0xF0, 0xE0, 3, 0x800}, {0xF8, 0xF0, 4, 0x10000}};
  const auto lead = static_cast<unsigned char>(text[at]);
  for (const Form& form : kForms) {
    if ((lead & form.mask) != form.lead) continue;
    if (text.size() - at < form.length) break;
    char32_t code = lead & static_cast<unsigned char>(~form.mask);
    for (std::size_t i = 1; i < form.length; ++i) {
      const auto next = static_cast<unsigned char>(text[at + i]);
      if ((next & kContinuationTop) != kContinuationMark) return {std::nullopt, 1};
      code = (code << kContinuationBits) | (next & static_cast<unsigned char>(~kContinuationTop));
    }
    const bool surrogate = code >= kFirstSurrogate && code <= kLastSurrogate;
    if (code < form.smallest || surrogate || code > kLastCharacter) break;
    return {code, form.length};
  }
  return {std::nullopt, 1};
}

bool isUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const auto [character, length] = nextUtf8Character(text, at);
    if (!character) return false;
    at += length;
  }
  return true;
}

std::string asUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const auto [character, length] = nextUtf8Character(text, at);
    if (character) out.append(text.substr(at, length));
    else out.append(kReplacementCharacter);
    at += length;
  }
  return out;
}
