// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A Punter sender as a C64 board runs one: it sends a file in blocks,
// answering the receiver's words, and after each write of its own it drops
// whatever the caller sent while that write was still going out, as a
// board behind a modem does. A receiver that answers at once loses its word.
#include <cstdint>
#include <string>
#include <vector>

#include "host/morlen_host_session.h"
#include "settings/ByteBuffer.h"

// About the time a three-letter word takes at 2400 baud, and some.
constexpr std::uint64_t kPunterFlushMs = 20;

// Sends `file` on the blocking socket fd. Returns BoardFinished once the
// receiver has answered the closing "SYN", CallerHungUp when the caller
// hangs up or stays silent for a minute, Dropped or Terminate on a signal.
// The socket is left open for the caller.
SessionEnd SendWithPunter(int fd, const ByteBuffer& file);

// A file of a batch and the name it goes by.
struct HostFile {
  std::string name;
  ByteBuffer bytes;
};

// Sends `files` as a Multi-Punter batch: each announced (sixteen 0x09, the
// name in PETSCII, a comma, "S" for a name ending in .seq or "P", RETURN)
// and then sent as above; after the last sixteen 0x09, sixteen 0x04 and
// RETURN. Returns as SendWithPunter does.
SessionEnd SendWithMultiPunter(int fd, const std::vector<HostFile>& files);
