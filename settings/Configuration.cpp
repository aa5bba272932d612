#include "settings/Configuration.h"

#include <cstdlib>
#include <string_view>

#include "settings/AddressBookText.h"
#include "settings/FileHelpers.h"
#include "settings/JsonScanner.h"
#include "settings/NumberText.h"
#include "settings/TextHelpers.h"
#include "settings/TextTemplate.h"

namespace {

constexpr const char* kConfigHomeVariable = "XDG_CONFIG_HOME";
constexpr const char* kHomeVariable = "HOME";
constexpr std::string_view kConfigSuffix = "/.config";
constexpr std::string_view kFileInDirectory = "/Vendorly/Morlen/morlen.config";

constexpr const char* kFormatVersion = "1";
constexpr std::int32_t kMissingVersion = 0;
constexpr std::string_view kTrueText = "t";
constexpr char kEntrySeparator = ',';

// Written readable here; the white space is removed before filling. The
// address book comes last and every number is followed by a comma, which
// the reader relies on.
constexpr std::string_view kRootTemplate = R"({
  "morlenConfig": {^version^},
  "petsciiScale": {^petsciiScale^},
  "keyboardMap": {^keyboardMap^},
  "dialogOnReceived": {^dialogOnReceived^},
  "autoCheckForUpdate": {^autoCheckForUpdate^},
  "addressBook": [{^addressBook^}]
})";

const char* booleanText(bool value) { return value ? "true" : "false"; }

// The reader takes unsigned numbers only: a negative value (a hand-edited
// number too large for 32 bits comes back as one) would end the next load
// before the address book and cost the user every entry. Such a value is
// written as the default instead.
std::string settingText(std::int32_t value, std::int32_t fallback) {
  return std::to_string(value < 0 ? fallback : value);
}

std::int32_t readConfigVersion(const std::string& text) {
  JsonScanner scanner(text);
  for (JsonTokenResult token = scanner.next(); token.first != JsonToken::End; token = scanner.next()) {
    if (token.first != JsonToken::Key || token.second != "morlenConfig") continue;
    const JsonTokenResult value = scanner.next();
    return value.first == JsonToken::Number ? parseNumberText(value.second) : kMissingVersion;
  }
  return kMissingVersion;
}

// Stores the settings as they are met and stops just inside the address
// book array; false when the text ends before it.
bool readSettings(JsonScanner& scanner, Settings& settings) {
  for (;;) {
    const JsonTokenResult token = scanner.next();
    if (token.first == JsonToken::End) return false;
    if (token.first != JsonToken::Key) continue;
    const std::string_view key = token.second;
    const auto [kind, text] = scanner.next();
    if (kind == JsonToken::End) return false;
    if (kind == JsonToken::ArrayStart && key == "addressBook") return true;
    if (kind == JsonToken::Number) {
      if (key == "petsciiScale") settings.petsciiScale = parseNumberText(text);
      else if (key == "keyboardMap") settings.keyboardMap = parseNumberText(text);
    } else if (kind == JsonToken::Boolean) {
      if (key == "dialogOnReceived") settings.dialogOnReceived = text == kTrueText;
      else if (key == "autoCheckForUpdate") settings.autoCheckForUpdate = text == kTrueText;
    }
  }
}

}  // namespace

std::string configDirectory() {
  for (const char* variable : {kConfigHomeVariable, kHomeVariable}) {
    if (const char* value = std::getenv(variable)) return std::string(value) + std::string(kConfigSuffix);
  }
  return std::string();
}

std::string configFilePath() { return configDirectory() + std::string(kFileInDirectory); }

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
      {"addressBook", book},
  };
  return fillTemplate(compactTemplate, values);
}

bool readConfiguration(const std::string& text, Settings& settings, AddressBook& book) {
  // Any non-zero version is read like the current one.
  if (readConfigVersion(text) == kMissingVersion) return false;
  JsonScanner scanner(text);
  if (!readSettings(scanner, settings)) return false;
  book.entries = readAddressBookEntries(scanner);
  book.selectedIndex = kNoEntrySelected;
  return true;
}

bool loadConfiguration() {
  const std::string path = configFilePath();
  makeDirectories(path);
  if (!fileExists(path)) return false;
  LoadedFile file;
  if (!readWholeFile(path, file)) return false;
  const std::string text(file.bytes.begin(), file.bytes.end());
  return readConfiguration(text, programSettings(), programAddressBook());
}

bool saveConfiguration(const FileWriteSteps& steps) {
  const std::string path = configFilePath();
  makeDirectories(path);
  return replaceFileAtomically(path, configurationText(programSettings(), programAddressBook().entries),
                               steps);
}
