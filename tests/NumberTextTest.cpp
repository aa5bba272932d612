// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/NumberText.h"

#include <gtest/gtest.h>

namespace {

TEST(NumberText, PrefixesAndRejections) {
  struct Case {
    const char* text;
    std::int32_t value;
    bool accepted;
  };
  const Case cases[] = {
      {"40", 40, true},    {"0040", 40, true},  {"", 0, true},       {"$ff", 255, true},  {"$FF", 255, true},
      {"0x1F", 31, true},  {"0xab", 171, true}, {"%101", 5, true},   {"0X1F", -1, false}, {"$", -1, false},
      {"0x", -1, false},   {"%", -1, false},    {"12a", -1, false},  {"%102", -1, false}, {"0x1g", -1, false},
      {"-1", -1, false},   {" 1", -1, false},   {"$0x1", -1, false}, {"01f", -1, false},  {"64128", 64128, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parseNumberText(c.text), c.value) << c.text;
    EXPECT_EQ(isNumberText(c.text), c.accepted) << c.text;
  }
}

}  // namespace
