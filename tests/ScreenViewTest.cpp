// SPDX-License-Identifier: GPL-3.0-or-later
// Where a view of the screen stands after a stream: the current screen's
// top row at the top of 25 rows, its last row at the bottom of a taller
// view, the cursor kept in a shorter one; the scroll range covers it all.
#include "terminal/ScreenView.h"

#include <gtest/gtest.h>

#include <string>

#include "terminal/PetsciiTerminal.h"

namespace {

std::string Lines(int count) {
  std::string s;
  for (int i = 0; i < count; ++i) s += "LINE " + std::to_string(i) + "\x0d";
  return s;
}

PetsciiScreen Interpret(const std::string& stream) {
  PetsciiTerminal terminal;
  terminal.LoadBytes(ByteBuffer(stream.begin(), stream.end()));
  terminal.Reset(PetsciiScreen::kDefaultColour, false);
  terminal.ProcessPending();
  return std::move(terminal.Screen());
}

TEST(ScreenView, ShowsTheCurrentScreen) {
  struct Case {
    const char* name;
    std::string stream;
    std::uint64_t visibleRows;
    std::uint64_t top, viewStart, scrollRows;
  };
  const std::string board = Lines(40);  // rows 0-39 written, the screen 16-40
  const std::string menu = board + "\x93" "MENU\x0d" "1) MAIL\x0d" "CHOICE: ";  // rows 41-43
  const Case cases[] = {
      {"nothing yet", "", 25, 0, 0, 25},
      {"a short first screen", "HELLO\x0d", 25, 0, 0, 25},
      {"a full screen that scrolled", board, 25, 16, 16, 41},
      {"a menu after a clear", menu, 25, 41, 41, 66},
      {"a menu in a taller view", menu, 30, 41, 36, 66},
      {"a first screen in a taller view", "HELLO", 40, 0, 0, 25},
      {"a menu in a shorter view", menu, 10, 41, 41, 66},
      {"the cursor below a shorter view", board, 10, 16, 31, 41},
      {"clears with nothing between", menu + "\x93\x93\x93" "X", 25, 45, 45, 70},
  };
  for (const Case& c : cases) {
    const PetsciiScreen screen = Interpret(c.stream);
    EXPECT_EQ(screen.Top(), c.top) << c.name;
    EXPECT_EQ(CurrentScreenViewStart(screen, c.visibleRows), c.viewStart) << c.name;
    EXPECT_EQ(ScrollRows(screen), c.scrollRows) << c.name;
  }
}

}  // namespace
