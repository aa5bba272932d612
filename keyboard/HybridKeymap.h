// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The hybrid keymap: letters, digits and most symbols give the character
// printed on the (US) PC key; the special keys are mapped by their key code.
#include <cstdint>
#include <map>

#include "keyboard/C64KeyPress.h"
#include "keyboard/KeyEvent.h"
#include "keyboard/KeymapRules.h"

namespace hybrid {
// What one special key gives, by the modifier in force.
struct SpecialKey {
  C64KeyPress tabHeld;
  C64KeyPress shift;
  C64KeyPress ctrl;
  C64KeyPress plain;
};

// By toolkit key code; built once, on first use.
const std::map<int, SpecialKey>& SpecialKeys();

// The C64 key of a capital letter A-Z or a digit 0-9; no key for anything else.
std::uint32_t LetterKeyOf(std::uint32_t character);
std::uint32_t DigitKeyOf(std::uint32_t character);
}  // namespace hybrid

// May change the state (Tab held, the charset chord).
C64KeyPress TranslateHybrid(const KeyEvent& event, KeymapState& state);
