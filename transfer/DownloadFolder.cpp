// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/DownloadFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string_view>

#include "settings/FileHelpers.h"

namespace {

constexpr const char* kEmptyName = "file";
constexpr char kReplacement = '_';
// The highest " (n)" tried before giving up on a name.
constexpr unsigned kLastNumber = 99999;
// A dot this far from the end or nearer starts an extension the number goes before.
constexpr std::size_t kLongestExtension = 8;

constexpr std::uint8_t kShiftedSpace = 0xA0;
constexpr std::uint8_t kFirstShiftedLetter = 0xC1, kLastShiftedLetter = 0xDA;
// PETSCII's other codes for the shifted letters.
constexpr std::uint8_t kFirstLowShifted = 0x61, kLastLowShifted = 0x7A;

bool isControl(std::uint8_t b) { return b < 0x20 || b == 0x7F || (b >= 0x80 && b < kShiftedSpace); }

// Where PETSCII draws something other than the ASCII character.
bool isPetsciiOnly(std::uint8_t b) { return b == 0x5C || b == 0x5E || b == 0x5F || b == 0x60 || b >= 0x7B; }

char asciiOf(std::uint8_t b, NameCharset charset) {
  if (b == kShiftedSpace) return ' ';
  if (b >= kFirstShiftedLetter && b <= kLastShiftedLetter) return static_cast<char>('A' + (b - kFirstShiftedLetter));
  if (charset == NameCharset::Petscii) {
    if (b >= kFirstLowShifted && b <= kLastLowShifted) return static_cast<char>('A' + (b - kFirstLowShifted));
    if (isPetsciiOnly(b)) return kReplacement;
  }
  if (b >= 0x80 || b == '/') return kReplacement;
  return static_cast<char>(b);
}

void trimEnd(std::string& text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
}

// NAME, "NAME (1).SEQ" style: the number goes before a short extension.
std::string numbered(const std::string& name, unsigned number) {
  if (number == 0) return name;
  const std::size_t dot = name.rfind('.');
  const bool extension = dot != std::string::npos && dot > 0 && name.size() - dot <= kLongestExtension;
  const std::string ext = extension ? name.substr(dot) : std::string();
  const std::string suffix = " (" + std::to_string(number) + ")" + ext;
  std::string stem = name.substr(0, extension ? dot : name.size());
  if (stem.size() + suffix.size() > kLongestSafeName) stem.resize(kLongestSafeName - suffix.size());
  trimEnd(stem);
  return stem + suffix;
}

// A rename that fails with EEXIST rather than replace what is there.
int renameWithoutReplacing(const char* from, const char* to) {
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return -1;
  // A file system without that rename: a hard link fails the same way.
  if (link(from, to) != 0) return -1;
  unlink(from);
  return 0;
}

}  // namespace

std::string safeFileName(const std::string& senderName, NameCharset charset) {
  std::string name;
  for (const char c : senderName) {
    const auto b = static_cast<std::uint8_t>(c);
    if (isControl(b)) continue;
    const char ascii = asciiOf(b, charset);
    // No leading dot or blank; dots never two in a row, so never "..".
    if (name.empty() && (ascii == '.' || ascii == ' ')) continue;
    if (ascii == '.' && name.back() == '.') continue;
    name.push_back(ascii);
    if (name.size() == kLongestSafeName) break;
  }
  trimEnd(name);
  return name.empty() ? kEmptyName : name;
}

FolderSave DownloadFolder::save(const std::string& senderName, NameCharset charset, const ByteBuffer& data) {
  const std::string name = safeFileName(senderName, charset);
  if (!made) made = makeDirectories(folder + "/");
  // The replacement gives a new file the user's permissions; here it must
  // also never take the place of a file that came meanwhile.
  FileWriteSteps noReplace = steps;
  noReplace.rename = renameWithoutReplacing;
  const std::string_view bytes(reinterpret_cast<const char*>(data.data()), data.size());
  FolderSave result;
  for (unsigned number = nextNumber[name]; number <= kLastNumber; ++number) {
    result.path = folder + "/" + numbered(name, number);
    struct stat existing {};
    if (::lstat(result.path.c_str(), &existing) == 0) continue;
    const FileReplacement written = replaceFileAtomically(result.path, bytes, noReplace);
    if (written) {
      nextNumber[name] = number + 1;
      result.ok = true;
      return result;
    }
    result.error = written.error;
    // Taken since it was looked at: the next number.
    if (result.error != EEXIST) return result;
  }
  result.error = EEXIST;
  return result;
}
