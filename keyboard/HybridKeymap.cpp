// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboard/HybridKeymap.h"

#include "keyboard/KeyCodes.h"
#include "keyboard/KeymapRules.h"

namespace hybrid {
namespace {

using namespace c64key;
constexpr std::uint32_t kPlain = c64modifier::kNone;
constexpr std::uint32_t kShifted = c64modifier::kShift;
constexpr std::uint32_t kWithCtrl = c64modifier::kCtrl;
constexpr std::uint32_t kWithCommodore = c64modifier::kCommodore;

// Shorthand for the rows below.
constexpr C64KeyPress Press(std::uint32_t key, std::uint32_t modifier = kPlain) { return {key, modifier}; }
constexpr C64KeyPress kNothing = kNoKeyPress;
// A key that sends the same whatever is held (cursor and function keys).
constexpr SpecialKey Always(C64KeyPress press) { return {press, press, press, press}; }

struct SpecialKeyRow {
  int keyCode;
  SpecialKey key;
};

// Columns: Tab held, Shift, Ctrl, plain. Shifted symbols follow the US
// keycaps: Shift+7 is '&', Shift+8 '*', Shift+minus the underscore-like A4.
constexpr SpecialKeyRow kSpecialKeyRows[] = {
    {keycode::kBack, {kNothing, Press(kInstDel, kShifted), Press(kInstDel, kWithCommodore), Press(kInstDel)}},
    {keycode::kReturn, {kNothing, Press(kReturn, kShifted), Press(kReturn, kWithCommodore), Press(kReturn)}},
    {keycode::kRight, Always(Press(kCursorLeftRight))},
    {keycode::kLeft, Always(Press(kCursorLeftRight, kShifted))},
    {keycode::kF7, Always(Press(kF7))},
    {keycode::kF8, Always(Press(kF7, kShifted))},
    {keycode::kF1, Always(Press(kF1))},
    {keycode::kF2, Always(Press(kF1, kShifted))},
    {keycode::kF3, Always(Press(kF3))},
    {keycode::kF4, Always(Press(kF3, kShifted))},
    {keycode::kF5, Always(Press(kF5))},
    {keycode::kF6, Always(Press(kF5, kShifted))},
    {keycode::kDown, Always(Press(kCursorUpDown))},
    {keycode::kUp, Always(Press(kCursorUpDown, kShifted))},
    {keycode::kSpace,
     {Press(kSpace, kWithCtrl), Press(kSpace, kShifted), Press(kSpace, kWithCommodore), Press(kSpace)}},
    {keycode::kHome,
     {Press(kClrHome, kWithCtrl), Press(kClrHome, kShifted), Press(kClrHome, kWithCommodore),
      Press(kClrHome)}},
    {keycode::kEscape,
     {Press(kRunStop, kWithCtrl), Press(kRunStop, kShifted), Press(kRunStop, kWithCommodore),
      Press(kRunStop)}},
    {'6', {Press(kDigit6, kWithCtrl), Press(kUpArrow), Press(kDigit6, kWithCommodore), Press(kDigit6)}},
    {'7',
     {Press(kDigit7, kWithCtrl), Press(kDigit6, kShifted), Press(kDigit7, kWithCommodore), Press(kDigit7)}},
    {'8', {Press(kDigit8, kWithCtrl), Press(kAsterisk), Press(kDigit8, kWithCommodore), Press(kDigit8)}},
    {'9',
     {Press(kDigit9, kWithCtrl), Press(kDigit8, kShifted), Press(kDigit9, kWithCommodore), Press(kDigit9)}},
    {'0',
     {Press(kDigit0, kWithCtrl), Press(kDigit9, kShifted), Press(kDigit0, kWithCommodore), Press(kDigit0)}},
    {'=', {Press(kEquals, kWithCtrl), Press(kPlus), Press(kPlus, kShifted), Press(kEquals)}},
    {'-',
     {Press(kMinus, kWithCtrl), Press(kAt, kWithCommodore), Press(kMinus, kWithCommodore), Press(kMinus)}},
    {'.',
     {Press(kFullStop, kWithCtrl), Press(kFullStop, kShifted), Press(kAsterisk, kWithCommodore),
      Press(kFullStop)}},
    {';', {Press(kSemicolon, kWithCtrl), Press(kColon), kNothing, Press(kSemicolon)}},
    {'2', {Press(kDigit2, kWithCtrl), Press(kAt), Press(kDigit2, kWithCommodore), Press(kDigit2)}},
    {',', {Press(kComma, kWithCtrl), Press(kComma, kShifted), Press(kPound, kShifted), Press(kComma)}},
    {'\\', {Press(kPound, kWithCtrl), Press(kMinus, kShifted), Press(kPound, kWithCommodore), Press(kPound)}},
    {'/', {Press(kSlash, kWithCtrl), Press(kSlash, kShifted), Press(kPlus, kWithCommodore), Press(kSlash)}},
    {'`',
     {Press(kLeftArrow, kWithCtrl), Press(kAsterisk, kShifted), Press(kLeftArrow, kWithCommodore),
      Press(kLeftArrow)}},
    {'[', {kNothing, Press(kAt, kShifted), kNothing, Press(kColon, kShifted)}},
    {']', {kNothing, Press(kUpArrow, kShifted), kNothing, Press(kSemicolon, kShifted)}},
    {'\'', {kNothing, Press(kDigit2, kShifted), kNothing, Press(kDigit7, kShifted)}},
};

// Alphabetical.
constexpr std::uint32_t kLetterKeys[] = {kA, kB, kC, kD, kE, kF, kG, kH, kI, kJ, kK, kL, kM,
                                         kN, kO, kP, kQ, kR, kS, kT, kU, kV, kW, kX, kY, kZ};
constexpr std::uint32_t kDigitKeys[] = {kDigit0, kDigit1, kDigit2, kDigit3, kDigit4,
                                        kDigit5, kDigit6, kDigit7, kDigit8, kDigit9};
constexpr std::uint32_t kLetterCount = sizeof kLetterKeys / sizeof kLetterKeys[0];
constexpr std::uint32_t kDigitCount = sizeof kDigitKeys / sizeof kDigitKeys[0];

}  // namespace

const std::map<int, SpecialKey>& SpecialKeys() {
  static const std::map<int, SpecialKey> keys = [] {
    std::map<int, SpecialKey> built;
    for (const SpecialKeyRow& row : kSpecialKeyRows) built.emplace(row.keyCode, row.key);
    return built;
  }();
  return keys;
}

std::uint32_t LetterKeyOf(std::uint32_t character) {
  // Unsigned: characters below 'A' wrap round to large offsets.
  const std::uint32_t offset = character - 'A';
  return offset < kLetterCount ? kLetterKeys[offset] : kNone;
}

std::uint32_t DigitKeyOf(std::uint32_t character) {
  const std::uint32_t offset = character - '0';
  return offset < kDigitCount ? kDigitKeys[offset] : kNone;
}

}  // namespace hybrid

