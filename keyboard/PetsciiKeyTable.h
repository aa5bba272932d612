// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The PETSCII byte a C64 produces for each key with each modifier.
#include <cstdint>
#include <optional>

#include "keyboard/C64KeyPress.h"

// Key number 0-63 and modifier 0-3; anything else, or a combination the C64
// gives nothing for, is nothing.
std::optional<std::uint8_t> PetsciiOfKeyPress(std::uint32_t key, std::uint32_t modifier);
inline std::optional<std::uint8_t> PetsciiOfKeyPress(C64KeyPress press) {
  return PetsciiOfKeyPress(press.Key(), press.Modifier());
}
