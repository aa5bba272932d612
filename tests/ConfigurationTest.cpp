// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/Configuration.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "settings/AddressBookText.h"
#include "settings/Base64.h"
#include "settings/ConfigurationStartUp.h"
#include "settings/DefaultAddressBook.h"
#include "settings/FileHelpers.h"
#include "settings/UnreadableCopy.h"
#include "settings/UserDirectories.h"

namespace {

// Sets or unsets an environment variable for one test and restores it.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? setenv(name, value->c_str(), 1) : unsetenv(name);
  }
  ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

std::string readFile(const std::string& path) {
  std::ostringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

bool parsesAsJson(const std::string& path) {
  const std::string command =
      "python3 -c 'import json,sys; json.load(open(sys.argv[1],\"rb\"))' '" + path + "' 2>/dev/null";
  return std::system(command.c_str()) == 0;
}

constexpr std::time_t kMoment = 1700000000;
constexpr uid_t kNobody = 65534;
const Settings kEdited{3, kHybridKeyboardMap, true, false};
const std::string kKept = "Damaged configuration kept as ";

auto settingsOf(const Settings& s) {
  return std::make_tuple(s.petsciiScale, s.keyboardMap, s.dialogOnReceived, s.autoCheckForUpdate);
}

// Five boards that differ in every field, as a user's address book would.
std::vector<AddressBookEntry> fiveBoards() {
  const char* const names[] = {"Alpha", "Bravo", "Charlie", "Delta", "Echo"};
  std::vector<AddressBookEntry> boards;
  for (int i = 0; i < 5; ++i) {
    AddressBookEntry e;
    e.name = names[i];
    e.description = std::string("The \"") + names[i] + "\" board";
    e.address = std::string(names[i]) + ".example";
    e.port = static_cast<std::uint16_t>(6400 + i);
    e.background = static_cast<std::uint8_t>(i);
    e.foreground = static_cast<std::uint8_t>(15 - i);
    e.echo = i % 2 == 1;
    e.columns = i == 3 ? kWideColumns : kNarrowColumns;
    e.screenshot = base64Encode(ByteBuffer(static_cast<std::size_t>(8 + i), static_cast<std::uint8_t>(0x41 + i)));
    boards.push_back(e);
  }
  return boards;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// Where the file is read and written, what start-up says, and that a file
// at the place earlier versions used is read but left as it was. "D" is a
// fresh directory; each file holds its own scale, so the scale after
// start-up tells which one was read (2: none).
TEST(ConfigPath, FollowsTheEnvironment) {
  const std::string now = "D/x/Vendorly/Morlen/morlen.config", earlier = "D/x/.config/Vendorly/Morlen/morlen.config",
                    home = "D/h/.config/Vendorly/Morlen/morlen.config";
  struct Row {
    std::optional<std::string> configHome, home;
    std::vector<std::pair<std::string, int>> files;  // path, scale written there
    std::string writes;
    int scale;
  };
  const Row rows[] = {
      {std::nullopt, "D/h", {{home, 3}}, home, 3},
      {"D/x", "D/h", {{home, 3}}, now, 2},
      {"", "D/h", {{home, 3}}, home, 3},   // empty is unset
      {"x", "D/h", {{home, 3}}, home, 3},  // so is a relative directory
      {"D/x", "D/h", {{earlier, 8}}, now, 8},
      {"D/x", "D/h", {{earlier, 8}, {now, 5}}, now, 5},
      {std::nullopt, std::nullopt, {}, "", 2},
      {std::nullopt, "h", {}, "", 2},
  };
  const auto text = [](int scale) { return configurationText(Settings{scale, 1, false, true}, {}); };
  for (const Row& r : rows) {
    char pattern[] = "/tmp/morlen-place-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    const auto in = [&](std::string path) { return path.rfind("D/", 0) == 0 ? dir + path.substr(1) : path; };
    const auto variable = [&](const std::optional<std::string>& v) { return v ? std::optional(in(*v)) : v; };
    const ScopedEnv configHome("XDG_CONFIG_HOME", variable(r.configHome)), homeDir("HOME", variable(r.home));
    SCOPED_TRACE((r.configHome ? *r.configHome : "unset") + " " + (r.home ? *r.home : "unset"));
    for (const auto& [path, scale] : r.files) {
      ASSERT_TRUE(makeDirectories(in(path)));
      std::ofstream(in(path), std::ios::binary) << text(scale);
    }
    programSettings() = Settings{};
    EXPECT_EQ(startUpConfiguration(kMoment), r.writes.empty() ? "Settings will not be kept (HOME not set)" : "");
    EXPECT_EQ(programSettings().petsciiScale, r.scale);
    EXPECT_EQ(configFilePath(), in(r.writes));
    programSettings().petsciiScale = 1;
    EXPECT_EQ(static_cast<bool>(saveConfiguration()), !r.writes.empty());
    if (!r.writes.empty()) {
      EXPECT_NE(readFile(in(r.writes)).find("\"petsciiScale\":1,"), std::string::npos);
    }
    for (const auto& [path, scale] : r.files) {
      EXPECT_EQ(readFile(in(path)), text(path == r.writes ? 1 : scale)) << path;
    }
    std::filesystem::remove_all(dir);
  }
  programSettings() = Settings{};
  programAddressBook() = AddressBook{};
}

class Configuration : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/morlen-config-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    home.emplace("HOME", dir);
    configHome.emplace("XDG_CONFIG_HOME", std::nullopt);
    path = dir + "/.config/Vendorly/Morlen/morlen.config";
    ASSERT_EQ(configFilePath(), path);
    resetProgramState();
  }
  void TearDown() override {
    resetProgramState();
    configHome.reset();
    home.reset();
    std::filesystem::remove_all(dir);
  }
  static void resetProgramState() {
    programSettings() = Settings{};
    programAddressBook() = AddressBook{};
    guardConfigurationFile("");
  }
  void writeFile(const std::string& name, const std::string& text) {
    ASSERT_TRUE(makeDirectories(name));
    std::ofstream(name, std::ios::binary) << text;
  }
  // The names in the configuration's directory, sorted.
  std::vector<std::string> filesBeside() {
    std::vector<std::string> names;
    for (const auto& file : std::filesystem::directory_iterator(dir + "/.config/Vendorly/Morlen")) {
      names.push_back(file.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string copyName(int attempt) {
    const std::string copy = unreadableCopyName(path, kMoment, attempt);
    return copy.substr(copy.rfind('/') + 1);
  }
  std::string dir, path;
  std::optional<ScopedEnv> home, configHome;
};

TEST_F(Configuration, SavedFileLoadsBackWithEveryValue) {
  programSettings() = Settings{5, kHybridKeyboardMap, true, false};
  AddressBookEntry awkward;
  awkward.name = "Say \"hi\"\nto C:\\BBS\\";
  awkward.echo = true;
  programAddressBook() = AddressBook{{awkward, AddressBookEntry{}}, 1};
  programAddressBook().entries[1].name = "\\";
  const std::vector<AddressBookEntry> saved = programAddressBook().entries;

  ASSERT_TRUE(saveConfiguration());
  const std::string text = readFile(path);
  EXPECT_EQ(text.rfind(R"({"morlenConfig":1,"petsciiScale":5,"keyboardMap":2,"dialogOnReceived":true,)"
                       R"("autoCheckForUpdate":false,"addressBook":[{"addressBookEntry":"1",)",
                       0),
            0u);
  EXPECT_EQ(text.substr(text.size() - 4), "\"}]}");
  EXPECT_TRUE(parsesAsJson(path));

  resetProgramState();
  ASSERT_TRUE(loadConfiguration().reading.complete);
  EXPECT_TRUE(entriesEqual(programAddressBook().entries, saved));
  EXPECT_EQ(configurationText(programSettings(), programAddressBook().entries), text);
  EXPECT_EQ(programAddressBook().selectedIndex, kNoEntrySelected);
}

TEST_F(Configuration, AnEmptyAddressBookStaysEmpty) {
  ASSERT_TRUE(saveConfiguration());
  EXPECT_EQ(readFile(path).substr(readFile(path).size() - 17), R"("addressBook":[]})");
  EXPECT_TRUE(parsesAsJson(path));
  programAddressBook().entries = defaultAddressBookEntries();
  ASSERT_TRUE(loadConfiguration().reading.complete);
  EXPECT_TRUE(programAddressBook().entries.empty());
}

struct Damage {
  const char* what;
  std::string text;  // the file as start-up finds it
  // What the program then runs with, and writes back when it keeps a copy.
  Settings settings;
  std::vector<AddressBookEntry> entries;
  bool kept;  // not fully read: kept beside under a new name
};

std::vector<Damage> damagedFiles() {
  const std::vector<AddressBookEntry> boards = fiveBoards();
  const std::vector<AddressBookEntry> defaults = defaultAddressBookEntries();
  const std::string good = configurationText(kEdited, boards);
  const std::string noBook = configurationText(kEdited, {});
  const std::string alpha = entryToText(boards[0]), bravo = entryToText(boards[1]);
  const std::string deep = std::string(200000, '[') + std::string(200000, ']');
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>(i * 7);
  const auto with = [&](auto change) {
    Settings settings = kEdited;
    std::vector<AddressBookEntry> entries = boards;
    change(settings, entries);
    return std::make_pair(settings, entries);
  };
  const auto scale = [&](std::int32_t value) { return with([=](Settings& s, auto&) { s.petsciiScale = value; }).first; };
  AddressBookEntry cutShort;
  cutShort.name = "Ch";
  const Settings scale3{3, kPositionalKeyboardMap, false, true};
  const auto [port, portEntries] = with([](Settings&, auto& e) { e[1].port = kDefaultEntryPort; });
  const auto [columns, columnsEntries] = with([](Settings&, auto& e) { e[3].columns = kDefaultColumns; });
  const auto [colour17, colour17Entries] = with([](Settings&, auto& e) { e[2].background = 17; });
  const auto [colour256, colour256Entries] = with([](Settings&, auto& e) { e[2].background = kDefaultBackground; });
  const auto [named, namedEntries] = with([](Settings&, auto& e) { e[3].name.clear(); });
  const auto [noMap, noMapEntries] = with([](Settings& s, auto&) { s.keyboardMap = kPositionalKeyboardMap; });
  const auto [noPrompt, noPromptEntries] = with([](Settings& s, auto&) { s.dialogOnReceived = false; });
  const auto inBravo = [&](auto change) { return with([&](Settings&, auto& e) { change(e[1]); }).second; };
  const auto bravoNamed = [&](const char* name) { return inBravo([=](AddressBookEntry& e) { e.name = name; }); };
  std::vector<AddressBookEntry> twoBooks = boards;
  twoBooks.push_back(boards[0]);

  return {
      // Read fully: nothing is rewritten at start-up and nothing is kept.
      {"as the program wrote it", good, kEdited, boards, false},
      {"a byte-order mark first", "\xEF\xBB\xBF" + good, kEdited, boards, false},
      {"white space, a missing and a trailing comma",
       replaced(replaced(good, R"("keyboardMap":2,)", "\n  \"keyboardMap\" : 2 "), "]}", ",],}"), kEdited, boards,
       false},
      {"colour 17, drawn by its low four bits as ever", replaced(good, R"("background":2,)", R"("background":17,)"),
       colour17, colour17Entries, false},
      // What a rewrite would not keep as it was: read as far as it goes.
      {"a later version", replaced(good, R"("morlenConfig":1)", R"("morlenConfig":2)"), kEdited, boards, true},
      {"a later version with members of its own",
       replaced(good, R"("morlenConfig":1,)", R"("morlenConfig":2,"theme":{"dark":true},)"), kEdited, boards, true},
      {"a later entry version", replaced(good, R"("addressBookEntry":"1","name":"Bravo")",
                                         R"("addressBookEntry":"2","name":"Bravo")"), kEdited, boards, true},
      {"an unknown setting", replaced(good, R"("keyboardMap":2,)", R"("keyboardMap":2,"colours":"amber",)"), kEdited,
       boards, true},
      {"\"address\" with one bit flipped", replaced(good, R"("address":"Bravo.example")", R"("addresc":"Bravo.example")"),
       kEdited, inBravo([](AddressBookEntry& e) { e.address.clear(); }), true},
      {"\"screenshot\" misspelt", replaced(good, R"("screenshot":"QkJC)", R"("screenshoot":"QkJC)"), kEdited,
       inBravo([](AddressBookEntry& e) { e.screenshot.clear(); }), true},
      {"a name given twice", replaced(good, R"("name":"Bravo")", R"("name":"Bravo","name":"Brave")"), kEdited,
       bravoNamed("Brave"), true},
      {"a setting given twice", replaced(good, R"("petsciiScale":3,)", R"("petsciiScale":3,"petsciiScale":5,)"),
       scale(5), boards, true},
      {"a second address book after the first", replaced(good, "]}", "],\"addressBook\":[" + alpha + "]}"), kEdited,
       twoBooks, true},
      {"a name that is not UTF-8", replaced(good, R"("name":"Bravo")", "\"name\":\"Br\xffvo\""), kEdited,
       bravoNamed("Br\xEF\xBF\xBDvo"), true},
      {"a lone surrogate", replaced(good, R"("name":"Bravo")", R"("name":"Br\ud800vo")"), kEdited,
       bravoNamed("Br\xEF\xBF\xBDvo"), true},
      {"an unknown escape", replaced(good, R"("name":"Bravo")", R"("name":"Br\qvo")"), kEdited, bravoNamed("Brvo"),
       true},
      // Settings out of range or of the wrong kind take their defaults.
      {"a negative scale", replaced(good, R"("petsciiScale":3)", R"("petsciiScale":-2)"), scale(2), boards, true},
      {"a fractional scale", replaced(good, R"("petsciiScale":3)", R"("petsciiScale":2.5)"), scale(2), boards, true},
      {"a scale not offered", replaced(good, R"("petsciiScale":3)", R"("petsciiScale":4)"), scale(2), boards, true},
      {"a scale beyond 32 bits", replaced(good, R"("petsciiScale":3)", R"("petsciiScale":3000000000)"), scale(2),
       boards, true},
      {"a scale of 37 bits", replaced(good, R"("petsciiScale":3)", R"("petsciiScale":99999999999)"), scale(2), boards,
       true},
      {"a scale as text", replaced(good, R"("petsciiScale":3)", R"("petsciiScale":"3")"), scale(2), boards, true},
      {"keyboard map 3", replaced(good, R"("keyboardMap":2)", R"("keyboardMap":3)"), noMap, boards, true},
      {"a member without its value", replaced(good, R"("keyboardMap":2)", R"("keyboardMap":)"), noMap, boards, true},
      {"null for a boolean", replaced(good, R"("dialogOnReceived":true)", R"("dialogOnReceived":null)"), noPrompt,
       boards, true},
      {"a comment line first", "// my boards\n" + good, kEdited, boards, true},
      // The version: without a usable one, an address book with entries stays.
      {"version as text", replaced(good, R"("morlenConfig":1)", R"("morlenConfig":"1")"), kEdited, boards, true},
      {"version 0", replaced(good, R"("morlenConfig":1)", R"("morlenConfig":0)"), kEdited, boards, true},
      {"no version", replaced(good, R"("morlenConfig":1,)", ""), kEdited, boards, true},
      {"version 0 and an empty address book", R"({"morlenConfig":0,"petsciiScale":3,"addressBook":[]})", scale3,
       defaults, true},
      {"no version and an empty address book", R"({"petsciiScale":3,"addressBook":[]})", scale3, defaults, true},
      // The address book in another shape.
      {"the address book as one entry", replaced(noBook, "[]", alpha), kEdited, {boards[0]}, true},
      {"the address book as an object of entries", replaced(noBook, "[]", "{\"a\":" + alpha + ",\"b\":" + bravo + "}"),
       kEdited, {boards[0], boards[1]}, true},
      {"the address book as text", replaced(noBook, "[]", "\"none\""), kEdited, defaults, true},
      // Bad fields cost only themselves, never wrapped.
      {"port 99999", replaced(good, R"("port":6401)", R"("port":99999)"), port, portEntries, true},
      {"columns 4000000000", replaced(good, R"("columns":80)", R"("columns":4000000000)"), columns, columnsEntries,
       true},
      {"colour 256", replaced(good, R"("background":2,)", R"("background":256,)"), colour256, colour256Entries, true},
      {"a name given as a number", replaced(good, R"("name":"Delta")", R"("name":42)"), named, namedEntries, true},
      // Broken structure.
      {"cut off before the address book", good.substr(0, good.find("\"addressBook\"")), kEdited, defaults, true},
      {"cut off inside the third entry", good.substr(0, good.find("Charlie") + 2), kEdited,
       {boards[0], boards[1], cutShort}, true},
      {"the last brace missing", good.substr(0, good.size() - 1), kEdited, boards, true},
      {"a wrong closing bracket", replaced(good, "\"},{", "\"],{"), kEdited, boards, true},
      {"text after the end", good + "\nmore", kEdited, boards, true},
      {"200 000 levels of nesting before the address book",
       replaced(good, R"("morlenConfig":1,)", R"("morlenConfig":1,"deep":)" + deep + ","), kEdited, boards, true},
      {"200 000 unclosed levels after the entries", replaced(good, "}]}", "}," + std::string(200000, '[')), kEdited,
       boards, true},
      {"200 000 levels of objects and nothing else", std::string(200000, '{'), Settings{}, defaults, true},
      {"binary content", binary, Settings{}, defaults, true},
      {"an empty file", "", Settings{}, defaults, true},
      {"not JSON at all", "garbage", Settings{}, defaults, true},
  };
}

// Start-up reads what can be read of a damaged file, keeps the file's bytes
// beside it before replacing it, and says so; a file read fully is left as
// it is.
TEST_F(Configuration, DamagedFilesKeepWhatCanBeReadAndTheOriginalBytes) {
  for (const Damage& d : damagedFiles()) {
    SCOPED_TRACE(d.what);
    std::filesystem::remove_all(dir + "/.config");
    resetProgramState();
    writeFile(path, d.text);

    const std::string status = startUpConfiguration(kMoment);
    EXPECT_EQ(settingsOf(programSettings()), settingsOf(d.settings));
    EXPECT_TRUE(entriesEqual(programAddressBook().entries, d.entries)) << programAddressBook().entries.size();
    if (d.kept) {
      EXPECT_EQ(status, kKept + copyName(1));
      EXPECT_EQ(filesBeside(), (std::vector<std::string>{"morlen.config", copyName(1)}));
      EXPECT_TRUE(readFile(unreadableCopyName(path, kMoment, 1)) == d.text);
      // Replaced at once in the program's own layout, bad values as their defaults.
      EXPECT_EQ(readFile(path), configurationText(d.settings, d.entries));
    } else {
      EXPECT_EQ(status, "");
      EXPECT_EQ(filesBeside(), std::vector<std::string>{"morlen.config"});
      EXPECT_TRUE(readFile(path) == d.text);
    }
    resetProgramState();
    EXPECT_TRUE(loadConfiguration().reading.complete);
  }
}

TEST_F(Configuration, KeptCopiesNeverOverwriteEarlierOnes) {
  writeFile(unreadableCopyName(path, kMoment, 1), "an earlier copy");
  writeFile(unreadableCopyName(path, kMoment, 2), "someone else's file");
  writeFile(path, "damaged once");
  EXPECT_EQ(startUpConfiguration(kMoment), kKept + copyName(3));
  writeFile(path, "damaged twice");
  EXPECT_EQ(startUpConfiguration(kMoment), kKept + copyName(4));
  const char* const contents[] = {"an earlier copy", "someone else's file", "damaged once", "damaged twice"};
  for (int attempt = 1; attempt <= 4; ++attempt) {
    EXPECT_EQ(readFile(unreadableCopyName(path, kMoment, attempt)), contents[attempt - 1]);
  }
}

TEST_F(Configuration, AFileThatCouldNotBeReadIsKeptUnderASecondName) {
  // (Run as root every file reads, so the other way is taken directly.)
  writeFile(path, "bytes that could not be read");
  const std::string copy = keepUnreadableCopy(path, std::nullopt, kMoment);
  ASSERT_EQ(copy, unreadableCopyName(path, kMoment, 1));
  ASSERT_TRUE(saveConfiguration());
  EXPECT_EQ(readFile(copy), "bytes that could not be read");
  EXPECT_TRUE(parsesAsJson(path));
}

// A file that cannot be read is neither taken for damage nor written over:
// start-up says so at once (a pipe is not waited on) and runs with the
// defaults.
TEST_F(Configuration, AFileThatCannotBeKeptIsNeverReplaced) {
  const std::string notAFile = "morlen.config is not a regular file; running with defaults, changes are not saved";
  struct Row {
    const char* what;
    void (*make)(const std::string& path);
    std::string status;
  } rows[] = {
      {"a directory", [](const std::string& p) { std::filesystem::create_directories(p); }, notAFile},
      {"a pipe", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0644), 0); }, notAFile},
      {"a file without read permission",
       [](const std::string& p) {
         std::ofstream(p) << configurationText(kEdited, {});
         ASSERT_EQ(chmod(p.c_str(), 0200), 0);
       },
       "morlen.config cannot be read (permission denied); running with defaults, changes are not saved"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    std::filesystem::remove_all(dir + "/.config");
    resetProgramState();
    ASSERT_TRUE(makeDirectories(path));
    r.make(path);
    struct stat before {};
    ASSERT_EQ(lstat(path.c_str(), &before), 0);
    // Root reads every file: then the check runs as nobody, through
    // directories anyone may pass.
    for (const std::string& d : {dir, dir + "/.config", dir + "/.config/Vendorly", dir + "/.config/Vendorly/Morlen"})
      chmod(d.c_str(), 0755);
    const bool root = geteuid() == 0;
    ASSERT_TRUE(!root || seteuid(kNobody) == 0);
    const std::string status = startUpConfiguration(kMoment);
    const ConfigurationSave save = saveConfiguration();
    ASSERT_TRUE(!root || seteuid(0) == 0);
    EXPECT_EQ(status, r.status);
    EXPECT_EQ(save.outcome, ConfigurationSave::Outcome::NotKept);
    EXPECT_EQ(save.text, r.status);
    EXPECT_EQ(settingsOf(programSettings()), settingsOf(Settings{}));
    EXPECT_TRUE(entriesEqual(programAddressBook().entries, defaultAddressBookEntries()));
    struct stat after {};
    ASSERT_EQ(lstat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(filesBeside(), std::vector<std::string>{"morlen.config"});
  }
  // The next start-up that finds the way clear writes again.
  std::filesystem::remove_all(path);
  EXPECT_EQ(startUpConfiguration(kMoment), "");
  EXPECT_TRUE(parsesAsJson(path));
}

// Wherever a file is cut off, every entry written before the cut is read
// back exactly.
TEST(ConfigurationText, EveryCutKeepsTheEntriesBeforeIt) {
  const std::vector<AddressBookEntry> boards = fiveBoards();
  const std::string good = configurationText(kEdited, boards);
  std::vector<std::size_t> ends;
  for (const AddressBookEntry& board : boards) {
    const std::string text = entryToText(board);
    ends.push_back(good.find(text) + text.size());
  }
  for (std::size_t cut = 0; cut <= good.size(); ++cut) {
    SCOPED_TRACE(cut);
    Settings settings;
    AddressBook book;
    const ConfigurationReading reading = readConfiguration(good.substr(0, cut), settings, book);
    EXPECT_EQ(reading.complete, cut == good.size());
    const auto whole = static_cast<std::size_t>(std::count_if(ends.begin(), ends.end(), [&](std::size_t end) { return end <= cut; }));
    if (whole == 0) continue;
    ASSERT_TRUE(reading.bookTaken);
    ASSERT_GE(book.entries.size(), whole);
    EXPECT_LE(book.entries.size(), whole + 1);
    for (std::size_t i = 0; i < whole; ++i) EXPECT_EQ(book.entries[i], boards[i]);
  }
}

TEST(UnreadableCopy, NamedAfterTheLocalMoment) {
  {
    ScopedEnv utc("TZ", "UTC");
    tzset();
    EXPECT_EQ(unreadableCopyName("/d/morlen.config", 0, 1), "/d/morlen.config.unreadable-19700101-000000");
    EXPECT_EQ(unreadableCopyName("/d/morlen.config", kMoment, 3), "/d/morlen.config.unreadable-20231114-221320-3");
  }
  tzset();
}

TEST_F(Configuration, FirstRunInstallsAndSavesTheDefaultsSilently) {
  EXPECT_FALSE(loadConfiguration().found);
  EXPECT_TRUE(std::filesystem::is_directory(dir + "/.config/Vendorly/Morlen"));
  EXPECT_EQ(startUpConfiguration(kMoment), "");
  EXPECT_TRUE(parsesAsJson(path));
  EXPECT_EQ(filesBeside(), std::vector<std::string>{"morlen.config"});
  resetProgramState();
  ASSERT_TRUE(loadConfiguration().reading.complete);
  EXPECT_TRUE(entriesEqual(programAddressBook().entries, defaultAddressBookEntries()));
}

TEST_F(Configuration, AFailedSaveKeepsThePreviousFileReadable) {
  programAddressBook().entries = {AddressBookEntry{}};
  ASSERT_TRUE(saveConfiguration());
  const std::string before = readFile(path);
  programAddressBook().entries.clear();
  FileWriteSteps steps;
  steps.write = [](int, const void*, std::size_t) -> ssize_t { return -1; };
  EXPECT_FALSE(saveConfiguration(steps));
  EXPECT_EQ(readFile(path), before);
  ASSERT_TRUE(loadConfiguration().reading.complete);
  EXPECT_EQ(programAddressBook().entries.size(), 1u);
}

TEST(DefaultAddressBook, FourBoardsWithPictures) {
  const std::vector<AddressBookEntry> entries = defaultAddressBookEntries();
  ASSERT_EQ(entries.size(), 4u);
  std::string joined;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const AddressBookEntry& e = entries[i];
    SCOPED_TRACE(e.name);
    EXPECT_EQ(e.port, i == 0 ? 6510 : kDefaultEntryPort);
    EXPECT_EQ(e.columns, kDefaultColumns);
    EXPECT_GE(e.screenshot.size(), 1000u);
    EXPECT_LE(e.screenshot.size(), 2500u);
    // The picture redraws at most 25 rows of at most 40 cells.
    const ByteBuffer picture = base64Decode(e.screenshot);
    EXPECT_EQ(base64Encode(picture), e.screenshot);
    int rows = 0, cells = 0;
    for (const std::uint8_t b : picture) {
      const bool printable = (b & 0x60) != 0;
      if (b == 0x0D || (printable && ++cells == 40)) {
        ++rows;
        cells = 0;
      }
    }
    EXPECT_LE(rows + (cells > 0), 25);
    // The carried text is exactly what the program itself writes.
    joined += (i ? "\n,\n" : "[") + entryToText(e);
  }
  EXPECT_EQ(std::string(defaultAddressBookText()), joined + "]\n");
  EXPECT_TRUE(readAddressBookEntries(defaultAddressBookText()).complete);
  EXPECT_TRUE(parsesAsJson(std::string(MORLEN_SOURCE_DIR) + "/resources/default_address_book.json"));
}

}  // namespace

