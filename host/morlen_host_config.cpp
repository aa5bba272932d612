// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/morlen_host_config.h"

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "settings/AtomicFileWrite.h"
#include "settings/Base64.h"
#include "settings/Configuration.h"
#include "settings/FileHelpers.h"

namespace {
constexpr const char* kConfigHomeVariable = "XDG_CONFIG_HOME";
constexpr const char* kEntryName = "Morlen demo host";
constexpr const char* kTelnetEntryName = "Morlen demo host (telnet)";
constexpr const char* kEntryDescription =
    "The Harbour Light demo board, served by morlen-host on this machine";
constexpr const char* kLoopbackAddress = "127.0.0.1";

// configFilePath() reads the variable; it is set only for that call so that
// programs run later by the host see the caller's environment.
std::string ConfigFilePathFor(const std::string& directory) {
  std::optional<std::string> previous;
  if (const char* value = std::getenv(kConfigHomeVariable)) previous = value;
  // Only an absolute directory counts; a relative one would send the file
  // to the caller's own configuration.
  setenv(kConfigHomeVariable, std::filesystem::absolute(directory).c_str(), 1);
  std::string path = configFilePath();
  if (previous)
    setenv(kConfigHomeVariable, previous->c_str(), 1);
  else
    unsetenv(kConfigHomeVariable);
  return path;
}
}  // namespace

bool WriteHostConfiguration(const std::string& directory, std::uint16_t port, bool telnet,
                            const ByteBuffer& screenshot, std::string& error) {
  Settings settings;
  // A trial run stays on this machine: no question to the update server.
  settings.autoCheckForUpdate = false;
  AddressBookEntry entry;
  entry.name = telnet ? kTelnetEntryName : kEntryName;
  entry.telnet = telnet;
  entry.description = kEntryDescription;
  entry.address = kLoopbackAddress;
  entry.port = port;
  entry.screenshot = base64Encode(screenshot);

  const std::string path = ConfigFilePathFor(directory);
  if (!makeDirectories(path) || !replaceFileAtomically(path, configurationText(settings, {entry}))) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}
