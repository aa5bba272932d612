// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a connection or its attempt ended.
enum class SessionEnd {
  None,
  HostNameFailed,
  Refused,
  TimedOut,
  Cancelled,
  Dropped,        // the line broke, or the host hung up during a transfer
  ClosedByBoard,  // the host ended the connection in order
  Disconnected,   // the user's Disconnect
  Closed,         // the window closed (the exit command among the ways)
  BrokenTelnet,   // the board's telnet server broke the protocol: the session hung up
};

// How the socket saw a connection end.
enum class LineLoss {
  ClosedByBoard,  // the other side closed it in order
  Broken,         // an error: reset, timed out, unreachable
};
