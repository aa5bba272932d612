// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One Punter send over the open connection: the sender's side of the
// exchange the receive speaks. On the receiver's "S/B" it sends the next
// item (the file-type block, "SYN", the header-only block, the data blocks
// of up to 248 bytes, the final one marked, the closing "SYN"); it answers
// "GOO" and "BAD" with "ACK" (a block that was bad goes again), the first
// "SYN" with "ACK" and the closing one with "S/B". Every write waits a
// moment (a board drops what arrives while it is still talking), and the
// last write goes again after a silence. Passive, as every engine.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "settings/ByteBuffer.h"
#include "transfer/Deadlines.h"
#include "transfer/FileTransfer.h"
#include "transfer/Punter.h"
#include "transfer/TransferLimits.h"
#include "transfer/TransferLink.h"

namespace punter {
// The file-type block's one byte.
inline constexpr std::uint8_t kProgramFile = 1;
inline constexpr std::uint8_t kSequentialFile = 2;
// Data bytes in a full block: its size field (one byte) holds the header too.
inline constexpr std::size_t kLargestBlock = 255;
inline constexpr std::size_t kLargestData = kLargestBlock - kHeaderSize;

// A block of `size` data bytes at `data`, with its checksums, into `block`.
void buildBlock(ByteBuffer& block, std::uint8_t nextSize, std::uint16_t number, const std::uint8_t* data,
                std::size_t size);
}  // namespace punter

// ".seq" (in any case) is a sequential file, every other name a program.
std::uint8_t punterFileTypeOf(const std::string& name);

class PunterSend : public FileTransfer {
 public:
  enum TimerId : int {
    kAnswerTimer = 0,  // the short wait before each write
    kResendTimer = 1,  // the receiver is silent: the last write again
  };
  static constexpr std::uint32_t kAnswerDelayMs = Punter::kAnswerDelayMs;
  // Longer than the receive's own wait before it says its word again, so
  // that with a receiver that does, the two do not cross.
  static constexpr std::uint32_t kResendMs = 5000;
  static constexpr std::uint32_t kMaxUnanswered = transfer_limits::kMaxUnanswered;
  static constexpr std::uint32_t kMaxRetries = transfer_limits::kMaxRetries;

  PunterSend(TransferLink& link, const TransferClock& clock);

  // Starts sending `file`; nothing goes out until the receiver calls.
  void initiate(ByteBuffer file, std::uint8_t fileType);
  void receive(const std::uint8_t* bytes, std::size_t size) override;
  std::optional<TransferMs> deadline() const override { return timers.next(); }
  void timeout() override;
  // Stops at once; Punter has no word for it, the receiver gives up on its own.
  void cancel() override;
  void connectionClosed() override;

  bool isActive() const override { return active; }
  TransferEnd end() const override { return ending; }
  std::size_t progressBytes() const override;
  std::uint32_t resendCount() const { return resends; }

 private:
  enum class Awaiting : std::uint8_t { Call, SendBlock, Verdict, SynReply };

  void heard(const char* word);
  // What to write once the short wait is over.
  void answerWord(const char* word, bool thenComplete = false);
  void answerItem();
  void queue(bool thenComplete);
  void sendPending();
  void resend();
  void write();
  std::size_t itemCount() const { return kFirstData + dataBlocks + 1; }
  bool isSyn(std::size_t item) const { return item == kSynItem || item + 1 == itemCount(); }
  void buildItem(std::size_t item);
  void finish(TransferEnd how);

  static constexpr std::size_t kSynItem = 1, kFirstData = 3;

  TransferLink& link;
  Deadlines timers;
  ByteBuffer file;
  std::uint8_t fileType = punter::kProgramFile;
  std::size_t dataBlocks = 0;
  std::size_t next = 0;  // the item the receiver's next "S/B" gets
  Awaiting awaiting = Awaiting::Call;
  ByteBuffer heardBytes;  // only what could begin a word is kept
  ByteBuffer out;         // the write waiting, or the last one
  bool pending = false;   // `out` waits for the short wait to pass
  bool completeWhenSent = false;
  bool active = false;
  std::uint32_t retries = 0;
  std::uint32_t unanswered = 0;
  std::uint32_t resends = 0;
  TransferEnd ending = TransferEnd::Running;
};
