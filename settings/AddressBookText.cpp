// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/AddressBookText.h"

#include <optional>
#include <string_view>

#include "settings/JsonEscape.h"
#include "settings/TextHelpers.h"
#include "settings/TextTemplate.h"
#include "settings/Utf8Text.h"

namespace {

// Written readable here; the white space is removed before filling. Every
// number is followed by a comma, which earlier versions' readers rely on.
constexpr std::string_view kEntryTemplate = R"({
  "addressBookEntry": "{^version^}",
  "name": "{^name^}",
  "description": "{^description^}",
  "address": "{^address^}",
  "port": {^port^},
  "telnet": {^telnet^},
  "background": {^background^},
  "foreground": {^foreground^},
  "echo": {^echo^},
  "columns": {^columns^},
  "lineSpeed": {^lineSpeed^},
  "screenshot": "{^screenshot^}"
})";

constexpr const char* kEntryFormatVersion = "1";

const char* booleanText(bool value) { return value ? "true" : "false"; }

constexpr std::string_view kEntryKeys[] = {
    "addressBookEntry", "name", "description", "address", "port",       "telnet",
    "background",       "foreground", "echo",    "columns", "lineSpeed", "screenshot",
};

bool isContainer(const JsonValue& value) {
  return value.kind == JsonValue::Kind::Object || value.kind == JsonValue::Kind::Array;
}

// An object is an entry when it has an entry's member, or when it holds no
// containers (an empty object is a new entry, as the writer's reader has
// always taken it). Otherwise it is taken to hold entries.
bool isEntryObject(const JsonValue& object) {
  bool holdsContainers = false;
  for (std::size_t i = 0; i < object.keys.size(); ++i) {
    for (const std::string_view key : kEntryKeys) {
      if (object.keys[i] == key) return true;
    }
    holdsContainers = holdsContainers || isContainer(object.elements[i]);
  }
  return !holdsContainers;
}

// Each take* stores the value when it is of the right kind and in range,
// else the member's default; the result tells which.
// Bytes that are not UTF-8 become U+FFFD, so that the text shows and is
// written as valid JSON; the reading then counts as incomplete (see
// readTolerantJson).
bool takeText(const JsonValue& value, std::string& member) {
  const bool ok = value.kind == JsonValue::Kind::String;
  member = ok ? asUtf8(jsonUnescape(value.text)) : std::string();
  return ok;
}

// The entry format's version: what the program writes, or a newer format
// whose members this version may not know.
bool isCurrentVersion(const JsonValue& value) {
  return value.kind == JsonValue::Kind::String && value.text == kEntryFormatVersion;
}

bool takeBoolean(const JsonValue& value, bool& member, bool fallback) {
  const std::optional<bool> truth = value.truth();
  member = truth.value_or(fallback);
  return truth.has_value();
}

template <typename Number>
bool takeNumber(const JsonValue& value, Number& member, Number fallback, Number largest) {
  const std::optional<std::uint64_t> number = value.wholeNumber(largest);
  member = number ? static_cast<Number>(*number) : fallback;
  return number.has_value();
}

bool takeLineSpeed(const JsonValue& value, std::uint32_t& member, std::uint32_t fallback) {
  const bool ok = takeNumber(value, member, fallback, kFastestLineSpeed) && isLineSpeed(member);
  if (!ok) member = fallback;
  return ok;
}

bool takeColumns(const JsonValue& value, std::uint64_t& member, std::uint64_t fallback) {
  const bool ok = takeNumber(value, member, fallback, kWideColumns) &&
                  (member == kNarrowColumns || member == kWideColumns);
  if (!ok) member = fallback;
  return ok;
}

// Members in file order, so a later duplicate wins. A member this version
// does not know, or another entry format version, makes the reading
// incomplete: a rewrite would lose it.
bool readEntry(const JsonValue& object, AddressBookEntry& entry) {
  const AddressBookEntry defaults;
  bool complete = true;
  for (std::size_t i = 0; i < object.keys.size(); ++i) {
    const std::string& key = object.keys[i];
    const JsonValue& value = object.elements[i];
    bool ok = true;
    if (key == "name") ok = takeText(value, entry.name);
    else if (key == "description") ok = takeText(value, entry.description);
    else if (key == "address") ok = takeText(value, entry.address);
    // Escaped like the other texts: the program's base64 holds nothing to
    // escape, but a damaged value (a file cut off after a backslash)
    // written back raw would swallow the entries after it.
    else if (key == "screenshot") ok = takeText(value, entry.screenshot);
    else if (key == "port") ok = takeNumber(value, entry.port, defaults.port, kLargestPort);
    else if (key == "background") ok = takeNumber(value, entry.background, defaults.background, kLargestStoredColour);
    else if (key == "foreground") ok = takeNumber(value, entry.foreground, defaults.foreground, kLargestStoredColour);
    else if (key == "echo") ok = takeBoolean(value, entry.echo, defaults.echo);
    else if (key == "telnet") ok = takeBoolean(value, entry.telnet, defaults.telnet);
    else if (key == "columns") ok = takeColumns(value, entry.columns, defaults.columns);
    else if (key == "lineSpeed") ok = takeLineSpeed(value, entry.lineSpeed, defaults.lineSpeed);
    else if (key == "addressBookEntry") ok = isCurrentVersion(value);
    else ok = false;
    complete = complete && ok;
  }
  return complete;
}

}  // namespace

std::string entryToText(const AddressBookEntry& entry) {
  static const std::string compactTemplate = stripWhitespace(kEntryTemplate);
  const TemplateValues values{
      {"version", kEntryFormatVersion},
      {"name", jsonEscape(entry.name)},
      {"description", jsonEscape(entry.description)},
      {"address", jsonEscape(entry.address)},
      {"port", std::to_string(entry.port)},
      {"telnet", booleanText(entry.telnet)},
      {"background", std::to_string(entry.background)},
      {"foreground", std::to_string(entry.foreground)},
      {"echo", booleanText(entry.echo)},
      {"columns", std::to_string(entry.columns)},
      {"lineSpeed", std::to_string(entry.lineSpeed)},
      // Base64 comes out unchanged.
      {"screenshot", jsonEscape(entry.screenshot)},
  };
  return fillTemplate(compactTemplate, values);
}

EntriesReading readAddressBookEntries(std::string_view text) {
  const JsonReading json = readTolerantJson(text);
  EntriesReading reading;
  reading.complete = json.complete;
  for (const JsonValue& value : json.values) {
    if (!appendEntries(value, reading.entries)) reading.complete = false;
  }
  return reading;
}

bool appendEntries(const JsonValue& value, std::vector<AddressBookEntry>& entries) {
  if (value.kind == JsonValue::Kind::Object && isEntryObject(value)) {
    entries.emplace_back();
    return readEntry(value, entries.back());
  }
  if (value.kind != JsonValue::Kind::Array && value.kind != JsonValue::Kind::Object) return false;
  // Entries inside: directly in an array as written, or nested deeper by a
  // hand edit (then the layout itself was not as written).
  bool complete = value.kind == JsonValue::Kind::Array;
  for (const JsonValue& element : value.elements) {
    const bool entry = element.kind == JsonValue::Kind::Object && isEntryObject(element);
    if (!appendEntries(element, entries) || !entry) complete = false;
  }
  return complete;
}
