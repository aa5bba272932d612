// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's names and version, shown in titles, the status bar and the
// About dialog.
constexpr const char* productName = "Morlen";
constexpr const char* productVersion = "1.0.0";
constexpr const char* versionSuffix = "";
constexpr const char* releaseDate = "October 4th, 2021";
constexpr const char* vendorName = "Vendorly";
