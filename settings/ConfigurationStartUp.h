// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What start-up does with the configuration file: load it, or install the
// built-in address book when it holds none; and when the file on disk could
// not be read fully, keep it beside under a new name before anything
// replaces it. A file that cannot be read at all is never written over.
#include <ctime>
#include <string>

// Loads programSettings() and programAddressBook() and writes the file
// when it was missing or not fully read. Returns the text for the status
// bar: empty when the file was read fully or was missing; otherwise it
// names the copy kept, or says that none could be made, that the file
// cannot be read (no permission, not a regular file) - the file is then
// left alone for the whole run - or, with no place for the file at all,
// that the settings will not be kept. A save that fails says so too.
// `now` names the copy.
std::string startUpConfiguration(std::time_t now);
