// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The address book a first run starts with: four boards, each with a
// PETSCII picture, carried as the JSON text of resources/
// default_address_book.json (drawn by tools/make_default_address_book.py).
#include <string_view>
#include <vector>

#include "settings/AddressBook.h"

std::string_view defaultAddressBookText();
std::vector<AddressBookEntry> defaultAddressBookEntries();
// Replaces the book's entries with the defaults, none selected.
void installDefaultAddressBook(AddressBook& book);
