// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration reader on any text: every setting it gives is one the
// program offers, every entry's fields are in range, what it read survives
// being written and read again unchanged and complete, and a reading that
// calls itself complete lost nothing: every member of the text is in the
// file the program would write in its place, with the same value.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "settings/Configuration.h"
#include "settings/JsonEscape.h"
#include "settings/TolerantJsonReader.h"

namespace {

bool SameSettings(const Settings& a, const Settings& b) {
  return a.petsciiScale == b.petsciiScale && a.keyboardMap == b.keyboardMap &&
         a.dialogOnReceived == b.dialogOnReceived && a.autoCheckForUpdate == b.autoCheckForUpdate;
}

// Whether `written` holds everything `read` holds: each member of an
// object under its name, each element of an array in its place, strings
// as the same text once unescaped, numbers as the same value.
bool Holds(const JsonValue& written, const JsonValue& read) {
  using Kind = JsonValue::Kind;
  if (written.kind != read.kind) return false;
  switch (read.kind) {
    case Kind::Object:
      for (std::size_t i = 0; i < read.keys.size(); ++i) {
        const auto at = std::find(written.keys.begin(), written.keys.end(), read.keys[i]);
        if (at == written.keys.end() || !Holds(written.elements[static_cast<std::size_t>(at - written.keys.begin())],
                                               read.elements[i]))
          return false;
      }
      return true;
    case Kind::Array:
      if (written.elements.size() != read.elements.size()) return false;
      for (std::size_t i = 0; i < read.elements.size(); ++i) {
        if (!Holds(written.elements[i], read.elements[i])) return false;
      }
      return true;
    case Kind::String: return jsonUnescape(written.text) == jsonUnescape(read.text);
    case Kind::Number: {
      const auto value = read.wholeNumber(UINT64_MAX);
      return value ? written.wholeNumber(UINT64_MAX) == value : written.text == read.text;
    }
    default: return written.text == read.text;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  Settings settings;
  AddressBook book;
  const ConfigurationReading reading = readConfiguration(text, settings, book);
  FUZZ_CHECK(std::find(kOfferedScales.begin(), kOfferedScales.end(), settings.petsciiScale) != kOfferedScales.end(),
             "the scale is one the menu offers");
  FUZZ_CHECK(settings.keyboardMap == kPositionalKeyboardMap || settings.keyboardMap == kHybridKeyboardMap,
             "the keyboard map is one of the two");
  FUZZ_CHECK(reading.bookTaken || book.entries.empty(), "no entries without an address book");
  FUZZ_CHECK(!reading.complete || reading.bookTaken, "a complete reading has an address book");
  for (const AddressBookEntry& entry : book.entries) {
    FUZZ_CHECK(entry.columns == kNarrowColumns || entry.columns == kWideColumns, "columns are 40 or 80");
    FUZZ_CHECK(isLineSpeed(entry.lineSpeed), "the line speed is one offered");
  }

  // The file the program would write now reads back as the same settings
  // and entries, with nothing lost, and is written the same again.
  const std::string written = configurationText(settings, book.entries);
  if (reading.complete) {
    const JsonReading original = readTolerantJson(text);
    const JsonReading rewritten = readTolerantJson(written);
    FUZZ_CHECK(original.values.size() == 1 && rewritten.values.size() == 1 &&
                   Holds(rewritten.values[0], original.values[0]),
               "a complete reading keeps every member");
  }
  Settings again;
  again.petsciiScale = 8;
  again.keyboardMap = kHybridKeyboardMap;
  again.dialogOnReceived = !settings.dialogOnReceived;
  again.autoCheckForUpdate = !settings.autoCheckForUpdate;
  AddressBook bookAgain;
  const ConfigurationReading second = readConfiguration(written, again, bookAgain);
  FUZZ_CHECK(second.bookTaken && second.complete, "the written file reads back complete");
  FUZZ_CHECK(SameSettings(again, settings), "the settings survive a save");
  FUZZ_CHECK(bookAgain.entries == book.entries, "the entries survive a save");
  FUZZ_CHECK(configurationText(again, bookAgain.entries) == written, "a second save writes the same file");
  return 0;
}
