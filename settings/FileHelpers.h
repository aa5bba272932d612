// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whole-file reading, existence test and directory creation. Paths are
// 8-bit texts handed to the system as they are.
#include <string>

#include "settings/ByteBuffer.h"

// Why a file could not be read.
enum class ReadFailure {
  None,
  Missing,         // nothing at the path
  NoPermission,    // there, but not ours to read
  NotRegularFile,  // a directory, pipe, device or socket: refused unopened
  Failed,          // any other error while opening or reading
};

struct LoadedFile {
  std::string path;  // the path as opened
  ByteBuffer bytes;
  ReadFailure failure = ReadFailure::None;
};

// Reads the whole of a regular file into file.bytes and records the path.
// Anything else is refused at once, without waiting for a writer or
// reading a device. On false, file.failure says why and the bytes must not
// be used.
bool readWholeFile(const std::string& path, LoadedFile& file);
// True when stat succeeds on the path.
bool fileExists(const std::string& path);
// Creates, with mode 0700, every missing directory of the path up to its
// last solidus; the part after it (the file name) is left alone. False as
// soon as one creation fails.
bool makeDirectories(const std::string& path);
