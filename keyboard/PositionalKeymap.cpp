// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboard/PositionalKeymap.h"

#include "keyboard/HybridKeymap.h"
#include "keyboard/KeyCodes.h"
#include "keyboard/KeymapRules.h"

namespace positional {
namespace {

using namespace c64key;
constexpr std::uint32_t kForcedShift = c64modifier::kShift;
constexpr std::uint32_t kTableSize = kLastHardwareCode - kFirstHardwareCode + 1;

// Indexed by hardware code - 8; the comment names the PC key at that place
// on a US keyboard.
constexpr PositionalKey kPositionalTable[kTableSize] = {
    {kNone},                           // 8
    {kRunStop},                        // 9 Escape
    {kDigit1},                         // 10 1
    {kDigit2},                         // 11 2
    {kDigit3},                         // 12 3
    {kDigit4},                         // 13 4
    {kDigit5},                         // 14 5
    {kDigit6},                         // 15 6
    {kDigit7},                         // 16 7
    {kDigit8},                         // 17 8
    {kDigit9},                         // 18 9
    {kDigit0},                         // 19 0
    {kPlus},                           // 20 Minus
    {kMinus},                          // 21 Equal
    {kInstDel},                        // 22 Backspace
    {kCtrl},                           // 23 Tab
    {kQ},                              // 24 Q
    {kW},                              // 25 W
    {kE},                              // 26 E
    {kR},                              // 27 R
    {kT},                              // 28 T
    {kY},                              // 29 Y
    {kU},                              // 30 U
    {kI},                              // 31 I
    {kO},                              // 32 O
    {kP},                              // 33 P
    {kAt},                             // 34 LeftBracket
    {kAsterisk},                       // 35 RightBracket
    {kReturn},                         // 36 Enter
    {kCommodore},                      // 37 LeftCtrl
    {kA},                              // 38 A
    {kS},                              // 39 S
    {kD},                              // 40 D
    {kF},                              // 41 F
    {kG},                              // 42 G
    {kH},                              // 43 H
    {kJ},                              // 44 J
    {kK},                              // 45 K
    {kL},                              // 46 L
    {kColon},                          // 47 Semicolon
    {kSemicolon},                      // 48 Apostrophe
    {kLeftArrow},                      // 49 Grave
    {kLeftShift},                      // 50 LeftShift
    {kEquals},                         // 51 Backslash
    {kZ},                              // 52 Z
    {kX},                              // 53 X
    {kC},                              // 54 C
    {kV},                              // 55 V
    {kB},                              // 56 B
    {kN},                              // 57 N
    {kM},                              // 58 M
    {kComma},                          // 59 Comma
    {kFullStop},                       // 60 Period
    {kSlash},                          // 61 Slash
    {kRightShift},                     // 62 RightShift
    {kNone},                           // 63 KeypadAsterisk
    {kNone},                           // 64 LeftAlt
    {kSpace},                          // 65 Space
    {kNone},                           // 66 CapsLock
    {kF1},                             // 67 F1
    {kF1, kForcedShift},               // 68 F2
    {kF3},                             // 69 F3
    {kF3, kForcedShift},               // 70 F4
    {kF5},                             // 71 F5
    {kF5, kForcedShift},               // 72 F6
    {kF7},                             // 73 F7
    {kF7, kForcedShift},               // 74 F8
    {kNone},                           // 75 F9
    {kNone},                           // 76 F10
    {kNone},                           // 77 NumLock
    {kNone},                           // 78 ScrollLock
    {kClrHome},                        // 79 Keypad7
    {kCursorUpDown, kForcedShift},     // 80 Keypad8
    {kNone},                           // 81 Keypad9
    {kNone},                           // 82 KeypadMinus
    {kCursorLeftRight, kForcedShift},  // 83 Keypad4
    {kNone},                           // 84 Keypad5
    {kCursorLeftRight},                // 85 Keypad6
    {kNone},                           // 86 KeypadPlus
    {kLeftArrow},                      // 87 Keypad1
    {kCursorUpDown},                   // 88 Keypad2
    {kUpArrow},                        // 89 Keypad3
    {kPound},                          // 90 Keypad0
    {kInstDel},                        // 91 KeypadPeriod
};

}  // namespace

PositionalKey PositionalKeyOf(std::uint32_t hardwareCode) {
  if (hardwareCode < kFirstHardwareCode || hardwareCode > kLastHardwareCode) return {};
  return kPositionalTable[hardwareCode - kFirstHardwareCode];
}

}  // namespace positional

namespace {
// The PC's own cursor keys and Home lie beyond the table, but a caller needs
// them on any board: they give what the hybrid map gives for them.
bool IsCursorKey(int keyCode) {
  switch (keyCode) {
    case keycode::kUp:
    case keycode::kDown:
    case keycode::kLeft:
    case keycode::kRight:
    case keycode::kHome: return true;
    default: return false;
  }
}
}  // namespace

C64KeyPress TranslatePositional(const KeyEvent& event, KeymapState& state) {
  const std::uint32_t hardwareCode = event.rawKeyCode;
  if (hardwareCode < positional::kFirstHardwareCode || hardwareCode > positional::kLastHardwareCode)
    return IsCursorKey(event.keyCode) ? TranslateHybrid(event, state) : kNoKeyPress;
  if (hardwareCode == positional::kTabHardwareCode) {
    if (const auto tab = TrackTabKey(event, state.tabHeld)) return *tab;
  }
  const positional::PositionalKey row = positional::PositionalKeyOf(hardwareCode);
  const bool modifierKey =
      row.key == c64key::kCommodore || row.key == c64key::kLeftShift || row.key == c64key::kRightShift;
  if (const auto chord = TrackCharsetChord(event, modifierKey, state.chordArmed)) return *chord;
  if (event.kind != KeyEventKind::KeyDown) return kNoKeyPress;
  // Forced modifiers win over held ones: F2 is F1 with SHIFT whatever is held.
  if (row.key == c64key::kNone || row.forcedModifier != c64modifier::kNone)
    return C64KeyPress(row.key, row.forcedModifier);
  return C64KeyPress(row.key, HeldModifier(event, state.tabHeld));
}
