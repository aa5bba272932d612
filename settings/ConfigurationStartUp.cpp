// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ConfigurationStartUp.h"

#include "settings/Configuration.h"
#include "settings/DefaultAddressBook.h"
#include "settings/UnreadableCopy.h"

namespace {

constexpr const char* kKeptText = "Damaged configuration kept as ";
constexpr const char* kNotKeptText = "Damaged configuration could not be kept; changes are not saved";
constexpr const char* kNoPlaceText = "Settings will not be kept (HOME not set)";
constexpr const char* kNoPermissionText = " cannot be read (permission denied); running with defaults, changes are not saved";
constexpr const char* kNotAFileText = " is not a regular file; running with defaults, changes are not saved";
constexpr char kSeparator = '/';

std::string fileName(const std::string& path) { return path.substr(path.rfind(kSeparator) + 1); }

// The status text for a file start-up leaves alone, if it is one.
std::string refusal(const ConfigurationLoad& load) {
  switch (load.failure) {
    case ReadFailure::NoPermission: return fileName(load.path) + kNoPermissionText;
    case ReadFailure::NotRegularFile: return fileName(load.path) + kNotAFileText;
    default: return std::string();
  }
}

// Saves at once; a failure is the status text, after `before` if any.
std::string saveNow(const std::string& before) {
  const ConfigurationSave saved = saveConfiguration();
  if (saved) return before;
  return before.empty() ? saved.text : before + ". " + saved.text;
}

}  // namespace

std::string startUpConfiguration(std::time_t now) {
  guardConfigurationFile(std::string());
  const ConfigurationLoad load = loadConfiguration();
  if (load.path.empty()) {
    installDefaultAddressBook(programAddressBook());
    return kNoPlaceText;
  }
  // Leftovers of saves that a crash or a kill cut short.
  removeStaleTemporaries(configFilePath(), true);
  if (load.found && load.reading.complete) return std::string();
  if (!load.reading.bookTaken) installDefaultAddressBook(programAddressBook());
  if (!load.found) return saveNow(std::string());  // a first run: the defaults are written at once
  if (const std::string refused = refusal(load); !refused.empty()) {
    guardConfigurationFile(refused);
    return refused;
  }
  const std::string copy = keepUnreadableCopy(load.path, load.bytes, now);
  if (copy.empty()) {
    guardConfigurationFile(kNotKeptText);
    return kNotKeptText;
  }
  return saveNow(kKeptText + fileName(copy));
}
