// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Address-book entries as JSON objects: the one-line layout used inside the
// configuration file and alone in an exported .morbbs file, and the reader
// for both.
#include <string>
#include <string_view>
#include <vector>

#include "settings/AddressBook.h"
#include "settings/TolerantJsonReader.h"

// One entry object on one line, without white space outside its strings.
std::string entryToText(const AddressBookEntry& entry);

struct EntriesReading {
  std::vector<AddressBookEntry> entries;
  // False when anything was skipped or a field had to take its default.
  bool complete = true;
};

// Every entry in a text: an entry file holding one or more entry objects
// (or arrays of them), or the built-in address book. Members may come in
// any order; missing ones keep their defaults. An unknown member, another
// entry format version, or a text that is not UTF-8 (it takes U+FFFD for
// the broken bytes) makes the reading incomplete. A field that is of the
// wrong kind or out of range (a port above 65535, a colour above 255,
// columns other than 40 or 80, a line speed not offered) takes its default
// and the entry stays. Damage in the text costs only what it covers.
EntriesReading readAddressBookEntries(std::string_view text);

// Appends the entries a value holds: an array of entry objects as the
// program writes it, or what a hand edit may have made of one (a single
// entry object, an object or array of them). False when anything in it
// could not be taken as written.
bool appendEntries(const JsonValue& value, std::vector<AddressBookEntry>& entries);
