// The configuration reader on any text: every setting it gives is one the
// program offers, every entry's fields are in range, and what it read
// survives being written and read again unchanged and complete.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "settings/Configuration.h"

namespace {

bool SameSettings(const Settings& a, const Settings& b) {
  return a.petsciiScale == b.petsciiScale && a.keyboardMap == b.keyboardMap &&
         a.dialogOnReceived == b.dialogOnReceived && a.autoCheckForUpdate == b.autoCheckForUpdate;
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
