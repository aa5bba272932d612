// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/AtomicFileWrite.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <vector>

namespace {

constexpr char kSeparator = '/';
constexpr char kTemporaryPrefix = '.';
// A temporary file is ".NAME.morlen-" and mkostemp's six characters: a
// name no other program's file has, so that only the program's own
// leftovers are ever removed.
constexpr std::string_view kTemporaryMarker = ".morlen-";
constexpr std::string_view kEarlierMarker = ".";
constexpr std::string_view kUniquePart = "XXXXXX";  // mkostemp's pattern
constexpr mode_t kPermissionBits = 07777;
constexpr mode_t kNewFileMode = 0666;
constexpr mode_t kDefaultUmask = 022;
constexpr std::time_t kStaleAfterSeconds = 60;
constexpr const char* kProcessStatus = "/proc/self/status";
constexpr std::string_view kUmaskField = "Umask:";
constexpr int kOctal = 8;

// The file a path finally names: a link to a managed dotfile stays a link.
std::string resolveTarget(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr), &std::free);
  return resolved ? std::string(resolved.get()) : path;
}

std::size_t nameStart(const std::string& path) {
  const std::size_t slash = path.rfind(kSeparator);
  return slash == std::string::npos ? 0 : slash + 1;
}

std::string directoryOf(const std::string& path) {
  const std::size_t start = nameStart(path);
  if (start == 0) return ".";
  return start == 1 ? std::string(1, kSeparator) : path.substr(0, start - 1);
}

// A hidden name beside the target, so the rename never crosses file systems.
std::string temporaryPattern(const std::string& target) {
  const std::size_t start = nameStart(target);
  return target.substr(0, start) + kTemporaryPrefix + target.substr(start) + std::string(kTemporaryMarker) +
         std::string(kUniquePart);
}

bool isAlphanumeric(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// ".NAME" + marker + six letters or digits.
bool isTemporaryOf(std::string_view entry, std::string_view name, std::string_view marker) {
  const std::size_t unique = 1 + name.size() + marker.size();
  if (entry.size() != unique + kUniquePart.size() || entry[0] != kTemporaryPrefix) return false;
  if (entry.substr(1, name.size()) != name || entry.substr(1 + name.size(), marker.size()) != marker) return false;
  for (const char c : entry.substr(unique)) {
    if (!isAlphanumeric(c)) return false;
  }
  return true;
}

// The process's umask without changing it (umask() both reads and sets).
mode_t currentUmask() {
  std::ifstream status(kProcessStatus);
  for (std::string line; std::getline(status, line);) {
    if (line.compare(0, kUmaskField.size(), kUmaskField) == 0)
      return static_cast<mode_t>(std::strtoul(line.c_str() + kUmaskField.size(), nullptr, kOctal));
  }
  return kDefaultUmask;
}

// The error of the step that just failed. A replaced step may fail without
// setting errno; that still is a failure.
int lastError() { return errno != 0 ? errno : EIO; }

int writeAll(int fd, std::string_view contents, const FileWriteSteps& steps) {
  std::size_t done = 0;
  while (done < contents.size()) {
    errno = 0;
    const ssize_t written = steps.write(fd, contents.data() + done, contents.size() - done);
    if (written < 0 && errno == EINTR) continue;
    // Zero bytes written on a non-empty request means no progress will come.
    if (written == 0) return ENOSPC;
    if (written < 0) return lastError();
    done += static_cast<std::size_t>(written);
  }
  return 0;
}

// Makes the rename itself durable; the data is already safe if this fails.
void syncDirectory(const std::string& directory) {
  const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// Removes one leftover if it is what it seems: a regular file of ours that
// no writer holds and that has not been touched for a while.
void removeIfStale(int directory, const char* name, std::time_t now) {
  const int fd = openat(directory, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  struct stat info {};
  const bool stale = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid() &&
                     now - info.st_mtime > kStaleAfterSeconds && flock(fd, LOCK_EX | LOCK_NB) == 0;
  if (stale) unlinkat(directory, name, 0);
  close(fd);
}

}  // namespace

FileWriteSteps::FileWriteSteps()
    : create([](char* pattern) { return mkostemp(pattern, O_CLOEXEC); }),
      write([](int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }),
      sync([](int fd) { return ::fsync(fd); }),
      rename([](const char* from, const char* to) { return std::rename(from, to); }) {}

FileWriteSteps& programFileWriteSteps() {
  static FileWriteSteps steps;
  return steps;
}

FileReplacement replaceFileAtomically(const std::string& path, std::string_view contents,
                                      const FileWriteSteps& steps) {
  const std::string target = resolveTarget(path);
  removeStaleTemporaries(target);
  const std::string pattern = temporaryPattern(target);
  std::vector<char> temporary(pattern.begin(), pattern.end());
  temporary.push_back('\0');
  errno = 0;
  const int fd = steps.create(temporary.data());
  if (fd < 0) return {lastError()};
  // Held until the file is closed: a later start sees it is in use.
  flock(fd, LOCK_EX);

  // mkostemp makes the file private; a file being replaced keeps its mode,
  // a new one gets what the user's umask allows.
  struct stat previous {};
  const mode_t mode = stat(target.c_str(), &previous) == 0 ? previous.st_mode & kPermissionBits
                                                            : kNewFileMode & ~currentUmask();
  fchmod(fd, mode);

  int error = writeAll(fd, contents, steps);
  errno = 0;
  if (error == 0 && steps.sync(fd) != 0) error = lastError();
  if (close(fd) != 0 && error == 0) error = lastError();
  errno = 0;
  if (error == 0 && steps.rename(temporary.data(), target.c_str()) != 0) error = lastError();
  if (error != 0) {
    unlink(temporary.data());
    return {error};
  }
  syncDirectory(directoryOf(target));
  return {};
}

void removeStaleTemporaries(const std::string& path, bool earlierNames) {
  const std::string name = path.substr(nameStart(path));
  const auto close = [](DIR* d) { closedir(d); };
  std::unique_ptr<DIR, decltype(close)> directory(opendir(directoryOf(path).c_str()), close);
  if (!directory) return;
  const std::time_t now = std::time(nullptr);
  while (const dirent* entry = readdir(directory.get())) {
    const std::string_view entryName = entry->d_name;
    if (isTemporaryOf(entryName, name, kTemporaryMarker) ||
        (earlierNames && isTemporaryOf(entryName, name, kEarlierMarker)))
      removeIfStale(dirfd(directory.get()), entry->d_name, now);
  }
}

std::string saveFailureText(const std::string& path, int error) {
  std::string reason;
  switch (error) {
    case ENOSPC:
    case EDQUOT: reason = "the disk is full"; break;
    case EACCES:
    case EPERM: reason = "permission denied"; break;
    case EROFS: reason = "the disk is read-only"; break;
    case ENOENT:
    case ENOTDIR: reason = "the folder does not exist"; break;
    case EISDIR: reason = "a folder has that name"; break;
    default: reason = std::strerror(error); break;
  }
  return "Could not save " + path + ": " + reason + ". Any file already there is unchanged.";
}
