// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/AddressBook.h"

#include <tuple>

namespace {
auto fields(const AddressBookEntry& e) {
  return std::tie(e.name, e.description, e.address, e.port, e.telnet, e.background, e.foreground, e.echo,
                  e.columns, e.lineSpeed, e.screenshot);
}
}  // namespace

bool operator==(const AddressBookEntry& a, const AddressBookEntry& b) { return fields(a) == fields(b); }

bool entriesEqual(const std::vector<AddressBookEntry>& a, const std::vector<AddressBookEntry>& b) {
  return a == b;
}

AddressBook& programAddressBook() {
  static AddressBook book;
  return book;
}
