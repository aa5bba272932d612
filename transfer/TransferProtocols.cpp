// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/TransferProtocols.h"

#include <stdexcept>

#include "transfer/MultiPunterReceive.h"
#include "transfer/Punter.h"
#include "transfer/PunterSend.h"
#include "transfer/Xmodem.h"
#include "transfer/YmodemReceive.h"
#include "transfer/YmodemSend.h"

namespace {

using Direction = TransferDirection;

template <class Engine>
std::unique_ptr<Engine> make(TransferLink& line, const TransferClock& clock) {
  return std::make_unique<Engine>(line, clock);
}

// The receives that start from the line and the clock alone.
template <class Engine>
std::unique_ptr<FileTransfer> receiveWith(TransferLink& line, const TransferClock& clock, const OutgoingFile*) {
  auto engine = make<Engine>(line, clock);
  engine->initiate();
  return engine;
}

template <bool oneK>
std::unique_ptr<FileTransfer> xmodemSend(TransferLink& line, const TransferClock& clock, const OutgoingFile* file) {
  auto engine = make<Xmodem>(line, clock);
  engine->initiateSend(file->bytes, oneK);
  return engine;
}

std::unique_ptr<FileTransfer> punterSend(TransferLink& line, const TransferClock& clock, const OutgoingFile* file) {
  auto engine = make<PunterSend>(line, clock);
  engine->initiate(file->bytes, punterFileTypeOf(file->name));
  return engine;
}

std::unique_ptr<FileTransfer> ymodemSend(TransferLink& line, const TransferClock& clock, const OutgoingFile* file) {
  auto engine = make<YmodemSend>(line, clock);
  engine->initiate(file->bytes, file->name, file->modified);
  return engine;
}

}  // namespace

const std::vector<TransferProtocol>& transferProtocols() {
  static const std::vector<TransferProtocol> table = {
      {TransferProtocolId::XmodemReceive, "Xmodem &Receive", "Receive a file using Xmodem", "Xmodem",
       Direction::Receive, false, NameCharset::Ascii, "Xmodem receive; handshaking", receiveWith<Xmodem>},
      {TransferProtocolId::PunterReceive, "&Punter Receive\tF3", "Receive a file using Punter", "Punter",
       Direction::Receive, false, NameCharset::Petscii, "Punter receive: waiting for the board", receiveWith<Punter>},
      {TransferProtocolId::MultiPunterReceive, "&Multi-Punter Receive",
       "Receive a batch of files using Multi-Punter into the download folder", "Multi-Punter", Direction::Receive,
       true, NameCharset::Petscii, "Multi-Punter receive: waiting for the board",
       receiveWith<MultiPunterReceive>},
      {TransferProtocolId::YmodemReceive, "&Ymodem Receive",
       "Receive a batch of files using Ymodem into the download folder", "Ymodem", Direction::Receive, true,
       NameCharset::Ascii, "Ymodem receive: waiting for the board", receiveWith<YmodemReceive>},
      {TransferProtocolId::XmodemSend, "&Xmodem Send\tF1", "Send a file using Xmodem", "Xmodem", Direction::Send,
       false, NameCharset::Ascii, "Xmodem send; handshaking", xmodemSend<false>},
      {TransferProtocolId::Xmodem1kSend, "Xmodem-&1k Send", "Send a file using Xmodem-1k", "Xmodem",
       Direction::Send, false, NameCharset::Ascii, "Xmodem send; handshaking", xmodemSend<true>},
      {TransferProtocolId::PunterSend, "P&unter Send", "Send a file using Punter", "Punter", Direction::Send, false,
       NameCharset::Petscii, "Punter send: waiting for the board", punterSend},
      {TransferProtocolId::YmodemSend, "Ymodem S&end", "Send a file using Ymodem", "Ymodem", Direction::Send, false,
       NameCharset::Ascii, "Ymodem send: waiting for the board", ymodemSend},
  };
  return table;
}

const TransferProtocol& transferProtocol(TransferProtocolId id) {
  for (const TransferProtocol& protocol : transferProtocols())
    if (protocol.id == id) return protocol;
  throw std::out_of_range("no such transfer protocol");
}
