// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboard/KeyPressAction.h"

#include "keyboard/PetsciiKeyTable.h"

KeyPressAction ActionOfKeyPress(C64KeyPress press) {
  if (press.IsNoKey()) return {KeyPressAction::Kind::PassOn};
  if (press.IsCharsetToggle()) return {KeyPressAction::Kind::ToggleCharset};
  if (const auto byte = PetsciiOfKeyPress(press)) return {KeyPressAction::Kind::Send, *byte};
  return {KeyPressAction::Kind::Swallow};
}
