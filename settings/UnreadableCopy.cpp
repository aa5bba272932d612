// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/UnreadableCopy.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {

constexpr const char* kCopyMarker = ".unreadable-";
constexpr const char* kTimeFormat = "%Y%m%d-%H%M%S";
constexpr std::size_t kTimeTextSize = sizeof "YYYYMMDD-HHMMSS";
constexpr int kFirstAttempt = 1;
// Far more copies of one moment than a user can make; the bound only keeps
// a directory that refuses every name from looping for ever.
constexpr int kMostAttempts = 1000;
constexpr mode_t kPrivateFileMode = 0600;

enum class Outcome { Made, NameTaken, Failed };

bool writeAll(int fd, const ByteBuffer& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

Outcome writeCopy(const std::string& copy, const ByteBuffer& bytes) {
  const int fd = open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kPrivateFileMode);
  if (fd < 0) return errno == EEXIST ? Outcome::NameTaken : Outcome::Failed;
  const bool written = writeAll(fd, bytes) && fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (written && closed) return Outcome::Made;
  unlink(copy.c_str());
  return Outcome::Failed;
}

Outcome linkCopy(const std::string& path, const std::string& copy) {
  // A configuration reached through a symbolic link: keep the file, not the link.
  if (linkat(AT_FDCWD, path.c_str(), AT_FDCWD, copy.c_str(), AT_SYMLINK_FOLLOW) == 0) return Outcome::Made;
  return errno == EEXIST ? Outcome::NameTaken : Outcome::Failed;
}

}  // namespace

std::string unreadableCopyName(const std::string& path, std::time_t when, int attempt) {
  std::tm local{};
  localtime_r(&when, &local);
  char moment[kTimeTextSize] = {};
  std::strftime(moment, sizeof moment, kTimeFormat, &local);
  std::string name = path + kCopyMarker + moment;
  if (attempt > kFirstAttempt) name += "-" + std::to_string(attempt);
  return name;
}

std::string keepUnreadableCopy(const std::string& path, const std::optional<ByteBuffer>& bytes,
                               std::time_t when) {
  for (int attempt = kFirstAttempt; attempt <= kMostAttempts; ++attempt) {
    const std::string copy = unreadableCopyName(path, when, attempt);
    const Outcome outcome = bytes ? writeCopy(copy, *bytes) : linkCopy(path, copy);
    if (outcome == Outcome::Made) return copy;
    if (outcome == Outcome::Failed) return std::string();
  }
  return std::string();
}
