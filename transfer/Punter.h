// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One Punter receive over the open connection: a dialogue of three-letter
// words between blocks that carry two 16-bit checksums, the size of the
// next block and a block number. Passive: the owner hands it every chunk
// that arrives while it is active, serves its deadlines and reads its state.
#include <cstddef>
#include <cstdint>
#include <utility>

#include "settings/ByteBuffer.h"
#include "transfer/Deadlines.h"
#include "transfer/FileTransfer.h"
#include "transfer/TransferLimits.h"
#include "transfer/TransferLink.h"

namespace punter {
inline constexpr std::size_t kWordSize = 3;
inline constexpr char kGoo[] = "GOO";  // ready, or block good
inline constexpr char kBad[] = "BAD";  // block bad
inline constexpr char kAck[] = "ACK";
inline constexpr char kSendBlock[] = "S/B";
inline constexpr char kSyn[] = "SYN";  // end of a phase

// Block layout: additive checksum (2 bytes, little-endian), cyclic checksum
// (2), size of the next block including its header (1), block number (2,
// a high byte of kFinalBlock marks the last block), then the data.
inline constexpr std::size_t kChecksummedFrom = 4;
inline constexpr std::size_t kNextSizeAt = 4;
inline constexpr std::size_t kFinalMarkAt = 6;
inline constexpr std::size_t kHeaderSize = 7;
inline constexpr std::size_t kFileTypeBlockSize = 8;
inline constexpr std::uint8_t kFinalBlock = 0xFF;

// Both cover the bytes of a block from kChecksummedFrom to its end.
std::uint16_t additiveChecksum(const std::uint8_t* bytes, std::size_t size);
std::uint16_t cyclicChecksum(const std::uint8_t* bytes, std::size_t size);
// Both stored checksums of the block match its bytes.
bool blockIntact(const std::uint8_t* block, std::size_t size);
}  // namespace punter

class Punter : public FileTransfer {
 public:
  // The waits this engine keeps on its clock.
  enum TimerId : int {
    kHandshakeTimer = 0,  // "GOO" until the sender's first "ACK"
    kAnswerTimer = 1,     // the short wait before each word
    kResendTimer = 2,     // the sender is silent: the last word again
  };
  static constexpr std::uint32_t kHandshakePeriodMs = 2000;
  // Boards drop what arrives while their own word is still going out: a
  // word waits this long, and the sender is then ready for it.
  static constexpr std::uint32_t kAnswerDelayMs = 50;
  // Silence after which the last word goes out again.
  static constexpr std::uint32_t kResendMs = 3000;
  // Calls for a sender and resends of a word in a row; after the last of
  // them has gone unanswered too, the receive gives up.
  static constexpr std::uint32_t kMaxUnanswered = transfer_limits::kMaxUnanswered;
  // Bad blocks and stray words in a row that are answered; the next ends the receive.
  static constexpr std::uint32_t kMaxRetries = transfer_limits::kMaxRetries;

  Punter(TransferLink& link, const TransferClock& clock);

  // Starts the receive; the first call for the sender goes out after
  // `firstCallMs` (a sender that has just announced a file waits for it).
  void initiate(std::uint32_t firstCallMs = kHandshakePeriodMs);
  // Hands the engine a chunk that arrived on the line.
  void recieve(const std::uint8_t* bytes, std::size_t size);
  void recieve(const ByteBuffer& chunk) { recieve(chunk.data(), chunk.size()); }
  void receive(const std::uint8_t* bytes, std::size_t size) override { recieve(bytes, size); }
  std::optional<TransferMs> deadline() const override { return timers.next(); }
  void timeout() override;
  // The user's cancel: "BAD" three times at once, the data dropped.
  void cancel() override;
  // The line went away: the receive ends at once and writes nothing more.
  void connectionClosed() override;

  bool isActive() const override { return active; }
  const ByteBuffer& data() const { return received; }
  std::size_t progressBytes() const override { return received.size(); }
  // Hands the received data over, leaving none.
  ByteBuffer takeData() override { return std::exchange(received, ByteBuffer()); }
  std::uint64_t blockCount() const { return blocks; }
  std::uint32_t retryCount() const { return retries; }
  // Words said again because the sender was silent.
  std::uint32_t resendCount() const { return resends; }
  std::uint8_t currentState() const { return state; }
  TransferEnd end() const override { return ending; }
  // Bytes held back for the rest of a word or block (less than one block).
  std::size_t bufferedBytes() const { return buffer.size() - bufferStart; }

 private:
  enum class Word : std::uint8_t { None, Ack, Syn };

  void timerFired(int id);
  // One step of the exchange on the buffered bytes; false when it has to
  // wait for more.
  bool step();
  bool callStep();
  bool wordStep();
  bool synStep();
  bool blockStep();
  void advance();
  void badBlock(std::uint8_t backTo);
  // Counts a bad block or a stray word; false (and the receive over) at the limit.
  bool retry();
  // Answers the sender with `word` after the short wait; input arriving
  // meanwhile is dropped. `thenComplete`: the receive is complete once it is out.
  void answer(const char* word, bool thenComplete = false);
  void sendAnswer();
  void handshakeTick();
  void resend();
  void writeWord(const char* word);
  // Tells the sender to stop ("BAD" three times) and ends without data.
  void abort(TransferEnd how);
  void clearBuffer();
  void finish(TransferEnd how);

  TransferLink& link;
  Deadlines timers;

  ByteBuffer buffer;  // unconsumed bytes start at bufferStart
  std::size_t bufferStart = 0;
  ByteBuffer received;
  std::uint64_t blocks = 0;
  std::uint32_t retries = 0;  // bad blocks and stray words since the last good block
  bool active = false;
  std::uint8_t state = 0;  // 1 to 7
  Word expected = Word::None;
  std::uint8_t nextBlockSize = punter::kHeaderSize;
  bool last = false;
  bool calling = false;  // the first "GOO"s, until the sender's first "ACK"
  const char* pendingWord = nullptr;  // waiting to go out
  bool completeWhenSent = false;
  const char* lastWord = nullptr;  // the word a resend repeats
  std::uint32_t unanswered = 0;  // calls or resends since the sender was last heard
  std::uint32_t resends = 0;
  TransferEnd ending = TransferEnd::Running;
};
