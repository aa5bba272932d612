#pragma once
// Escaping of values placed between quotation marks in a JSON template, and
// its inverse for String tokens. Bytes are not interpreted as characters:
// UTF-8 and 8-bit text pass through unchanged.
#include <string>
#include <string_view>

std::string jsonEscape(std::string_view text);
std::string jsonUnescape(std::string_view text);
