#include "settings/ConfigurationStartUp.h"

#include "settings/Configuration.h"
#include "settings/DefaultAddressBook.h"
#include "settings/UnreadableCopy.h"

namespace {

constexpr const char* kKeptText = "Damaged configuration kept as ";
constexpr const char* kNotKeptText = "Damaged configuration could not be kept; changes are not saved";
constexpr const char* kNoPlaceText = "Settings will not be kept (HOME not set)";
constexpr char kSeparator = '/';

std::string fileName(const std::string& path) { return path.substr(path.rfind(kSeparator) + 1); }

}  // namespace

std::string startUpConfiguration(std::time_t now) {
  guardConfigurationFile(false);
  const ConfigurationLoad load = loadConfiguration();
  if (load.path.empty()) {
    installDefaultAddressBook(programAddressBook());
    return kNoPlaceText;
  }
  if (load.found && load.reading.complete) return std::string();
  if (!load.reading.bookTaken) installDefaultAddressBook(programAddressBook());
  if (!load.found) {
    // A first run: the defaults are written at once, silently.
    saveConfiguration();
    return std::string();
  }
  const std::string copy = keepUnreadableCopy(load.path, load.bytes, now);
  if (copy.empty()) {
    guardConfigurationFile(true);
    return kNotKeptText;
  }
  saveConfiguration();
  return kKeptText + fileName(copy);
}
