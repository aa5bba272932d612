// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a transfer ended, for the status texts of its owner.
#include <cstdint>

enum class TransferEnd : std::uint8_t {
  Running,              // not ended yet (or never started)
  Completed,            // the whole file went through
  CancelledByUser,
  CancelledByEndpoint,  // the other side cancelled
  TooManyErrors,        // the retry limit was reached; nothing is kept
  OutOfSequence,        // a block came out of order; the receive gave up
  NoAnswer,             // the other side stayed silent through every request
  FileTooLarge,         // the receive grew past the largest file; nothing is kept
  ConnectionClosed,     // the line went away during the transfer
  HeaderTooLong,        // a batch's file header did not end within its bound
  TooManyFiles,         // a batch went past the most files it takes
};
