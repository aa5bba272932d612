// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The address book window's rules that need no toolkit: which row to show,
// how rows are created, removed and moved, how typed text becomes a port,
// and which commands are available.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/AddressBook.h"
#include "settings/AtomicFileWrite.h"

using EntryList = std::vector<AddressBookEntry>;

// A list row index; the list control's "no row".
constexpr int kNoRow = -1;

// The entry "New" appends.
AddressBookEntry makeNewEntry();

// The row selected when the window opens or after Undo: the stored index
// when it names a row other than the first, else the top row. kNoRow for an
// empty list.
int initialRow(std::size_t rowCount, std::int32_t storedIndex, int topRow);

// A row can be connected to when it exists and has a name and a port.
bool isConnectable(const EntryList& entries, int row);

// Removes the row and returns the row to select afterwards: the same index,
// or the last row when the removed one was last; kNoRow when the list is
// empty (or the row did not exist and nothing was removed).
int removeEntry(EntryList& entries, int row);

// Exchange the row with its neighbour; false (and nothing moved) at the
// edges or without a row.
bool moveEntryUp(EntryList& entries, int row);
bool moveEntryDown(EntryList& entries, int row);

// Whether the move commands are offered. With no row selected they can be
// offered and then do nothing.
bool moveUpOffered(int row);
bool moveDownOffered(int row, std::size_t rowCount);

// The port for the field's text: the low 16 bits of an accepted number,
// 0 for the empty text, `current` for a text that is not a number.
std::uint16_t portFromText(std::string_view text, std::uint16_t current);

// A colour as the entry stores it: the low 8 bits of the chosen index.
std::uint8_t storedColour(int chosen);
// The swatch that shows a stored colour. Hand-edited files may hold values
// above 15; they show as the terminal draws them, by their low four bits.
int shownColour(std::uint8_t stored);

// The connect button's label: it says that connecting saves first.
const char* connectLabel(bool modified);

// Entry files (.morbbs). Reading takes every entry that can be read from
// the file, each bad field at its default; a file that cannot be read gives
// none.
EntryList readEntryFile(const std::string& path);
// Replaces the file whole (see replaceFileAtomically): a failed write
// leaves the file that was there.
FileReplacement writeEntryFile(const std::string& path, const AddressBookEntry& entry);
