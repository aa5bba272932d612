// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line of morlen-host.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

constexpr std::uint64_t kDefaultChunkBytes = 64;

struct HostOptions {
  std::uint16_t port = 0;  // 0: the system picks a free one
  std::string scriptPath;  // empty: the built-in demo board
  std::string recordPath;
  std::string execCommand;
  std::string punterPath;  // --punter
  std::vector<std::string> multiPunterPaths;  // --multi-punter, in order
  std::string configDirectory;  // --write-config
  std::optional<std::uint64_t> dropAfterBytes;
  std::uint64_t delayMs = 0;
  std::uint64_t chunkBytes = kDefaultChunkBytes;  // never 0
  bool once = false;
  bool telnet = false;  // speak telnet to the caller
  bool stdio = false;   // serve one caller on standard input and output
  bool help = false;
  bool version = false;
};

// A mistake on the command line; the message names it in one line.
struct HostUsageError {
  std::string message;
};

// Throws HostUsageError.
HostOptions ParseHostOptions(const std::vector<std::string>& args);

extern const char* const kHostUsage;
extern const char* const kHostVersion;
