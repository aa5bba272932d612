// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/Configuration.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>

#include "settings/AddressBookText.h"
#include "settings/FileHelpers.h"
#include "settings/JsonEscape.h"
#include "settings/TextHelpers.h"
#include "settings/TextTemplate.h"
#include "settings/TolerantJsonReader.h"

namespace {

constexpr const char* kConfigHomeVariable = "XDG_CONFIG_HOME";
constexpr const char* kHomeVariable = "HOME";
constexpr std::string_view kConfigSuffix = "/.config";
constexpr std::string_view kFileInDirectory = "/Vendorly/Morlen/morlen.config";
constexpr char kRootDirectory = '/';

constexpr const char* kFormatVersion = "1";
constexpr std::uint64_t kCurrentVersion = 1;
constexpr std::uint64_t kMissingVersion = 0;
constexpr const char* kNoPlaceText = "Settings not saved: there is no place for them (HOME not set).";
constexpr char kEntrySeparator = ',';
constexpr std::array<std::int32_t, 2> kKeyboardMaps = {kPositionalKeyboardMap, kHybridKeyboardMap};

// Set by start-up when the file could be neither read fully nor kept: why
// the file is left alone.
std::string& guardReason() {
  static std::string reason;
  return reason;
}

// Written readable here; the white space is removed before filling. The
// address book comes last and every number is followed by a comma, which
// the readers of earlier versions rely on.
constexpr std::string_view kRootTemplate = R"({
  "morlenConfig": {^version^},
  "petsciiScale": {^petsciiScale^},
  "keyboardMap": {^keyboardMap^},
  "dialogOnReceived": {^dialogOnReceived^},
  "autoCheckForUpdate": {^autoCheckForUpdate^},{^downloadFolder^}
  "addressBook": [{^addressBook^}]
})";
// Written only once the user has chosen a folder.
constexpr std::string_view kDownloadFolderMember = R"("downloadFolder":"{^path^}",)";

const char* booleanText(bool value) { return value ? "true" : "false"; }

// Numbers in the file are unsigned: a negative value would read back as
// damage. Such a value is written as the default instead.
std::string settingText(std::int32_t value, std::int32_t fallback) {
  return std::to_string(value < 0 ? fallback : value);
}

template <std::size_t N>
bool isOneOf(std::uint64_t value, const std::array<std::int32_t, N>& allowed) {
  return std::find(allowed.begin(), allowed.end(), static_cast<std::int64_t>(value)) != allowed.end();
}

// Stores a setting from one of the values offered, else its default.
template <std::size_t N>
bool takeChoice(const JsonValue& value, std::int32_t& member, const std::array<std::int32_t, N>& allowed,
                std::int32_t fallback) {
  const std::optional<std::uint64_t> number = value.wholeNumber(std::numeric_limits<std::int32_t>::max());
  const bool ok = number && isOneOf(*number, allowed);
  member = ok ? static_cast<std::int32_t>(*number) : fallback;
  return ok;
}

bool takeBoolean(const JsonValue& value, bool& member, bool fallback) {
  const std::optional<bool> truth = value.truth();
  member = truth.value_or(fallback);
  return truth.has_value();
}

// The variable's value when it names a directory the XDG rules accept: set,
// not empty and absolute. (A relative one would depend on where the
// program happens to start.)
std::optional<std::string> usableDirectory(const char* variable) {
  const char* value = std::getenv(variable);
  if (value == nullptr || value[0] != kRootDirectory) return std::nullopt;
  return std::string(value);
}

std::string inDirectory(const std::string& directory) {
  return directory.empty() ? std::string() : directory + std::string(kFileInDirectory);
}

bool holdsEntries(const JsonValue& value) {
  return value.kind == JsonValue::Kind::Array || value.kind == JsonValue::Kind::Object;
}

}  // namespace

std::string configDirectory() {
  if (const std::optional<std::string> configHome = usableDirectory(kConfigHomeVariable)) return *configHome;
  if (const std::optional<std::string> home = usableDirectory(kHomeVariable)) return *home + std::string(kConfigSuffix);
  return std::string();
}

std::string configFilePath() { return inDirectory(configDirectory()); }

std::string earlierConfigFilePath() {
  const std::optional<std::string> configHome = usableDirectory(kConfigHomeVariable);
  return configHome ? inDirectory(*configHome + std::string(kConfigSuffix)) : std::string();
}

std::string configFileToRead() {
  const std::string path = configFilePath();
  const std::string earlier = earlierConfigFilePath();
  if (!earlier.empty() && !fileExists(path) && fileExists(earlier)) return earlier;
  return path;
}

