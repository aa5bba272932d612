// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboard/wxKeymapC64.h"

#include <wx/defs.h>

#include "keyboard/KeyCodes.h"

// The key record carries the toolkit's key code unchanged.
static_assert(keycode::kNone == WXK_NONE);
static_assert(keycode::kBack == WXK_BACK);
static_assert(keycode::kTab == WXK_TAB);
static_assert(keycode::kReturn == WXK_RETURN);
static_assert(keycode::kEscape == WXK_ESCAPE);
static_assert(keycode::kSpace == WXK_SPACE);
static_assert(keycode::kDelete == WXK_DELETE);
static_assert(keycode::kShift == WXK_SHIFT);
static_assert(keycode::kAlt == WXK_ALT);
static_assert(keycode::kControl == WXK_CONTROL);
static_assert(keycode::kEnd == WXK_END);
static_assert(keycode::kHome == WXK_HOME);
static_assert(keycode::kLeft == WXK_LEFT);
static_assert(keycode::kUp == WXK_UP);
static_assert(keycode::kRight == WXK_RIGHT);
static_assert(keycode::kDown == WXK_DOWN);
static_assert(keycode::kInsert == WXK_INSERT);
static_assert(keycode::kF1 == WXK_F1);
static_assert(keycode::kF2 == WXK_F2);
static_assert(keycode::kF3 == WXK_F3);
static_assert(keycode::kF4 == WXK_F4);
static_assert(keycode::kF5 == WXK_F5);
static_assert(keycode::kF6 == WXK_F6);
static_assert(keycode::kF7 == WXK_F7);
static_assert(keycode::kF8 == WXK_F8);
static_assert(keycode::kF9 == WXK_F9);
static_assert(keycode::kF10 == WXK_F10);
static_assert(keycode::kPageUp == WXK_PAGEUP);
static_assert(keycode::kPageDown == WXK_PAGEDOWN);
static_assert(keycode::kNumpadEnter == WXK_NUMPAD_ENTER);

namespace qwx {

KeyEvent wxKeymapC64::RecordOf(const wxKeyEvent& event) {
  KeyEvent record;
  const wxEventType type = event.GetEventType();
  if (type == wxEVT_KEY_DOWN)
    record.kind = KeyEventKind::KeyDown;
  else if (type == wxEVT_KEY_UP)
    record.kind = KeyEventKind::KeyUp;
  // On GTK the raw flags hold the X11 hardware key code.
  record.rawKeyCode = event.GetRawKeyFlags();
  record.keyCode = event.GetKeyCode();
  record.unicodeChar = static_cast<std::uint32_t>(event.GetUnicodeKey());
  record.ctrl = CtrlHeld(event);
  record.shift = ShiftHeld(event);
  record.alt = event.AltDown();
  return record;
}

}  // namespace qwx
