#pragma once
// The configuration file: the settings and the address book as one line of
// JSON in <config directory>/Vendorly/Morlen/morlen.config.
#include <string>

#include "settings/AddressBook.h"
#include "settings/AtomicFileWrite.h"
#include "settings/Settings.h"

// $XDG_CONFIG_HOME/.config, else $HOME/.config, else the empty text. The
// ".config" suffix is added under XDG_CONFIG_HOME too, so that existing
// files keep being found where earlier versions put them.
std::string configDirectory();
std::string configFilePath();

// The file's whole text for these settings and entries.
std::string configurationText(const Settings& settings, const std::vector<AddressBookEntry>& entries);

// Reads a configuration text into settings and book. False when it lacks a
// non-zero "morlenConfig" number or an "addressBook" array; settings met
// before the failure are kept, and the book is changed only on success
// (then with no entry selected).
bool readConfiguration(const std::string& text, Settings& settings, AddressBook& book);

// Fills programSettings() and programAddressBook() from the file. False when
// there is no usable file; the caller then installs the default address
// book and saves.
bool loadConfiguration();

// Writes programSettings() and programAddressBook() to the file, replacing
// it only once the new text is safely on disk. Failures are silent for the
// user; the result tells whether the file was replaced.
bool saveConfiguration(const FileWriteSteps& steps = FileWriteSteps());
