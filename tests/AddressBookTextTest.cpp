// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/AddressBookText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

namespace {

AddressBookEntry sampleEntry() {
  AddressBookEntry e;
  e.name = "Board";
  e.description = "Say \"hi\"";
  e.address = "bbs.example";
  e.port = 6400;
  e.telnet = true;
  e.background = 6;
  e.foreground = 14;
  e.echo = true;
  e.columns = 80;
  e.lineSpeed = 2400;
  e.screenshot = "DgWS";
  return e;
}

std::vector<AddressBookEntry> readText(const std::string& text) { return readAddressBookEntries(text).entries; }

TEST(AddressBookText, EntryIsOneLineInTheFixedLayout) {
  EXPECT_EQ(entryToText(sampleEntry()),
            R"({"addressBookEntry":"1","name":"Board","description":"Say \"hi\"","address":"bbs.example",)"
            R"("port":6400,"telnet":true,"background":6,"foreground":14,"echo":true,"columns":80,"lineSpeed":2400,)"
            R"("screenshot":"DgWS"})");
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
  EXPECT_FALSE(entries[1].telnet);  // stored before the option: raw TCP
  EXPECT_EQ(entries[2].port, 23);
  EXPECT_EQ(entries[2].screenshot, "QUJD");
}

// An entry file as a user may have edited it: each entry that can be read
// is imported; a field of the wrong kind or out of range takes its default
// (never a wrapped value) and costs nothing else.
TEST(AddressBookText, BadFieldsTakeTheirDefaultsAndTheEntryStays) {
  struct Case {
    const char* member;  // replaces the sample's member of that name
    void (*expect)(AddressBookEntry&);
    bool complete = false;  // the value was read as written
  };
  const Case cases[] = {
      {R"("port":65535)", [](AddressBookEntry& e) { e.port = 65535; }, true},
      {R"("port":65537)", [](AddressBookEntry& e) { e.port = kDefaultEntryPort; }},
      {R"("port":-23)", [](AddressBookEntry& e) { e.port = kDefaultEntryPort; }},
      {R"("port":"23")", [](AddressBookEntry& e) { e.port = kDefaultEntryPort; }},
      {R"("port":23.0)", [](AddressBookEntry& e) { e.port = kDefaultEntryPort; }},
      {R"("port":null)", [](AddressBookEntry& e) { e.port = kDefaultEntryPort; }},
      {R"("port":)", [](AddressBookEntry& e) { e.port = kDefaultEntryPort; }},
      // Colours above 15 have always been kept and drawn by their low four
      // bits; only what a byte cannot hold is refused.
      {R"("background":17)", [](AddressBookEntry& e) { e.background = 17; }, true},
      {R"("background":257)", [](AddressBookEntry& e) { e.background = kDefaultBackground; }},
      {R"("foreground":true)", [](AddressBookEntry& e) { e.foreground = kDefaultForeground; }},
      {R"("columns":7)", [](AddressBookEntry& e) { e.columns = kDefaultColumns; }},
      {R"("columns":40)", [](AddressBookEntry& e) { e.columns = 40; }, true},
      {R"("echo":"yes")", [](AddressBookEntry& e) { e.echo = false; }},
      {R"("telnet":1)", [](AddressBookEntry& e) { e.telnet = false; }},
      {R"("lineSpeed":115200)", [](AddressBookEntry& e) { e.lineSpeed = 115200; }, true},
      {R"("lineSpeed":0)", [](AddressBookEntry& e) { e.lineSpeed = kLineSpeedOff; }, true},
      {R"("lineSpeed":2401)", [](AddressBookEntry& e) { e.lineSpeed = kLineSpeedOff; }},
      {R"("lineSpeed":4294967596)", [](AddressBookEntry& e) { e.lineSpeed = kLineSpeedOff; }},
      {R"("screenshot":["DgWS"])", [](AddressBookEntry& e) { e.screenshot.clear(); }},
  };
  const std::string sample = entryToText(sampleEntry());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.member);
    const std::string member = c.member;
    std::string text = sample;
    const std::size_t begin = text.find(member.substr(0, member.find(':') + 1));
    const std::size_t end = std::min(text.find(',', begin), text.size() - 1);
    text.replace(begin, end - begin, member);
    // Two copies, the damaged one first: the one after it is untouched.
    const EntriesReading reading = readAddressBookEntries(text + "\n" + sample);
    AddressBookEntry expected = sampleEntry();
    c.expect(expected);
    ASSERT_EQ(reading.entries.size(), 2u);
    EXPECT_EQ(reading.entries[0], expected);
    EXPECT_EQ(reading.entries[1], sampleEntry());
    EXPECT_EQ(reading.complete, c.complete);
  }
}

