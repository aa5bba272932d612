// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads a PETSCII byte stream and tells a screen what it means. Its only
// state is a background prefix whose colour code has not arrived yet, so
// a stream may be handed over in pieces of any size.
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "terminal/PetsciiCodes.h"
#include "terminal/ScreenActions.h"

class PetsciiParser {
 public:
  // `Screen` is a ScreenActions, or one of its final classes, whose actions
  // are then called directly, not through the interface.
  template <class Screen>
  void Parse(const std::uint8_t* bytes, std::size_t count, Screen& screen);
  // Forgets a background prefix left waiting.
  void Reset() { awaitingBackground_ = false; }

 private:
  bool awaitingBackground_ = false;
};

template <class Screen>
void PetsciiParser::Parse(const std::uint8_t* bytes, std::size_t count, Screen& screen) {
  static_assert(std::is_base_of<ScreenActions, Screen>::value, "the parser calls a screen's actions");
  std::size_t i = 0;
  // CTRL-B and a colour code set the background; after CTRL-B any other
  // byte is itself, as if CTRL-B were not there. A pair split between two
  // pieces counts all the same.
  auto takeBackground = [&] {
    const int colour = ColourIndexOfCode(bytes[i]);
    if (colour < 0) return;
    screen.SetBackground(static_cast<std::uint8_t>(colour));
    ++i;
  };
  if (awaitingBackground_ && count > 0) {
    awaitingBackground_ = false;
    takeBackground();
  }
  while (i < count) {
    const std::uint8_t b = bytes[i];
    if (IsPrintable(b)) {
      // Printable bytes are most of any stream: the screen takes a run at a time.
      i += screen.Print(bytes + i, count - i);
      continue;
    }
    ++i;
    const int colour = ColourIndexOfCode(b);
    if (colour >= 0) {
      screen.SetColour(static_cast<std::uint8_t>(colour));
      continue;
    }
    switch (b) {
      case petscii::kReturn:
      case petscii::kShiftReturn: screen.MoveCursor(CursorMove::kReturn); break;
      case petscii::kCursorDown: screen.MoveCursor(CursorMove::kDown); break;
      case petscii::kCursorUp: screen.MoveCursor(CursorMove::kUp); break;
      case petscii::kCursorRight: screen.MoveCursor(CursorMove::kRight); break;
      case petscii::kCursorLeft: screen.MoveCursor(CursorMove::kLeft); break;
      case petscii::kHome: screen.MoveCursor(CursorMove::kHome); break;
      case petscii::kReverseOn: screen.SetSwitch(ScreenSwitch::kReverse, true); break;
      case petscii::kReverseOff: screen.SetSwitch(ScreenSwitch::kReverse, false); break;
      case petscii::kLowerCase: screen.SetSwitch(ScreenSwitch::kLowerCase, true); break;
      case petscii::kUpperCase: screen.SetSwitch(ScreenSwitch::kLowerCase, false); break;
      case petscii::kClear: screen.Clear(); break;
      case petscii::kDelete: screen.Delete(); break;
      case petscii::kInsert: screen.Insert(); break;
      case petscii::kBackgroundPrefix:
        if (i < count)
          takeBackground();
        else
          awaitingBackground_ = true;
        break;
      default: break;  // the other control codes do nothing on a C64 screen
    }
  }
}
