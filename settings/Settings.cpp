// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/Settings.h"

Settings& programSettings() {
  static Settings settings;
  return settings;
}
