#pragma once
// The connection as the session and the transfers see it: bytes go out
// through it, and it can be ended. The TCP client is one; tests use fakes.
#include <cstdint>

class ByteLink {
 public:
  virtual ~ByteLink() = default;
  // Writes what the connection takes at once and returns that count; 0 and
  // nothing written when it is not connected.
  virtual std::int32_t Send(const void* data, std::int32_t length) = 0;
  // Connected: ends the connection in order and returns true. While the
  // attempt still runs: asks it to give up (it then ends as cancelled) and
  // returns false. Otherwise false.
  virtual bool Disconnect() = 0;
};
