// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The address book: the BBS entries the user keeps, in list order.
#include <cstdint>
#include <string>
#include <vector>

#include "settings/LineSpeed.h"

constexpr std::uint16_t kDefaultEntryPort = 64128;
constexpr std::uint8_t kDefaultBackground = 0;    // black
constexpr std::uint8_t kDefaultForeground = 15;   // light grey
// The column counts an entry may hold; the terminal uses neither.
constexpr std::uint64_t kNarrowColumns = 40;
constexpr std::uint64_t kWideColumns = 80;
constexpr std::uint64_t kDefaultColumns = kNarrowColumns;
constexpr std::uint16_t kLargestPort = 65535;
// Colours are stored as one byte; the terminal and the address book window
// draw them by their low four bits.
constexpr std::uint8_t kLargestStoredColour = 255;
constexpr std::int32_t kNoEntrySelected = -1;

struct AddressBookEntry {
  std::string name;
  std::string description;
  std::string address;  // host name or address
  std::uint16_t port = kDefaultEntryPort;
  bool telnet = false;  // a telnet server in front of the board; raw TCP otherwise
  std::uint8_t background = kDefaultBackground;  // C64 colour indices
  std::uint8_t foreground = kDefaultForeground;
  bool echo = false;  // typed keys shown locally, for boards that do not echo
  std::uint64_t columns = kDefaultColumns;
  std::uint32_t lineSpeed = kLineSpeedOff;  // bits per second the board is shown at
  std::string screenshot;  // base64 of a PETSCII screen, decoded only for display
};

bool operator==(const AddressBookEntry& a, const AddressBookEntry& b);
inline bool operator!=(const AddressBookEntry& a, const AddressBookEntry& b) { return !(a == b); }

// Same length and, position by position, the same entries.
bool entriesEqual(const std::vector<AddressBookEntry>& a, const std::vector<AddressBookEntry>& b);

struct AddressBook {
  std::vector<AddressBookEntry> entries;
  // Kept by the address book window; not stored in the file.
  std::int32_t selectedIndex = kNoEntrySelected;
};

// The one instance for the whole run (GUI thread only).
AddressBook& programAddressBook();
