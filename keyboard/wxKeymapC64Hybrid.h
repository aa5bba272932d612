// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Keys by the character printed on them; special keys by name.
#include "keyboard/wxKeymapC64.h"

namespace qwx {

class wxKeymapC64Hybrid : public wxKeymapC64 {
 public:
  C64KeyPress Translate(const wxKeyEvent& event) override;
};

}  // namespace qwx
