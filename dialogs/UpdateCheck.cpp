// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/UpdateCheck.h"

#include <array>
#include <optional>
#include <utility>

#include "settings/JsonEscape.h"
#include "settings/JsonScanner.h"
#include "settings/TextHelpers.h"
#include "settings/Utf8Text.h"

#ifndef MORLEN_UPDATE_SERVER
#define MORLEN_UPDATE_SERVER "https://www.vendorly.com"
#endif

namespace {

constexpr char kVersionSeparator = '.';
constexpr std::string_view kVersionsKey = "versions";
constexpr std::string_view kOsKey = "os";
constexpr std::string_view kVersionKey = "version";
constexpr std::string_view kUrlKey = "url";
constexpr std::string_view kWebSchemes[] = {"http://", "https://"};
constexpr std::string_view kVersionFileSuffix = ".ver";

// Splits at every full stop. Empty parts between stops count, trailing stops
// do not, and a text of stops alone is one empty part ("1..2" is 1, "", 2;
// "1.2." is 1, 2; "" has no parts).
std::vector<std::string_view> versionParts(std::string_view version) {
  std::vector<std::string_view> parts;
  std::size_t position = 0;
  auto moreParts = [&] {
    return version.find_first_not_of(kVersionSeparator, position) != std::string_view::npos ||
           (position == 0 && !version.empty());
  };
  while (moreParts()) {
    const std::size_t stop = version.find(kVersionSeparator, position);
    if (stop == std::string_view::npos) {
      parts.push_back(version.substr(position));
      position = version.size();
    } else {
      parts.push_back(version.substr(position, stop - position));
      position = stop + 1;
    }
  }
  return parts;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// An optional sign and decimal digits ("+" and "-" alone count, as zero).
bool isNumberPart(std::string_view part) {
  if (part.empty()) return false;
  std::size_t i = (part[0] == '+' || part[0] == '-') ? 1 : 0;
  for (; i < part.size(); ++i) {
    if (!isDigit(part[i])) return false;
  }
  return true;
}

int sign(int value) { return (value > 0) - (value < 0); }

// Compares two number parts by value, however many digits they have.
int compareNumbers(std::string_view x, std::string_view y) {
  auto split = [](std::string_view n, bool& negative) {
    negative = !n.empty() && n[0] == '-';
    if (!n.empty() && (n[0] == '-' || n[0] == '+')) n.remove_prefix(1);
    while (!n.empty() && n[0] == '0') n.remove_prefix(1);
    if (n.empty()) negative = false;  // -0 is 0
    return n;
  };
  bool xNegative = false, yNegative = false;
  const std::string_view xDigits = split(x, xNegative);
  const std::string_view yDigits = split(y, yNegative);
  if (xNegative != yNegative) return xNegative ? -1 : 1;
  int magnitude = 0;
  if (xDigits.size() != yDigits.size())
    magnitude = xDigits.size() < yDigits.size() ? -1 : 1;
  else
    magnitude = sign(xDigits.compare(yDigits));
  return xNegative ? -magnitude : magnitude;
}

// One "versions" array, from just inside it to its end: each object
// directly in it is a record, whose string members at its own level fill
// it; anything nested deeper is passed over.
void readRecords(JsonScanner& scanner, std::vector<VersionRecord>& records) {
  constexpr std::size_t kRecordLevel = 1;
  std::size_t depth = 0;  // containers open inside the array
  std::optional<std::string_view> key;  // a record's key just read
  for (JsonTokenResult token = scanner.next(); token.first != JsonToken::End; token = scanner.next()) {
    const auto [kind, text] = token;
    const std::optional<std::string_view> keyBefore = std::exchange(key, std::nullopt);
    if (kind == JsonToken::ObjectStart || kind == JsonToken::ArrayStart) {
      if (depth == 0 && kind == JsonToken::ObjectStart) records.emplace_back();
      ++depth;
    } else if (kind == JsonToken::ObjectEnd || kind == JsonToken::ArrayEnd) {
      if (depth == 0) return;
      --depth;
    } else if (depth == kRecordLevel && kind == JsonToken::Key) {
      key = text;
    } else if (keyBefore && kind == JsonToken::String) {
      VersionRecord& record = records.back();
      if (*keyBefore == kOsKey) record.os = jsonUnescape(text);
      if (*keyBefore == kVersionKey) record.version = jsonUnescape(text);
      if (*keyBefore == kUrlKey) record.url = jsonUnescape(text);
    }
  }
}

// Characters a dialog would act on rather than show: controls, line and
// paragraph separators, and the marks, embeddings, overrides and isolates
// that change the direction of what follows.
bool isHiddenCharacter(char32_t c) {
  constexpr std::pair<char32_t, char32_t> kHidden[] = {
      {0x00, 0x1F}, {0x7F, 0x9F}, {0x061C, 0x061C}, {0x200E, 0x200F}, {0x2028, 0x202E}, {0x2066, 0x2069}};
  for (const auto& [first, last] : kHidden) {
    if (c >= first && c <= last) return true;
  }
  return false;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && toLowerText(text.substr(0, prefix.size())) == prefix;
}

}  // namespace

std::vector<VersionRecord> parseVersions(std::string_view body) {
  std::vector<VersionRecord> records;
  JsonScanner scanner(body);
  for (JsonTokenResult token = scanner.next(); token.first != JsonToken::End; token = scanner.next()) {
    if (token.first != JsonToken::Key || token.second != kVersionsKey) continue;
    token = scanner.next();
    if (token.first == JsonToken::ArrayStart) readRecords(scanner, records);
    if (token.first == JsonToken::End) break;
  }
  return records;
}

int comparePart(std::string_view x, std::string_view y) {
  if (isNumberPart(x) && isNumberPart(y)) return compareNumbers(x, y);
  return sign(x.compare(y));
}

bool isOlderVersion(std::string_view a, std::string_view b) {
  const std::vector<std::string_view> aParts = versionParts(a);
  const std::vector<std::string_view> bParts = versionParts(b);
  std::size_t i = 0;
  for (; i < aParts.size() && i < bParts.size(); ++i) {
    const int order = comparePart(aParts[i], bParts[i]);
    if (order != 0) return order < 0;
  }
  return i == aParts.size() && i < bParts.size();
}

bool isWebAddress(std::string_view address) {
  constexpr unsigned char kFirstPrintable = '!', kLastPrintable = '~';
  if (address.size() > kLongestLink) return false;
  for (const unsigned char c : address) {
    if (c < kFirstPrintable || c > kLastPrintable) return false;
  }
  for (const std::string_view scheme : kWebSchemes) {
    if (startsWithNoCase(address, scheme)) {
      const std::string_view rest = address.substr(scheme.size());
      return !rest.empty() && rest[0] != '/';
    }
  }
  return false;
}

std::string updateLink(std::string_view url, std::string_view productName) {
  if (isWebAddress(url)) return std::string(url);
  return std::string(kMakerAddress) + "/" + toLowerText(productName);
}

std::string shownText(std::string_view text, std::size_t longest) {
  std::string shown;
  std::size_t characters = 0;
  for (std::size_t at = 0; at < text.size() && characters < longest;) {
    const auto [character, length] = nextUtf8Character(text, at);
    if (character && !isHiddenCharacter(*character)) {
      shown.append(text.substr(at, length));
      ++characters;
    }
    at += length;
  }
  return shown;
}

UpdateFinding findUpdate(std::string_view body, std::string_view currentVersion, std::string_view productName) {
  const VersionRecord* newest = nullptr;
  const std::vector<VersionRecord> records = parseVersions(body);
  for (const VersionRecord& record : records) {
    if (record.os != kUpdateOsKey) continue;
    if (!newest || isOlderVersion(newest->version, record.version)) newest = &record;
  }
  UpdateFinding finding;
  if (!newest) return finding;
  finding.found = true;
  finding.newer = isOlderVersion(currentVersion, newest->version);
  finding.version = shownText(newest->version, kLongestShownVersion);
  finding.link = updateLink(newest->url, productName);
  return finding;
}

const std::string& protocolErrorText(int code) {
  static const std::array<std::string, 10> kTexts = {
      "",
      "A generic network error occurred.",
      "An error occurred during negotiation.",
      "The client failed to connect the server.",
      "Invalid value.",
      "Not currently used.",
      "The remote file doesn't exist.",
      "Last action aborted.",
      "An error occurred during reconnection.",
      "Someone tried to send a command during a transfer.",
  };
  if (code < 0 || code >= static_cast<int>(kTexts.size())) return kTexts[kProtocolNoError];
  return kTexts[static_cast<std::size_t>(code)];
}

std::string versionFileAddress(std::string_view server, std::string_view productName) {
  std::string address(server);
  while (!address.empty() && address.back() == '/') address.pop_back();
  return address + "/" + toLowerText(productName) + std::string(kVersionFileSuffix);
}

std::string& updateServer() {
  static std::string server = MORLEN_UPDATE_SERVER;
  return server;
}
