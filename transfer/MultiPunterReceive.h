// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A Multi-Punter batch receive: before each file the sender announces it
// (a run of 0x09 bytes, the name in PETSCII, a comma, "S" or "P", RETURN)
// and then sends it as an ordinary Punter transfer, which the receiver's
// "GOO" starts; after the last file comes a run of 0x09, a run of 0x04 and
// RETURN. Each completed file is handed to the owner by takeFiles.
// A receive started after the board announced its file (the announcement
// went to the screen) would wait for ever: while no announcement comes it
// calls "GOO" as a Punter receive does, and a sender answering "ACK" gets
// its file taken under no name of its own.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "transfer/BatchFiles.h"
#include "transfer/Deadlines.h"
#include "transfer/FileTransfer.h"
#include "transfer/Punter.h"
#include "transfer/TransferLimits.h"
#include "transfer/TransferLink.h"

namespace multi_punter {
inline constexpr std::uint8_t kLeadIn = 0x09;
inline constexpr std::uint8_t kBatchEnd = 0x04;
inline constexpr std::uint8_t kReturn = 0x0D;
// Senders send sixteen of each; a line that lost a few still counts.
inline constexpr std::size_t kLeadInRun = 16;
inline constexpr std::size_t kShortestRun = 8;
// The longest announcement (name, comma, type) before its RETURN.
inline constexpr std::size_t kLongestHeader = 256;
}  // namespace multi_punter

class MultiPunterReceive : public FileTransfer {
 public:
  enum TimerId : int {
    kCallTimer = 0,  // no announcement yet: "GOO" for a sender that made it unseen
  };
  static constexpr std::uint32_t kCallPeriodMs = Punter::kHandshakePeriodMs;
  // Calls in a row without an announcement or an answer; then the receive gives up.
  static constexpr std::uint32_t kMaxUnanswered = transfer_limits::kMaxUnanswered;
  static constexpr std::size_t kMaxFiles = transfer_limits::kMaxBatchFiles;

  MultiPunterReceive(TransferLink& link, const TransferClock& clock);

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
  // 'S', 'P', or 0 when the announcement named no type.
  char currentType() const { return type; }
  // Bytes held back: an announcement so far, or the rest of a word or block.
  std::size_t heldBytes() const { return header.size() + (batch.inFile() ? file.bufferedBytes() : 0); }

 private:
  enum class Scan : std::uint8_t { LeadIn, Header, BatchEnd };

  void scanHeader(const std::uint8_t* bytes, std::size_t size);
  void startFile();
  // The sender answered a call without an announcement that was seen.
  void startUnannounced();
  void waitForAnnouncement();
  // The file's Punter receive has moved on; once it has ended, how.
  void fileMoved(std::optional<TransferEnd> fileEnd);
  void finish(TransferEnd how);

  TransferLink& link;
  Deadlines timers;
  Punter file;
  BatchFiles batch{file};
  Scan scan = Scan::LeadIn;
  std::size_t run = 0;  // bytes of the run being counted
  std::uint32_t lastBytes = 0;  // the last four bytes since a call, outside an announcement
  std::uint32_t calls = 0;
  std::string header;
  char type = 0;
  bool active = false;
  TransferEnd ending = TransferEnd::Running;
};
