// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Makes the keymap a `keyboardMap` setting value names.
#include <memory>

#include "keyboard/wxKeymapC64.h"

namespace qwx {

// kPositionalKeyboardMap or kHybridKeyboardMap (settings/Settings.h); null
// for any other value, so that the caller keeps the map in force and leaves
// the setting as it is.
std::unique_ptr<wxKeymapC64> MakeKeymap(int keyboardMap);

}  // namespace qwx
