// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboard/wxKeymapC64Hybrid.h"

#include "keyboard/HybridKeymap.h"

namespace qwx {

C64KeyPress wxKeymapC64Hybrid::Translate(const wxKeyEvent& event) {
  return TranslateHybrid(RecordOf(event), state_);
}

}  // namespace qwx
