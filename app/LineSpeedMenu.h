// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The offered line speeds as radio rows of a command table, each with a
// mnemonic of its own: the main window's View > Line Speed and the replay
// windows' Speed menu.
#include <cstdint>
#include <functional>
#include <vector>

#include "app/CommandTable.h"

// `current` tells the speed in force; `choose` is run with the one picked.
std::vector<CommandRow> LineSpeedRows(std::function<std::uint32_t()> current,
                                      std::function<void(std::uint32_t)> choose);
