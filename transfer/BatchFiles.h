// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The files of a batch receive: the one on its way, moving through its own
// single-file engine, and those completed before it, counted and kept
// until the owner takes them, also when the batch stops part way.
// The batch's engine reads the protocol between files and starts each one.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "transfer/FileTransfer.h"
#include "transfer/TransferLimits.h"

class BatchFiles {
 public:
  // `file` is the engine each file moves through; it outlives this.
  explicit BatchFiles(FileTransfer& file) : file(file) {}

  // A new batch: no file on its way, none completed.
  void clear();
  bool full() const { return count == transfer_limits::kMaxBatchFiles; }
  // A file is on its way under `name`; the caller starts its engine. Data
  // past `size`, when given, is padding and not the file's.
  void start(std::string name, std::optional<std::uint64_t> size = std::nullopt);
  bool inFile() const { return going; }

  // The file's engine is handed bytes or time. While it goes on: nothing;
  // once it has ended: how, with a completed file kept.
  std::optional<TransferEnd> receive(const std::uint8_t* bytes, std::size_t size);
  std::optional<TransferEnd> timeout();
  std::optional<TransferMs> deadline() const { return file.deadline(); }
  // The file on its way, if any, is given up.
  void cancel();
  void connectionClosed();

  std::size_t progressBytes() const { return going ? file.progressBytes() : 0; }
  std::string currentName() const { return going ? name : std::string(); }
  std::size_t filesDone() const { return count; }
  std::vector<BatchFile> take() { return std::exchange(completed, {}); }

 private:
  std::optional<TransferEnd> moved();

  FileTransfer& file;
  bool going = false;
  std::string name;
  std::optional<std::uint64_t> size;
  std::size_t count = 0;
  std::vector<BatchFile> completed;
};
