// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A Ymodem batch receive: for each file the sender's block 0 (name and
// size) is asked for with "C" and acknowledged, then the file comes as an
// Xmodem transfer in CRC mode (1k blocks or 128), asked for with "C" again;
// a block 0 without a name ends the batch. Each file is cut to the size its
// header gave (the last block's padding is not the file's) and handed to
// the owner by takeFiles.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "transfer/BatchFiles.h"
#include "transfer/Deadlines.h"
#include "transfer/FileTransfer.h"
#include "transfer/TransferLimits.h"
#include "transfer/TransferLink.h"
#include "transfer/Xmodem.h"

class YmodemReceive : public FileTransfer {
 public:
  enum TimerId : int {
    kRequestTimer = 0,  // "C" again while no block 0 comes
    kQuietTimer = 1,    // after a bad block 0: the line has been quiet
  };
  static constexpr std::uint32_t kRequestPeriodMs = 3000;
  static constexpr std::uint32_t kQuietMs = Xmodem::kQuietMs;
  static constexpr std::uint32_t kMaxUnanswered = transfer_limits::kMaxUnanswered;
  static constexpr std::uint32_t kMaxRetries = transfer_limits::kMaxRetries;
  static constexpr std::size_t kMaxFiles = transfer_limits::kMaxBatchFiles;

  YmodemReceive(TransferLink& link, const TransferClock& clock);

  // Starts the batch: the first "C" goes out at once.
  void initiate();
  void receive(const std::uint8_t* bytes, std::size_t size) override;
  std::optional<TransferMs> deadline() const override;
  void timeout() override;
  void cancel() override;
  void connectionClosed() override;

  bool isActive() const override { return active; }
  TransferEnd end() const override { return ending; }
  std::size_t progressBytes() const override { return batch.progressBytes(); }
  std::vector<BatchFile> takeFiles() override { return batch.take(); }
  std::string currentName() const override { return batch.currentName(); }
  std::size_t filesDone() const override { return batch.filesDone(); }
  // Bytes held back for the rest of a block 0 (less than one block).
  std::size_t bufferedBytes() const { return pending.size(); }

 private:
  void requestHeader();
  void headerBytes(const std::uint8_t* bytes, std::size_t size);
  void acceptHeader(const std::uint8_t* packet);
  void badHeader();
  // The file's Xmodem receive has moved on; once it has ended, how.
  void fileMoved(std::optional<TransferEnd> fileEnd);
  void writeByte(std::uint8_t byte);
  void abort(TransferEnd how);
  void finish(TransferEnd how);

  TransferLink& link;
  Deadlines timers;
  Xmodem file;
  BatchFiles batch{file};
  ByteBuffer pending;
  bool purging = false;
  std::uint32_t unanswered = 0;
  std::uint32_t retries = 0;
  bool active = false;
  TransferEnd ending = TransferEnd::Running;
};
