// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/JsonEscape.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/JsonScanner.h"
#include "settings/TextTemplate.h"

namespace {

using namespace std::string_literals;

TEST(JsonEscape, EscapesAndUnescapesEachKindOfByte) {
  struct Case {
    std::string raw, escaped;
  };
  const Case cases[] = {
      {"\x01", R"(\u0001)"},
      {"\x1f", R"(\u001f)"},
      {"\0"s, R"(\u0000)"},
      {"\"", R"(\")"},
      {"\\", R"(\\)"},
      {"\b\t\n\f\r", R"(\b\t\n\f\r)"},
      {"/\x7f\xe9 caf\xc3\xa9", "/\x7f\xe9 caf\xc3\xa9"},
      {"a\\", R"(a\\)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(jsonEscape(c.raw), c.escaped);
    EXPECT_EQ(jsonUnescape(c.escaped), c.raw) << c.escaped;
  }
}

TEST(JsonUnescape, OddAndTruncatedEscapes) {
  struct Case {
    const char* escaped;
    std::string raw;
  };
  const Case cases[] = {
      {R"(\u00e9)", "\xc3\xa9"}, {R"(\u00E9)", "\xc3\xa9"}, {R"(\u0141)", "\xc5\x81"},  // UTF-8
      {R"(\ud83d)", "\xef\xbf\xbd"},   // a high surrogate cut short
      {R"(\/)", "/"},          {R"(a\qb)", "ab"},     {R"(\uzz12x)", "x"},  // bad digits: all six go
      {R"(\u12)", ""},        {R"(\u)", ""},         {"ab\\", "ab"},
  };
  for (const Case& c : cases) EXPECT_EQ(jsonUnescape(c.escaped), c.raw) << c.escaped;
}

TEST(JsonEscape, EveryByteSurvivesTheWayThroughTheScanner) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  for (const std::string& raw : {all, "trailing\\"s, "\\\\"s, "\\\""s, "\"\""s}) {
    JsonScanner scanner("{\"k\":\"" + jsonEscape(raw) + "\"}");
    scanner.next();
    scanner.next();
    const auto [kind, text] = scanner.next();
    ASSERT_EQ(kind, JsonToken::String);
    EXPECT_EQ(jsonUnescape(text), raw);
    EXPECT_EQ(scanner.next().first, JsonToken::ObjectEnd);
  }
}

TEST(FillTemplate, ReplacesKnownMarkersAndDropsUnknownOnes) {
  struct Case {
    const char* templateText;
    const char* expected;
  };
  const TemplateValues values{{"x", "1"}, {"long name", "{^x^}"}, {"empty", ""}};
  const Case cases[] = {
      {"a{^x^}b{^y^}c", "a1bc"},
      {"{^x^}{^x^}", "11"},
      {"<{^long name^}>", "<{^x^}>"},  // values are not scanned again
      {"a{^empty^}b", "ab"},
      {"a{^x", "a{^x"},
      {"a^}{^x^}", "a^}1"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(fillTemplate(c.templateText, values), c.expected) << c.templateText;
}

}  // namespace
