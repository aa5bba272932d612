// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small byte-string helpers. White space is the standard isspace class
// (space, tab, line feed, vertical tab, form feed, carriage return).
#include <string>
#include <string_view>

// Removes every white-space byte.
std::string stripWhitespace(std::string_view text);
// Removes leading and trailing white space.
std::string trimText(std::string_view text);
// Every byte through the standard tolower.
std::string toLowerText(std::string_view text);
