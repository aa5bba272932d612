#include "dialogs/UpdateCheck.h"

#include <array>

#include "settings/JsonEscape.h"
#include "settings/JsonScanner.h"
#include "settings/TextHelpers.h"

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

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && toLowerText(text.substr(0, prefix.size())) == prefix;
}

}  // namespace

std::vector<VersionRecord> parseVersions(std::string_view body) {
  std::vector<VersionRecord> records;
  JsonScanner scanner(body);
  JsonTokenResult token = scanner.next();
  while (token.first != JsonToken::End) {
    const bool versionsArray = token.first == JsonToken::Key && token.second == kVersionsKey;
    token = scanner.next();
    if (!versionsArray || token.first != JsonToken::ArrayStart) continue;
    token = scanner.next();
    while (token.first != JsonToken::End && token.first != JsonToken::ArrayEnd) {
      if (token.first == JsonToken::ObjectStart) records.emplace_back();
      if (token.first != JsonToken::Key) {
        token = scanner.next();
        continue;
      }
      const std::string_view key = token.second;
      token = scanner.next();
      // A value of another kind is looked at again: it may end the array.
      if (token.first != JsonToken::String) continue;
      if (!records.empty()) {
        VersionRecord& record = records.back();
        if (key == kOsKey) record.os = jsonUnescape(token.second);
        if (key == kVersionKey) record.version = jsonUnescape(token.second);
        if (key == kUrlKey) record.url = jsonUnescape(token.second);
      }
      token = scanner.next();
    }
    if (token.first == JsonToken::ArrayEnd) token = scanner.next();
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
  for (const unsigned char c : address) {
    if (c <= ' ' || c == 0x7F) return false;
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
