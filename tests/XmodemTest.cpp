// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/Xmodem.h"

#include <gtest/gtest.h>

#include <random>

#include "TransferTestSupport.h"

namespace {

using namespace xmodem;

const std::string kAckWord(1, static_cast<char>(kAck));
const std::string kNakWord(1, static_cast<char>(kNak));
const std::string kCanWord(1, static_cast<char>(kCan));
const std::string kEotWord(1, static_cast<char>(kEot));

ByteBuffer operator+(ByteBuffer a, const ByteBuffer& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

enum class Feed { Whole, ByteByByte, RandomSplits };

struct Rig {
  RecordingLink link;
  FakeClock clock;
  Xmodem xmodem{link, clock};
  std::mt19937 random{7};
  Rig() { clock.serve(xmodem); }

  void feed(const ByteBuffer& bytes, Feed how) {
    std::size_t at = 0;
    while (at < bytes.size()) {
      std::size_t size = bytes.size() - at;
      if (how == Feed::ByteByByte) size = 1;
      if (how == Feed::RandomSplits) size = std::min<std::size_t>(size, 1 + random() % 300);
      xmodem.process(bytes.data() + at, size);
      at += size;
    }
  }
  // Starts a receive and lets the first CRC request go out.
  void startCrcReceive() {
    xmodem.initiate();
    clock.advance(Xmodem::kHandshakePeriodMs);
    link.take();
  }
};

TEST(XmodemReceive, AsksForCrcThreeTimesThenOnceForChecksumWhateverTheBoardPrintsMeanwhile) {
  Rig rig;
  rig.xmodem.initiate();
  rig.clock.advance(1999);
  rig.feed(bytesOf("Start your transfer now.\r"), Feed::Whole);
  EXPECT_TRUE(rig.link.take().empty());
  for (int i = 0; i < 3; ++i) {
    rig.clock.advance(i == 0 ? 1 : 2000);
    EXPECT_EQ(rig.link.take(), std::vector<std::string>{"C"}) << "request " << i;
    EXPECT_TRUE(rig.xmodem.usesCrc());
  }
  rig.clock.advance(2000);
  EXPECT_EQ(rig.link.take(), std::vector<std::string>{kNakWord});
  EXPECT_FALSE(rig.xmodem.usesCrc());
  // Then NAK after each silence, the board's text no answer, until ten
  // requests in all have gone unanswered.
  for (std::uint32_t request = 4; request < Xmodem::kMaxUnanswered; ++request) {
    rig.clock.advance(Xmodem::kSilenceMs - 1);
    rig.feed(bytesOf("Waiting...\r"), Feed::Whole);
    EXPECT_TRUE(rig.link.take().empty()) << request;
    rig.clock.advance(1);
    EXPECT_EQ(rig.link.take(), std::vector<std::string>{kNakWord}) << request;
  }
  rig.clock.advance(Xmodem::kSilenceMs);
  EXPECT_EQ(rig.link.take(), std::vector<std::string>(2, kCanWord));
  EXPECT_EQ(rig.xmodem.end(), TransferEnd::NoAnswer);
  EXPECT_FALSE(rig.clock.untilNext().has_value());

  // The first byte of a packet ends the handshake, even when the rest is slow.
  Rig slow;
  slow.startCrcReceive();
  const ByteBuffer first = xmodemPacket(1, patterned(128, 1), true);
  slow.feed(ByteBuffer(first.begin(), first.begin() + 1), Feed::Whole);
  slow.clock.advance(Xmodem::kSilenceMs - 1);
  EXPECT_TRUE(slow.link.take().empty());
  slow.feed(ByteBuffer(first.begin() + 1, first.end()), Feed::Whole);
  EXPECT_EQ(slow.link.take(), std::vector<std::string>{kAckWord});
}

// Whatever the receive waits for, ten seconds of silence bring a NAK; the
// sender's packet then goes on as if nothing had happened.
TEST(XmodemReceive, AsksAgainAfterSilenceInEveryState) {
  const ByteBuffer d1 = patterned(128, 1), d2 = patterned(128, 2);
  ByteBuffer bad = xmodemPacket(2, d2, true);
  bad[30] ^= 4;
  struct State {
    const char* what;
    std::function<void(Rig&)> reach;  // after block 1 was acknowledged
  };
  const State states[] = {
      {"after a good block", [](Rig&) {}},
      {"half a packet in", [&](Rig& r) { r.feed(ByteBuffer(bad.begin(), bad.begin() + 60), Feed::Whole); }},
      {"after a bad packet's NAK",
       [&](Rig& r) {
         r.feed(bad, Feed::Whole);
         r.clock.advance(Xmodem::kQuietMs);
       }},
      {"after a repeated block", [&](Rig& r) { r.feed(xmodemPacket(1, d1, true), Feed::Whole); }},
  };
  for (const State& state : states) {
    for (Feed how : {Feed::Whole, Feed::ByteByByte, Feed::RandomSplits}) {
      Rig rig;
      rig.startCrcReceive();
      rig.feed(xmodemPacket(1, d1, true), Feed::Whole);
      state.reach(rig);
      rig.link.take();
      rig.clock.advance(Xmodem::kSilenceMs - 1);
      EXPECT_TRUE(rig.link.take().empty()) << state.what;
      rig.clock.advance(1);
      EXPECT_EQ(rig.link.take(), std::vector<std::string>{kNakWord}) << state.what;
      rig.feed(xmodemPacket(2, d2, true) + bytesOf(kEotWord), how);
      EXPECT_EQ(rig.link.take(), std::vector<std::string>(2, kAckWord)) << state.what;
      EXPECT_EQ(rig.xmodem.receivedData(), d1 + d2) << state.what;
      EXPECT_EQ(rig.xmodem.end(), TransferEnd::Completed) << state.what;
    }
  }
}

TEST(XmodemReceive, AnswersEachPacketHoweverTheBytesAreSplit) {
  const ByteBuffer d1 = patterned(128, 1), d2 = patterned(128, 2), d3 = patterned(128, 3);
  const ByteBuffer d4 = patterned(1024, 4), d5 = patterned(128, 5);
  ByteBuffer badData = xmodemPacket(2, d2, true);
  badData[50] ^= 0x40;
  ByteBuffer badNumber = xmodemPacket(2, d2, true);
  badNumber[1] = 3;  // its complement still says 2
  struct Step {
    const char* what;
    ByteBuffer in;
    std::vector<std::string> out;  // answered at once
    std::vector<std::string> afterQuiet;  // answered when the line has been quiet
  };
  const std::vector<Step> steps = {
      {"block 1", xmodemPacket(1, d1, true), {kAckWord}, {}},
      {"block 1 repeated: confirmed, not kept twice", xmodemPacket(1, d1, true), {kAckWord}, {}},
      {"damaged data", badData, {}, {kNakWord}},
      {"damaged block number", badNumber, {}, {kNakWord}},
      {"a stray byte before the packet", bytesOf("x") + xmodemPacket(2, d2, true), {}, {kNakWord}},
      {"two packets together", xmodemPacket(2, d2, true) + xmodemPacket(3, d3, true), {kAckWord, kAckWord}, {}},
      {"a 1k packet, then a short one", xmodemPacket(4, d4, true) + xmodemPacket(5, d5, true), {kAckWord, kAckWord}, {}},
      {"end of file", bytesOf(kEotWord), {kAckWord}, {}},
  };
  for (Feed how : {Feed::Whole, Feed::ByteByByte, Feed::RandomSplits}) {
    Rig rig;
    rig.startCrcReceive();
    for (const Step& step : steps) {
      rig.feed(step.in, how);
      EXPECT_EQ(rig.link.take(), step.out) << step.what << ", feed " << static_cast<int>(how);
      rig.clock.advance(Xmodem::kQuietMs);
      EXPECT_EQ(rig.link.take(), step.afterQuiet) << step.what << ", feed " << static_cast<int>(how);
    }
    EXPECT_EQ(rig.xmodem.end(), TransferEnd::Completed);
    EXPECT_FALSE(rig.xmodem.isActive());
    EXPECT_EQ(rig.xmodem.receivedData(), d1 + d2 + d3 + d4 + d5);
  }
}

TEST(XmodemReceive, AfterFallingBackTakesTheCheckOfTheFirstPacketAndEachLengthFromItsHeader) {
  // A sender slow to start may read one of the early C's after the NAK; a
  // checksum-mode sender with 1k blocks sends 1028-byte packets.
  const ByteBuffer d1 = patterned(128, 1), d2 = patterned(1024, 2), d3 = patterned(128, 3);
  for (bool crc : {true, false}) {
    for (Feed how : {Feed::Whole, Feed::ByteByByte}) {
      Rig rig;
      rig.xmodem.initiate();
      rig.clock.advance(4 * Xmodem::kHandshakePeriodMs);
      EXPECT_EQ(rig.link.take().back(), kNakWord);
      rig.feed(xmodemPacket(1, d1, crc), how);
      if (!crc) {
        // Only a quiet line tells that no CRC byte follows.
        EXPECT_TRUE(rig.link.take().empty());
        rig.clock.advance(Xmodem::kQuietMs);
      }
      EXPECT_EQ(rig.link.take(), std::vector<std::string>{kAckWord}) << crc;
      rig.feed(xmodemPacket(2, d2, crc) + xmodemPacket(3, d3, crc) + bytesOf(kEotWord), how);
      EXPECT_EQ(rig.link.take(), std::vector<std::string>(3, kAckWord)) << crc;
      EXPECT_EQ(rig.xmodem.usesCrc(), crc);
      EXPECT_EQ(rig.xmodem.receivedData(), d1 + d2 + d3);
      EXPECT_EQ(rig.xmodem.end(), TransferEnd::Completed);
    }
  }
  // Once a packet has shown the CRC, even one not kept (a block 0 first),
  // the packets after it are not taken a byte longer.
  Rig rig;
  rig.xmodem.initiate();
  rig.clock.advance(4 * Xmodem::kHandshakePeriodMs);
  rig.link.take();
  rig.feed(xmodemPacket(0, d3, true) + xmodemPacket(1, d1, true) + xmodemPacket(2, d3, true) + bytesOf(kEotWord), Feed::Whole);
  EXPECT_EQ(rig.link.take(), std::vector<std::string>(4, kAckWord));
  EXPECT_EQ(rig.xmodem.receivedData(), d1 + d3);
}

TEST(XmodemReceive, EndsAsEachEndingRequires) {
  const ByteBuffer d1 = patterned(128, 1), d2 = patterned(128, 2);
  ByteBuffer bad = xmodemPacket(2, d2, true);
  bad[10] ^= 1;
  const std::vector<std::string> cancelPair{kCanWord, kCanWord};
  auto withCancel = [&](std::vector<std::string> writes) {
    writes.insert(writes.end(), cancelPair.begin(), cancelPair.end());
    return writes;
  };
  struct Ending {
    const char* what;
    std::function<void(Rig&)> act;
    std::vector<std::string> writes;  // after block 1 was acknowledged
    TransferEnd end;
    bool keepsData;
  };
  const std::vector<Ending> endings = {
      {"retry limit",
       [&](Rig& r) {
         for (std::uint32_t i = 0; i <= Xmodem::kMaxRetries; ++i) {
           r.feed(bad, Feed::Whole);
           r.clock.advance(Xmodem::kQuietMs);
         }
       },
       withCancel(std::vector<std::string>(Xmodem::kMaxRetries, kNakWord)), TransferEnd::TooManyErrors, false},
      {"a block repeated without end",
       [&](Rig& r) {
         for (std::uint32_t i = 0; i <= Xmodem::kMaxRetries; ++i) r.feed(xmodemPacket(1, d1, true), Feed::Whole);
       },
       withCancel(std::vector<std::string>(Xmodem::kMaxRetries, kAckWord)), TransferEnd::TooManyErrors, false},
      {"sender falls silent", [&](Rig& r) { r.clock.advance((Xmodem::kMaxUnanswered + 1) * Xmodem::kSilenceMs); },
       withCancel(std::vector<std::string>(Xmodem::kMaxUnanswered, kNakWord)), TransferEnd::NoAnswer, true},
      {"block out of sequence", [&](Rig& r) { r.feed(xmodemPacket(3, d2, true), Feed::Whole); }, cancelPair,
       TransferEnd::OutOfSequence, true},
      {"sender cancels", [&](Rig& r) { r.feed(bytesOf(kCanWord + kCanWord), Feed::ByteByByte); }, {},
       TransferEnd::CancelledByEndpoint, true},
      {"user cancels: told at once", [&](Rig& r) { r.xmodem.cancel(); }, cancelPair, TransferEnd::CancelledByUser,
       false},
      {"user cancels while a bad packet drains",
       [&](Rig& r) {
         r.feed(bad, Feed::Whole);
         r.xmodem.cancel();
         r.clock.advance(Xmodem::kQuietMs);
       },
       cancelPair, TransferEnd::CancelledByUser, false},
      {"connection closed mid-packet",
       [&](Rig& r) {
         r.feed(ByteBuffer(bad.begin(), bad.begin() + 40), Feed::Whole);
         r.xmodem.connectionClosed();
       },
       {}, TransferEnd::ConnectionClosed, true},
  };
  for (const Ending& e : endings) {
    Rig rig;
    rig.startCrcReceive();
    rig.feed(xmodemPacket(1, d1, true), Feed::Whole);
    rig.link.take();
    e.act(rig);
    EXPECT_EQ(rig.link.take(), e.writes) << e.what;
    EXPECT_EQ(rig.xmodem.end(), e.end) << e.what;
    EXPECT_FALSE(rig.xmodem.isActive()) << e.what;
    EXPECT_EQ(rig.xmodem.receivedData(), e.keepsData ? d1 : ByteBuffer{}) << e.what;
    // Nothing more goes out once it has ended.
    EXPECT_FALSE(rig.clock.untilNext().has_value()) << e.what;
    rig.feed(xmodemPacket(2, d2, true) + bytesOf(kEotWord), Feed::Whole);
    EXPECT_TRUE(rig.link.take().empty()) << e.what;
  }
  // Before any packet there is none to wait for: the user's cancel ends at
  // once, and the requests for a sender stop.
  Rig rig;
  rig.startCrcReceive();
  rig.xmodem.cancel();
  EXPECT_EQ(rig.link.take(), cancelPair);
  EXPECT_EQ(rig.xmodem.end(), TransferEnd::CancelledByUser);
  EXPECT_FALSE(rig.clock.untilNext().has_value());
}

// The packets a send puts out for a file, answering each with ACK.
struct SentPacket {
  std::uint8_t header, number;
  ByteBuffer data;
};

std::vector<SentPacket> sendAll(Rig& rig, const ByteBuffer& file, bool oneK, std::uint8_t start) {
  rig.xmodem.initiateSend(file, oneK);
  std::vector<SentPacket> packets;
  rig.feed({start}, Feed::Whole);
  for (int guard = 0; guard < 100; ++guard) {
    const std::vector<std::string> writes = rig.link.take();
    EXPECT_EQ(writes.size(), 1u);
    if (writes.empty() || writes[0] == kEotWord) break;
    const std::string& w = writes[0];
    const bool crc = start == kWantCrc;
    const std::size_t size = w.size() - 3 - (crc ? 2 : 1);
    SentPacket p{static_cast<std::uint8_t>(w[0]), static_cast<std::uint8_t>(w[1]),
                 ByteBuffer(w.begin() + 3, w.begin() + 3 + static_cast<std::ptrdiff_t>(size))};
    EXPECT_EQ(static_cast<std::uint8_t>(w[2]), 0xFF - p.number);
    // The check bytes verify through the receiver's own rules.
    EXPECT_EQ(xmodemPacket(p.number, p.data, crc), ByteBuffer(w.begin(), w.end()));
    packets.push_back(p);
    rig.feed({kAck}, Feed::Whole);
  }
  return packets;
}

TEST(XmodemSend, BuildsBlocksOfTheSizesTheModeAndTheRemainderCallFor) {
  struct Case {
    std::size_t size;
    bool oneK;
    std::uint8_t start;
    std::string headers;  // 'S' SOH, 'X' STX
  };
  const std::vector<Case> cases = {
      {1, false, kNak, "S"},           {128, false, kWantCrc, "S"},      {129, false, kWantCrc, "SS"},
      {1000, true, kWantCrc, "X"},     {900, true, kWantCrc, "X"},       {896, true, kWantCrc, "SSSSSSS"},
      {897, true, kWantCrc, "X"},      {1025, true, kWantCrc, "XS"},     {2000, true, kWantCrc, "XX"},
      {1000, true, kNak, "SSSSSSSS"},  // a checksum receiver gets short blocks
  };
  for (const Case& c : cases) {
    Rig rig;
    const ByteBuffer file = patterned(c.size, static_cast<unsigned>(c.size));
    const std::vector<SentPacket> packets = sendAll(rig, file, c.oneK, c.start);
    std::string headers;
    ByteBuffer carried;
    for (std::size_t i = 0; i < packets.size(); ++i) {
      headers += packets[i].header == kStx ? 'X' : 'S';
      EXPECT_EQ(packets[i].number, i + 1);
      carried = carried + packets[i].data;
    }
    EXPECT_EQ(headers, c.headers) << c.size;
    ByteBuffer padded = file;
    padded.resize(carried.size(), kPadding);
    EXPECT_EQ(carried, padded) << c.size;
    EXPECT_EQ(rig.xmodem.bytesLeftToSend(), 0u);
    EXPECT_TRUE(rig.xmodem.isSending()) << "waits for the answer to EOT";
    rig.feed({kAck}, Feed::Whole);
    EXPECT_EQ(rig.xmodem.end(), TransferEnd::Completed) << c.size;
  }
}

TEST(XmodemSend, AnswersTheReceiver) {
  const ByteBuffer file = patterned(300, 3);
  Rig rig;
  rig.xmodem.initiateSend(file, false);
  rig.feed(bytesOf("xyz"), Feed::Whole);  // nothing starts the send but NAK or C
  EXPECT_TRUE(rig.link.take().empty());
  rig.feed(bytesOf("CC"), Feed::Whole);  // a repeated request sends the block once
  const std::vector<std::string> first = rig.link.take();
  ASSERT_EQ(first.size(), 1u);
  rig.feed(bytesOf("C"), Feed::Whole);  // a late request is not an answer
  EXPECT_TRUE(rig.link.take().empty());
  rig.clock.advance(Xmodem::kStaleRequestMs);
  rig.feed(bytesOf("C"), Feed::Whole);
  EXPECT_EQ(rig.link.take(), first) << "a receiver that waited for block 1 in vain asks again";
  rig.feed({kNak}, Feed::Whole);
  EXPECT_EQ(rig.link.take(), first) << "NAK repeats the block with its number";
  rig.feed({kAck, kAck}, Feed::Whole);
  const std::vector<std::string> second = rig.link.take();
  ASSERT_EQ(second.size(), 1u);
  EXPECT_EQ(second[0][1], 2);
  rig.clock.advance(Xmodem::kStaleRequestMs);
  rig.feed(bytesOf("C"), Feed::Whole);
  EXPECT_TRUE(rig.link.take().empty()) << "once block 1 is in, C asks for nothing";
  EXPECT_EQ(rig.xmodem.bytesLeftToSend(), 300u - 128u);
  rig.feed({kAck}, Feed::Whole);
  rig.link.take();
  rig.feed({kAck}, Feed::Whole);
  EXPECT_EQ(rig.link.take(), std::vector<std::string>{kEotWord});
  rig.feed({kNak}, Feed::Whole);
  EXPECT_EQ(rig.link.take(), std::vector<std::string>{kEotWord}) << "a receiver making sure of EOT";
  rig.clock.advance(Xmodem::kEotReplyMs);
  EXPECT_EQ(rig.xmodem.end(), TransferEnd::Completed) << "no answer to EOT still completes";

  Rig cancelled;
  cancelled.xmodem.initiateSend(file, true);
  cancelled.feed({kWantCrc}, Feed::Whole);
  cancelled.feed(bytesOf("\x06\x06\x18"), Feed::Whole);  // CAN anywhere in a chunk
  EXPECT_EQ(cancelled.xmodem.end(), TransferEnd::CancelledByEndpoint);
  EXPECT_TRUE(cancelled.xmodem.wasCancelledByEndpoint());
}

TEST(XmodemSend, CancelsAtOnceAndGivesUpOnEndlessNaks) {
  const ByteBuffer file = patterned(1000, 9);
  const std::vector<std::string> cancelPair{kCanWord, kCanWord};
  // Block 1 sent, then sent again for each NAK up to the limit, then the cancel.
  const ByteBuffer first = xmodemPacket(1, ByteBuffer(file.begin(), file.begin() + 128), true);
  std::vector<std::string> nakedBlock(Xmodem::kMaxRetries + 1, std::string(first.begin(), first.end()));
  nakedBlock.insert(nakedBlock.end(), cancelPair.begin(), cancelPair.end());
  struct Case {
    const char* what;
    std::function<void(Rig&)> act;
    std::vector<std::string> writes;
    TransferEnd end;
  };
  const Case cases[] = {
      {"cancelled before the receiver spoke", [](Rig& r) { r.xmodem.cancel(); }, cancelPair, TransferEnd::CancelledByUser},
      {"cancelled during the send",
       [](Rig& r) {
         r.feed({kNak}, Feed::Whole);
         r.link.take();
         r.xmodem.cancel();
       },
       cancelPair, TransferEnd::CancelledByUser},
      {"cancelled once the EOT is out: nothing left to stop",
       [&](Rig& r) {
         r.feed({kNak}, Feed::Whole);
         for (std::size_t i = 0; i < 8; ++i) r.feed({kAck}, Feed::Whole);
         r.link.take();
         r.xmodem.cancel();
       },
       {}, TransferEnd::CancelledByUser},
      {"the line went away",
       [](Rig& r) {
         r.feed({kNak}, Feed::Whole);
         r.link.take();
         r.xmodem.connectionClosed();
         r.feed({kAck}, Feed::Whole);
         r.xmodem.cancel();
       },
       {}, TransferEnd::ConnectionClosed},
      {"a receiver that only says NAK",
       [](Rig& r) {
         r.feed({kWantCrc}, Feed::Whole);
         for (std::uint32_t i = 0; i <= Xmodem::kMaxRetries; ++i) r.feed({kNak}, Feed::Whole);
       },
       nakedBlock, TransferEnd::TooManyErrors},
  };
  for (const Case& c : cases) {
    Rig rig;
    rig.xmodem.initiateSend(file, false);
    c.act(rig);
    EXPECT_EQ(rig.link.take(), c.writes) << c.what;
    EXPECT_EQ(rig.xmodem.end(), c.end) << c.what;
    EXPECT_FALSE(rig.clock.untilNext().has_value()) << c.what;
  }
}

// Sender and receiver engines over a fake line that splits, damages and
// repeats packets, with the board's text before the first one.
struct Line {
  RecordingLink senderOut, receiverOut;
  FakeClock senderClock, receiverClock;
  Xmodem sender{senderOut, senderClock}, receiver{receiverOut, receiverClock};
  ByteBuffer toReceiver, toSender;
  std::mt19937 random;
  double damage = 0, repeat = 0;
  bool dropCrcRequests = false;  // a sender that only knows checksum mode
  std::size_t maxChunk = 1;
  int damaged = 0, repeated = 0;
  explicit Line(unsigned seed) : random(seed) {
    senderClock.serve(sender);
    receiverClock.serve(receiver);
  }
  bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random) < p; }

