// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A screen model holding every glyph of both character sets, normal and
// reversed, in a grid labelled with the screen codes, for checking the
// glyph sets at a glance.
#include "terminal/PetsciiScreen.h"

PetsciiScreen CharacterChart();

// The PETSCII byte that prints a screen code 0x00-0x7F.
std::uint8_t PetsciiOfScreenCode(std::uint8_t screenCode);
