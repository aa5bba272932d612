// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/morlen_host_demo.h"

#include "terminal/PetsciiCodes.h"

namespace {
namespace key {
constexpr std::uint8_t kRunStop = 0x03;
constexpr std::uint8_t kLeftArrow = 0x5F;
// Not keys of a C64: the NUL and line feed that a plain TCP client may send
// (a line-mode client ends "1" with a line feed).
constexpr std::uint8_t kNul = 0x00;
constexpr std::uint8_t kLineFeed = 0x0A;
}  // namespace key

constexpr std::uint8_t kShiftedLettersFirst = 0xC1;
constexpr std::uint8_t kShiftedLettersLast = 0xDA;
constexpr std::uint8_t kAsciiLowerFirst = 'a';
constexpr std::uint8_t kAsciiLowerLast = 'z';
constexpr std::uint8_t kShiftOffset = 0x80;
constexpr std::uint8_t kAsciiCaseOffset = 'a' - 'A';

// Letters with or without SHIFT, and ASCII lower case from plain clients,
// all become the unshifted PETSCII letter 0x41-0x5A.
std::uint8_t Unshifted(std::uint8_t b) {
  if (b >= kShiftedLettersFirst && b <= kShiftedLettersLast)
    return static_cast<std::uint8_t>(b - kShiftOffset);
  if (b >= kAsciiLowerFirst && b <= kAsciiLowerLast) return static_cast<std::uint8_t>(b - kAsciiCaseOffset);
  return b;
}
}  // namespace

ByteBuffer DemoBoard::Receive(const std::uint8_t* data, std::size_t size) {
  ByteBuffer out;
  for (std::size_t i = 0; i < size && state_ != State::Gone; ++i) Key(data[i], out);
  return out;
}

void DemoBoard::Show(const ByteBuffer& page, State next, ByteBuffer& out) {
  out.insert(out.end(), page.begin(), page.end());
  state_ = next;
}

bool DemoBoard::Choose(std::uint8_t key, ByteBuffer& out) {
  switch (Unshifted(key)) {
    case '1': Show(pages_.colourChart, State::Page, out); return true;
    case '2': Show(pages_.graphics, State::Page, out); return true;
    case '3':
      Show(pages_.caseText, State::CaseText, out);
      lowerCase_ = true;
      return true;
    case 'E': Show(pages_.echo, State::Echo, out); return true;
    case 'Q': Show(pages_.goodbye, State::Gone, out); return true;
    default: return false;
  }
}

void DemoBoard::Key(std::uint8_t key, ByteBuffer& out) {
  if (state_ == State::Echo) {
    if (key == key::kLeftArrow || key == key::kRunStop)
      Show(pages_.menu, State::Menu, out);
    else
      out.push_back(key);
    return;
  }
  if (key == key::kNul || key == key::kLineFeed) return;
  switch (state_) {
    case State::Title:
      // The menu keys work from the title already; any other key opens the menu.
      if (!Choose(key, out)) Show(pages_.menu, State::Menu, out);
      return;
    case State::Menu: Choose(key, out); return;
    case State::CaseText:
      if (Unshifted(key) == 'C') {
        lowerCase_ = !lowerCase_;
        out.push_back(lowerCase_ ? petscii::kLowerCase : petscii::kUpperCase);
        return;
      }
      Show(pages_.menu, State::Menu, out);
      return;
    case State::Page: Show(pages_.menu, State::Menu, out); return;
    case State::Echo:
    case State::Gone: return;
  }
}
