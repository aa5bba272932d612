#include "settings/Settings.h"

Settings& programSettings() {
  static Settings settings;
  return settings;
}
