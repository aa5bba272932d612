// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Base64 for the address-book screenshot field. Encoding uses the standard
// alphabet with "=" padding and no line breaks; decoding also accepts the
// URL-safe alphabet and stops at the first byte outside both (the padding
// included).
#include <string>
#include <string_view>

#include "settings/ByteBuffer.h"

std::string base64Encode(const ByteBuffer& bytes);
ByteBuffer base64Decode(std::string_view text);
