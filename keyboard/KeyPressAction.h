// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the main window does with a translated key press, once it has decided
// the keyboard goes to the host at all (connected, no transfer, no Alt).
#include <cstdint>

#include "keyboard/C64KeyPress.h"

struct KeyPressAction {
  enum class Kind {
    PassOn,         // not a C64 key: leave the event to the toolkit
    ToggleCharset,  // C= + SHIFT: switch the screen's character set, send nothing
    Send,           // send `byte` to the host
    Swallow,        // a C64 key that produces nothing: consume the event
  };
  Kind kind = Kind::PassOn;
  std::uint8_t byte = 0;
};

KeyPressAction ActionOfKeyPress(C64KeyPress press);
