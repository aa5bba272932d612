// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the files of a batch go: each under the name its sender gave,
// made safe first, as a new file in the download folder (never replacing
// one: "NAME (1)", "NAME (2)"...), written whole or not at all.
#include <sys/types.h>

#include <cstddef>
#include <map>
#include <string>

#include "settings/AtomicFileWrite.h"
#include "settings/ByteBuffer.h"
#include "transfer/TransferProtocols.h"

// The longest name a saved file gets, in bytes.
inline constexpr std::size_t kLongestSafeName = 64;

// A sender's name for a file as a plain name inside one folder: no
// separator, no "..", no control byte, no leading dot, at most
// kLongestSafeName bytes of printable ASCII, never empty. PETSCII names
// have their shifted letters as ASCII capitals and their graphics as "_".
std::string safeFileName(const std::string& senderName, NameCharset charset);

struct FolderSave {
  bool ok = false;
  std::string path;  // the file written, or the one that could not be
  int error = 0;     // errno when it failed
};

class DownloadFolder {
 public:
  explicit DownloadFolder(std::string folder) : folder(std::move(folder)) {}

  // Writes `data` as a new file named after `senderName`.
  FolderSave save(const std::string& senderName, NameCharset charset, const ByteBuffer& data);
  const std::string& path() const { return folder; }

  // The writes go through these steps; tests make single ones fail. The
  // rename is always one that never replaces a file.
  FileWriteSteps steps;

 private:
  std::string folder;
  bool made = false;
  // The next number to try for each name of this batch, so that a batch of
  // many files of one name does not look at every earlier one again.
  std::map<std::string, unsigned> nextNumber;
};
