#include "settings/AddressBookText.h"

#include <string_view>

#include "settings/JsonEscape.h"
#include "settings/NumberText.h"
#include "settings/TextHelpers.h"
#include "settings/TextTemplate.h"

namespace {

// Written readable here; the white space is removed before filling. Every
// number is followed by a comma, which the reader relies on.
constexpr std::string_view kEntryTemplate = R"({
  "addressBookEntry": "{^version^}",
  "name": "{^name^}",
  "description": "{^description^}",
  "address": "{^address^}",
  "port": {^port^},
  "background": {^background^},
  "foreground": {^foreground^},
  "echo": {^echo^},
  "columns": {^columns^},
  "screenshot": "{^screenshot^}"
})";

constexpr const char* kEntryFormatVersion = "1";
constexpr std::string_view kTrueText = "t";

const char* booleanText(bool value) { return value ? "true" : "false"; }

}  // namespace

std::string entryToText(const AddressBookEntry& entry) {
  static const std::string compactTemplate = stripWhitespace(kEntryTemplate);
  const TemplateValues values{
      {"version", kEntryFormatVersion},
      {"name", jsonEscape(entry.name)},
      {"description", jsonEscape(entry.description)},
      {"address", jsonEscape(entry.address)},
      {"port", std::to_string(entry.port)},
      {"background", std::to_string(entry.background)},
      {"foreground", std::to_string(entry.foreground)},
      {"echo", booleanText(entry.echo)},
      {"columns", std::to_string(entry.columns)},
      // Base64 needs no escaping.
      {"screenshot", entry.screenshot},
  };
  return fillTemplate(compactTemplate, values);
}

std::vector<AddressBookEntry> readAddressBookEntries(JsonScanner& scanner) {
  std::vector<AddressBookEntry> entries;
  for (JsonTokenResult token = scanner.next(); token.first != JsonToken::End; token = scanner.next()) {
    if (token.first == JsonToken::ObjectStart) {
      entries.emplace_back();
      continue;
    }
    if (token.first != JsonToken::Key) continue;
    const std::string_view key = token.second;
    const auto [kind, text] = scanner.next();
    if (kind == JsonToken::End) break;
    // A member met before any object has no entry to go to.
    if (entries.empty()) continue;
    AddressBookEntry& entry = entries.back();
    if (kind == JsonToken::Number) {
      // Cut to the member's width; the values are not range-checked.
      const std::int32_t number = parseNumberText(text);
      if (key == "port") entry.port = static_cast<std::uint16_t>(number);
      else if (key == "background") entry.background = static_cast<std::uint8_t>(number);
      else if (key == "foreground") entry.foreground = static_cast<std::uint8_t>(number);
      else if (key == "columns") entry.columns = static_cast<std::uint64_t>(number);
    } else if (kind == JsonToken::Boolean) {
      if (key == "echo") entry.echo = text == kTrueText;
    } else if (kind == JsonToken::String) {
      if (key == "name") entry.name = jsonUnescape(text);
      else if (key == "description") entry.description = jsonUnescape(text);
      else if (key == "address") entry.address = jsonUnescape(text);
      else if (key == "screenshot") entry.screenshot = std::string(text);
    }
  }
  return entries;
}
