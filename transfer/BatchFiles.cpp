// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/BatchFiles.h"

void BatchFiles::clear() {
  going = false;
  count = 0;
  completed.clear();
}

void BatchFiles::start(std::string fileName, std::optional<std::uint64_t> fileSize) {
  name = std::move(fileName);
  size = fileSize;
  going = true;
}

std::optional<TransferEnd> BatchFiles::receive(const std::uint8_t* bytes, std::size_t byteCount) {
  file.receive(bytes, byteCount);
  return moved();
}

std::optional<TransferEnd> BatchFiles::timeout() {
  file.timeout();
  return moved();
}

std::optional<TransferEnd> BatchFiles::moved() {
  if (file.isActive()) return std::nullopt;
  going = false;
  const TransferEnd end = file.end();
  if (end != TransferEnd::Completed) return end;
  ByteBuffer data = file.takeData();
  if (size && data.size() > *size) data.resize(*size);
  completed.push_back(BatchFile{name, std::move(data)});
  ++count;
  return end;
}

void BatchFiles::cancel() {
  if (going) file.cancel();
  going = false;
}

void BatchFiles::connectionClosed() {
  if (going) file.connectionClosed();
  going = false;
}
