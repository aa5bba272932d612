// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/DefaultAddressBook.h"

#include <cstddef>

#include "settings/AddressBookText.h"

// Generated from resources/default_address_book.json at build time.
extern const unsigned char defaultAddressBookJson[];
extern const std::size_t defaultAddressBookJson_size;

std::string_view defaultAddressBookText() {
  return std::string_view(reinterpret_cast<const char*>(defaultAddressBookJson), defaultAddressBookJson_size);
}

std::vector<AddressBookEntry> defaultAddressBookEntries() {
  return readAddressBookEntries(defaultAddressBookText()).entries;
}

void installDefaultAddressBook(AddressBook& book) {
  book.entries = defaultAddressBookEntries();
  book.selectedIndex = kNoEntrySelected;
}
