// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// UTF-8 as the files and the toolkit's conversion expect it: whole
// characters only, no overlong forms, no surrogates, nothing past U+10FFFF.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

// The character at `at` (which must be inside the text) and its length in
// bytes; a broken sequence gives nothing for its first byte (length 1).
std::pair<std::optional<char32_t>, std::size_t> nextUtf8Character(std::string_view text, std::size_t at);
bool isUtf8(std::string_view text);
// The text with every broken byte replaced by U+FFFD.
std::string asUtf8(std::string_view text);
