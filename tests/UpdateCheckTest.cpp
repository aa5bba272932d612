// SPDX-License-Identifier: GPL-3.0-or-later
// What the update check makes of the version file and of a transfer's
// outcome, and the glyph labels of the About dialog.
#include <curl/curl.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "dialogs/GlyphText.h"
#include "dialogs/UpdateCheck.h"
#include "dialogs/VersionFileFetch.h"  // protocolErrorOfTransfer
#include "terminal/GlyphSet.h"

namespace {

TEST(UpdateCheck, OlderVersionComparesPartByPart) {
  struct Row {
    const char* a;
    const char* b;
    bool older;
  };
  const Row rows[] = {
      {"1.0.0", "1.0.1", true},   {"1.0.1", "1.0.0", false}, {"1.0.0", "1.0.0", false},
      {"1.9", "1.10", true},      {"1.10", "1.9", false},     // numbers by value, not as text
      {"1.0", "1.0.0", true},     {"1.0.0", "1.0", false},    // fewer parts is older
      {"1.0a", "1.0b", true},     {"1.0b", "1.0a", false},    // not numbers: compared as text
      {"1.0", "1.0a", true},      {"1.0.0", "1.0a", true},    // "0" before "0a" as text
      {"", "1", true},            {"1", "", false},           {"", "", false},
      {"1.2.", "1.2", false},     {"1.2", "1.2.", false},     // trailing stops are no parts
      {"1..2", "1.0.2", true},    // an empty part between stops is text, before "0"
      {"2", "10", true},          {"010", "9", false},        {"-1", "0", true},  {"+1", "1", false},
      {"1.99999999999999999999", "1.100000000000000000000", true},  // beyond 32 and 64 bits
      {"1.2147483647", "1.-1", false},  // no overflow in the comparison
  };
  for (const Row& r : rows) EXPECT_EQ(isOlderVersion(r.a, r.b), r.older) << r.a << " vs " << r.b;
}

TEST(UpdateCheck, ParsesEveryVersionsArray) {
  struct Row {
    const char* what;
    std::string body;
    std::vector<std::vector<std::string>> records;  // os, version, url
  };
  const Row rows[] = {
      {"two records, other members ignored",
       R"({"name":"x","versions":[{"os":"linux","version":"1.0.1","url":"https://a/b","size":12},)"
       R"({"os":"windows","beta":true,"version":"2\u0021"}]})",
       {{"linux", "1.0.1", "https://a/b"}, {"windows", "2!", ""}}},
      {"a second array adds to the first", R"([{"versions":[{"os":"a"}]},{"versions":[{"os":"b"}]}])",
       {{"a", "", ""}, {"b", "", ""}}},
      {"versions that is no array", R"({"versions":{"os":"linux"}})", {}},
      {"what a record nests is passed over",
       R"({"versions":[{"os":"a","tags":["x",{"os":"c"}],"more":{"os":"d"}},{"os":"b"}]})",
       {{"a", "", ""}, {"b", "", ""}}},
      {"any valid JSON around the records", "\xEF\xBB\xBF" R"({"n":-1.5e3,"versions":[{"url":null,"os":"linux",)"
       R"("beta":false,"n":0.5,"version":"1.0.1"}],"x":[{}]})", {{"linux", "1.0.1", ""}}},
      {"malformed: the records read so far", R"({"versions":[{"os":"linux","version":"1.0.1"},{"os":nul)",
       {{"linux", "1.0.1", ""}, {}}},
      {"not JSON", "<html>404</html>", {}},
      {"empty", "", {}},
  };
  for (const Row& r : rows) {
    std::vector<std::vector<std::string>> got;
    for (const VersionRecord& v : parseVersions(r.body)) {
      got.push_back({v.os, v.version, v.url});
      if (got.back() == std::vector<std::string>{"", "", ""}) got.back().clear();
    }
    EXPECT_EQ(got, r.records) << r.what;
  }
}

TEST(UpdateCheck, OnlyWebAddressesAreOffered) {
  const std::string page = std::string(kMakerAddress) + "/morlen";
  struct Row {
    const char* url;
    std::string link;
  };
  const Row rows[] = {
      {"https://example.org/morlen-1.0.1.tar.gz", "https://example.org/morlen-1.0.1.tar.gz"},
      {"HTTP://example.org/", "HTTP://example.org/"},
      {"", page},
      {"file:///etc/passwd", page},
      {"javascript:alert(1)", page},
      {"ftp://example.org/x", page},
      {"https://", page},
      {"http:///etc/passwd", page},
      {"https://example.org/a b", page},
      {"https://example.org/\n", page},
      {" https://example.org/", page},
      {"https://example.org/\xE2\x80\xAEtxt.exe", page},  // a right-to-left override
      {"https://example.org/caf\xC3\xA9", page},
  };
  for (const Row& r : rows) EXPECT_EQ(updateLink(r.url, "Morlen"), r.link) << r.url;
  const std::string longest = "https://example.org/" + std::string(kLongestLink - 20, 'a');
  EXPECT_EQ(updateLink(longest, "Morlen"), longest);
  EXPECT_EQ(updateLink(longest + "a", "Morlen"), page);
  EXPECT_EQ(versionFileAddress("http://127.0.0.1:8000/x/", "Morlen"), "http://127.0.0.1:8000/x/morlen.ver");
}

TEST(UpdateCheck, TheNewestRecordForThisSystemDecides) {
  const std::string hostile = R"({"versions":[{"os":"linux","version":"2.\n\u202e)" + std::string(100000, '7') +
                              R"(","url":"https://example.org/)" + std::string(10000, 'x') + "\"}]}";
  const std::string page = std::string(kMakerAddress) + "/morlen";
  struct Row {
    const char* what;
    std::string body;
    UpdateFinding finding;
  };
  const Row rows[] = {
      {"a newer one after an older one",
       R"({"versions":[{"os":"linux","version":"1.0.1","url":"https://a/1"},{"os":"macos","version":"7"},)"
       R"({"os":"linux","version":"1.2","url":"https:\/\/a\/2"},{"os":"linux","version":"1.1"}]})",
       {true, true, "1.2", "https://a/2"}},
      {"none newer", R"({"versions":[{"os":"linux","version":"0.9"},{"os":"linux","version":"1.0.0","url":"http://a/"}]})",
       {true, false, "1.0.0", "http://a/"}},
      {"none for this system", R"({"versions":[{"os":"windows","version":"2"}]})", {}},
      {"hostile texts", hostile, {true, true, "2." + std::string(kLongestShownVersion - 2, '7'), page}},
  };
  for (const Row& r : rows) {
    const UpdateFinding got = findUpdate(r.body, "1.0.0", "Morlen");
    EXPECT_EQ(std::tie(got.found, got.newer, got.version, got.link),
              std::tie(r.finding.found, r.finding.newer, r.finding.version, r.finding.link))
        << r.what;
  }
}

