#pragma once
// The configuration file: the settings and the address book as one line of
// JSON in <config directory>/Vendorly/Morlen/morlen.config.
#include <optional>
#include <string>

#include "settings/AddressBook.h"
#include "settings/AtomicFileWrite.h"
#include "settings/ByteBuffer.h"
#include "settings/Settings.h"

// $XDG_CONFIG_HOME when it is set, not empty and absolute, else
// $HOME/.config (HOME likewise), else the empty text: then there is no
// place for the file, and nothing is read or written.
std::string configDirectory();
// <config directory>/Vendorly/Morlen/morlen.config, where every save
// writes; empty without a directory.
std::string configFilePath();
// Where earlier versions put the file under XDG_CONFIG_HOME
// ($XDG_CONFIG_HOME/.config/Vendorly/Morlen/morlen.config); empty without
// a usable XDG_CONFIG_HOME.
std::string earlierConfigFilePath();
// The file to read: configFilePath(), or the earlier place when only that
// holds a file (it is then left as it is, and the next save writes the
// new place).
std::string configFileToRead();

// The file's whole text for these settings and entries.
std::string configurationText(const Settings& settings, const std::vector<AddressBookEntry>& entries);

struct ConfigurationReading {
  // The text's address book replaced the book's entries (none selected).
  bool bookTaken = false;
  // Everything in the text was read as written: replacing the file loses
  // nothing the user had.
  bool complete = false;
};

// Reads what can be read of a configuration text. Each setting that is
// missing, of the wrong kind or out of range takes its default (the scale
// one of the offered ones, the keyboard map 1 or 2). The address book is
// taken when the text holds one under a non-zero "morlenConfig" number, or
// when it holds entries whatever the version; each entry that can be read
// is kept (see readAddressBookEntries).
ConfigurationReading readConfiguration(const std::string& text, Settings& settings, AddressBook& book);

struct ConfigurationLoad {
  std::string path;    // the file read (configFileToRead)
  bool found = false;  // a file was there
  // Its bytes, when they could be read.
  std::optional<ByteBuffer> bytes;
  ConfigurationReading reading;
};

// Fills programSettings() and programAddressBook() from the file, as far
// as it can be read.
ConfigurationLoad loadConfiguration();

// Writes programSettings() and programAddressBook() to the file, replacing
// it only once the new text is safely on disk. Failures are silent for the
// user; the result tells whether the file was replaced. While the file is
// guarded (see guardConfigurationFile), or without a place for it, nothing
// is written.
bool saveConfiguration(const FileWriteSteps& steps = FileWriteSteps());

// A file that could not be read fully and could not be kept elsewhere is
// never replaced: start-up guards it for the rest of the run.
void guardConfigurationFile(bool guarded);