  void carry() {
    for (ByteBuffer& w : senderOut.writes) {
      ByteBuffer sent = w;
      // Damage spares the header byte: a first packet whose header is lost
      // reads as the board's text, which no receiver can tell apart.
      if (w.size() > 1 && chance(damage)) {
        sent[1 + random() % (w.size() - 1)] ^= 1 << random() % 8;
        ++damaged;
      }
      toReceiver.insert(toReceiver.end(), sent.begin(), sent.end());
      if (w.size() > 1 && chance(repeat)) {
        toReceiver.insert(toReceiver.end(), w.begin(), w.end());
        ++repeated;
      }
    }
    senderOut.writes.clear();
    for (ByteBuffer& w : receiverOut.writes) {
      if (dropCrcRequests && w == ByteBuffer{kWantCrc}) continue;
      toSender.insert(toSender.end(), w.begin(), w.end());
    }
    receiverOut.writes.clear();
  }
  static void deliver(ByteBuffer& from, Xmodem& to, std::size_t size) {
    to.process(from.data(), size);
    from.erase(from.begin(), from.begin() + static_cast<std::ptrdiff_t>(size));
  }
  std::size_t chunk(std::size_t available) { return std::min(available, 1 + random() % maxChunk); }

  void run() {
    for (int guard = 0; guard < 1000000 && (sender.isActive() || receiver.isActive()); ++guard) {
      carry();
      if (!toReceiver.empty() && receiver.isActive()) {
        deliver(toReceiver, receiver, chunk(toReceiver.size()));
      } else if (!toSender.empty() && sender.isActive()) {
        deliver(toSender, sender, chunk(toSender.size()));
      } else {
        toReceiver.clear();
        toSender.clear();
        const auto a = senderClock.untilNext(), b = receiverClock.untilNext();
        if (!a && !b) break;
        const std::uint64_t step = std::min(a.value_or(UINT64_MAX), b.value_or(UINT64_MAX));
        senderClock.advance(step);
        receiverClock.advance(step);
      }
    }
  }
};

