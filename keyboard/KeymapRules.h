#pragma once
// The rules both keymaps share: the PC Tab key is the C64 CTRL key, the PC
// Ctrl key is the C= key, and Ctrl with Shift is C= with SHIFT.
#include <optional>

#include "keyboard/C64KeyPress.h"
#include "keyboard/KeyEvent.h"

// For an event of the key that stands for CTRL: a key-down marks it held and
// gives the CTRL key itself, a key-up releases it and gives no key. Any other
// kind of event leaves it alone and gives nothing, so the map goes on.
std::optional<C64KeyPress> TrackTabKey(const KeyEvent& event, bool& tabHeld);

// Ctrl and Shift together on a key-down: the charset toggle (C= + SHIFT).
// Key-ups do not count, or every key tapped with both held would toggle twice.
bool IsCharsetToggleChord(const KeyEvent& event);

// The C64 modifier for the held keys: CTRL (Tab) before SHIFT before C= (Ctrl).
std::uint32_t HeldModifier(const KeyEvent& event, bool tabHeld);
