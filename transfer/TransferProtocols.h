// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every protocol the Transfer menu offers, one row each: its menu item,
// the name its status texts use, which way the file goes, whether a
// receive is a batch saved into the download folder, and how its engine
// is made. The menu, its enable rules and the routing of received bytes
// are all built from this table: a new protocol is its engine and a row.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "settings/ByteBuffer.h"
#include "transfer/FileTransfer.h"
#include "transfer/TransferClock.h"
#include "transfer/TransferLink.h"

// Each protocol's identifier is also its command's in the main window.
enum class TransferProtocolId : int {
  XmodemSend = 6024,
  Xmodem1kSend = 6025,
  XmodemReceive = 6026,
  PunterReceive = 6027,
  PunterSend = 6052,
  MultiPunterReceive = 6053,
  YmodemReceive = 6054,
  YmodemSend = 6055,
};

enum class TransferDirection { Receive, Send };

// How a batch's senders write file names.
enum class NameCharset { Petscii, Ascii };

// The file a send carries: its bytes, the name it goes by, when it was
// last changed (seconds since 1970).
struct OutgoingFile {
  const ByteBuffer& bytes;
  const std::string& name;
  std::int64_t modified = 0;
};

struct TransferProtocol {
  TransferProtocolId id;
  const char* menuText;  // mnemonic, then a tab and the accelerator
  const char* help;
  const char* name;  // "Punter" in "Punter received 300 bytes"
  TransferDirection direction;
  bool batch;  // a receive of files saved one by one into the download folder
  NameCharset names;
  const char* startText;
  // Makes the engine and starts it; a send is given its file.
  std::unique_ptr<FileTransfer> (*start)(TransferLink& line, const TransferClock& clock, const OutgoingFile* file);
};

// In menu order: the receives, then the sends.
const std::vector<TransferProtocol>& transferProtocols();
const TransferProtocol& transferProtocol(TransferProtocolId id);
