#pragma once
// Reads a PETSCII byte stream and tells a screen what it means. Its only
// state is a background prefix whose colour code has not arrived yet, so
// a stream may be handed over in pieces of any size.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "terminal/PetsciiCodes.h"
#include "terminal/ScreenActions.h"

class PetsciiParser {
 public:
  void Parse(const std::uint8_t* bytes, std::size_t count, ScreenActions& screen) { ParseInto(bytes, count, screen); }
  // The same for a screen whose type is known here, so that a final
  // class's actions are called directly rather than through the interface.
  template <class Screen>
  void ParseInto(const std::uint8_t* bytes, std::size_t count, Screen& screen);
  // Forgets a background prefix left waiting.
  void Reset() { awaitingBackground_ = false; }

 private:
  // How many of the first `count` bytes are printable before a control code.
  static std::size_t PrintableRun(const std::uint8_t* bytes, std::size_t count);

  bool awaitingBackground_ = false;
};

inline std::size_t PetsciiParser::PrintableRun(const std::uint8_t* bytes, std::size_t count) {
  std::size_t n = 0;
#if defined(__GNUC__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  // Eight bytes at a time: a control code is a byte with bits 5 and 6 clear.
  constexpr std::uint64_t kBit5And6 = 0x6060606060606060ull;
  constexpr std::uint64_t kBit6 = 0x4040404040404040ull;
  for (; n + sizeof(std::uint64_t) <= count; n += sizeof(std::uint64_t)) {
    std::uint64_t word;
    std::memcpy(&word, bytes + n, sizeof word);
    const std::uint64_t bits = word & kBit5And6;
    // Bit 6 of every byte that has either bit; then bit 6 of every control code.
    const std::uint64_t controls = ((bits | (bits << 1)) & kBit6) ^ kBit6;
    if (controls != 0) return n + static_cast<std::size_t>(__builtin_ctzll(controls)) / 8;
  }
#endif
  while (n < count && IsPrintable(bytes[n])) ++n;
  return n;
}

template <class Screen>
void PetsciiParser::ParseInto(const std::uint8_t* bytes, std::size_t count, Screen& screen) {
  std::size_t i = 0;
  // CTRL-B and a colour code set the background; after CTRL-B any other
  // byte is itself, as if CTRL-B were not there. A pair split between two
  // pieces counts all the same.
  auto takeBackground = [&] {
    const int colour = ColourIndexOfCode(bytes[i]);
    if (colour < 0) return;
    screen.SetBackground(static_cast<std::uint8_t>(colour));
    ++i;
  };
  if (awaitingBackground_ && count > 0) {
    awaitingBackground_ = false;
    takeBackground();
  }
  while (i < count) {
    const std::uint8_t b = bytes[i];
    if (IsPrintable(b)) {
      // Printable bytes are most of any stream: hand them over a run at a time.
      const std::size_t end = i + 1 + PrintableRun(bytes + i + 1, count - i - 1);
      screen.Print(bytes + i, end - i);
      i = end;
      continue;
    }
    ++i;
    const int colour = ColourIndexOfCode(b);
    if (colour >= 0) {
      screen.SetColour(static_cast<std::uint8_t>(colour));
      continue;
    }
    switch (b) {
      case petscii::kReturn:
      case petscii::kShiftReturn: screen.MoveCursor(CursorMove::kReturn); break;
      case petscii::kCursorDown: screen.MoveCursor(CursorMove::kDown); break;
      case petscii::kCursorUp: screen.MoveCursor(CursorMove::kUp); break;
      case petscii::kCursorRight: screen.MoveCursor(CursorMove::kRight); break;
      case petscii::kCursorLeft: screen.MoveCursor(CursorMove::kLeft); break;
      case petscii::kHome: screen.MoveCursor(CursorMove::kHome); break;
      case petscii::kReverseOn: screen.SetSwitch(ScreenSwitch::kReverse, true); break;
      case petscii::kReverseOff: screen.SetSwitch(ScreenSwitch::kReverse, false); break;
      case petscii::kLowerCase: screen.SetSwitch(ScreenSwitch::kLowerCase, true); break;
      case petscii::kUpperCase: screen.SetSwitch(ScreenSwitch::kLowerCase, false); break;
      case petscii::kClear: screen.Clear(); break;
      case petscii::kDelete: screen.Delete(); break;
      case petscii::kInsert: screen.Insert(); break;
      case petscii::kBackgroundPrefix:
        if (i < count)
          takeBackground();
        else
          awaitingBackground_ = true;
        break;
      default: break;  // the other control codes do nothing on a C64 screen
    }
  }
}
