// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboard/wxKeymapC64Positional.h"

#include "keyboard/PositionalKeymap.h"

namespace qwx {

C64KeyPress wxKeymapC64Positional::Translate(const wxKeyEvent& event) {
  return TranslatePositional(RecordOf(event), state_);
}

}  // namespace qwx
