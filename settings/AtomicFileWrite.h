// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Replacing a file so that a crash, a kill or a full disk during the write
// leaves either the old contents or the new ones, never a truncated file:
// the text goes to a temporary file beside the target, is flushed to disk
// and then renamed over the target. Every file the program saves goes
// through here.
#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// The system calls the replacement goes through. The defaults are the real
// ones; tests swap single steps to simulate a failing disk or a crash. A
// step that fails returns -1 and sets errno.
struct FileWriteSteps {
  // mkostemp: makes the temporary file from its name pattern.
  std::function<int(char* pattern)> create;
  std::function<ssize_t(int fd, const void* data, std::size_t size)> write;
  std::function<int(int fd)> sync;
  std::function<int(const char* from, const char* to)> rename;

  FileWriteSteps();
};

// The steps every save uses unless it is given others: the real ones, or
// those a test has put in their place.
FileWriteSteps& programFileWriteSteps();

// Whether the file was replaced, and if not, the error of the step that
// failed (an errno value).
struct FileReplacement {
  int error = 0;
  explicit operator bool() const { return error == 0; }
};

// Makes path hold exactly contents. On failure the previous file, if any,
// is unchanged and no temporary file is left behind. A symbolic link at
// path is followed, so the file it names is replaced, not the link. A
// file that is replaced keeps its mode; a new one gets the user's umask.
// Temporary files of earlier replacements of the same file that were left
// by a crash or a kill are removed first.
FileReplacement replaceFileAtomically(const std::string& path, std::string_view contents,
                                      const FileWriteSteps& steps = programFileWriteSteps());

// Removes the temporary files a killed replacement of `path` left beside
// it: each is the program's own by its name, no longer locked by a
// writer, and over a minute old. `earlierNames` also takes the names
// earlier versions used (.NAME.XXXXXX), for the program's own directory.
void removeStaleTemporaries(const std::string& path, bool earlierNames = false);

// What the user is told when a save failed: the file, the reason (a full
// disk, no permission, a read-only disk, ...) and that the old file stays.
std::string saveFailureText(const std::string& path, int error);
