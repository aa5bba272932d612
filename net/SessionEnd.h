#pragma once
// How a connection or its attempt ended.
enum class SessionEnd {
  None,
  HostNameFailed,
  Refused,
  TimedOut,
  Cancelled,
  Dropped,       // the host hung up or the line broke
  Disconnected,  // the user's Disconnect
  Closed,        // the window closed (the exit command among the ways)
  BrokenTelnet,  // the board's telnet server broke the protocol: the session hung up
};
