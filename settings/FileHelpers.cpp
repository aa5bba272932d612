#include "settings/FileHelpers.h"

#include <sys/stat.h>

#include <fstream>
#include <new>
#include <stdexcept>

namespace {
constexpr mode_t kPrivateDirectoryMode = 0700;
constexpr char kSeparator = '/';
}  // namespace

bool readWholeFile(const std::string& path, LoadedFile& file) {
  // A directory opens as a stream whose end lies at the largest offset.
  struct stat info {};
  if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return false;
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return false;
  const std::streamoff size = in.tellg();
  if (size < 0) return false;
  in.seekg(0, std::ios::beg);
  try {
    file.bytes.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  in.read(reinterpret_cast<char*>(file.bytes.data()), size);
  if (!in || in.gcount() != size) return false;
  file.path = path;
  return true;
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
