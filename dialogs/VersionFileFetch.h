#pragma once
// One GET of the version file over HTTP or HTTPS (libcurl). Blocking; safe
// to run on a worker thread: it touches nothing but its arguments.
#include <cstddef>
#include <functional>
#include <string>

constexpr long kVersionFileTimeoutSeconds = 30;
// A version file is a few hundred bytes; a larger answer is refused rather
// than read into memory without end.
constexpr std::size_t kVersionFileSizeLimit = 32u * 1024 * 1024;

struct VersionFileRequest {
  std::string address;    // the whole URL
  std::string userAgent;  // the "User-Agent" header
  long timeoutSeconds = kVersionFileTimeoutSeconds;  // for the whole request
  std::size_t sizeLimit = kVersionFileSizeLimit;
  // Polled during the transfer; true ends it (as "Last action aborted.").
  std::function<bool()> cancelled;
};

struct VersionFileAnswer {
  bool ok = false;
  std::string body;     // the answer's bytes when ok
  int protocolError = 0;  // a ProtocolError code when not ok
};

VersionFileAnswer fetchVersionFile(const VersionFileRequest& request);

// The protocol error code of a finished transfer: libcurl's result code and
// the HTTP status of the last answer (0 when none arrived).
int protocolErrorOfTransfer(int curlResult, long httpStatus);
