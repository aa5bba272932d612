#include "settings/AddressBookText.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

AddressBookEntry sampleEntry() {
  AddressBookEntry e;
  e.name = "Board";
  e.description = "Say \"hi\"";
  e.address = "bbs.example";
  e.port = 6400;
  e.background = 6;
  e.foreground = 14;
  e.echo = true;
  e.columns = 80;
  e.screenshot = "DgWS";
  return e;
}

std::vector<AddressBookEntry> readText(const std::string& text) {
  JsonScanner scanner(text);
  return readAddressBookEntries(scanner);
}

TEST(AddressBookText, EntryIsOneLineInTheFixedLayout) {
  EXPECT_EQ(entryToText(sampleEntry()),
            R"({"addressBookEntry":"1","name":"Board","description":"Say \"hi\"","address":"bbs.example",)"
            R"("port":6400,"background":6,"foreground":14,"echo":true,"columns":80,"screenshot":"DgWS"})");
}

TEST(AddressBookText, ReadsSeveralEntriesInAnyOrderWithDefaults) {
  const std::string text = entryToText(sampleEntry()) + "\n" +
                           R"({"address":"x.example","unknown":"skip me","flag":true,"name":"Second",)"
                           R"("background":3,"addressBookEntry":"1"})" +
                           R"({"name":"Third","port":23,"echo":false,"screenshot":"QUJD"})";
  const std::vector<AddressBookEntry> entries = readText(text);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0], sampleEntry());
  EXPECT_EQ(entries[1].name, "Second");
  EXPECT_EQ(entries[1].address, "x.example");
  EXPECT_EQ(entries[1].background, 3);
  EXPECT_EQ(entries[1].port, kDefaultEntryPort);
  EXPECT_EQ(entries[1].foreground, kDefaultForeground);
  EXPECT_EQ(entries[1].columns, kDefaultColumns);
  EXPECT_EQ(entries[2].port, 23);
  EXPECT_EQ(entries[2].screenshot, "QUJD");
}

TEST(AddressBookText, NumbersAreCutToTheMemberWidth) {
  const auto entries = readText(R"({"port":65537,"background":257,"columns":7,})");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].port, 1);
  EXPECT_EQ(entries[0].background, 1);
  EXPECT_EQ(entries[0].columns, 7u);
}

TEST(AddressBookText, AwkwardTextsReadBackUnchanged) {
  const char* const texts[] = {
      "quote \" inside", "line\nbreak\r\n", "back\\slash", "trailing\\", "\\", "\\\\\"", "tab\tbell\x07",
      "caf\xc3\xa9 \xff", "",
  };
  for (const char* text : texts) {
    AddressBookEntry e;
    e.name = e.description = e.address = text;
    const auto entries = readText(entryToText(e));
    ASSERT_EQ(entries.size(), 1u) << text;
    EXPECT_EQ(entries[0], e) << text;
  }
}

TEST(AddressBook, EntriesEqualComparesEveryMember) {
  const std::function<void(AddressBookEntry&)> changes[] = {
      [](AddressBookEntry& e) { e.name += "x"; },       [](AddressBookEntry& e) { e.description += "x"; },
      [](AddressBookEntry& e) { e.address += "x"; },    [](AddressBookEntry& e) { ++e.port; },
      [](AddressBookEntry& e) { ++e.background; },      [](AddressBookEntry& e) { ++e.foreground; },
      [](AddressBookEntry& e) { e.echo = !e.echo; },    [](AddressBookEntry& e) { ++e.columns; },
      [](AddressBookEntry& e) { e.screenshot += "A"; },
  };
  const std::vector<AddressBookEntry> book{AddressBookEntry{}, sampleEntry()};
  EXPECT_TRUE(entriesEqual(book, book));
  for (std::size_t i = 0; i < std::size(changes); ++i) {
    std::vector<AddressBookEntry> changed = book;
    changes[i](changed[1]);
    EXPECT_FALSE(entriesEqual(book, changed)) << "member " << i;
  }
  EXPECT_FALSE(entriesEqual(book, {book[0]}));
  EXPECT_FALSE(entriesEqual(book, {book[1], book[0]}));
}

}  // namespace
