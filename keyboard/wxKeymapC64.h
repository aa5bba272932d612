// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The keymap the main window owns: turns toolkit key events into C64 key
// presses. The translation lives in the toolkit-free core; these classes only
// copy what it needs out of the event.
#include <wx/event.h>

#include "keyboard/C64KeyPress.h"
#include "keyboard/KeyEvent.h"
#include "keyboard/KeymapRules.h"

namespace qwx {

class wxKeymapC64 {
 public:
  virtual ~wxKeymapC64() = default;
  // No key (key number 64) for events that mean nothing to the C64. May
  // change the Tab state.
  virtual C64KeyPress Translate(const wxKeyEvent& event) = 0;

  static bool CtrlHeld(const wxKeyEvent& event) { return event.ControlDown(); }
  static bool ShiftHeld(const wxKeyEvent& event) { return event.ShiftDown(); }
  bool TabHeld() const { return state_.tabHeld; }
  // A key went down that Translate will not see (a command's accelerator
  // took it): Ctrl and Shift held for it were no tap of their own. Its
  // release may come after theirs.
  void KeyTakenElsewhere() { state_.chordArmed = false; }

 protected:
  // The fields of the event the keymaps look at.
  static KeyEvent RecordOf(const wxKeyEvent& event);

  // The PC Tab key stands for the C64 CTRL key while it is down; Ctrl and
  // Shift tapped together switch the character set.
  KeymapState state_;
};

}  // namespace qwx
