// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a terminal display shows and what it was given: the bytes received
// since the last load, the parser that reads them and the screen they are
// drawn on. Each batch reads only the new bytes; past a ceiling the oldest
// ones read go (the rows hold what they made).
#include <cstdint>

#include "settings/ByteBuffer.h"
#include "terminal/PetsciiParser.h"
#include "terminal/PetsciiScreen.h"

class PetsciiTerminal {
 public:
  // The most bytes kept once read. Past it the older half goes, so a flood
  // does not keep a second copy of everything the session received.
  static constexpr std::uint64_t kMaxKeptBytes = std::uint64_t{16} << 20;

  explicit PetsciiTerminal(std::uint8_t initialColour = PetsciiScreen::kDefaultColour, bool fixedScreen = false)
      : screen_(initialColour, fixedScreen) {}

  // An empty screen; the bytes are read again from the first.
  void Reset(std::uint8_t initialColour, bool fixedScreen,
             std::uint8_t background = PetsciiScreen::kDefaultBackground);
  // Replaces the bytes and empties the screen; Reset then sets it up.
  void LoadBytes(const ByteBuffer& bytes) { LoadBytes(ByteBuffer(bytes)); }
  void LoadBytes(ByteBuffer&& bytes);
  void AppendByte(std::uint8_t b) { bytes_.push_back(b); }
  // Reads every byte appended since the previous call onto the screen.
  void ProcessPending();
  // A new connection's screen (PetsciiScreen::StartAfresh) after the bytes
  // appended so far. The bytes are left as they are.
  void StartAfresh(std::uint8_t colour, std::uint8_t background);
  void SetStartCharset(int lowerCase) { screen_.SetStartCharset(lowerCase); }
  void ToggleCharset() { screen_.ToggleCharset(); }

  // Every byte since the last load, while they are no more than kMaxKeptBytes.
  const ByteBuffer& Bytes() const { return bytes_; }
  std::uint64_t Processed() const { return processed_; }
  const PetsciiScreen& Screen() const { return screen_; }
  PetsciiScreen& Screen() { return screen_; }

 private:
  void DropOldestBytes();

  ByteBuffer bytes_;
  std::uint64_t processed_ = 0;
  PetsciiParser parser_;
  PetsciiScreen screen_;
};
