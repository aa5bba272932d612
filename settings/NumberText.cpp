// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/NumberText.h"

#include <cctype>
#include <cstdlib>
#include <string>

namespace {

constexpr std::int32_t kRejected = -1;
constexpr int kDecimal = 10;
constexpr int kHexadecimal = 16;
constexpr int kBinary = 2;
constexpr std::size_t kShortestPrefixed = 2;
constexpr std::string_view kHexPrefix = "0x";
constexpr char kDollar = '$';
constexpr char kPercent = '%';

bool isDecimalDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }
bool isBinaryDigit(char c) { return c == '0' || c == '1'; }

bool allOf(std::string_view text, bool (*accept)(char)) {
  for (const char c : text) {
    if (!accept(c)) return false;
  }
  return true;
}

// The digits and base of an accepted text; base 0 when it is rejected.
struct NumberForm {
  std::string_view digits;
  int base = 0;
};

NumberForm classify(std::string_view text) {
  if (allOf(text, isDecimalDigit)) return {text, kDecimal};
  if (text.size() < kShortestPrefixed) return {};
  if (text.front() == kDollar) {
    const std::string_view rest = text.substr(1);
    return allOf(rest, isHexDigit) ? NumberForm{rest, kHexadecimal} : NumberForm{};
  }
  if (text.size() > kShortestPrefixed && text.front() == kHexPrefix.front()) {
    const std::string_view rest = text.substr(kHexPrefix.size());
    const bool hex = text.substr(0, kHexPrefix.size()) == kHexPrefix && allOf(rest, isHexDigit);
    return hex ? NumberForm{rest, kHexadecimal} : NumberForm{};
  }
  if (text.front() == kPercent) {
    const std::string_view rest = text.substr(1);
    return allOf(rest, isBinaryDigit) ? NumberForm{rest, kBinary} : NumberForm{};
  }
  return {};
}

}  // namespace

std::int32_t parseNumberText(std::string_view text) {
  const NumberForm form = classify(text);
  if (form.base == 0) return kRejected;
  if (form.digits.empty()) return 0;
  const std::string digits(form.digits);
  char* end = nullptr;
  const long value = std::strtol(digits.c_str(), &end, form.base);
  if (end != digits.c_str() + digits.size()) return kRejected;
  // Out-of-range values are cut to 32 bits, as the callers expect no check.
  return static_cast<std::int32_t>(value);
}

bool isNumberText(std::string_view text) { return classify(text).base != 0; }
