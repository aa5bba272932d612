#include "settings/Configuration.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "settings/AddressBookText.h"
#include "settings/Base64.h"
#include "settings/DefaultAddressBook.h"
#include "settings/FileHelpers.h"

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

TEST(ConfigPath, FollowsTheEnvironment) {
  struct Case {
    std::optional<std::string> configHome, home;
    const char* expected;
  };
  const Case cases[] = {
      {std::nullopt, "/home/u", "/home/u/.config/Vendorly/Morlen/morlen.config"},
      {"/x", "/home/u", "/x/.config/Vendorly/Morlen/morlen.config"},
      {"/x", std::nullopt, "/x/.config/Vendorly/Morlen/morlen.config"},
      {std::nullopt, std::nullopt, "/Vendorly/Morlen/morlen.config"},
  };
  for (const Case& c : cases) {
    ScopedEnv configHome("XDG_CONFIG_HOME", c.configHome);
    ScopedEnv home("HOME", c.home);
    EXPECT_EQ(configFilePath(), c.expected);
  }
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
  ASSERT_TRUE(loadConfiguration());
  EXPECT_TRUE(entriesEqual(programAddressBook().entries, saved));
  EXPECT_EQ(configurationText(programSettings(), programAddressBook().entries), text);
  EXPECT_EQ(programAddressBook().selectedIndex, kNoEntrySelected);
}

TEST_F(Configuration, AnEmptyAddressBookStaysEmpty) {
  ASSERT_TRUE(saveConfiguration());
  EXPECT_EQ(readFile(path).substr(readFile(path).size() - 17), R"("addressBook":[]})");
  EXPECT_TRUE(parsesAsJson(path));
  programAddressBook().entries = defaultAddressBookEntries();
  ASSERT_TRUE(loadConfiguration());
  EXPECT_TRUE(programAddressBook().entries.empty());
}

TEST_F(Configuration, AnOversizedSettingNeverCostsTheAddressBook) {
  // A hand-edited number too large for 32 bits reads back negative; saving
  // it as such would make the next load stop before the address book.
  const std::string edited =
      R"({"morlenConfig":1,"petsciiScale":3000000000,"keyboardMap":2,"addressBook":[{"name":"Mine","port":23,}]})";
  makeDirectories(path);
  {
    std::ofstream out(path, std::ios::binary);
    out << edited;
  }
  ASSERT_TRUE(loadConfiguration());
  ASSERT_TRUE(saveConfiguration());
  EXPECT_TRUE(parsesAsJson(path));
  resetProgramState();
  ASSERT_TRUE(loadConfiguration());
  ASSERT_EQ(programAddressBook().entries.size(), 1u);
  EXPECT_EQ(programAddressBook().entries[0].name, "Mine");
  EXPECT_EQ(programSettings().keyboardMap, kHybridKeyboardMap);
  EXPECT_GT(programSettings().petsciiScale, 0);
}

TEST_F(Configuration, UnusableFilesAreTreatedAsMissing) {
  struct Case {
    const char* what;
    const char* text;
    bool loads;
    std::int32_t scaleAfter;
  };
  const Case cases[] = {
      {"version 0", R"({"morlenConfig":0,"petsciiScale":3,"addressBook":[]})", false, kDefaultPetsciiScale},
      {"a later version", R"({"morlenConfig":2,"petsciiScale":3,"addressBook":[{"name":"n"}]})", true, 3},
      {"version as a string", R"({"morlenConfig":"1","addressBook":[]})", false, kDefaultPetsciiScale},
      {"no version", R"({"petsciiScale":3,"addressBook":[]})", false, kDefaultPetsciiScale},
      {"no address book", R"({"morlenConfig":1,"petsciiScale":3,"keyboardMap":2,})", false, 3},
      {"not JSON at all", "garbage", false, kDefaultPetsciiScale},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    resetProgramState();
    programAddressBook().entries = {AddressBookEntry{}};
    ASSERT_TRUE(makeDirectories(path));
    std::ofstream(path, std::ios::binary) << c.text;
    EXPECT_EQ(loadConfiguration(), c.loads);
    EXPECT_EQ(programSettings().petsciiScale, c.scaleAfter);
    // The book is replaced only by a successful load.
    EXPECT_EQ(programAddressBook().entries.size(), 1u);
  }
}

TEST_F(Configuration, FirstRunInstallsAndSavesTheDefaults) {
  EXPECT_FALSE(loadConfiguration());
  EXPECT_TRUE(std::filesystem::is_directory(dir + "/.config/Vendorly/Morlen"));
  installDefaultAddressBook(programAddressBook());
  ASSERT_TRUE(saveConfiguration());
  EXPECT_TRUE(parsesAsJson(path));
  resetProgramState();
  ASSERT_TRUE(loadConfiguration());
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
  ASSERT_TRUE(loadConfiguration());
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
  EXPECT_TRUE(parsesAsJson(std::string(MORLEN_SOURCE_DIR) + "/resources/default_address_book.json"));
}

}  // namespace
