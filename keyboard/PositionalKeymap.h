// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The positional keymap: a PC key gives the C64 key at the same place on the
// keyboard, found by its hardware key code, so the C64's own symbol layout applies.
#include <cstdint>

#include "keyboard/C64KeyPress.h"
#include "keyboard/KeyEvent.h"
#include "keyboard/KeymapRules.h"

namespace positional {
// X11 hardware key codes the table covers (US positions named).
constexpr std::uint32_t kFirstHardwareCode = 8;
constexpr std::uint32_t kLastHardwareCode = 91;
constexpr std::uint32_t kTabHardwareCode = 23;

struct PositionalKey {
  std::uint32_t key = c64key::kNone;
  // SHIFT for keys that need it whatever is held (F2, cursor up); else none.
  std::uint32_t forcedModifier = c64modifier::kNone;
};

// The table row of a hardware key code; no key outside the table.
PositionalKey PositionalKeyOf(std::uint32_t hardwareCode);
}  // namespace positional

// May change the state (Tab held, the charset chord). The cursor keys and
// Home, which have no place in the table, give what the hybrid map gives.
C64KeyPress TranslatePositional(const KeyEvent& event, KeymapState& state);
