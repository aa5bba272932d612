// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LineSpeedMenu.h"

#include "app/CommandIds.h"
#include "settings/LineSpeed.h"

namespace {
// In the order of kLineSpeeds; no two share a mnemonic.
constexpr const char* kLabels[] = {
    "&Off",       "&300 bps",   "&1200 bps",  "&2400 bps",  "&4800 bps",   "9&600 bps",
    "144&00 bps", "1&9200 bps", "3&8400 bps", "5&7600 bps", "11&5200 bps",
};
static_assert(std::size(kLabels) == kLineSpeeds.size());
}  // namespace

std::vector<CommandRow> LineSpeedRows(std::function<std::uint32_t()> current,
                                      std::function<void(std::uint32_t)> choose) {
  std::vector<CommandRow> rows;
  for (std::size_t i = 0; i < kLineSpeeds.size(); ++i) {
    const std::uint32_t speed = kLineSpeeds[i];
    const wxString help = speed == kLineSpeedOff
                              ? wxString("Show received bytes as soon as they arrive")
                              : wxString::Format("Show received bytes at %u bits per second, as a modem would", speed);
    rows.push_back(Choice(
        wxITEM_RADIO, command::kFirstLineSpeed + static_cast<int>(i), kLabels[i], help,
        [choose, speed] { choose(speed); }, [current, speed] { return current() == speed; }));
  }
  return rows;
}
