// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's settings. The menu commands change them directly; they
// reach the disk with the next saveConfiguration (see SettingsSaveSchedule
// for when the main window saves them).
#include <array>
#include <cstdint>
#include <string>

constexpr std::int32_t kDefaultPetsciiScale = 2;
// The scales the main window offers.
constexpr std::array<std::int32_t, 5> kOfferedScales = {1, 2, 3, 5, 8};
constexpr std::int32_t kPositionalKeyboardMap = 1;
constexpr std::int32_t kHybridKeyboardMap = 2;

struct Settings {
  std::int32_t petsciiScale = kDefaultPetsciiScale;  // 1, 2, 3, 5 or 8 from the menu
  std::int32_t keyboardMap = kPositionalKeyboardMap;
  bool dialogOnReceived = false;  // open the save dialog after a receive
  bool autoCheckForUpdate = true;
  std::string downloadFolder{};  // where batch receives go; empty: the user's download folder
};

inline bool operator==(const Settings& a, const Settings& b) {
  return a.petsciiScale == b.petsciiScale && a.keyboardMap == b.keyboardMap &&
         a.dialogOnReceived == b.dialogOnReceived && a.autoCheckForUpdate == b.autoCheckForUpdate &&
         a.downloadFolder == b.downloadFolder;
}
inline bool operator!=(const Settings& a, const Settings& b) { return !(a == b); }

// The one instance for the whole run (GUI thread only).
Settings& programSettings();
