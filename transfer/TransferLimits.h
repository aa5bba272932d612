// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Limits every transfer engine keeps to, so that no board, however it
// behaves, can make a transfer run or grow without end.
#include <cstddef>
#include <cstdint>

namespace transfer_limits {
// C64 files are far smaller: a receive that grows past this is no file.
inline constexpr std::size_t kLargestFile = std::size_t{64} << 20;
// Bad or repeated blocks in a row that are asked for again; the next ends
// the transfer.
inline constexpr std::uint32_t kMaxRetries = 10;
// Requests in a row the other side may leave unanswered; the transfer
// gives up when the last of them has gone unanswered too.
inline constexpr std::uint32_t kMaxUnanswered = 10;
// Files one batch receive takes; a sender offering more is stopped.
inline constexpr std::size_t kMaxBatchFiles = 1000;
}  // namespace transfer_limits
