#include "settings/AtomicFileWrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr char kSeparator = '/';
constexpr char kTemporaryPrefix = '.';
constexpr std::string_view kTemporarySuffix = ".XXXXXX";  // mkostemp's pattern
constexpr mode_t kPermissionBits = 07777;

// The file a path finally names: a link to a managed dotfile stays a link.
std::string resolveTarget(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr), &std::free);
  return resolved ? std::string(resolved.get()) : path;
}

std::string directoryOf(const std::string& path) {
  const std::size_t slash = path.rfind(kSeparator);
  if (slash == std::string::npos) return ".";
  return slash == 0 ? std::string(1, kSeparator) : path.substr(0, slash);
}

// A hidden name beside the target, so the rename never crosses file systems.
std::string temporaryPattern(const std::string& target) {
  const std::size_t slash = target.rfind(kSeparator);
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  return target.substr(0, nameStart) + kTemporaryPrefix + target.substr(nameStart) +
         std::string(kTemporarySuffix);
}

bool writeAll(int fd, std::string_view contents, const FileWriteSteps& steps) {
  std::size_t done = 0;
  while (done < contents.size()) {
    const ssize_t written = steps.write(fd, contents.data() + done, contents.size() - done);
    if (written < 0 && errno == EINTR) continue;
    // Zero bytes written on a non-empty request means no progress will come.
    if (written <= 0) return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

// Makes the rename itself durable; the data is already safe if this fails.
void syncDirectory(const std::string& directory) {
  const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

FileWriteSteps::FileWriteSteps()
    : write([](int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }),
      sync([](int fd) { return ::fsync(fd); }),
      rename([](const char* from, const char* to) { return std::rename(from, to); }) {}

bool replaceFileAtomically(const std::string& path, std::string_view contents,
                           const FileWriteSteps& steps) {
  const std::string target = resolveTarget(path);
  const std::string pattern = temporaryPattern(target);
  std::vector<char> temporary(pattern.begin(), pattern.end());
  temporary.push_back('\0');
  const int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return false;

  // mkostemp makes the file private; a file being replaced keeps its mode.
  struct stat previous {};
  if (stat(target.c_str(), &previous) == 0) fchmod(fd, previous.st_mode & kPermissionBits);

  bool ok = writeAll(fd, contents, steps) && steps.sync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && steps.rename(temporary.data(), target.c_str()) == 0;
  if (!ok) {
    unlink(temporary.data());
    return false;
  }
  syncDirectory(directoryOf(target));
  return true;
}
