// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The toolkit-free half of the TCP client: its states and results, the check
// of a host name before it reaches the resolver, and the decisions of a
// connection attempt (how long the next wait is, what a finished wait means).
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qwx {

enum class ClientState : std::int32_t {
  Closing = 0,          // only while Disconnect runs
  Idle = 1,             // no attempt running: never connected, failed or disconnected
  Connecting = 2,       // ConnectTo is waiting for the connection
  CancelRequested = 3,  // Disconnect came during the wait; ConnectTo gives up
  Connected = 4,
};

enum class ConnectResult : std::int32_t {
  HostNameFailed = 0,  // no usable host name or port
  Refused = 1,         // the attempt failed: refused, unreachable
  TimedOut = 2,        // nothing within the limit
  Cancelled = 3,       // Disconnect during the attempt
  Connected = 4,
};

// The attempt waits in steps of at most this long, so that the owner's
// event loop keeps running and a cancellation is seen between steps.
inline constexpr std::chrono::milliseconds kConnectWaitStep{3000};
inline constexpr std::int32_t kDefaultConnectTimeoutSeconds = 15;
// The longest name the domain name system can carry.
inline constexpr std::size_t kMaxHostNameLength = 253;

// The name to resolve: `host` without leading and trailing white space.
// None when that is empty, longer than a domain name can be, or holds a
// control byte (a NUL would silently cut the name short on its way to the
// resolver, and no host name has the others).
std::optional<std::string> connectHostName(std::string_view host);

// The time limit of one attempt, started when the attempt starts.
class ConnectDeadline {
 public:
  using Clock = std::chrono::steady_clock;

  // A limit of zero or less leaves a single poll of the socket.
  ConnectDeadline(Clock::time_point start, std::int32_t limitSeconds);

  // A full step, or what is left of the limit; zero once it has passed.
  std::chrono::milliseconds NextWait(Clock::time_point now) const;
  bool Passed(Clock::time_point now) const { return now >= end; }

 private:
  Clock::time_point end;
};

// What the client found after one wait.
struct WaitFindings {
  bool ranOut = false;           // the wait ended without a socket event
  bool connected = false;        // the socket is connected
  bool cancelRequested = false;  // Disconnect was called meanwhile
  bool peerClosed = false;       // the socket recorded the connection as lost
  bool limitPassed = false;      // the attempt's deadline has passed
};

// The attempt's result, or none to wait another step. A cancellation wins
// over a connection that came in during the same wait: the user asked to
// stop. A wait that ended early without a connection means the connect
// failed; only running out at the limit is a time-out.
std::optional<ConnectResult> attemptOutcome(const WaitFindings& found);

}  // namespace qwx
