// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Keys by their place on the PC keyboard (hardware key code).
#include "keyboard/wxKeymapC64.h"

namespace qwx {

class wxKeymapC64Positional : public wxKeymapC64 {
 public:
  C64KeyPress Translate(const wxKeyEvent& event) override;
};

}  // namespace qwx
