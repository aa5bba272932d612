// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboard/PositionalKeymap.h"

#include "keyboard/HybridKeymap.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "keyboard/KeyPressAction.h"

// Hardware codes are X11 keycodes, named by the key at that place on a US
// keyboard; the C64 key there follows the C64's own layout.
namespace {

enum Held { kNothingHeld = 0, kShiftHeld = 1, kCtrlHeld = 2, kBothHeld = 3 };

KeyEvent Hardware(std::uint32_t code, int held = kNothingHeld, KeyEventKind kind = KeyEventKind::KeyDown) {
  KeyEvent event;
  event.kind = kind;
  event.rawKeyCode = code;
  event.shift = (held & kShiftHeld) != 0;
  event.ctrl = (held & kCtrlHeld) != 0;
  return event;
}

constexpr std::uint32_t kTab = 23, kLeftCtrl = 37, kLeftShift = 50, kKey1 = 10, kKey3 = 12, kKeyA = 38;
constexpr C64KeyPress kTabPress(58, 2);  // the C64 CTRL key, held as CTRL
constexpr C64KeyPress kToggle(61, 1);    // C= + SHIFT

struct Keymap {
  KeymapState state;
  C64KeyPress Press(const KeyEvent& event) { return TranslatePositional(event, state); }
  // What the main window would do: a byte, or nothing (sent or passed on).
  std::optional<std::uint8_t> Sent(const KeyEvent& event) {
    const KeyPressAction action = ActionOfKeyPress(Press(event));
    if (action.kind != KeyPressAction::Kind::Send) return std::nullopt;
    return action.byte;
  }
};

// Hardware codes of consecutive keys and the characters the C64 has there.
struct Row {
  std::uint32_t firstCode;
  std::string characters;
};

}  // namespace

TEST(KeymapPositional, KeysGiveTheC64KeyAtTheirPlace) {
  const Row rows[] = {
      {10, "1234567890+-"},
      {24, "QWERTYUIOP@*"},
      {38, "ASDFGHJKL:;\x5F"},  // grave: left arrow
      {52, "ZXCVBNM,./"},
  };
  for (const Row& row : rows) {
    for (std::size_t i = 0; i < row.characters.size(); ++i) {
      Keymap keymap;
      const std::uint32_t code = row.firstCode + static_cast<std::uint32_t>(i);
      EXPECT_EQ(keymap.Sent(Hardware(code)), static_cast<std::uint8_t>(row.characters[i])) << code;
    }
  }
  Keymap keymap;
  EXPECT_EQ(keymap.Sent(Hardware(51)), '=');  // backslash
  EXPECT_EQ(keymap.Sent(Hardware(65)), ' ');
}

TEST(KeymapPositional, ShiftGivesTheC64sShiftedSymbols) {
  struct Case {
    std::uint32_t code;
    std::optional<std::uint8_t> byte;
  };
  const Case cases[] = {
      {kKey1, '!'},  {11, '"'},          {15, '&'}, {16, '\''}, {17, '('},
      {18, ')'},     {19, std::nullopt},  // SHIFT 0 gives nothing
      {kKeyA, 0xC1}, {47, '['},          {48, ']'}, {60, '>'},  {61, '?'},
  };
  for (const Case& c : cases) {
    Keymap keymap;
    EXPECT_EQ(keymap.Sent(Hardware(c.code, kShiftHeld)), c.byte) << c.code;
  }
}

