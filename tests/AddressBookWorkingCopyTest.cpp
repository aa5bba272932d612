// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/AddressBookWorkingCopy.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "addressbook/AddressBookEditing.h"

namespace {

AddressBook twoEntryBook() {
  AddressBook book;
  book.entries.resize(2);
  book.entries[0].name = "First";
  book.entries[1].name = "Second";
  book.selectedIndex = 1;
  return book;
}

TEST(AddressBookWorkingCopy, EditsStayInTheCopyAndEveryMemberCounts) {
  const std::vector<std::function<void(AddressBookEntry&)>> edits = {
      [](AddressBookEntry& e) { e.name += "x"; },      [](AddressBookEntry& e) { e.description = "d"; },
      [](AddressBookEntry& e) { e.address = "a"; },    [](AddressBookEntry& e) { e.port = 23; },
      [](AddressBookEntry& e) { e.background = 6; },   [](AddressBookEntry& e) { e.foreground = 1; },
      [](AddressBookEntry& e) { e.echo = true; },      [](AddressBookEntry& e) { e.columns = 80; },
      [](AddressBookEntry& e) { e.screenshot = "QUJD"; },
  };
  AddressBook book = twoEntryBook();
  AddressBookWorkingCopy copy;
  for (std::size_t i = 0; i < edits.size(); ++i) {
    copy.reset(book);
    EXPECT_FALSE(copy.isModified());
    edits[i](copy.entries[1]);
    EXPECT_TRUE(copy.isModified()) << "edit " << i;
    EXPECT_EQ(book.entries, twoEntryBook().entries) << "edit " << i;
  }
}

TEST(AddressBookWorkingCopy, ModifiedIsDerivedFromTheEntriesNotKept) {
  AddressBook book = twoEntryBook();
  AddressBookWorkingCopy copy;
  copy.reset(book);
  std::swap(copy.entries[0], copy.entries[1]);
  EXPECT_TRUE(copy.isModified());
  std::swap(copy.entries[0], copy.entries[1]);  // moved back: nothing to save
  EXPECT_FALSE(copy.isModified());
  book.selectedIndex = 0;  // selecting rows is not editing
  EXPECT_FALSE(copy.isModified());
}

TEST(AddressBookWorkingCopy, CommitReplacesTheSourceBeforeSaving) {
  AddressBook book = twoEntryBook();
  AddressBookWorkingCopy copy;
  copy.reset(book);
  copy.entries.erase(copy.entries.begin());
  std::vector<AddressBookEntry> seenBySave;
  EXPECT_TRUE(copy.commit([&] {
    seenBySave = book.entries;
    return true;
  }));
  EXPECT_EQ(seenBySave, copy.entries);
  EXPECT_EQ(book.selectedIndex, 1) << "the window keeps the index itself";
  EXPECT_FALSE(copy.isModified());
  // The caller learns of a failed save; the stored book is replaced anyway.
  copy.entries.clear();
  EXPECT_FALSE(copy.commit([] { return false; }));
  EXPECT_TRUE(book.entries.empty());

  AddressBookWorkingCopy loose;  // never reset: nothing to commit into
  loose.entries.resize(1);
  EXPECT_TRUE(loose.isModified());
  EXPECT_FALSE(loose.commit([] { return ADD_FAILURE() << "saved without a source", true; }));
}

// The window's rules that its GUI tests reach only in part.
TEST(AddressBookEditing, PortTextsPastedFormsAndUnwritableEntryFiles) {
  struct Case {
    const char* text;
    std::uint16_t expected;
  };
  const Case cases[] = {{"70000", 4464}, {"65536", 0}, {"", 0},      {"$FF", 255},
                        {"0x10", 16},    {"%101", 5},  {"12ab", 777}, {"-1", 777}};
  for (const Case& c : cases) EXPECT_EQ(portFromText(c.text, 777), c.expected) << '"' << c.text << '"';
  EXPECT_EQ(initialRow(5, 2, 3), 2);
  EXPECT_EQ(initialRow(5, 0, 3), 3) << "the top row, which is 0 only after filling the list";
  EXPECT_TRUE(moveDownOffered(kNoRow, 2)) << "offered without a row, then does nothing";
  EXPECT_FALSE(moveDownOffered(kNoRow, 0));
  EXPECT_FALSE(writeEntryFile("/nonexistent-directory/x.morbbs", makeNewEntry()));
  EXPECT_TRUE(readEntryFile("/nonexistent-directory/x.morbbs").empty());
}

}  // namespace
