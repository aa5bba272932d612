// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/PetsciiTerminal.h"

#include <utility>

void PetsciiTerminal::Reset(std::uint8_t initialColour, bool fixedScreen, std::uint8_t background) {
  screen_.Reset(initialColour, fixedScreen, background);
  parser_.Reset();
  processed_ = 0;
}

void PetsciiTerminal::LoadBytes(ByteBuffer&& bytes) {
  bytes_ = std::move(bytes);
  screen_.Reset(screen_.Colour(), screen_.FixedScreen(), screen_.Background());
  parser_.Reset();
  processed_ = 0;
}

void PetsciiTerminal::ProcessPending() {
  parser_.Parse(bytes_.data() + processed_, bytes_.size() - processed_, screen_);
  processed_ = bytes_.size();
  screen_.EndBatch();
  DropOldestBytes();
}

void PetsciiTerminal::DropOldestBytes() {
  if (processed_ <= kMaxKeptBytes) return;
  // Down to half the ceiling: the bytes moved stay in proportion to those received.
  const std::uint64_t drop = processed_ - kMaxKeptBytes / 2;
  bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(drop));
  processed_ -= drop;
}

void PetsciiTerminal::StartAfresh(std::uint8_t colour, std::uint8_t background) {
  ProcessPending();
  parser_.Reset();
  screen_.StartAfresh(colour, background);
}
