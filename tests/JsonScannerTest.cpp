#include "settings/JsonScanner.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct Token {
  JsonToken kind;
  std::string text;
  bool operator==(const Token& o) const { return kind == o.kind && text == o.text; }
};

std::ostream& operator<<(std::ostream& out, const Token& t) {
  return out << static_cast<int>(t.kind) << ":'" << t.text << "'";
}

constexpr JsonToken OS = JsonToken::ObjectStart, OE = JsonToken::ObjectEnd, AS = JsonToken::ArrayStart,
                    AE = JsonToken::ArrayEnd, K = JsonToken::Key, S = JsonToken::String, N = JsonToken::Number,
                    B = JsonToken::Boolean;

struct ScanCase {
  const char* what;
  std::string text;
  std::vector<Token> tokens;  // all tokens before End
};

const ScanCase kScanCases[] = {
    {"flat object", R"({"a":"b","c":1,"d":true})",
     {{OS, ""}, {K, "a"}, {S, "b"}, {K, "c"}, {N, "1"}, {K, "d"}, {B, "t"}, {OE, ""}}},
    {"comma after an object in an array is skipped", R"([{"x":1,"y":"p"},{"x":22,"y":"q"}])",
     {{AS, ""}, {OS, ""}, {K, "x"}, {N, "1"}, {K, "y"}, {S, "p"}, {OE, ""},
      {OS, ""}, {K, "x"}, {N, "22"}, {K, "y"}, {S, "q"}, {OE, ""}, {AE, ""}}},
    {"null ends the scan", R"({"a":null})", {{OS, ""}, {K, "a"}}},
    {"no signed numbers", R"({"a":-1})", {{OS, ""}, {K, "a"}}},
    {"a number swallows a closer right after it", R"({"a":1})", {{OS, ""}, {K, "a"}, {N, "1"}}},
    {"white space between tokens", "  {\n\t\"a\" : [ 1 , 2 ]\r\n}",
     {{OS, ""}, {K, "a"}, {AS, ""}, {N, "1"}, {N, "2"}, {AE, ""}, {OE, ""}}},
    {"booleans in an array", "[false,true]", {{AS, ""}, {B, "f"}, {B, "t"}, {AE, ""}}},
    {"escaped quote stays in the string", R"({"a":"x\"y","b":"z"})",
     {{OS, ""}, {K, "a"}, {S, R"(x\"y)"}, {K, "b"}, {S, "z"}, {OE, ""}}},
    {"escaped backslash before the closing quote", R"({"a":"x\\","b":2,})",
     {{OS, ""}, {K, "a"}, {S, R"(x\\)"}, {K, "b"}, {N, "2"}, {OE, ""}}},
    {"escaped backslash then escaped quote", R"({"a":"\\\"q"})", {{OS, ""}, {K, "a"}, {S, R"(\\\"q)"}, {OE, ""}}},
    {"unterminated string runs to the end", R"({"a":"abc)", {{OS, ""}, {K, "a"}, {S, "abc"}}},
    {"text ending in a backslash", "{\"a\":\"abc\\", {{OS, ""}, {K, "a"}, {S, "abc\\"}}},
    {"key without a colon", R"({"a")", {{OS, ""}, {K, "a"}}},
    {"closers with nothing open", "]}", {}},
    {"more closers than openers", "{}}]", {{OS, ""}, {OE, ""}}},
    {"string outside any container", R"("a")", {}},
    {"number outside any container", "12,", {}},
    {"number where a key belongs", "{12,}", {{OS, ""}}},
    {"empty text", "", {}},
    {"only white space", " \t\r\n", {}},
};

void PrintTo(const ScanCase& c, std::ostream* out) { *out << c.what; }

class JsonScannerCases : public ::testing::TestWithParam<ScanCase> {};

TEST_P(JsonScannerCases, YieldsTokensThenStaysAtEnd) {
  const ScanCase& c = GetParam();
  JsonScanner scanner(c.text);
  std::vector<Token> got;
  for (auto [kind, text] = scanner.next(); kind != JsonToken::End; std::tie(kind, text) = scanner.next()) {
    got.push_back({kind, std::string(text)});
    ASSERT_LE(got.size(), c.tokens.size() + 1) << "scan does not stop";
  }
  EXPECT_EQ(got, c.tokens);
  EXPECT_EQ(scanner.next().first, JsonToken::End);
  EXPECT_EQ(scanner.next().first, JsonToken::End);
}

INSTANTIATE_TEST_SUITE_P(Json, JsonScannerCases, ::testing::ValuesIn(kScanCases));

TEST(JsonScanner, TokenTextsAreTerminatedInTheScannersCopy) {
  const std::string input = R"({"key":"value","n":12,})";
  JsonScanner scanner(input);
  std::string seen;
  for (auto token = scanner.next(); token.first != JsonToken::End; token = scanner.next()) {
    if (!token.second.empty()) seen += std::string(token.second.data()) + "|";
  }
  EXPECT_EQ(seen, "key|value|n|12|");
  EXPECT_EQ(input, R"({"key":"value","n":12,})");
}

}  // namespace
