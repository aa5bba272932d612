// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Program-wide values shared between windows (GUI thread only).
#include <string>

#include "settings/ByteBuffer.h"

// Base64 text of the last screenshot taken in any window.
std::string& screenshotText();
// Pictures of the screen (copied or saved) have the C64's border around them.
bool& pictureBorder();
// Screen vertical pixels per inch / 96; 1.0 until the main window measures it.
double& displayScale();
// The built-in welcome screen shown until the first connection.
ByteBuffer welcomeScreen();
