// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboard/PasteText.h"

namespace {
constexpr PasteKey kLetter = 0x100;
constexpr PasteKey kCapital = 0x200;
constexpr std::uint8_t kReturn = 0x0D;
constexpr std::uint8_t kSpace = 0x20;
constexpr std::uint8_t kShifted = 0x80;  // SHIFT with a letter key: 0x41 -> 0xC1
constexpr std::size_t kTabStop = 8;

// Characters outside ASCII that PETSCII has, or that are typed as a plain
// character a C64 has.
struct Equivalent {
  char32_t character;
  const char* keys;
};
constexpr Equivalent kEquivalents[] = {
    {U'\u00A0', " "},      // no-break space
    {U'\u00A3', "\x5C"},   // pound sign
    {U'\u2191', "\x5E"},   // up arrow
    {U'\u2190', "\x5F"},   // left arrow
    {U'\u2018', "'"},      {U'\u2019', "'"},  {U'\u201C', "\""}, {U'\u201D', "\""},
    {U'\u2013', "-"},      {U'\u2014', "-"},  {U'\u2026', "..."},
};

// ASCII that PETSCII has at the same code: space to '?', '@' and the
// square brackets. The rest of ASCII's punctuation (^ _ \ ` { | } ~) has
// other glyphs there or none.
bool SameInPetscii(char32_t c) { return (c >= 0x20 && c <= 0x40) || c == '[' || c == ']'; }
}  // namespace

PasteKeys TranslatePaste(std::u32string_view text) {
  PasteKeys paste;
  paste.keys.reserve(text.size());
  std::size_t column = 0;  // keys since the last RETURN, for tab stops
  const auto type = [&](PasteKey key) {
    paste.keys.push_back(key);
    column = key == kReturn ? 0 : column + 1;
    if (key == kReturn) ++paste.lines;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i];
    if (c == U'\r' || c == U'\n') {
      if (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
      type(kReturn);
    } else if (c == U'\t') {
      do type(kSpace); while (column % kTabStop != 0);
    } else if (c >= U'a' && c <= U'z') {
      type(static_cast<PasteKey>(kLetter | (c - U'a' + 'A')));
    } else if (c >= U'A' && c <= U'Z') {
      type(static_cast<PasteKey>(kLetter | kCapital | c));
    } else if (SameInPetscii(c)) {
      type(static_cast<PasteKey>(c));
    } else {
      const Equivalent* found = nullptr;
      for (const Equivalent& e : kEquivalents)
        if (e.character == c) found = &e;
      if (!found) {
        ++paste.leftOut;
        continue;
      }
      for (const char* k = found->keys; *k; ++k) type(static_cast<std::uint8_t>(*k));
    }
  }
  if (column > 0) ++paste.lines;
  return paste;
}

std::uint8_t PetsciiOfPasteKey(PasteKey key, bool lowerCase) {
  const auto byte = static_cast<std::uint8_t>(key & 0xFF);
  if (!(key & kLetter)) return byte;
  return (key & kCapital) && lowerCase ? static_cast<std::uint8_t>(byte | kShifted) : byte;
}
