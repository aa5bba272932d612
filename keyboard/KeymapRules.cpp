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

bool IsCharsetToggleChord(const KeyEvent& event) {
  return event.ctrl && event.shift && event.kind == KeyEventKind::KeyDown;
}

std::uint32_t HeldModifier(const KeyEvent& event, bool tabHeld) {
  if (tabHeld) return c64modifier::kCtrl;
  if (event.shift) return c64modifier::kShift;
  if (event.ctrl) return c64modifier::kCommodore;
  return c64modifier::kNone;
}
