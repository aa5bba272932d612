// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboard/wxKeymapFactory.h"

#include "keyboard/wxKeymapC64Hybrid.h"
#include "keyboard/wxKeymapC64Positional.h"
#include "settings/Settings.h"

namespace qwx {

std::unique_ptr<wxKeymapC64> MakeKeymap(int keyboardMap) {
  switch (keyboardMap) {
    case kPositionalKeyboardMap:
      return std::make_unique<wxKeymapC64Positional>();
    case kHybridKeyboardMap:
      return std::make_unique<wxKeymapC64Hybrid>();
    default:
      return nullptr;
  }
}

}  // namespace qwx
