// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The line speeds a board can be shown at, as a modem of its day would
// deliver it: bits per second on a line of ten bits per byte (8N1). Off
// shows every byte as soon as it arrives. An address-book entry stores one;
// the View menu and the replay windows offer the same list.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

constexpr std::uint32_t kLineSpeedOff = 0;
constexpr std::array<std::uint32_t, 11> kLineSpeeds = {kLineSpeedOff, 300,   1200,  2400,  4800,  9600,
                                                       14400,         19200, 38400, 57600, 115200};
constexpr std::uint32_t kFastestLineSpeed = kLineSpeeds.back();

// One of the offered speeds (Off included).
bool isLineSpeed(std::uint64_t bitsPerSecond);
// Its place in kLineSpeeds; Off's for any other value.
std::size_t lineSpeedIndex(std::uint32_t bitsPerSecond);
// "Off" or "1200 bps".
std::string lineSpeedText(std::uint32_t bitsPerSecond);