TEST(UpdateCheck, ShownTextsAreCutAndPlain) {
  struct Row {
    std::string text;
    std::size_t longest;
    std::string shown;
  };
  const Row rows[] = {
      {"1.0\n\t\x7f\xC2\x85\xE2\x80\xA8" "1", 32, "1.01"},            // controls, line separators
      {"\xE2\x80\xAE" "1\xE2\x81\xA6" "2\xE2\x80\x8F", 32, "12"},  // direction changes
      {"\xFF" "1\xC0\xAF" "2\xED\xA0\x80" "3\xE2\x82", 32, "123"},  // broken UTF-8
      {"\xC3\xA9\xF0\x9F\x98\x80\xC3\xA9", 2, "\xC3\xA9\xF0\x9F\x98\x80"},  // characters, not bytes
  };
  for (const Row& r : rows) EXPECT_EQ(shownText(r.text, r.longest), r.shown) << r.text;
}

TEST(UpdateCheck, TransferOutcomesKeepTheProtocolMessages) {
  struct Row {
    CURLcode result;
    long status;
    const char* text;
  };
  const Row rows[] = {
      {CURLE_OK, 200, ""},
      {CURLE_OK, 404, "The remote file doesn't exist."},
      {CURLE_OK, 500, "The remote file doesn't exist."},
      {CURLE_OK, 301, "The remote file doesn't exist."},  // a redirection not followed
      {CURLE_HTTP_RETURNED_ERROR, 404, "The remote file doesn't exist."},
      {CURLE_COULDNT_CONNECT, 0, "The client failed to connect the server."},
      {CURLE_COULDNT_RESOLVE_HOST, 0, "The client failed to connect the server."},
      {CURLE_OPERATION_TIMEDOUT, 0, "A generic network error occurred."},
      {CURLE_RECV_ERROR, 0, "A generic network error occurred."},
      {CURLE_GOT_NOTHING, 0, "A generic network error occurred."},
      {CURLE_FILESIZE_EXCEEDED, 200, "A generic network error occurred."},
      {CURLE_PEER_FAILED_VERIFICATION, 0, "An error occurred during negotiation."},
      {CURLE_SSL_CONNECT_ERROR, 0, "An error occurred during negotiation."},
      {CURLE_UNSUPPORTED_PROTOCOL, 0, "Invalid value."},
      {CURLE_URL_MALFORMAT, 0, "Invalid value."},
      {CURLE_ABORTED_BY_CALLBACK, 0, "Last action aborted."},
  };
  for (const Row& r : rows)
    EXPECT_EQ(protocolErrorText(protocolErrorOfTransfer(r.result, r.status)), r.text) << r.result << "/" << r.status;
  EXPECT_EQ(protocolErrorText(kProtocolStreaming), "Someone tried to send a command during a transfer.");
  EXPECT_EQ(protocolErrorText(10), "");
}

TEST(GlyphText, DrawsTheTerminalsGlyphsInTwoColours) {
  const PaletteColour ink{108, 94, 181}, paper{53, 40, 121};
  const PixelBuffer text = ComposeGlyphText("rE.", 3, ink, paper);
  ASSERT_EQ(text.width, 3 * 8 * 3);
  ASSERT_EQ(text.height, 8 * 3);
  const std::uint8_t codes[] = {0x12, 0x05, 0x2E};  // R and E (either case), full stop
  for (int i = 0; i < 3; ++i) {
    const GlyphRows& glyph = ScreenGlyph(false, codes[i]);
    for (int y = 0; y < text.height; ++y) {
      for (int x = 0; x < 8 * 3; ++x) {
        const std::uint8_t* p = &text.rgb[std::size_t(y) * text.Stride() + (i * 24 + x) * 3];
        const PaletteColour& want = (glyph[y / 3] & (0x80 >> (x / 3))) ? ink : paper;
        ASSERT_TRUE(p[0] == want.red && p[1] == want.green && p[2] == want.blue) << i << " " << x << "," << y;
      }
    }
  }
}

}  // namespace
