// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A Ymodem send of one file: block 0 with the file's name and size when
// the receiver asks ("C"), then the file as Xmodem-1k in CRC mode once the
// receiver asks again, then, at the next "C", an empty block 0 that ends
// the batch.
#include <cstddef>
#include <cstdint>
#include <string>

#include "transfer/Deadlines.h"
#include "transfer/FileTransfer.h"
#include "transfer/TransferLimits.h"
#include "transfer/TransferLink.h"
#include "transfer/Xmodem.h"

class YmodemSend : public FileTransfer {
 public:
  enum TimerId : int {
    kWaitTimer = 0,  // the receiver's first request, or its answer to a block 0
  };
  // How long the receiver has to ask for the file.
  static constexpr std::uint32_t kFirstRequestMs = 60000;
  // Silence after a block 0 before it goes again.
  static constexpr std::uint32_t kReplyMs = 10000;
  static constexpr std::uint32_t kMaxRetries = transfer_limits::kMaxRetries;

  YmodemSend(TransferLink& link, const TransferClock& clock);

  // `modified`: when the file was last changed, in seconds since 1970.
  void initiate(ByteBuffer file, const std::string& name, std::int64_t modified);
  void receive(const std::uint8_t* bytes, std::size_t size) override;
  std::optional<TransferMs> deadline() const override;
  void timeout() override;
  void cancel() override;
  void connectionClosed() override;

  bool isActive() const override { return active; }
  TransferEnd end() const override { return ending; }
  std::size_t progressBytes() const override;

 private:
  enum class Stage : std::uint8_t { Request, HeaderSent, Data, Close, CloseSent };

  void headerStage(const std::uint8_t* bytes, std::size_t size);
  void sendBlockZero(bool empty);
  // The receiver asked for block 0 again, or did not answer it.
  void again();
  void writeByte(std::uint8_t byte);
  void finish(TransferEnd how);

  TransferLink& link;
  Deadlines timers;
  Xmodem file;
  ByteBuffer bytesToSend;
  std::string name;
  std::int64_t modified = 0;
  Stage stage = Stage::Request;
  bool crc = true;
  std::uint32_t retries = 0;
  ByteBuffer packet;
  bool active = false;
  TransferEnd ending = TransferEnd::Running;
};