TEST(AddressBookText, EntryFilesInOtherShapesStillImport) {
  const std::string one = entryToText(sampleEntry());
  struct Case {
    const char* what;
    std::string text;
    std::size_t entries;
    bool complete;
  };
  const Case cases[] = {
      {"one entry", one, 1, true},
      {"a byte-order mark first", "\xEF\xBB\xBF" + one, 1, true},
      {"an array of entries", "[" + one + "," + one + "]", 2, true},
      {"an empty object is a new entry", "{}", 1, true},
      {"a configuration file", R"({"morlenConfig":1,"addressBook":[)" + one + "," + one + "]}", 2, false},
      {"entries nested in arrays", "[[" + one + "],[[" + one + "]]]", 2, false},
      {"cut off inside the second", one + one.substr(0, one.size() / 2), 2, false},
      {"a comment between", one + "\n// the second\n" + one, 2, false},
      {"nothing readable", "\x01\x02 not json", 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const EntriesReading reading = readAddressBookEntries(c.text);
    EXPECT_EQ(reading.entries.size(), c.entries);
    EXPECT_EQ(reading.complete, c.complete);
    if (c.entries > 0) {
      EXPECT_EQ(reading.entries[0], c.text == "{}" ? AddressBookEntry{} : sampleEntry());
    }
  }
}

TEST(AddressBookText, AwkwardTextsReadBackUnchanged) {
  const char* const texts[] = {
      "quote \" inside", "line\nbreak\r\n", "back\\slash", "trailing\\", "\\", "\\\\\"", "tab\tbell\x07",
      "caf\xc3\xa9 \xe2\x82\xac", "",
  };
  for (const char* text : texts) {
    AddressBookEntry e;
    // The screenshot too: it is base64 when the program made it, but a
    // damaged or hand-made one must not spoil what is written after it.
    e.name = e.description = e.address = e.screenshot = text;
    const EntriesReading reading = readAddressBookEntries(entryToText(e));
    ASSERT_EQ(reading.entries.size(), 1u) << text;
    EXPECT_EQ(reading.entries[0], e) << text;
    EXPECT_TRUE(reading.complete) << text;
  }
}

TEST(AddressBookText, AScreenshotCutShortSavesWithoutSpoilingTheNextEntry) {
  // A file cut off after a backslash in the screenshot: what was read is
  // saved with the entry after it, and both read back as they were.
  const AddressBookEntry cut = readText(R"({"name":"A","screenshot":"DgWS\)").at(0);
  const EntriesReading again = readAddressBookEntries("[" + entryToText(cut) + "," + entryToText(sampleEntry()) + "]");
  ASSERT_EQ(again.entries.size(), 2u);
  EXPECT_EQ(again.entries[0], cut);
  EXPECT_EQ(again.entries[1], sampleEntry());
  EXPECT_TRUE(again.complete);
}

TEST(AddressBook, EntriesEqualComparesEveryMember) {
  const std::function<void(AddressBookEntry&)> changes[] = {
      [](AddressBookEntry& e) { e.name += "x"; },       [](AddressBookEntry& e) { e.description += "x"; },
      [](AddressBookEntry& e) { e.address += "x"; },    [](AddressBookEntry& e) { ++e.port; },
      [](AddressBookEntry& e) { ++e.background; },      [](AddressBookEntry& e) { ++e.foreground; },
      [](AddressBookEntry& e) { e.echo = !e.echo; },    [](AddressBookEntry& e) { ++e.columns; },
      [](AddressBookEntry& e) { e.screenshot += "A"; }, [](AddressBookEntry& e) { e.telnet = !e.telnet; },
      [](AddressBookEntry& e) { e.lineSpeed = 300; },
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
