// The parser alone: which actions a stream, handed over in pieces, asks of
// a screen. What the screen then shows is in tests/golden.
#include "terminal/PetsciiParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RecordingScreen : public ScreenActions {
 public:
  void Print(const std::uint8_t* bytes, std::size_t count) override {
    Log("print " + std::string(bytes, bytes + count));
  }
  void SetColour(std::uint8_t colour) override { Log("colour " + std::to_string(colour)); }
  void SetBackground(std::uint8_t colour) override { Log("background " + std::to_string(colour)); }
  void SetSwitch(ScreenSwitch which, bool on) override {
    Log(std::string(which == ScreenSwitch::kReverse ? "reverse " : "lower case ") + (on ? "on" : "off"));
  }
  void MoveCursor(CursorMove move) override {
    static const char* const kNames[] = {"up", "down", "left", "right", "home", "return"};
    Log(kNames[static_cast<int>(move)]);
  }
  void Insert() override { Log("insert"); }
  void Delete() override { Log("delete"); }
  void Clear() override { Log("clear"); }
  std::string log;

 private:
  void Log(const std::string& action) { log += (log.empty() ? "" : ", ") + action; }
};

struct ParseCase {
  std::vector<std::string> pieces;
  const char* actions;
};

TEST(PetsciiParser, ActionsOfAStream) {
  const ParseCase cases[] = {
      {{"HELLO \xc1\xff\x0d" "A"}, "print HELLO \xc1\xff, return, print A"},
      {{"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", "XY"}, "print ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789, print XY"},
      {{"012345678\x0d" "ABCDEFGHIJKLMNOP\x12" "Q"}, "print 012345678, return, print ABCDEFGHIJKLMNOP, reverse on, print Q"},
      {{"\x1c\x9b\x12R\x92\x0e\x8e"}, "colour 2, colour 15, reverse on, print R, reverse off, lower case on, lower case off"},
      {{"\x8d\x11\x91\x1d\x9d\x13\x93\x14\x94"}, "return, down, up, right, left, home, clear, delete, insert"},
      {{std::string("\x00\x07\x0a\x80\x85\x8c\x9f", 7)}, "colour 3"},  // every other control code: nothing
      {{"\x02\x97" "A\x02" "B"}, "background 11, print A, print B"},
      {{"\x02", "\x9e", "\x02", "\x0d"}, "background 7, return"},
  };
  for (const ParseCase& c : cases) {
    PetsciiParser parser;
    RecordingScreen screen;
    for (const std::string& piece : c.pieces)
      parser.Parse(reinterpret_cast<const std::uint8_t*>(piece.data()), piece.size(), screen);
    EXPECT_EQ(screen.log, c.actions) << ::testing::PrintToString(c.pieces);
  }
}

TEST(PetsciiParser, ResetForgetsAWaitingBackgroundPrefix) {
  PetsciiParser parser;
  RecordingScreen screen;
  const std::uint8_t prefix = 0x02, colour = 0x97;
  parser.Parse(&prefix, 1, screen);
  parser.Reset();
  parser.Parse(&colour, 1, screen);
  EXPECT_EQ(screen.log, "colour 11");
}

}  // namespace
