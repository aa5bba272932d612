// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/FileHelpers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <stdexcept>

namespace {
constexpr mode_t kPrivateDirectoryMode = 0700;
constexpr char kSeparator = '/';
constexpr std::size_t kReadChunk = 1 << 16;

ReadFailure failureOf(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR: return ReadFailure::Missing;
    case EACCES:
    case EPERM: return ReadFailure::NoPermission;
    default: return ReadFailure::Failed;
  }
}

// Reads to the end, however the file's size changes meanwhile.
bool readToEnd(int fd, std::size_t sizeHint, ByteBuffer& bytes) {
  try {
    bytes.clear();
    bytes.reserve(sizeHint);
    for (;;) {
      const std::size_t done = bytes.size();
      bytes.resize(done + kReadChunk);
      const ssize_t got = read(fd, bytes.data() + done, kReadChunk);
      if (got < 0 && errno == EINTR) {
        bytes.resize(done);
        continue;
      }
      bytes.resize(done + static_cast<std::size_t>(got < 0 ? 0 : got));
      if (got <= 0) return got == 0;
    }
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
}
}  // namespace

bool readWholeFile(const std::string& path, LoadedFile& file) {
  // Not blocking: a pipe opens at once instead of waiting for a writer, and
  // is then refused like every other file that is not a regular one.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    file.failure = failureOf(errno);
    return false;
  }
  struct stat info {};
  bool ok = false;
  if (fstat(fd, &info) != 0) {
    file.failure = ReadFailure::Failed;
  } else if (!S_ISREG(info.st_mode)) {
    file.failure = ReadFailure::NotRegularFile;
  } else {
    ok = readToEnd(fd, static_cast<std::size_t>(info.st_size), file.bytes);
    file.failure = ok ? ReadFailure::None : ReadFailure::Failed;
  }
  close(fd);
  if (ok) file.path = path;
  return ok;
}

bool fileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

bool makeDirectories(const std::string& path) {
  for (std::size_t slash = path.find(kSeparator); slash != std::string::npos;
       slash = path.find(kSeparator, slash + 1)) {
    const std::string prefix = path.substr(0, slash + 1);
    if (!fileExists(prefix) && mkdir(prefix.c_str(), kPrivateDirectoryMode) != 0) return false;
  }
  return true;
}
