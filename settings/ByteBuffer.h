// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's byte buffer: session buffers, SEQ files, socket reads,
// transfer data and screenshots all travel as one of these.
#include <cstdint>
#include <vector>

using ByteBuffer = std::vector<std::uint8_t>;
