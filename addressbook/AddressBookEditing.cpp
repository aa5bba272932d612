// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/AddressBookEditing.h"

#include <utility>

#include "settings/AddressBookText.h"
#include "settings/FileHelpers.h"
#include "settings/NumberText.h"

namespace {
constexpr const char* kNewEntryName = "New...";
constexpr std::uint32_t kPortMask = 0xFFFF;
constexpr int kStoredColourMask = 0xFF;
constexpr int kColourIndexMask = 0x0F;

bool isRow(const EntryList& entries, int row) {
  return row >= 0 && static_cast<std::size_t>(row) < entries.size();
}
}  // namespace

AddressBookEntry makeNewEntry() {
  AddressBookEntry entry;
  entry.name = kNewEntryName;
  return entry;
}

int initialRow(std::size_t rowCount, std::int32_t storedIndex, int topRow) {
  if (rowCount == 0) return kNoRow;
  if (storedIndex > 0 && static_cast<std::size_t>(storedIndex) < rowCount) return storedIndex;
  return topRow;
}

bool isConnectable(const EntryList& entries, int row) {
  if (!isRow(entries, row)) return false;
  const AddressBookEntry& entry = entries[static_cast<std::size_t>(row)];
  return !entry.name.empty() && entry.port != 0;
}

int removeEntry(EntryList& entries, int row) {
  if (!isRow(entries, row)) return kNoRow;
  entries.erase(entries.begin() + row);
  if (entries.empty()) return kNoRow;
  return static_cast<std::size_t>(row) < entries.size() ? row : static_cast<int>(entries.size()) - 1;
}

bool moveEntryUp(EntryList& entries, int row) {
  if (!isRow(entries, row) || row < 1) return false;
  std::swap(entries[static_cast<std::size_t>(row)], entries[static_cast<std::size_t>(row) - 1]);
  return true;
}

bool moveEntryDown(EntryList& entries, int row) {
  if (!isRow(entries, row) || !isRow(entries, row + 1)) return false;
  std::swap(entries[static_cast<std::size_t>(row)], entries[static_cast<std::size_t>(row) + 1]);
  return true;
}

bool moveUpOffered(int row) { return row != 0; }

bool moveDownOffered(int row, std::size_t rowCount) {
  // Compared unsigned: with no row (-1) this holds whenever there are rows.
  return static_cast<std::size_t>(row + 1) < rowCount;
}

std::uint16_t portFromText(std::string_view text, std::uint16_t current) {
  if (!isNumberText(text)) return current;
  return static_cast<std::uint16_t>(static_cast<std::uint32_t>(parseNumberText(text)) & kPortMask);
}

std::uint8_t storedColour(int chosen) { return static_cast<std::uint8_t>(chosen & kStoredColourMask); }

int shownColour(std::uint8_t stored) { return stored & kColourIndexMask; }

const char* connectLabel(bool modified) { return modified ? "Save && Connect" : "Connect"; }

EntryList readEntryFile(const std::string& path) {
  LoadedFile file;
  if (!readWholeFile(path, file)) return {};
  const std::string text(file.bytes.begin(), file.bytes.end());
  return readAddressBookEntries(text).entries;
}

FileReplacement writeEntryFile(const std::string& path, const AddressBookEntry& entry) {
  return replaceFileAtomically(path, entryToText(entry));
}
