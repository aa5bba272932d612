// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The connection as the session and the transfers see it: the line the
// bytes go out on (keys and transfer packets alike), which can also be
// ended. The TCP client is one; tests use fakes.
#include "transfer/TransferLink.h"

class ByteLink : public TransferLink {
 public:
  // Connected: ends the connection in order and returns true. While the
  // attempt still runs: asks it to give up (it then ends as cancelled) and
  // returns false. Otherwise false.
  virtual bool Disconnect() = 0;
};
