// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Handing a connection to another program (a file-transfer tool, say): the
// program runs through /bin/sh with the socket as its standard input and
// output, and the line ends when it exits.
#include <string>

#include "host/morlen_host_session.h"

// Runs command on the blocking socket fd and waits for it. Returns
// CallerHungUp once the program has exited by itself, Dropped or Terminate
// when a signal ended it first. The socket is left open for the caller.
SessionEnd RunOnConnection(int fd, const std::string& command);