C64KeyPress TranslateHybrid(const KeyEvent& event, KeymapState& state) {
  if (event.unicodeChar == static_cast<std::uint32_t>(keycode::kTab)) {
    if (const auto tab = TrackTabKey(event, state.tabHeld)) return *tab;
  }
  const bool modifierKey = event.keyCode == keycode::kControl || event.keyCode == keycode::kShift;
  if (const auto chord = TrackCharsetChord(event, modifierKey, state.chordArmed)) return *chord;
  if (event.kind != KeyEventKind::KeyDown) return kNoKeyPress;
  const bool tabHeld = state.tabHeld;

  // Table rows win over the digit rule; a none in a row stays no key.
  const auto& specialKeys = hybrid::SpecialKeys();
  const auto special = specialKeys.find(event.keyCode);
  if (special != specialKeys.end()) {
    const hybrid::SpecialKey& row = special->second;
    if (tabHeld) return row.tabHeld;
    if (event.shift) return row.shift;
    if (event.ctrl) return row.ctrl;
    return row.plain;
  }
  std::uint32_t key = hybrid::LetterKeyOf(event.unicodeChar);
  if (key == c64key::kNone) key = hybrid::DigitKeyOf(event.unicodeChar);
  if (key == c64key::kNone) return kNoKeyPress;
  return C64KeyPress(key, HeldModifier(event, tabHeld));
}
