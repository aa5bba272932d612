// SPDX-License-Identifier: GPL-3.0-or-later
// A paste: the text as a C64 user would type it, and its pace on fake time.
#include <gtest/gtest.h>

#include <string>
#include <functional>

#include "FakePaceClock.h"
#include "keyboard/PasteText.h"
#include "net/PasteFeeder.h"

namespace {

using namespace std::chrono_literals;

std::string Typed(const PasteKeys& paste, bool lowerCase) {
  std::string bytes;
  for (PasteKey key : paste.keys) bytes += static_cast<char>(PetsciiOfPasteKey(key, lowerCase));
  return bytes;
}

TEST(PasteText, IsWhatAC64UserWouldType) {
  struct Row {
    const char* name;
    std::u32string text;
    bool lowerCase;
    std::string typed;
    std::size_t leftOut;
    std::size_t lines;
  };
  const Row rows[] = {
      {"capitals take SHIFT in the lower case set", U"Hi yZ", true, "\xc8I Y\xda", 0, 1},
      {"every letter is a capital in the upper case set", U"Hi yZ", false, "HI YZ", 0, 1},
      {"digits and punctuation as PETSCII has them", U"09 !\"#$%&'()*+,-./:;<=>?@[]", true,
       "09 !\"#$%&'()*+,-./:;<=>?@[]", 0, 1},
      {"CR LF, LF and CR are one RETURN each", U"a\r\nb\nc\rd\n", true, "A\rB\rC\rD\r", 0, 4},
      {"a tab: spaces to the next multiple of eight", U"\tab\tc\r\tx", true,
       std::string(8, ' ') + "AB      C\r" + std::string(8, ' ') + "X", 0, 2},
      {"what PETSCII has no character for is left out", U"^_\\`{|}~\u00e9\u20ac\x01\x7f\U0001F600ok", true,
       "OK", 13, 1},
      {"the pound sign and the arrows", U"\u00a3\u2191\u2190\u00a0", true, "\x5c\x5e\x5f ", 0, 1},
      {"typographic quotes, dashes and the ellipsis", U"\u2018a\u2019 \u201cb\u201d \u2013\u2014\u2026", true,
       "'A' \"B\" --...", 0, 1},
      {"nothing", U"", true, "", 0, 0},
  };
  for (const Row& row : rows) {
    const PasteKeys paste = TranslatePaste(row.text);
    EXPECT_EQ(Typed(paste, row.lowerCase), row.typed) << row.name;
    EXPECT_EQ(paste.leftOut, row.leftOut) << row.name;
    EXPECT_EQ(paste.lines, row.lines) << row.name;
  }
}

class FakeTarget : public PasteTarget {
 public:
  bool Connected() const override { return connected; }
  bool TransferRunning() const override { return transfer; }
  std::uint32_t LineSpeed() const override { return speed; }
  bool LowerCaseShown() const override { return lowerCase; }
  void Type(const std::uint8_t* bytes, std::size_t count) override {
    typed.append(reinterpret_cast<const char*>(bytes), count);
  }
  bool connected = true, transfer = false, lowerCase = true;
  std::uint32_t speed = kLineSpeedOff;
  std::string typed;
};

class RecordingStatus : public StatusSink {
 public:
  void ShowStatus(StatusField, const std::string& text) override { last = text; }
  std::string last;
};

// The pace itself is checked against a real board (gui_paste.test.sh).
TEST(Paste, FollowsTheLineSpeedAndTheCharacterSetShownAsItGoes) {
  FakeTarget target;
  FakePaceClock clock;
  RecordingStatus status;
  PasteFeeder feeder(target, clock, status);
  target.speed = 2400;
  feeder.Start(TranslatePaste(std::u32string(480, U'a') + U"B\u20ac"));
  EXPECT_EQ(status.last, "Pasting 481 characters; 1 character left out (not in PETSCII)");
  const auto tick = [&] {
    clock.now += clock.interval;
    feeder.Tick();
  };
  while (clock.now < PaceClock::Clock::time_point(1s)) tick();
  EXPECT_NEAR(static_cast<double>(target.typed.size()), 240.0, 2.0);  // 240 characters a second
  // The board switches to the upper case set: 'B' goes without SHIFT.
  target.lowerCase = false;
  while (clock.running) tick();
  EXPECT_EQ(target.typed, std::string(480, 'A') + "B");
  EXPECT_EQ(status.last, "Pasted 481 characters; 1 character left out (not in PETSCII)");
}

TEST(Paste, StopsForTheUserATransferOrTheEndOfTheConnection) {
  struct Row {
    const char* name;
    std::function<void(FakeTarget&, PasteFeeder&)> stop;
    PasteFeeder::End end;
    std::string message;  // after the stop; empty: the other's own text stays
  };
  const Row rows[] = {
      {"Stop Paste", [](FakeTarget&, PasteFeeder& f) { f.Stop(); }, PasteFeeder::End::StoppedByUser,
       "Paste stopped: 6 of 20 characters sent"},
      {"a transfer starts", [](FakeTarget& t, PasteFeeder&) { t.transfer = true; }, PasteFeeder::End::TransferStarted,
       ""},
      {"the connection ends", [](FakeTarget& t, PasteFeeder&) { t.connected = false; },
       PasteFeeder::End::ConnectionEnded, ""},
  };
  for (const Row& row : rows) {
    FakeTarget target;
    FakePaceClock clock;
    RecordingStatus status;
    PasteFeeder feeder(target, clock, status);
    feeder.Start(TranslatePaste(std::u32string(20, U'x')));
    for (int tick = 0; clock.running && tick < 100; ++tick) {
      clock.now += clock.interval;
      if (target.typed.size() == 6) row.stop(target, feeder);
      feeder.Tick();
    }
    EXPECT_EQ(target.typed.size(), 6u) << row.name;
    EXPECT_EQ(feeder.LastEnd(), row.end) << row.name;
    EXPECT_FALSE(clock.running) << row.name;
    EXPECT_EQ(status.last, row.message.empty() ? "Pasting 20 characters" : row.message) << row.name;
  }
}

}  // namespace
