// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/Base64.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Base64, EncodesPadsAndDecodesBothAlphabets) {
  struct Case {
    ByteBuffer bytes;
    const char* text;
  };
  const Case cases[] = {
      {{'a', 'b', 'c'}, "YWJj"}, {{'a', 'b'}, "YWI="}, {{'a'}, "YQ=="}, {{}, ""}, {{0xFB, 0xFF}, "+/8="},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(base64Encode(c.bytes), c.text);
    EXPECT_EQ(base64Decode(c.text), c.bytes) << c.text;
  }
  EXPECT_EQ(base64Decode("-_8="), (ByteBuffer{0xFB, 0xFF}));
  EXPECT_EQ(base64Decode("YWJj!YWJj"), (ByteBuffer{'a', 'b', 'c'}));  // stops at the first stranger
  EXPECT_EQ(base64Decode("YWI"), (ByteBuffer{'a', 'b'}));            // unpadded tail
  EXPECT_EQ(base64Decode("YWJjY"), (ByteBuffer{'a', 'b', 'c'}));     // a lone sixth of a byte
}

TEST(Base64, RoundTripsEveryLengthAndByte) {
  ByteBuffer bytes;
  for (int n = 0; n < 300; ++n) {
    const std::string text = base64Encode(bytes);
    ASSERT_EQ(text.size() % 4, 0u);
    ASSERT_EQ(base64Decode(text), bytes) << n;
    bytes.push_back(static_cast<std::uint8_t>(n * 7 + 3));
  }
}

}  // namespace
