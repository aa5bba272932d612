// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboard/HybridKeymap.h"

#include <gtest/gtest.h>

#include <vector>

#include "keyboard/KeyCodes.h"
#include "keyboard/KeyPressAction.h"

// Key events as GTK reports them on key-down: printable keys carry their
// unshifted character (capital for letters) as both key code and character.
namespace {

enum Held { kNothingHeld = 0, kShiftHeld = 1, kCtrlHeld = 2, kBothHeld = 3 };

KeyEvent Key(int keyCode, std::uint32_t character, int held = kNothingHeld,
             KeyEventKind kind = KeyEventKind::KeyDown) {
  KeyEvent event;
  event.kind = kind;
  event.keyCode = keyCode;
  event.unicodeChar = character;
  event.shift = (held & kShiftHeld) != 0;
  event.ctrl = (held & kCtrlHeld) != 0;
  return event;
}
KeyEvent Printable(char c, int held = kNothingHeld, KeyEventKind kind = KeyEventKind::KeyDown) {
  return Key(c, static_cast<unsigned char>(c), held, kind);
}
KeyEvent Named(int keyCode, int held = kNothingHeld) { return Key(keyCode, 0, held); }
KeyEvent TabDown() { return Key(keycode::kTab, keycode::kTab); }
KeyEvent TabUp() { return Key(keycode::kTab, keycode::kTab, kNothingHeld, KeyEventKind::KeyUp); }

constexpr C64KeyPress kTabPress(58, 2);
constexpr C64KeyPress kToggle(61, 1);

// What the main window does with the event: a byte, or one of these.
constexpr int kPassedOn = -1;   // no key
constexpr int kSwallowed = -2;  // a C64 key that produces nothing

struct Keymap {
  KeymapState state;
  C64KeyPress Press(const KeyEvent& event) { return TranslateHybrid(event, state); }
  int Outcome(const KeyEvent& event) {
    const KeyPressAction action = ActionOfKeyPress(Press(event));
    switch (action.kind) {
      case KeyPressAction::Kind::Send:
        return action.byte;
      case KeyPressAction::Kind::Swallow:
        return kSwallowed;
      default:
        return kPassedOn;
    }
  }
  int WithTab(const KeyEvent& event) {
    Press(TabDown());
    const int outcome = Outcome(event);
    Press(TabUp());
    return outcome;
  }
};

}  // namespace

TEST(KeymapHybrid, SpecialKeyRows) {
  struct Case {
    int keyCode;
    int plain, tabHeld, shift, ctrl;
  };
  const int none = kPassedOn, nothing = kSwallowed;
  const Case cases[] = {
      {keycode::kBack, 0x14, none, 0x94, 0x94},
      {keycode::kReturn, 0x0D, none, 0x8D, 0x8D},
      {keycode::kRight, 0x1D, 0x1D, 0x1D, 0x1D},
      {keycode::kLeft, 0x9D, 0x9D, 0x9D, 0x9D},
      {keycode::kF7, 0x88, 0x88, 0x88, 0x88},
      {keycode::kF8, 0x8C, 0x8C, 0x8C, 0x8C},
      {keycode::kF1, 0x85, 0x85, 0x85, 0x85},
      {keycode::kF2, 0x89, 0x89, 0x89, 0x89},
      {keycode::kF3, 0x86, 0x86, 0x86, 0x86},
      {keycode::kF4, 0x8A, 0x8A, 0x8A, 0x8A},
      {keycode::kF5, 0x87, 0x87, 0x87, 0x87},
      {keycode::kF6, 0x8B, 0x8B, 0x8B, 0x8B},
      {keycode::kDown, 0x11, 0x11, 0x11, 0x11},
      {keycode::kUp, 0x91, 0x91, 0x91, 0x91},
      {keycode::kSpace, 0x20, nothing, 0xA0, nothing},
      {keycode::kHome, 0x13, nothing, 0x93, nothing},
      {keycode::kEscape, 0x03, nothing, 0x83, nothing},
      {'6', 0x36, 0x1E, 0x5E, 0x99},
      {'7', 0x37, 0x1F, 0x26, 0x9A},
      {'8', 0x38, 0x9E, 0x2A, 0x9B},
      {'9', 0x39, 0x12, 0x28, nothing},
      {'0', 0x30, 0x92, 0x29, nothing},
      {'=', 0x3D, 0x1F, 0x2B, 0xDB},
      {'-', 0x2D, nothing, 0xA4, 0xDC},
      {'.', 0x2E, nothing, 0x3E, 0xDF},
      {';', 0x3B, 0x1D, 0x3A, none},
      {'2', 0x32, 0x05, 0x40, 0x95},
      {',', 0x2C, nothing, 0x3C, 0xA9},
      {'\\', 0x5C, 0x1C, 0xDD, 0xA8},
      {'/', 0x2F, nothing, 0x3F, 0xA6},
      {'`', 0x5F, nothing, 0xC0, 0x5F},
      {'[', 0x5B, none, 0xBA, none},
      {']', 0x5D, none, 0xDE, none},
      {'\'', 0x27, none, 0x22, none},
  };
  EXPECT_EQ(hybrid::SpecialKeys().size(), sizeof cases / sizeof cases[0]);
  for (const Case& c : cases) {
    // Printable keys carry their character as well; the row must win over it.
    const std::uint32_t character = c.keyCode < keycode::kDelete ? static_cast<std::uint32_t>(c.keyCode) : 0;
    Keymap keymap;
    EXPECT_EQ(keymap.Outcome(Key(c.keyCode, character)), c.plain) << c.keyCode;
    EXPECT_EQ(keymap.WithTab(Key(c.keyCode, character)), c.tabHeld) << c.keyCode;
    EXPECT_EQ(keymap.Outcome(Key(c.keyCode, character, kShiftHeld)), c.shift) << c.keyCode;
    EXPECT_EQ(keymap.Outcome(Key(c.keyCode, character, kCtrlHeld)), c.ctrl) << c.keyCode;
  }
}

