#pragma once
// Address-book entries as JSON objects: the one-line layout used inside the
// configuration file and alone in an exported .morbbs file, and the reader
// for both.
#include <string>
#include <vector>

#include "settings/AddressBook.h"
#include "settings/JsonScanner.h"

// One entry object on one line, without white space outside its strings.
std::string entryToText(const AddressBookEntry& entry);

// Every object the scanner meets from here on becomes an entry; members may
// come in any order, missing ones keep the defaults and unknown ones are
// skipped. Reads until the scanner gives End.
std::vector<AddressBookEntry> readAddressBookEntries(JsonScanner& scanner);
