// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/LineSpeed.h"

#include <algorithm>

bool isLineSpeed(std::uint64_t bitsPerSecond) {
  return std::find(kLineSpeeds.begin(), kLineSpeeds.end(), bitsPerSecond) != kLineSpeeds.end();
}

std::size_t lineSpeedIndex(std::uint32_t bitsPerSecond) {
  const auto found = std::find(kLineSpeeds.begin(), kLineSpeeds.end(), bitsPerSecond);
  return found == kLineSpeeds.end() ? 0 : static_cast<std::size_t>(found - kLineSpeeds.begin());
}

std::string lineSpeedText(std::uint32_t bitsPerSecond) {
  return bitsPerSecond == kLineSpeedOff ? "Off" : std::to_string(bitsPerSecond) + " bps";
}
