// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rules both keymaps share: the PC Tab key is the C64 CTRL key, the PC
// Ctrl key is the C= key, and Ctrl with Shift is C= with SHIFT.
#include <optional>

#include "keyboard/C64KeyPress.h"
#include "keyboard/KeyEvent.h"

// What a keymap remembers between key events.
struct KeymapState {
  bool tabHeld = false;     // the key that stands for CTRL is down
  bool chordArmed = false;  // Ctrl and Shift went down together, nothing else yet
};

// For an event of the key that stands for CTRL: a key-down marks it held and
// gives the CTRL key itself, a key-up releases it and gives no key. Any other
// kind of event leaves it alone and gives nothing, so the map goes on.
std::optional<C64KeyPress> TrackTabKey(const KeyEvent& event, bool& tabHeld);

// The charset toggle (C= + SHIFT) is Ctrl and Shift pressed together and
// let go with no other key in between: Ctrl+Shift with a letter is the
// program's own commands' key, which must not switch the set on its way.
// `modifierKey`: the event is of the Ctrl or the Shift key itself. Gives
// the toggle, no key (the chord's own events, keys pressed within it), or
// nothing, so the map goes on.
std::optional<C64KeyPress> TrackCharsetChord(const KeyEvent& event, bool modifierKey, bool& armed);

// The C64 modifier for the held keys: CTRL (Tab) before SHIFT before C= (Ctrl).
std::uint32_t HeldModifier(const KeyEvent& event, bool tabHeld);