std::string configurationText(const Settings& settings, const std::vector<AddressBookEntry>& entries) {
  static const std::string compactTemplate = stripWhitespace(kRootTemplate);
  std::string book;
  for (const AddressBookEntry& entry : entries) {
    if (!book.empty()) book += kEntrySeparator;
    book += entryToText(entry);
  }
  const TemplateValues values{
      {"version", kFormatVersion},
      {"petsciiScale", settingText(settings.petsciiScale, kDefaultPetsciiScale)},
      {"keyboardMap", settingText(settings.keyboardMap, kPositionalKeyboardMap)},
      {"dialogOnReceived", booleanText(settings.dialogOnReceived)},
      {"autoCheckForUpdate", booleanText(settings.autoCheckForUpdate)},
      {"downloadFolder", settings.downloadFolder.empty()
                             ? std::string()
                             : fillTemplate(kDownloadFolderMember, {{"path", jsonEscape(settings.downloadFolder)}})},
      {"addressBook", book},
  };
  return fillTemplate(compactTemplate, values);
}

ConfigurationReading readConfiguration(const std::string& text, Settings& settings, AddressBook& book) {
  const JsonReading json = readTolerantJson(text);
  const auto root = std::find_if(json.values.begin(), json.values.end(),
                                 [](const JsonValue& v) { return v.kind == JsonValue::Kind::Object; });
  if (root == json.values.end()) return {};
  bool complete = json.complete && json.values.size() == 1;
  bool versioned = false;
  std::vector<const JsonValue*> bookValues;
  const Settings defaults;
  // Members in file order, so a later duplicate wins.
  for (std::size_t i = 0; i < root->keys.size(); ++i) {
    const std::string& key = root->keys[i];
    const JsonValue& value = root->elements[i];
    bool ok = true;
    if (key == "morlenConfig") {
      // Any non-zero version is read like the current one, but a newer one
      // may hold what this version does not know.
      const std::optional<std::uint64_t> version = value.wholeNumber(std::numeric_limits<std::uint64_t>::max());
      versioned = version && *version != kMissingVersion;
      ok = version == kCurrentVersion;
    } else if (key == "petsciiScale") {
      ok = takeChoice(value, settings.petsciiScale, kOfferedScales, defaults.petsciiScale);
    } else if (key == "keyboardMap") {
      ok = takeChoice(value, settings.keyboardMap, kKeyboardMaps, defaults.keyboardMap);
    } else if (key == "dialogOnReceived") {
      ok = takeBoolean(value, settings.dialogOnReceived, defaults.dialogOnReceived);
    } else if (key == "autoCheckForUpdate") {
      ok = takeBoolean(value, settings.autoCheckForUpdate, defaults.autoCheckForUpdate);
    } else if (key == "downloadFolder") {
      ok = value.kind == JsonValue::Kind::String;
      settings.downloadFolder = ok ? jsonUnescape(value.text) : defaults.downloadFolder;
    } else if (key == "addressBook") {
      if (holdsEntries(value)) bookValues.push_back(&value);
    } else {
      ok = false;
    }
    complete = complete && ok;
  }
  if (bookValues.empty()) return {false, false};
  std::vector<AddressBookEntry> entries;
  for (const JsonValue* bookValue : bookValues) {
    // Anything but an array was a hand edit: the rewrite changes its shape.
    const bool asWritten = appendEntries(*bookValue, entries) && bookValue->kind == JsonValue::Kind::Array;
    complete = complete && asWritten;
  }
  complete = complete && versioned;
  // Without a version an empty book is no address book worth keeping; the
  // built-in one takes its place.
  if (!versioned && entries.empty()) return {false, false};
  book.entries = std::move(entries);
  book.selectedIndex = kNoEntrySelected;
  return {true, complete};
}

ConfigurationLoad loadConfiguration() {
  ConfigurationLoad load;
  load.path = configFileToRead();
  const std::string& path = load.path;
  if (path.empty()) return load;
  makeDirectories(configFilePath());
  if (!fileExists(path)) return load;
  LoadedFile file;
  if (!readWholeFile(path, file)) {
    load.found = file.failure != ReadFailure::Missing;
    load.failure = file.failure;
    return load;
  }
  load.found = true;
  const std::string text(file.bytes.begin(), file.bytes.end());
  load.bytes = std::move(file.bytes);
  load.reading = readConfiguration(text, programSettings(), programAddressBook());
  return load;
}

ConfigurationSave saveConfiguration(const FileWriteSteps& steps) {
  using Outcome = ConfigurationSave::Outcome;
  const std::string path = configFilePath();
  if (path.empty()) return {Outcome::NotKept, kNoPlaceText};
  if (!guardReason().empty()) return {Outcome::NotKept, guardReason()};
  makeDirectories(path);
  const FileReplacement replaced =
      replaceFileAtomically(path, configurationText(programSettings(), programAddressBook().entries), steps);
  if (!replaced) return {Outcome::Failed, saveFailureText(path, replaced.error)};
  return {};
}

void guardConfigurationFile(const std::string& why) { guardReason() = why; }
