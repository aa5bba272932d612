// SPDX-License-Identifier: GPL-3.0-or-later
// The entry reader on any text (an entry file as exported, edited or cut
// short): every entry's fields are in range, and each entry exported alone,
// or all of them in one array, reads back unchanged and complete.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "settings/AddressBookText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const EntriesReading reading = readAddressBookEntries(text);
  std::string all = "[";
  for (const AddressBookEntry& entry : reading.entries) {
    FUZZ_CHECK(entry.columns == kNarrowColumns || entry.columns == kWideColumns, "columns are 40 or 80");
    FUZZ_CHECK(isLineSpeed(entry.lineSpeed), "the line speed is one offered");
    const std::string exported = entryToText(entry);
    const EntriesReading alone = readAddressBookEntries(exported);
    FUZZ_CHECK(alone.complete && alone.entries.size() == 1, "an exported entry reads back complete");
    FUZZ_CHECK(alone.entries[0] == entry, "an exported entry reads back unchanged");
    if (all.size() > 1) all += ',';
    all += exported;
  }
  all += ']';
  const EntriesReading together = readAddressBookEntries(all);
  FUZZ_CHECK(together.complete, "the entries in one array read back complete");
  FUZZ_CHECK(together.entries == reading.entries, "the entries in one array read back unchanged, in order");
  return 0;
}
