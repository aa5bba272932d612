// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/TextHelpers.h"

#include <cctype>

namespace {
// The <cctype> functions take an unsigned char value; a plain char above
// 0x7F would be negative.
bool isSpaceByte(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
}  // namespace

std::string stripWhitespace(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (!isSpaceByte(c)) out += c;
  }
  return out;
}

std::string trimText(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isSpaceByte(text[begin])) ++begin;
  while (end > begin && isSpaceByte(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

std::string toLowerText(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}