namespace {

// The download folder is written only once chosen, read back as a known
// setting; until then it is the desktop's download folder, else home.
TEST_F(Configuration, TheDownloadFolderIsKeptOnceChosenElseTheDesktopsIsUsed) {
  ASSERT_TRUE(saveConfiguration());
  EXPECT_EQ(readFile(path).find("downloadFolder"), std::string::npos);
  programSettings().downloadFolder = dir + "/my \"files\"";
  ASSERT_TRUE(saveConfiguration());
  EXPECT_NE(readFile(path).find(R"("downloadFolder":")" + dir + R"(/my \"files\"",)"), std::string::npos);
  resetProgramState();
  ASSERT_TRUE(loadConfiguration().reading.complete);
  EXPECT_EQ(programSettings().downloadFolder, dir + "/my \"files\"");
  EXPECT_EQ(downloadFolderInUse(programSettings()), dir + "/my \"files\"");

  const ScopedEnv noDownloadDir("XDG_DOWNLOAD_DIR", std::nullopt);
  EXPECT_EQ(defaultDownloadFolder(), dir) << "no desktop folders: home";
  writeFile(dir + "/.config/user-dirs.dirs", "# comment\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n");
  EXPECT_EQ(defaultDownloadFolder(), dir) << "named but missing: home";
  ASSERT_TRUE(makeDirectories(dir + "/Downloads/"));
  EXPECT_EQ(defaultDownloadFolder(), dir + "/Downloads");
  ASSERT_TRUE(makeDirectories(dir + "/Elsewhere/"));
  const ScopedEnv downloadDir("XDG_DOWNLOAD_DIR", dir + "/Elsewhere");
  EXPECT_EQ(defaultDownloadFolder(), dir + "/Elsewhere");
}

}  // namespace
