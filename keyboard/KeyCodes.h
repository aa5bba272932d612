// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The toolkit key codes the keymaps look at, with the toolkit's own values so
// that the GUI hands its key code over unchanged (the adapter checks them).
// Printable keys are reported by their character code, capital for letters.
namespace keycode {
constexpr int kNone = 0;
constexpr int kBack = 8;
constexpr int kTab = 9;
constexpr int kReturn = 13;
constexpr int kEscape = 27;
constexpr int kSpace = 32;
constexpr int kDelete = 127;
constexpr int kShift = 306;
constexpr int kAlt = 307;
constexpr int kControl = 308;
constexpr int kEnd = 312;
constexpr int kHome = 313;
constexpr int kLeft = 314;
constexpr int kUp = 315;
constexpr int kRight = 316;
constexpr int kDown = 317;
constexpr int kInsert = 322;
constexpr int kF1 = 340;
constexpr int kF2 = 341;
constexpr int kF3 = 342;
constexpr int kF4 = 343;
constexpr int kF5 = 344;
constexpr int kF6 = 345;
constexpr int kF7 = 346;
constexpr int kF8 = 347;
constexpr int kF9 = 348;
constexpr int kF10 = 349;
constexpr int kPageUp = 366;
constexpr int kPageDown = 367;
constexpr int kNumpadEnter = 370;
}  // namespace keycode
