#pragma once
// Whole-file reading, existence test and directory creation. Paths are
// 8-bit texts handed to the system as they are.
#include <string>

#include "settings/ByteBuffer.h"

struct LoadedFile {
  std::string path;  // the path as opened
  ByteBuffer bytes;
};

// Reads the whole file into file.bytes and records the path. On false the
// contents of file are unspecified and must not be used.
bool readWholeFile(const std::string& path, LoadedFile& file);
// True when stat succeeds on the path.
bool fileExists(const std::string& path);
// Creates, with mode 0700, every missing directory of the path up to its
// last solidus; the part after it (the file name) is left alone. False as
// soon as one creation fails.
bool makeDirectories(const std::string& path);
