// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/JsonScanner.h"

#include <gtest/gtest.h>

#include "settings/JsonEscape.h"

#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

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
                    B = JsonToken::Boolean, Z = JsonToken::Null;

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
    {"null", R"({"a":null})", {{OS, ""}, {K, "a"}, {Z, ""}, {OE, ""}}},
    {"signed numbers", R"({"a":-1})", {{OS, ""}, {K, "a"}, {N, "-1"}, {OE, ""}}},
    {"a closer right after a number", R"({"a":1})", {{OS, ""}, {K, "a"}, {N, "1"}, {OE, ""}}},
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
    {"string outside any container", R"("a")", {{S, "a"}}},
    {"number outside any container", "12,", {{N, "12"}}},
    {"no number by JSON's rules", "[01,2]", {{AS, ""}}},
    {"a word that is no literal", "[nul]", {{AS, ""}}},
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

// Valid JSON texts by RFC 8259's grammar, each with what it holds:
// members as key: value, strings unescaped between quotes, numbers as
// written, everything separated by single spaces.
const std::pair<std::string, std::string> kValidJson[] = {
    {R"({"url":"https:\/\/example.org\/a"})", R"({ url: "https://example.org/a" })"},
    {R"(["\"\\\/\b\f\n\r\t"])", "[ \"\"\\/\b\f\n\r\t\" ]"},
    {R"(["\u00e9\u00E9","\u0041\u20AC\u0000"])", "[ \"\xC3\xA9\xC3\xA9\" \"A\xE2\x82\xAC\0\" ]"s},
    {R"(["\ud83d\ude00","\uD834\uDD1E"])", "[ \"\xF0\x9F\x98\x80\" \"\xF0\x9D\x84\x9E\" ]"},
    // A lone surrogate is U+FFFD; what follows it is read on its own.
    {R"(["\ud83dx","\ude00","\ud83d\u0041"])", "[ \"\xEF\xBF\xBDx\" \"\xEF\xBF\xBD\" \"\xEF\xBF\xBD" "A\" ]"},
    {"{\"\\u0061\\\"b\":\"na\\u00efve caf\xC3\xA9\"}", "{ a\"b: \"na\xC3\xAFve caf\xC3\xA9\" }"},
    {"[null,true,false]", "[ null true false ]"},
    {"[0,-0,-1,12.5,-0.25,1e3,1E+3,2e-3,-1.5E-10]", "[ 0 -0 -1 12.5 -0.25 1e3 1E+3 2e-3 -1.5E-10 ]"},
    {R"({"a":[1,{"b":-2.5e1}],"c":{"d":null},"e":true})", "{ a: [ 1 { b: -2.5e1 } ] c: { d: null } e: true }"},
    {"\xEF\xBB\xBF{\"a\":1}", "{ a: 1 }"},
};

TEST(ValidJson, TheScannerReadsEveryForm) {
  for (const auto& [text, holds] : kValidJson) {
    JsonScanner scanner(text);
    std::string got;
    for (auto [kind, token] = scanner.next(); kind != JsonToken::End; std::tie(kind, token) = scanner.next()) {
      if (!got.empty()) got += ' ';
      switch (kind) {
        case JsonToken::ObjectStart: got += '{'; break;
        case JsonToken::ObjectEnd: got += '}'; break;
        case JsonToken::ArrayStart: got += '['; break;
        case JsonToken::ArrayEnd: got += ']'; break;
        case JsonToken::Key: got += jsonUnescape(token) + ":"; break;
        case JsonToken::String: got += "\"" + jsonUnescape(token) + "\""; break;
        case JsonToken::Boolean: got += token == "t" ? "true" : "false"; break;
        case JsonToken::Null: got += "null"; break;
        default: got += token;
      }
    }
    EXPECT_EQ(got, holds) << text;
  }
}

}  // namespace