TEST(KeymapPositional, SpecialKeysAndForcedShift) {
  struct Case {
    const char* name;
    std::uint32_t code;
    int held;
    std::uint32_t key, modifier;
  };
  const Case cases[] = {
      {"Escape: RUN/STOP", 9, kNothingHeld, 63, 0},
      {"Shift+Escape", 9, kShiftHeld, 63, 1},
      {"Backspace: DEL", 22, kNothingHeld, 0, 0},
      {"Shift+Backspace: INST", 22, kShiftHeld, 0, 1},
      {"Enter", 36, kNothingHeld, 1, 0},
      {"F1", 67, kNothingHeld, 4, 0},
      {"F2", 68, kNothingHeld, 4, 1},
      {"Shift+F2: forced SHIFT", 68, kShiftHeld, 4, 1},
      {"Ctrl+F2: forced SHIFT wins", 68, kCtrlHeld, 4, 1},
      {"F3", 69, kNothingHeld, 5, 0},
      {"F4", 70, kNothingHeld, 5, 1},
      {"F5", 71, kNothingHeld, 6, 0},
      {"F6", 72, kNothingHeld, 6, 1},
      {"F7", 73, kNothingHeld, 3, 0},
      {"F8", 74, kNothingHeld, 3, 1},
      {"F9", 75, kNothingHeld, 64, 0},
      {"keypad 7: CLR/HOME", 79, kNothingHeld, 51, 0},
      {"Shift+keypad 7: CLR", 79, kShiftHeld, 51, 1},
      {"keypad 8: cursor up", 80, kNothingHeld, 7, 1},
      {"keypad 2: cursor down", 88, kNothingHeld, 7, 0},
      {"keypad 4: cursor left", 83, kNothingHeld, 2, 1},
      {"keypad 6: cursor right", 85, kNothingHeld, 2, 0},
      {"keypad 1: left arrow", 87, kNothingHeld, 57, 0},
      {"keypad 3: up arrow", 89, kNothingHeld, 54, 0},
      {"keypad 0: pound", 90, kNothingHeld, 48, 0},
      {"keypad period: DEL", 91, kNothingHeld, 0, 0},
      {"keypad 9", 81, kNothingHeld, 64, 0},
      {"keypad 5", 84, kNothingHeld, 64, 0},
      {"keypad asterisk", 63, kNothingHeld, 64, 0},
      {"Caps Lock", 66, kShiftHeld, 64, 0},
      {"code 8", 8, kNothingHeld, 64, 0},
      {"left Shift", kLeftShift, kShiftHeld, 15, 1},
      {"left Ctrl: C=", kLeftCtrl, kCtrlHeld, 61, 3},
  };
  for (const Case& c : cases) {
    Keymap keymap;
    const C64KeyPress press = keymap.Press(Hardware(c.code, c.held));
    EXPECT_EQ(press.Key(), c.key) << c.name;
    EXPECT_EQ(press.Modifier(), c.modifier) << c.name;
  }
  Keymap keymap;
  EXPECT_EQ(keymap.Sent(Hardware(68, kShiftHeld)), 0x89);
  EXPECT_EQ(keymap.Sent(Hardware(80)), 0x91);
  EXPECT_EQ(keymap.Sent(Hardware(22, kShiftHeld)), 0x94);
}

// The PC cursor keys and Home lie outside the table; they send what the
// hybrid map sends for them, with every modifier.
TEST(KeymapPositional, CursorKeysAndHomeAsInTheHybridMap) {
  struct Case {
    std::uint32_t hardwareCode;
    int keyCode;
    std::uint8_t plain;
  };
  const Case cases[] = {{111, 315, 0x91}, {116, 317, 0x11}, {113, 314, 0x9D}, {114, 316, 0x1D}, {110, 313, 0x13}};
  for (const Case& c : cases) {
    for (int held : {kNothingHeld, kShiftHeld, kCtrlHeld, kBothHeld}) {
      for (bool tab : {false, true}) {
        for (KeyEventKind kind : {KeyEventKind::KeyDown, KeyEventKind::KeyUp}) {
          KeyEvent event = Hardware(c.hardwareCode, held, kind);
          event.keyCode = c.keyCode;
          Keymap positional, hybrid;
          positional.state.tabHeld = hybrid.state.tabHeld = tab;
          const C64KeyPress press = positional.Press(event);
          EXPECT_EQ(press, TranslateHybrid(event, hybrid.state))
              << c.keyCode << " held " << held << " tab " << tab << " up " << (kind == KeyEventKind::KeyUp);
          EXPECT_EQ(positional.state.tabHeld, tab);
        }
      }
    }
    Keymap keymap;
    KeyEvent event = Hardware(c.hardwareCode);
    event.keyCode = c.keyCode;
    EXPECT_EQ(keymap.Sent(event), c.plain) << c.keyCode;
  }
  Keymap keymap;
  KeyEvent shiftHome = Hardware(110, kShiftHeld);
  shiftHome.keyCode = 313;
  EXPECT_EQ(keymap.Sent(shiftHome), 0x93);
  // Keypad keys in the table keep their own rows, whatever key code they report.
  KeyEvent keypad2 = Hardware(88);
  keypad2.keyCode = 315;
  EXPECT_EQ(keymap.Sent(keypad2), 0x11);
}

TEST(KeymapPositional, CodesOutsideTheTableGiveNoKey) {
  // Below the table, cursor keys, Home, Delete, right Ctrl and garbage.
  for (std::uint32_t code : {0u, 7u, 92u, 105u, 110u, 111u, 113u, 114u, 116u, 119u, 255u, 0xFFFFFFFFu}) {
    for (int held : {kNothingHeld, kBothHeld}) {
      Keymap keymap;
      EXPECT_TRUE(keymap.Press(Hardware(code, held)).IsNoKey()) << code << " held " << held;
    }
  }
}

