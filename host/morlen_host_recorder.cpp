// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/morlen_host_recorder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
constexpr mode_t kRecordFileMode = 0644;
}  // namespace

ByteRecorder::~ByteRecorder() {
  if (fd_ >= 0) close(fd_);
}

bool ByteRecorder::Open(const std::string& path, std::string& error) {
  fd_ = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, kRecordFileMode);
  if (fd_ >= 0) return true;
  error = "cannot open " + path + ": " + std::strerror(errno);
  return false;
}

void ByteRecorder::Write(const std::uint8_t* data, std::size_t size) {
  while (fd_ >= 0 && size > 0) {
    const ssize_t n = write(fd_, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // A record with holes would mislead the test reading it: say so once
      // and stop recording.
      std::fprintf(stderr, "morlen-host: recording stopped: %s\n", std::strerror(errno));
      close(fd_);
      fd_ = -1;
      return;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}
