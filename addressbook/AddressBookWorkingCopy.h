// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The list the address book window edits. Every opening of the window starts
// from the stored book; the stored book changes only when the user commits.
#include <functional>
#include <vector>

#include "settings/AddressBook.h"

class AddressBookWorkingCopy {
 public:
  // The entries become a copy of the source's; the source is remembered.
  void reset(AddressBook& source);
  // Whether the entries differ from the source's. The source's selected
  // index plays no part.
  bool isModified() const;
  // The source's entries become a copy of the working ones, then `save`
  // writes them out. Without a source there is nothing to commit.
  bool commit(const std::function<bool()>& save);

  std::vector<AddressBookEntry> entries;

 private:
  AddressBook* source = nullptr;
};

// The one working copy for the whole run (GUI thread only).
AddressBookWorkingCopy& programWorkingCopy();