TEST(KeymapPositional, TabIsCtrlWhileHeld) {
  Keymap keymap;
  EXPECT_EQ(keymap.Press(Hardware(kTab)), kTabPress);
  EXPECT_TRUE(keymap.state.tabHeld);
  EXPECT_EQ(keymap.Sent(Hardware(kTab)), std::nullopt);  // consumed, sends nothing
  EXPECT_EQ(keymap.Sent(Hardware(kKey3)), 0x1C);         // red
  EXPECT_EQ(keymap.Sent(Hardware(kKeyA)), 0x01);
  EXPECT_EQ(keymap.Sent(Hardware(kKeyA, kShiftHeld)), 0x01);  // CTRL before SHIFT
  EXPECT_TRUE(keymap.Press(Hardware(kKeyA, kNothingHeld, KeyEventKind::KeyUp)).IsNoKey());
  EXPECT_TRUE(keymap.state.tabHeld);                 // survives other keys
  EXPECT_EQ(keymap.Sent(Hardware(18)), 0x12);  // 9: reverse on
  EXPECT_EQ(keymap.Sent(Hardware(19)), 0x92);  // 0: reverse off
  EXPECT_TRUE(keymap.Press(Hardware(kTab, kNothingHeld, KeyEventKind::KeyUp)).IsNoKey());
  EXPECT_FALSE(keymap.state.tabHeld);
  EXPECT_EQ(keymap.Sent(Hardware(kKeyA)), 'A');
}

TEST(KeymapPositional, TabEventOfAnotherKindLeavesTheStateAlone) {
  Keymap keymap;
  keymap.Press(Hardware(kTab));
  EXPECT_TRUE(keymap.Press(Hardware(kTab, kNothingHeld, KeyEventKind::Other)).IsNoKey());
  EXPECT_TRUE(keymap.state.tabHeld);
}

TEST(KeymapPositional, CtrlIsCommodore) {
  Keymap keymap;
  EXPECT_EQ(keymap.Sent(Hardware(kKey1, kCtrlHeld)), 0x81);  // orange
  EXPECT_EQ(keymap.Sent(Hardware(kKeyA, kCtrlHeld)), 0xB0);
  EXPECT_EQ(keymap.Sent(Hardware(kLeftCtrl, kCtrlHeld)), std::nullopt);
}

// The chord's rule is the hybrid map's (KeymapHybridTest); here the
// modifier keys are known by their place.
TEST(KeymapPositional, CtrlAndShiftTappedTogetherToggleTheCharset) {
  Keymap keymap;
  // Shift held, then left Ctrl pressed and both let go: the C64's C= + SHIFT.
  keymap.Press(Hardware(kLeftShift, kShiftHeld));
  EXPECT_TRUE(keymap.Press(Hardware(kLeftCtrl, kBothHeld)).IsNoKey());
  EXPECT_EQ(keymap.Press(Hardware(kLeftCtrl, kBothHeld, KeyEventKind::KeyUp)), kToggle);
  EXPECT_TRUE(keymap.Press(Hardware(kLeftShift, kShiftHeld, KeyEventKind::KeyUp)).IsNoKey());
  // F2 pressed within the chord switches nothing and sends nothing.
  keymap.Press(Hardware(kLeftCtrl, kBothHeld));
  EXPECT_TRUE(keymap.Press(Hardware(68, kBothHeld)).IsNoKey());
  EXPECT_TRUE(keymap.Press(Hardware(kLeftCtrl, kBothHeld, KeyEventKind::KeyUp)).IsNoKey());
  EXPECT_EQ(keymap.Press(Hardware(kTab, kBothHeld)), kTabPress);  // Tab keeps its meaning
}

TEST(KeymapPositional, ReleasesAndOtherEventsGiveNoKey) {
  for (std::uint32_t code : {kKey1, kKeyA, 9u, 22u, 36u, 67u, 80u}) {
    for (KeyEventKind kind : {KeyEventKind::KeyUp, KeyEventKind::Other}) {
      Keymap keymap;
      EXPECT_TRUE(keymap.Press(Hardware(code, kShiftHeld, kind)).IsNoKey()) << code;
      EXPECT_FALSE(keymap.state.tabHeld);
    }
  }
}
