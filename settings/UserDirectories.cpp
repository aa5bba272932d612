// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/UserDirectories.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string_view>

namespace {

constexpr std::string_view kDownloadKey = "XDG_DOWNLOAD_DIR";
constexpr std::string_view kHomePrefix = "$HOME";
constexpr const char* kDirectoriesFile = "/user-dirs.dirs";

std::string variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

bool isFolder(const std::string& path) {
  struct stat info {};
  return !path.empty() && path[0] == '/' && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// XDG_DOWNLOAD_DIR="$HOME/Downloads": the value with $HOME put in.
std::string fromDirectoriesFile(const std::string& home) {
  std::string config = variable("XDG_CONFIG_HOME");
  if (config.empty() || config[0] != '/') config = home.empty() ? "" : home + "/.config";
  if (config.empty()) return {};
  std::ifstream in(config + kDirectoriesFile);
  std::string found;
  for (std::string line; std::getline(in, line);) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, kDownloadKey.size(), kDownloadKey) != 0) continue;
    const std::size_t open = line.find('"', start), close = line.rfind('"');
    if (line.find('=', start) == std::string::npos || open == std::string::npos || close <= open) continue;
    std::string value = line.substr(open + 1, close - open - 1);
    if (value.compare(0, kHomePrefix.size(), kHomePrefix) == 0) value = home + value.substr(kHomePrefix.size());
    found = value;  // the last line wins, as for the shell that reads the file
  }
  return found;
}

}  // namespace

std::string defaultDownloadFolder() {
  const std::string home = variable("HOME");
  const std::string named = variable(std::string(kDownloadKey).c_str());
  if (isFolder(named)) return named;
  const std::string listed = fromDirectoriesFile(home);
  if (isFolder(listed)) return listed;
  return home.empty() || home[0] != '/' ? std::string() : home;
}

std::string downloadFolderInUse(const Settings& settings) {
  return settings.downloadFolder.empty() ? defaultDownloadFolder() : settings.downloadFolder;
}
