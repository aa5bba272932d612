// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One Xmodem transfer over the open connection: receiving (128-byte blocks
// with checksum or CRC, 1024-byte blocks) or sending (128-byte blocks, or
// mostly 1024-byte blocks with oneK). Passive: the owner hands it every
// chunk that arrives while it is active, serves its deadlines, and reads
// its state afterwards.
#include <cstddef>
#include <cstdint>
#include <utility>

#include "settings/ByteBuffer.h"
#include "transfer/Deadlines.h"
#include "transfer/FileTransfer.h"
#include "transfer/TransferLimits.h"
#include "transfer/TransferLink.h"

// The protocol's bytes.
namespace xmodem {
inline constexpr std::uint8_t kSoh = 0x01;  // a packet of 128 data bytes follows
inline constexpr std::uint8_t kStx = 0x02;  // a packet of 1024 data bytes follows
inline constexpr std::uint8_t kEot = 0x04;
inline constexpr std::uint8_t kAck = 0x06;
inline constexpr std::uint8_t kNak = 0x15;
inline constexpr std::uint8_t kCan = 0x18;
inline constexpr std::uint8_t kWantCrc = 'C';
inline constexpr std::uint8_t kPadding = 0x1A;
// Header byte, block number, its complement.
inline constexpr std::size_t kPacketHeaderSize = 3;

// Data bytes in a packet that starts with `header` (SOH or STX).
std::size_t packetDataSize(std::uint8_t header);
// The packet's length with a CRC (else a checksum byte).
std::size_t packetLength(std::uint8_t header, bool crc);
// The data of the complete packet at `packet` matches its CRC or checksum.
bool packetDataVerified(const std::uint8_t* packet, bool crc);
// Builds a packet of `size` data bytes (128 or 1024) from `data` (at most
// `size`, padded), with a CRC or a checksum, into `packet`.
void buildPacket(ByteBuffer& packet, std::uint8_t number, const std::uint8_t* data, std::size_t taken,
                 std::size_t size, bool crc);
}  // namespace xmodem

class Xmodem : public FileTransfer {
 public:
  enum class Mode : std::uint8_t { Receive, Send };

  // The waits this engine keeps on its clock.
  enum TimerId : int {
    kHandshakeTimer = 0,  // receive: asks the sender to start
    kQuietTimer = 1,      // receive: the line has been quiet since a bad packet
    kEotReplyTimer = 2,   // send: the longest wait for the receiver to answer EOT
    kSilenceTimer = 3,    // receive: nothing from the sender for a while: ask again
  };

  static constexpr std::uint32_t kHandshakePeriodMs = 2000;
  // Ticks that ask for CRC mode before the one request for checksum mode.
  static constexpr std::uint32_t kCrcRequests = 3;
  static constexpr std::uint32_t kQuietMs = 1000;
  static constexpr std::uint32_t kEotReplyMs = 10000;
  // Silence after which a receive asks for the packet again.
  static constexpr std::uint32_t kSilenceMs = 10000;
  // Bad or repeated packets in a row that are answered; the next one ends
  // the transfer. A send counts the receiver's NAKs the same way.
  static constexpr std::uint32_t kMaxRetries = transfer_limits::kMaxRetries;
  // Requests (C or NAK) in a row left unanswered before a receive gives up.
  static constexpr std::uint32_t kMaxUnanswered = transfer_limits::kMaxUnanswered;
  // Send: a C this soon after block 1 went out crossed it on the line; a
  // later one, while block 1 is unanswered, is the receiver asking again
  // after it waited for the block in vain.
  static constexpr std::uint32_t kStaleRequestMs = 1000;
  // With oneK, blocks are 1024 bytes while more than this remains.
  static constexpr std::size_t kOneKThreshold = 896;
  static constexpr std::size_t kShortBlock = 128;
  static constexpr std::size_t kLongBlock = 1024;

  Xmodem(TransferLink& link, const TransferClock& clock);