TEST(KeymapHybrid, ModifiersInForceChooseTabBeforeShiftBeforeCtrl) {
  Keymap keymap;
  keymap.Press(TabDown());
  EXPECT_EQ(keymap.Outcome(Printable('6', kShiftHeld)), 0x1E);
  EXPECT_EQ(keymap.Outcome(Printable('A', kShiftHeld)), 0x01);
  keymap.Press(TabUp());
  EXPECT_EQ(keymap.Outcome(Printable('6', kShiftHeld)), 0x5E);
  EXPECT_EQ(keymap.Outcome(Named(keycode::kHome, kShiftHeld)), 0x93);
}

TEST(KeymapHybrid, LettersByTheirCapital) {
  for (char c = 'A'; c <= 'Z'; ++c) {
    Keymap keymap;
    EXPECT_EQ(keymap.Outcome(Printable(c)), c) << c;
    EXPECT_EQ(keymap.Outcome(Printable(c, kShiftHeld)), c | 0x80) << c;
    EXPECT_EQ(keymap.WithTab(Printable(c)), c - 0x40) << c;
    EXPECT_GE(keymap.Outcome(Printable(c, kCtrlHeld)), 0xA1) << c;  // C= graphics
  }
  Keymap keymap;
  EXPECT_EQ(keymap.Outcome(Printable('A', kCtrlHeld)), 0xB0);
  EXPECT_EQ(keymap.Outcome(Printable('R', kCtrlHeld)), 0xB2);
  // Lower case never names a C64 key.
  EXPECT_EQ(keymap.Outcome(Key('A', 'a')), kPassedOn);
  EXPECT_EQ(keymap.Outcome(Key('@', '@')), kPassedOn);
  EXPECT_EQ(keymap.Outcome(Printable('[')), 0x5B);
}

TEST(KeymapHybrid, DigitsWithoutARowUseTheDigitKeys) {
  struct Case {
    char digit;
    int plain, shift, tabHeld, ctrl;
  };
  const Case cases[] = {
      {'1', '1', '!', 0x90, 0x81},
      {'3', '3', '#', 0x1C, 0x96},
      {'4', '4', '$', 0x9F, 0x97},
      {'5', '5', '%', 0x9C, 0x98},
  };
  for (const Case& c : cases) {
    Keymap keymap;
    EXPECT_EQ(keymap.Outcome(Printable(c.digit)), c.plain) << c.digit;
    EXPECT_EQ(keymap.Outcome(Printable(c.digit, kShiftHeld)), c.shift) << c.digit;
    EXPECT_EQ(keymap.WithTab(Printable(c.digit)), c.tabHeld) << c.digit;
    EXPECT_EQ(keymap.Outcome(Printable(c.digit, kCtrlHeld)), c.ctrl) << c.digit;
  }
}

