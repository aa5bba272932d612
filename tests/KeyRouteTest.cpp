// SPDX-License-Identifier: GPL-3.0-or-later
// Where each key goes, by where it was pressed and what is open or running.
#include "net/KeyRoute.h"

#include <gtest/gtest.h>

namespace {

TEST(KeyRoute, OnlyTheTerminalTypesToTheBoardAndEscapeCancelsATransfer) {
  enum Flag { kNone = 0, kDialog = 1, kAlt = 2, kEscape = 4, kClient = 8, kTransfer = 16 };
  const struct {
    const char* name;
    KeyPlace place;
    int flags;
    KeyRoute route;
  } rows[] = {
      {"a letter in the terminal", KeyPlace::Terminal, kClient, KeyRoute::Board},
      {"Escape in the terminal is RUN/STOP", KeyPlace::Terminal, kClient | kEscape, KeyRoute::Board},
      {"not connected", KeyPlace::Terminal, kNone, KeyRoute::Window},
      {"Alt: the menus' mnemonics", KeyPlace::Terminal, kClient | kAlt, KeyRoute::Window},
      {"a dialog is open", KeyPlace::Terminal, kClient | kDialog, KeyRoute::Window},
      {"the menu bar is open", KeyPlace::Menu, kClient, KeyRoute::Window},
      {"another part of the main window", KeyPlace::MainWindow, kClient, KeyRoute::Window},
      {"another window", KeyPlace::OtherWindow, kClient, KeyRoute::Window},
      {"a letter during a transfer", KeyPlace::Terminal, kClient | kTransfer, KeyRoute::Window},
      {"Escape during a transfer", KeyPlace::Terminal, kClient | kTransfer | kEscape, KeyRoute::CancelTransfer},
      {"Escape in a menu during a transfer", KeyPlace::Menu, kClient | kTransfer | kEscape, KeyRoute::Window},
      {"Escape in a dialog during a transfer", KeyPlace::Terminal, kClient | kTransfer | kEscape | kDialog,
       KeyRoute::Window},
      {"Alt+Escape during a transfer", KeyPlace::Terminal, kClient | kTransfer | kEscape | kAlt, KeyRoute::Window},
      {"Escape in another window during a transfer", KeyPlace::OtherWindow, kClient | kTransfer | kEscape,
       KeyRoute::Window},
  };
  for (const auto& row : rows) {
    KeyOrigin origin;
    origin.place = row.place;
    origin.dialogOpen = row.flags & kDialog;
    origin.altHeld = row.flags & kAlt;
    origin.escapePressed = row.flags & kEscape;
    EXPECT_EQ(RouteKey(origin, row.flags & kClient, row.flags & kTransfer), row.route) << row.name;
  }
}

}  // namespace
