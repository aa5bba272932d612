// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The configuration file: the settings and the address book as one line of
// JSON in <config directory>/Vendorly/Morlen/morlen.config.
#include <optional>
#include <string>

#include "settings/AddressBook.h"
#include "settings/AtomicFileWrite.h"
#include "settings/ByteBuffer.h"
#include "settings/FileHelpers.h"
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
  // nothing the user had. A member this version does not know, a member
  // given twice, a newer format version, a value out of range or a text
  // that cannot be written back as it was all make the reading incomplete.
  bool complete = false;
};

// Reads what can be read of a configuration text. Each setting that is
// missing, of the wrong kind or out of range takes its default (the scale
// one of the offered ones, the keyboard map 1 or 2). The address book is
// taken when the text holds one under a non-zero "morlenConfig" number, or
// when it holds entries whatever the version; each entry that can be read
// is kept (see readAddressBookEntries). Given twice, a setting takes its
// later value and the address book holds the entries of both.
ConfigurationReading readConfiguration(const std::string& text, Settings& settings, AddressBook& book);

struct ConfigurationLoad {
  std::string path;    // the file read (configFileToRead)
  bool found = false;  // a file was there
  // Its bytes, when they could be read; else why not.
  std::optional<ByteBuffer> bytes;
  ReadFailure failure = ReadFailure::None;
  ConfigurationReading reading;
};

// Fills programSettings() and programAddressBook() from the file, as far
// as it can be read.
ConfigurationLoad loadConfiguration();

struct ConfigurationSave {
  enum class Outcome {
    Saved,
    NotKept,  // by design: no place for the file, or the file is guarded
    Failed,   // the write failed; the file on disk is as it was
  };
  Outcome outcome = Outcome::Saved;
  std::string text;  // for the user, when not saved
  explicit operator bool() const { return outcome == Outcome::Saved; }
};

// Writes programSettings() and programAddressBook() to the file, replacing
// it only once the new text is safely on disk. While the file is guarded
// (see guardConfigurationFile), or without a place for it, nothing is
// written.
ConfigurationSave saveConfiguration(const FileWriteSteps& steps = programFileWriteSteps());

// A file that could not be read fully and could not be kept elsewhere, or
// could not be read at all, is never replaced: start-up guards it for the
// rest of the run. `why` says so to the user; empty lifts the guard.
void guardConfigurationFile(const std::string& why);
