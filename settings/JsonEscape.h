// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Escaping of values placed between quotation marks in a JSON template, and
// its inverse for String tokens. Bytes are not interpreted as characters:
// UTF-8 and 8-bit text pass through unchanged.
#include <string>
#include <string_view>

// Only the quotation mark, the backslash and the bytes below 0x20 are
// escaped, so whatever jsonUnescape makes of the result is the text itself.
std::string jsonEscape(std::string_view text);
// Every JSON escape: \uXXXX becomes the character in UTF-8, a surrogate
// pair one character, a lone surrogate U+FFFD. Damage is skipped: an
// unknown escape or a \u without four hexadecimal digits yields nothing.
std::string jsonUnescape(std::string_view text);
// True when jsonUnescape gives exactly what the text says: its bytes are
// UTF-8, every escape is one JSON knows, and surrogates come in pairs.
// Otherwise something of it is lost or replaced on the way.
bool unescapesExactly(std::string_view text);
