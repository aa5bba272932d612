// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/FileHelpers.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

class FileHelpers : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/morlen-files-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  void write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  std::string dir;
};

TEST_F(FileHelpers, ReadsWholeFilesByteForByte) {
  const std::string bytes("PET\0SCII\xff\r\n", 12);
  write(dir + "/f.seq", bytes);
  write(dir + "/empty", "");
  LoadedFile file;
  ASSERT_TRUE(readWholeFile(dir + "/f.seq", file));
  EXPECT_EQ(std::string(file.bytes.begin(), file.bytes.end()), bytes);
  EXPECT_EQ(file.path, dir + "/f.seq");
  LoadedFile empty;
  ASSERT_TRUE(readWholeFile(dir + "/empty", empty));
  EXPECT_TRUE(empty.bytes.empty());
  LoadedFile unused;
  EXPECT_FALSE(readWholeFile(dir + "/missing", unused));
  EXPECT_FALSE(readWholeFile(dir, unused));
}

TEST_F(FileHelpers, MakesPrivateDirectoriesUpToTheFileName) {
  const std::string path = dir + "/a/b/c.config";
  EXPECT_FALSE(fileExists(dir + "/a"));
  ASSERT_TRUE(makeDirectories(path));
  struct stat info {};
  ASSERT_EQ(stat((dir + "/a/b").c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_FALSE(fileExists(path));
  EXPECT_TRUE(makeDirectories(path));  // all there already

  write(dir + "/plain", "x");
  EXPECT_FALSE(makeDirectories(dir + "/plain/sub/file"));
}

}  // namespace
