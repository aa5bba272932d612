// SPDX-License-Identifier: GPL-3.0-or-later
// Number texts: the reader accepts a text exactly when isNumberText says so
// (-1 otherwise, 0 for the empty text), and every value written in any of
// the four notations reads back as itself.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "FuzzCheck.h"
#include "settings/NumberText.h"

namespace {

std::string Binary(std::uint32_t value) {
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + (value & 1)));
    value >>= 1;
  } while (value != 0);
  return "%" + digits;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::int32_t value = parseNumberText(text);
  if (!isNumberText(text)) FUZZ_CHECK(value == -1, "a text not accepted reads as -1");
  if (text.empty()) FUZZ_CHECK(value == 0, "the empty text reads as 0");

  if (size < sizeof(std::uint32_t)) return 0;
  std::uint32_t raw = 0;
  for (std::size_t i = 0; i < sizeof raw; ++i) raw = raw << 8 | data[i];
  const auto number = static_cast<std::int32_t>(raw & 0x7FFFFFFF);  // what the fields hold: non-negative
  char hex[16];
  std::snprintf(hex, sizeof hex, "%x", static_cast<unsigned>(number));
  for (const std::string& written :
       {std::to_string(number), "$" + std::string(hex), "0x" + std::string(hex), Binary(static_cast<std::uint32_t>(number))}) {
    FUZZ_CHECK(isNumberText(written), "a written number is accepted");
    FUZZ_CHECK(parseNumberText(written) == number, "a written number reads back as itself");
  }
  return 0;
}
