#pragma once
// A Punter sender as a C64 board runs one: it sends a file in blocks,
// answering the receiver's words, and after each write of its own it drops
// whatever the caller sent while that write was still going out, as a
// board behind a modem does. A receiver that answers at once loses its word.
#include <cstdint>

#include "host/morlen_host_session.h"
#include "settings/ByteBuffer.h"

// About the time a three-letter word takes at 2400 baud, and some.
constexpr std::uint64_t kPunterFlushMs = 20;

// Sends `file` on the blocking socket fd. Returns BoardFinished once the
// receiver has answered the closing "SYN", CallerHungUp when the caller
// hangs up or stays silent for a minute, Dropped or Terminate on a signal.
// The socket is left open for the caller.
SessionEnd SendWithPunter(int fd, const ByteBuffer& file);
