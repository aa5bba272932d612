// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the keymaps need to know of a toolkit key event; the GUI fills it in,
// so the translation itself never sees the toolkit.
#include <cstdint>

enum class KeyEventKind {
  KeyDown,
  KeyUp,
  // Anything else the toolkit reports (a character event): the maps treat
  // it as neither a press nor a release.
  Other,
};

struct KeyEvent {
  KeyEventKind kind = KeyEventKind::Other;
  // The hardware key code; on GTK under X11 the X11 keycode.
  std::uint32_t rawKeyCode = 0;
  // The toolkit's key code: a keycode:: constant or the character code of a
  // printable key (capital letter, unshifted symbol).
  int keyCode = 0;
  // The character of the key, 0 when it has none.
  std::uint32_t unicodeChar = 0;
  bool ctrl = false;
  bool shift = false;
  bool alt = false;
};
