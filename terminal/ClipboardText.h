// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A text in the encodings other X programs ask the clipboard for: UTF-8
// always (UTF8_STRING, text/plain;charset=utf-8, TEXT), and Latin-1, which
// X defines STRING to be, only when every character of the text has one.
#include <optional>
#include <string>
#include <string_view>

struct ClipboardText {
  std::string utf8;
  std::optional<std::string> latin1;
};

// A character that is no Unicode scalar value is written as U+FFFD.
ClipboardText ClipboardTextOf(std::u32string_view text);
