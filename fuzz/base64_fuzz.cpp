// SPDX-License-Identifier: GPL-3.0-or-later
// Base64 both ways: any bytes encode to text of the standard alphabet that
// decodes back to them; any text decodes without fault, to at most three
// bytes for every four characters, and what it decodes to is stable.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "settings/Base64.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ByteBuffer bytes(data, data + size);
  const std::string text = base64Encode(bytes);
  FUZZ_CHECK(text.size() == (size + 2) / 3 * 4, "four characters for every three bytes, padded");
  FUZZ_CHECK(text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=") ==
                 std::string::npos,
             "only the standard alphabet and padding");
  FUZZ_CHECK(base64Decode(text) == bytes, "decoding gives back the bytes");

  const std::string_view any(reinterpret_cast<const char*>(data), size);
  const ByteBuffer decoded = base64Decode(any);
  FUZZ_CHECK(decoded.size() <= size * 3 / 4, "at most three bytes per four characters");
  FUZZ_CHECK(base64Decode(base64Encode(decoded)) == decoded, "what any text decodes to survives a round trip");
  return 0;
}
