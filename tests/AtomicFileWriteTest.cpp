// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/AtomicFileWrite.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

class AtomicFileWrite : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/morlen-atomic-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    path = dir + "/morlen.config";
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  static std::string read(const std::string& p) {
    std::ostringstream s;
    s << std::ifstream(p, std::ios::binary).rdbuf();
    return s.str();
  }
  int filesInDirectory() const {
    return static_cast<int>(std::distance(std::filesystem::directory_iterator(dir), {}));
  }
  std::string dir, path;
  const std::string oldText = "{\"old\":\"contents\"}";
  const std::string newText = std::string(10000, 'n');
};

TEST_F(AtomicFileWrite, ReplacesTheFileAndKeepsItsMode) {
  ASSERT_TRUE(replaceFileAtomically(path, oldText));
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(replaceFileAtomically(path, newText));
  EXPECT_EQ(read(path), newText);
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(filesInDirectory(), 1);
}

TEST_F(AtomicFileWrite, ALinkedFileIsReplacedThroughTheLink) {
  const std::string real = dir + "/real.config";
  ASSERT_TRUE(replaceFileAtomically(real, oldText));
  ASSERT_EQ(symlink(real.c_str(), path.c_str()), 0);
  ASSERT_TRUE(replaceFileAtomically(path, newText));
  EXPECT_TRUE(std::filesystem::is_symlink(path));
  EXPECT_EQ(read(real), newText);
}

// Each way the write can go wrong leaves the old file whole and no
// temporary file behind.
TEST_F(AtomicFileWrite, AFailedStepLeavesTheOldFile) {
  struct Case {
    const char* what;
    long bytesBeforeFailure;  // -1: the write step never fails
    bool syncFails;
    bool renameFails;
  };
  const Case cases[] = {
      {"disk full at once", 0, false, false},   {"disk full after one byte", 1, false, false},
      {"disk full midway", 4096, false, false}, {"disk full at the last byte", 9999, false, false},
      {"flush fails", -1, true, false},         {"rename fails", -1, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(replaceFileAtomically(path, oldText));
    FileWriteSteps steps;
    long budget = c.bytesBeforeFailure;
    if (budget >= 0) {
      steps.write = [&budget](int fd, const void* data, std::size_t size) -> ssize_t {
        if (budget == 0) {
          errno = ENOSPC;
          return -1;
        }
        const std::size_t now = std::min<std::size_t>(size, static_cast<std::size_t>(budget));
        budget -= static_cast<long>(now);
        return ::write(fd, data, now);
      };
    }
    if (c.syncFails) steps.sync = [](int) { return -1; };
    if (c.renameFails) steps.rename = [](const char*, const char*) { return -1; };
    EXPECT_FALSE(replaceFileAtomically(path, newText, steps));
    EXPECT_EQ(read(path), oldText);
    EXPECT_EQ(filesInDirectory(), 1);
  }
}

TEST_F(AtomicFileWrite, AProcessKilledMidWriteLeavesTheOldFile) {
  ASSERT_TRUE(replaceFileAtomically(path, oldText));
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    FileWriteSteps steps;
    steps.write = [](int fd, const void* data, std::size_t size) -> ssize_t {
      ::write(fd, data, size / 2);
      _exit(0);  // dies between two writes, without any clean-up
    };
    replaceFileAtomically(path, newText, steps);
    _exit(1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(read(path), oldText);
}

// A new file is made as the user's umask allows. Before writing, the
// leftovers of killed replacements of the same file go; a writer's file
// still in use, a fresh one and a name that is not one of ours stay.
TEST_F(AtomicFileWrite, NewFilesFollowTheUmaskAndLeftoversOfKilledSavesGo) {
  const mode_t previousMask = umask(027);
  EXPECT_TRUE(replaceFileAtomically(path, oldText));
  umask(previousMask);
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);

  const auto leave = [&](const std::string& name, bool old) {
    std::ofstream(dir + "/" + name) << "left";
    if (!old) return;
    const timespec times[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 120, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (dir + "/" + name).c_str(), times, 0), 0);
  };
  leave(".morlen.config.morlen-Ab12Cd", true);   // killed long ago: goes
  leave(".morlen.config.morlen-Fresh1", false);  // may be a save under way
  leave(".morlen.config.morlen-InUse1", true);   // a writer holds it
  leave(".morlen.config.bak", true);          // not a name of ours
  leave(".morlen.config.Ab12Cd", true);          // an earlier version's
  const int held = open((dir + "/.morlen.config.morlen-InUse1").c_str(), O_RDONLY);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  ASSERT_TRUE(replaceFileAtomically(path, newText));
  const auto there = [&](const char* name) { return std::filesystem::exists(dir + "/" + name); };
  EXPECT_FALSE(there(".morlen.config.morlen-Ab12Cd"));
  EXPECT_TRUE(there(".morlen.config.morlen-Fresh1"));
  EXPECT_TRUE(there(".morlen.config.morlen-InUse1"));
  EXPECT_TRUE(there(".morlen.config.bak"));
  EXPECT_TRUE(there(".morlen.config.Ab12Cd"));
  // In the program's own directory the earlier versions' names go as well.
  removeStaleTemporaries(path, true);
  EXPECT_FALSE(there(".morlen.config.Ab12Cd"));
  EXPECT_TRUE(there(".morlen.config.bak"));
  close(held);
  EXPECT_EQ(read(path), newText);
}

}  // namespace
