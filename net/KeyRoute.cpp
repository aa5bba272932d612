// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/KeyRoute.h"

KeyRoute RouteKey(const KeyOrigin& origin, bool hasClient, bool transferRunning) {
  // Only the terminal types to the board; every other place keeps its keys
  // (arrows in a menu, Escape in a dialog), and Alt stays with the menus.
  if (origin.place != KeyPlace::Terminal || origin.dialogOpen || origin.altHeld || !hasClient)
    return KeyRoute::Window;
  // A transfer owns the line: the keyboard is not the board's meanwhile.
  if (transferRunning) return origin.escapePressed ? KeyRoute::CancelTransfer : KeyRoute::Window;
  return KeyRoute::Board;
}
