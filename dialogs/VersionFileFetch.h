// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The GET of the version file over HTTP or HTTPS (libcurl). It never
// blocks: the owner calls step() from its timer until the request has
// ended, and destroying it ends the request at once.
#include <cstddef>
#include <memory>
#include <string>

constexpr long kVersionFileTimeoutSeconds = 30;
// A version file is a few hundred bytes; a larger answer is refused rather
// than read into memory without end.
constexpr std::size_t kVersionFileSizeLimit = 1024 * 1024;

struct VersionFileRequest {
  std::string address;    // the whole URL
  std::string userAgent;  // the "User-Agent" header
  long timeoutSeconds = kVersionFileTimeoutSeconds;  // for the whole request
  std::size_t sizeLimit = kVersionFileSizeLimit;
};

struct VersionFileAnswer {
  bool ok = false;
  std::string body;     // the answer's bytes when ok
  int protocolError = 0;  // a ProtocolError code when not ok
};

class VersionFileFetch {
 public:
  explicit VersionFileFetch(const VersionFileRequest& request);
  ~VersionFileFetch();
  VersionFileFetch(const VersionFileFetch&) = delete;
  VersionFileFetch& operator=(const VersionFileFetch&) = delete;

  // Does what the network allows without waiting; true once the request
  // has ended, and answer() then holds its outcome.
  bool step();
  const VersionFileAnswer& answer() const { return answer_; }

 private:
  struct Transfer;
  std::unique_ptr<Transfer> transfer_;
  VersionFileAnswer answer_;
};

// The protocol error code of a finished transfer: libcurl's result code and
// the HTTP status of the last answer (0 when none arrived).
int protocolErrorOfTransfer(int curlResult, long httpStatus);