  // Starts a receive; the handshake timer asks the sender to begin, the
  // first time at once with `askAtOnce` (a sender that has just been
  // answered is waiting for it).
  void initiate(bool askAtOnce = false);
  // Starts a send of `file`; nothing goes out until the receiver asks.
  void initiateSend(ByteBuffer file, bool oneK);
  // Hands the engine a chunk that arrived on the line.
  void process(const std::uint8_t* bytes, std::size_t size);
  void process(const ByteBuffer& chunk) { process(chunk.data(), chunk.size()); }
  void receive(const std::uint8_t* bytes, std::size_t size) override { process(bytes, size); }
  std::optional<TransferMs> deadline() const override { return timers.next(); }
  void timeout() override;
  // The user's cancel: the other side is told at once (CAN CAN).
  void cancel() override;
  // The line went away: the transfer ends at once and writes nothing more.
  void connectionClosed() override;

  bool isActive() const override { return active; }
  bool isReceiving() const { return active && mode == Mode::Receive; }
  bool isSending() const { return active && mode == Mode::Send; }
  Mode transferMode() const { return mode; }
  bool wasCancelledByEndpoint() const { return cancelledByEndpoint; }
  bool wasCancelRequested() const { return cancelRequested; }
  TransferEnd end() const override { return ending; }
  bool usesCrc() const { return crc; }
  // Receive: the file so far, with the padding of the last block.
  const ByteBuffer& receivedData() const { return received; }
  // Hands the received data over, leaving none.
  ByteBuffer takeReceivedData() { return std::exchange(received, ByteBuffer()); }
  ByteBuffer takeData() override { return takeReceivedData(); }
  std::size_t progressBytes() const override { return mode == Mode::Receive ? received.size() : bytesLeftToSend(); }
  // Send: the bytes not yet acknowledged by the receiver.
  std::size_t bytesLeftToSend() const { return outgoing.size() - sendOffset; }
  // Receive: bytes held back for the rest of a packet (less than one packet).
  std::size_t bufferedBytes() const { return pending.size() - pendingStart; }

 private:
  void timerFired(int id);
  void receiveChunk(const std::uint8_t* bytes, std::size_t size);
  // Checks the complete packets buffered; `lineQuiet`: nothing has arrived
  // for a while, so a packet cannot grow any more.
  void consumePackets(bool lineQuiet);
  // Checks the complete packet at `packet`; false when the receive ended
  // or the line is being purged.
  bool checkPacket(const std::uint8_t* packet, std::size_t length);
  void rejectPacket();
  // Counts one more bad or repeated block; false (and the transfer over)
  // when the limit has been reached.
  bool retry();
  void handshakeStep();
  void quietStep();
  void silenceStep();
  // A request to the sender (C or NAK), which it is to answer.
  void request(std::uint8_t byte);
  void acknowledge();
  // The sender was heard: the silence starts over.
  void heard();

  void sendChunk(const std::uint8_t* bytes, std::size_t size);
  void sendPacket();
  void sendEot();

  void writeByte(std::uint8_t byte);
  void writeCancel();
  void finish(TransferEnd how);

  TransferLink& link;
  const TransferClock& clock;
  Deadlines timers;

  bool oneK = false;
  bool cancelledByEndpoint = false;
  bool cancelRequested = false;
  bool active = false;
  bool crc = false;
  Mode mode = Mode::Receive;
  TransferEnd ending = TransferEnd::Running;
  // Receive: the number of the next expected block. Send: the number of
  // the next block to build. Wraps from 255 to 0.
  std::uint8_t block = 0;
  // Receive: bad or repeated packets since the last one accepted. Send:
  // NAKs (and repeated requests for block 1) since the last ACK.
  std::uint32_t retries = 0;

  // Receive: bytes not yet consumed start at pendingStart.
  ByteBuffer pending;
  std::size_t pendingStart = 0;
  ByteBuffer received;
  bool handshaking = false;  // no packet has begun yet
  std::uint32_t handshakeTicks = 0;
  std::uint32_t unanswered = 0;  // requests since the sender was last heard
  bool purging = false;  // a bad packet: dropping input until the line is quiet
  bool checkKindOpen = false;  // fell back to checksum mode: the first packet may still carry a CRC

  // Send: the file, its acknowledged bytes end at sendOffset.
  ByteBuffer outgoing;
  bool started = false;  // the receiver has asked for the first block
  std::size_t sendOffset = 0;
  std::size_t lastBlockSize = 0;
  TransferMs lastBlockSentAt = 0;
  bool eotSent = false;
  ByteBuffer packet;
};
