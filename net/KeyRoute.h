// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a key event goes: to the board, to the window or menu that has it,
// or, for Escape during a transfer, to the transfer's cancel. The window
// says where the key was pressed; the session adds what runs.

// Where the key was pressed.
enum class KeyPlace {
  Terminal,     // the main window, its terminal focused
  MainWindow,   // the main window, another of its parts
  Menu,         // a menu of the program, the menu bar's or a popup
  OtherWindow,  // any other window: a dialog, a popup, a viewer, the address book
};

struct KeyOrigin {
  KeyPlace place = KeyPlace::OtherWindow;
  bool dialogOpen = false;     // a dialog of the program is open
  bool altHeld = false;        // Alt: the menus' mnemonics
  bool escapePressed = false;  // a key-down of Escape
};

enum class KeyRoute {
  Window,          // the toolkit's: menus, mnemonics, the window that has it
  Board,           // through the keymap to the board (RUN/STOP for Escape)
  CancelTransfer,  // Escape while a transfer runs: cancelled, nothing asked
};

// `hasClient`: connecting or connected.
KeyRoute RouteKey(const KeyOrigin& origin, bool hasClient, bool transferRunning);
