#pragma once
// Replacing a file so that a crash, a kill or a full disk during the write
// leaves either the old contents or the new ones, never a truncated file:
// the text goes to a temporary file beside the target, is flushed to disk
// and then renamed over the target.
#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// The system calls the replacement goes through. The defaults are the real
// ones; tests swap single steps to simulate a failing disk or a crash.
struct FileWriteSteps {
  std::function<ssize_t(int fd, const void* data, std::size_t size)> write;
  std::function<int(int fd)> sync;
  std::function<int(const char* from, const char* to)> rename;

  FileWriteSteps();
};

// True when path now holds exactly contents. On false the previous file,
// if any, is unchanged and no temporary file is left behind. A symbolic
// link at path is followed, so the file it names is replaced, not the link.
bool replaceFileAtomically(const std::string& path, std::string_view contents,
                           const FileWriteSteps& steps = FileWriteSteps());
