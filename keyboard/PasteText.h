// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text pasted into a board becomes what a C64 user would type: letters as
// the letter keys, with SHIFT for capitals where the screen shows the
// lower/upper case set (in the upper case/graphics set every letter is a
// capital, shifted ones being graphics); digits and punctuation as PETSCII
// has them; a line end (CR, LF or CR LF) as one RETURN; a tab as spaces to
// the next multiple of eight columns; typographic quotes, dashes and the
// ellipsis as their plain forms. What PETSCII has no character for is left
// out and counted.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// One key of a paste: a PETSCII byte, or a letter whose byte depends on the
// character set the screen shows when it is sent.
using PasteKey = std::uint16_t;

struct PasteKeys {
  std::vector<PasteKey> keys;
  std::size_t leftOut = 0;  // characters PETSCII cannot carry
  std::size_t lines = 0;    // RETURNs, and a last line without one
};

PasteKeys TranslatePaste(std::u32string_view text);

// The byte `key` sends while the screen shows the lower/upper case set
// (`lowerCase`) or the upper case/graphics set.
std::uint8_t PetsciiOfPasteKey(PasteKey key, bool lowerCase);