TEST(KeymapHybrid, TabIsCtrlWhileHeld) {
  Keymap keymap;
  EXPECT_EQ(keymap.Press(TabDown()), kTabPress);
  EXPECT_TRUE(keymap.state.tabHeld);
  EXPECT_EQ(keymap.Outcome(TabDown()), kSwallowed);  // auto-repeat: still consumed, nothing sent
  EXPECT_EQ(keymap.Outcome(Printable('3')), 0x1C);
  EXPECT_EQ(keymap.Outcome(Printable('A', kNothingHeld, KeyEventKind::KeyUp)), kPassedOn);
  EXPECT_EQ(keymap.Outcome(Named(keycode::kBack)), kPassedOn);  // DEL has no CTRL form
  EXPECT_TRUE(keymap.state.tabHeld);
  EXPECT_TRUE(keymap.Press(Key(keycode::kTab, keycode::kTab, kNothingHeld, KeyEventKind::Other)).IsNoKey());
  EXPECT_TRUE(keymap.state.tabHeld);
  EXPECT_TRUE(keymap.Press(TabUp()).IsNoKey());
  EXPECT_FALSE(keymap.state.tabHeld);
  EXPECT_EQ(keymap.Outcome(Printable('3')), '3');
}

// Ctrl and Shift tapped together are C= + SHIFT; with another key between
// (a command's Ctrl+Shift+letter, whose key-down the accelerator may take)
// they switch nothing.
TEST(KeymapHybrid, CtrlAndShiftTappedTogetherToggleTheCharset) {
  const KeyEvent ctrlDown = Named(keycode::kControl, kCtrlHeld), shiftDown = Named(keycode::kShift, kBothHeld);
  const KeyEvent ctrlUp = Key(keycode::kControl, 0, kBothHeld, KeyEventKind::KeyUp);
  const KeyEvent shiftUp = Key(keycode::kShift, 0, kShiftHeld, KeyEventKind::KeyUp);
  const KeyEvent letterDown = Printable('V', kBothHeld), letterUp = Printable('V', kBothHeld, KeyEventKind::KeyUp);
  struct Row {
    const char* what;
    std::vector<KeyEvent> events;
    int toggles;
  };
  const Row rows[] = {
      {"tapped, Ctrl first", {ctrlDown, shiftDown, shiftUp, ctrlUp}, 1},
      {"tapped, Shift first", {Named(keycode::kShift, kShiftHeld), Named(keycode::kControl, kBothHeld), ctrlUp, shiftUp}, 1},
      {"a letter between", {ctrlDown, shiftDown, letterDown, letterUp, shiftUp, ctrlUp}, 0},
      {"a letter the accelerator took", {ctrlDown, shiftDown, letterUp, shiftUp, ctrlUp}, 0},
      {"Ctrl alone", {ctrlDown, Key(keycode::kControl, 0, kCtrlHeld, KeyEventKind::KeyUp)}, 0},
      {"twice", {ctrlDown, shiftDown, shiftUp, shiftDown, shiftUp, ctrlUp}, 2},
  };
  for (const Row& row : rows) {
    Keymap keymap;
    int toggles = 0;
    for (const KeyEvent& event : row.events) {
      const C64KeyPress press = keymap.Press(event);
      toggles += press == kToggle;
      EXPECT_TRUE(press == kToggle || press.IsNoKey()) << row.what;  // nothing sent
    }
    EXPECT_EQ(toggles, row.toggles) << row.what;
  }
  Keymap keymap;
  EXPECT_EQ(keymap.Press(Key(keycode::kTab, keycode::kTab, kBothHeld)), kTabPress);  // Tab keeps its meaning
}

TEST(KeymapHybrid, UnmappedKeysAndReleasesGiveNoKey) {
  Keymap keymap;
  for (int code : {keycode::kEnd, keycode::kInsert, keycode::kDelete, keycode::kF9, keycode::kF10,
                   keycode::kPageUp, keycode::kPageDown, keycode::kNumpadEnter, keycode::kShift,
                   keycode::kControl, keycode::kNone, -1, 0x7FFFFFFF}) {
    EXPECT_TRUE(keymap.Press(Key(code, 0)).IsNoKey()) << code;
    EXPECT_TRUE(keymap.Press(Key(code, 0, kShiftHeld)).IsNoKey()) << code;
  }
  // Characters outside A-Z and 0-9 on keys without a row.
  for (std::uint32_t character : {0x60u, 0x7Bu, 0xC4u, 0x10041u, 0xFFFFFFFFu})
    EXPECT_TRUE(keymap.Press(Key(0, character)).IsNoKey()) << character;
  for (char c : {'A', '1', '6', '['}) {
    EXPECT_TRUE(keymap.Press(Printable(c, kNothingHeld, KeyEventKind::KeyUp)).IsNoKey()) << c;
    EXPECT_TRUE(keymap.Press(Printable(c, kNothingHeld, KeyEventKind::Other)).IsNoKey()) << c;
  }
  EXPECT_TRUE(
      keymap.Press(Key(keycode::kReturn, keycode::kReturn, kNothingHeld, KeyEventKind::KeyUp)).IsNoKey());
  EXPECT_FALSE(keymap.state.tabHeld);
}
