// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Numbers as the program reads them from files and text fields: decimal,
// or hexadecimal after "$" or "0x", or binary after "%". Texts it does not
// accept give -1; the empty text gives 0.
#include <cstdint>
#include <string_view>

std::int32_t parseNumberText(std::string_view text);
// Whether parseNumberText accepts the text (the range is not checked).
bool isNumberText(std::string_view text);
