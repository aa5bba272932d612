// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboard/KeymapRules.h"

std::optional<C64KeyPress> TrackTabKey(const KeyEvent& event, bool& tabHeld) {
  switch (event.kind) {
    case KeyEventKind::KeyDown:
      tabHeld = true;
      return C64KeyPress(c64key::kCtrl, c64modifier::kCtrl);
    case KeyEventKind::KeyUp:
      tabHeld = false;
      return kNoKeyPress;
    case KeyEventKind::Other:
      break;
  }
  return std::nullopt;
}

std::optional<C64KeyPress> TrackCharsetChord(const KeyEvent& event, bool modifierKey, bool& armed) {
  switch (event.kind) {
    case KeyEventKind::KeyDown:
      if (!(event.ctrl && event.shift)) {
        armed = false;
        return std::nullopt;
      }
      // A command's key may go down unseen (the accelerator takes it); its
      // release still comes here and disarms the chord.
      armed = modifierKey;
      return kNoKeyPress;
    case KeyEventKind::KeyUp: {
      const bool toggle = armed && modifierKey;
      armed = false;
      if (toggle) return kCharsetToggle;
      return std::nullopt;
    }
    case KeyEventKind::Other:
      break;
  }
  return std::nullopt;
}

std::uint32_t HeldModifier(const KeyEvent& event, bool tabHeld) {
  if (tabHeld) return c64modifier::kCtrl;
  if (event.shift) return c64modifier::kShift;
  if (event.ctrl) return c64modifier::kCommodore;
  return c64modifier::kNone;
}
