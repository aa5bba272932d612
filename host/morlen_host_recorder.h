// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The --record file: every byte the callers send, appended as it arrives,
// so that a test can compare exactly what the terminal sent.
#include <cstddef>
#include <cstdint>
#include <string>

class ByteRecorder {
 public:
  ByteRecorder() = default;
  ~ByteRecorder();
  ByteRecorder(const ByteRecorder&) = delete;
  ByteRecorder& operator=(const ByteRecorder&) = delete;

  // Opens (creating it if needed) for appending. False with the reason in
  // error when that fails.
  bool Open(const std::string& path, std::string& error);
  bool IsOpen() const { return fd_ >= 0; }
  // Straight to the file with no buffering of our own, so a reader sees the
  // bytes as soon as this returns. Does nothing while not open.
  void Write(const std::uint8_t* data, std::size_t size);

 private:
  int fd_ = -1;
};