TEST(XmodemRoundTrip, FilesOfEverySizeArriveWholeOverADifficultLine) {
  // 40000 bytes take more than 256 short blocks: the block numbers wrap.
  std::vector<std::size_t> sizes = {1, 127, 128, 129, 895, 896, 897, 900, 1000, 1023, 1024, 1025, 5000, 40000};
  std::mt19937 pick(2024);
  for (int i = 0; i < 8; ++i) sizes.push_back(1 + pick() % 20000);
  unsigned seed = 0;
  int damaged = 0, repeated = 0;
  for (std::size_t size : sizes) {
    for (int variant = 0; variant < 8; ++variant) {
      Line line(++seed);
      const bool oneK = variant & 1;
      line.dropCrcRequests = variant & 2;
      line.maxChunk = (variant & 4) ? 1 : 1500;
      // Damage or repeats, not both: a repeat costs the sender one answer,
      // which a damaged packet then cannot afford in any Xmodem.
      (seed % 2 ? line.damage : line.repeat) = 0.05;
      const ByteBuffer file = patterned(size, seed);
      line.receiver.initiate();
      line.sender.initiateSend(file, oneK);
      const ByteBuffer text = bytesOf("Ready to send. Start your transfer now!\r");
      line.toReceiver.assign(text.begin(), text.end());
      line.run();
      damaged += line.damaged;
      repeated += line.repeated;
      const std::string what = "size " + std::to_string(size) + " variant " + std::to_string(variant);
      ASSERT_EQ(line.receiver.end(), TransferEnd::Completed) << what;
      ASSERT_EQ(line.sender.end(), TransferEnd::Completed) << what;
      EXPECT_EQ(line.receiver.usesCrc(), !line.dropCrcRequests) << what;
      const ByteBuffer& got = line.receiver.receivedData();
      ASSERT_GE(got.size(), size) << what;
      EXPECT_LT(got.size(), size + 1024) << what;
      EXPECT_TRUE(std::equal(file.begin(), file.end(), got.begin())) << what;
      EXPECT_TRUE(std::all_of(got.begin() + static_cast<std::ptrdiff_t>(size), got.end(),
                              [](std::uint8_t b) { return b == kPadding; }))
          << what;
    }
  }
  // The line was as difficult as meant.
  EXPECT_GT(damaged, 50);
  EXPECT_GT(repeated, 50);
}

TEST(XmodemReceive, EndsAFileGrowingPastTheLargest) {
  Rig rig;
  rig.startCrcReceive();
  std::vector<ByteBuffer> packets;  // one per block number
  for (int n = 0; n < 256; ++n) packets.push_back(xmodemPacket(static_cast<std::uint8_t>(n), patterned(1024, 3), true));
  std::size_t sent = 0;
  for (; rig.xmodem.isActive() && sent <= transfer_limits::kLargestFile / 1024; rig.link.writes.clear())
    rig.xmodem.process(packets[++sent % 256]);
  EXPECT_EQ(sent, transfer_limits::kLargestFile / 1024 + 1);
  EXPECT_EQ(rig.xmodem.end(), TransferEnd::FileTooLarge);
  EXPECT_TRUE(rig.xmodem.receivedData().empty());
}

}  // namespace
