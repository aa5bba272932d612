// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/AddressBookWorkingCopy.h"

void AddressBookWorkingCopy::reset(AddressBook& book) {
  source = &book;
  entries = book.entries;
}

bool AddressBookWorkingCopy::isModified() const {
  if (!source) return !entries.empty();
  return !entriesEqual(entries, source->entries);
}

bool AddressBookWorkingCopy::commit(const std::function<bool()>& save) {
  if (!source) return false;
  source->entries = entries;
  return save ? save() : true;
}

AddressBookWorkingCopy& programWorkingCopy() {
  static AddressBookWorkingCopy copy;
  return copy;
}
