// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user's folders as the desktop names them, for where received files go.
#include <string>

#include "settings/Settings.h"

// The user's download folder: $XDG_DOWNLOAD_DIR, else the one named in
// user-dirs.dirs (under $XDG_CONFIG_HOME or ~/.config), when it is an
// absolute path to a folder that exists; else $HOME; else empty.
std::string defaultDownloadFolder();
// The folder chosen in the settings, else the default.
std::string downloadFolderInUse(const Settings& settings);
