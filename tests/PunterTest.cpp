// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/Punter.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <random>
#include <utility>

#include "PunterSender.h"
#include "TransferTestSupport.h"

namespace {

using namespace punter;
using punter_test::makeBlock;
using punter_test::PunterSender;
using Words = std::vector<std::string>;

// The receiver's line: what the sender writes waits here until it is due.
struct Line : TransferLink {
  struct Delivery {
    std::uint64_t due;
    ByteBuffer bytes;
  };
  explicit Line(const FakeClock& clock) : clock(clock) {}
  void write(const std::uint8_t* bytes, std::size_t size) override { written.emplace_back(bytes, bytes + size); }
  // Only what has arrived can be dropped.
  void discardPendingInput() override {
    while (!toReceiver.empty() && toReceiver.front().due <= clock.now()) toReceiver.pop_front();
  }
  const FakeClock& clock;
  Words written;
  std::deque<Delivery> toReceiver;
};

struct Rig {
  RecordingLink link;
  FakeClock clock;
  Punter punter{link, clock};
  Rig() { clock.serve(punter); }
  // Hands the receiver bytes and lets its answer go out.
  void feed(const std::string& text) { feed(bytesOf(text)); }
  void feed(const ByteBuffer& bytes) {
    punter.recieve(bytes);
    clock.advance(Punter::kAnswerDelayMs);
  }
  // Brings the receive to the state that waits for the header-only block.
  void toHeaderBlock() {
    punter.initiate();
    feed(kAck);
    feed(makeBlock(kHeaderSize, 0, {1}));
    feed(kAck);
    feed(kSyn);
    feed(kAck);
    link.take();
    ASSERT_EQ(punter.currentState(), 5);
  }
};

// How the board's sender treats the receiver's words.
enum class Board {
  Prompt,       // answers each word at once
  Flushing,     // drops what arrives in the 20 ms after each of its own writes
  DropsFirst,   // drops the first word after each of its own writes, however late
  Late,         // answers 2.5 s after each word
  VeryLate,     // answers 4 s after each word: past the receiver's resend
};
constexpr std::uint64_t kFlushMs = 20;

struct Exchange {
  std::size_t size;
  int split;  // whole writes, byte by byte, random pieces
  Board board;
  bool strayGoo;
  bool damage;
};

TEST(PunterReceive, TakesWholeFilesFromASenderHoweverTheBytesArriveAndTheBoardAnswers) {
  std::mt19937 random(11);
  std::vector<Exchange> runs;
  std::vector<std::size_t> sizes = {0, 1, 247, 248, 249, 1000, 5000};
  for (int i = 0; i < 5; ++i) sizes.push_back(random() % 30000);
  for (std::size_t size : sizes)
    for (int variant = 0; variant < 12; ++variant)
      runs.push_back({size, variant % 3, Board::Prompt, variant / 3 == 1, variant / 3 >= 2});
  for (Board board : {Board::Flushing, Board::DropsFirst, Board::Late, Board::VeryLate})
    for (std::size_t size : {std::size_t{0}, std::size_t{600}, std::size_t{3000}})
      for (int split = 0; split < 3; ++split) runs.push_back({size, split, board, split == 1, split == 2});

  for (const Exchange& r : runs) {
    const std::string what = "size " + std::to_string(r.size) + " split " + std::to_string(r.split) + " board " +
                             std::to_string(static_cast<int>(r.board)) + (r.damage ? " damaged" : "");
    ByteBuffer file(r.size);
    for (auto& b : file) b = static_cast<std::uint8_t>(random());
    PunterSender sender(file, random);
    // Damage the file-type block, the header-only block or a data block once.
    if (r.damage)
      sender.damageItem = std::vector<int>{0, 2, 3 + static_cast<int>(random() % sender.dataBlocks)}[random() % 3];

    FakeClock clock;
    Line line(clock);
    Punter punter(line, clock);
    clock.serve(punter);
    std::deque<Line::Delivery>& toReceiver = line.toReceiver;
    punter.initiate();
    if (r.strayGoo) toReceiver.push_back({0, bytesOf(kGoo)});
    std::uint64_t lastOwnWrite = 0;
    bool dropNext = false;
    int bads = 0, dropped = 0;
    for (int guard = 0; guard < 200000 && punter.isActive(); ++guard) {
      for (const std::string& word : std::exchange(line.written, {})) {
        if ((r.board == Board::Flushing && clock.now() < lastOwnWrite + kFlushMs) || std::exchange(dropNext, false)) {
          ++dropped;
          continue;
        }
        const std::uint64_t lateness = r.board == Board::Late ? 2500 : r.board == Board::VeryLate ? 4000 : 0;
        std::vector<ByteBuffer> answers = sender.hear(word);
        // A "BAD" the sender needed (not one said again while it was still answering).
        bads += word == kBad && !answers.empty();
        for (ByteBuffer& out : answers) {
          // Split every write into pieces, each delivered on its own.
          std::size_t at = 0;
          while (at < out.size()) {
            const std::size_t piece = r.split == 0 ? out.size() : r.split == 1 ? 1 : 1 + random() % 40;
            const std::size_t end = std::min(out.size(), at + piece);
            toReceiver.push_back({clock.now() + lateness, ByteBuffer(out.begin() + static_cast<std::ptrdiff_t>(at),
                                                                   out.begin() + static_cast<std::ptrdiff_t>(end))});
            at = end;
          }
          lastOwnWrite = clock.now() + lateness;
          dropNext = r.board == Board::DropsFirst;
        }
      }
      if (!toReceiver.empty() && toReceiver.front().due <= clock.now()) {
        punter.recieve(toReceiver.front().bytes);
        toReceiver.pop_front();
        continue;
      }
      std::optional<std::uint64_t> wait = clock.untilNext();
      if (!toReceiver.empty()) wait = std::min(wait.value_or(UINT64_MAX), toReceiver.front().due - clock.now());
      ASSERT_TRUE(wait.has_value()) << "stalled, " << what;
      clock.advance(*wait);
    }
    EXPECT_EQ(punter.end(), TransferEnd::Completed) << what;
    EXPECT_EQ(line.written, Words{kSyn}) << "the last word answers the closing SYN; " << what;
    sender.hear(kSyn);
    EXPECT_TRUE(sender.done) << what;
    EXPECT_EQ(punter.data(), file) << what;
    EXPECT_EQ(punter.blockCount(), sender.dataBlocks) << what;
    EXPECT_EQ(bads, r.damage ? 1 : 0) << what;
    EXPECT_FALSE(clock.untilNext().has_value()) << what;
    const int resends = static_cast<int>(punter.resendCount());
    // The short wait before each word keeps it from a flushing board; a
    // word the board lost anyway goes out again, once.
    if (r.board == Board::DropsFirst) {
      EXPECT_GT(dropped, 5) << what;
    } else if (r.board != Board::VeryLate) {
      EXPECT_EQ(dropped, 0) << what;
    }
    if (r.board == Board::VeryLate) {
      EXPECT_GT(resends, 5) << what;
    } else {
      EXPECT_EQ(resends, dropped) << what;
    }
  }
}

TEST(PunterReceive, CallsEveryTwoSecondsUntilTheSenderAnswersTheUserCancelsOrTheCallsRunOut) {
  Rig rig;
  rig.punter.initiate();
  rig.clock.advance(1999);
  rig.punter.recieve(bytesOf("Start your Punter receive now!\r"));
  EXPECT_TRUE(rig.link.take().empty());
  for (int i = 0; i < 3; ++i) {
    rig.clock.advance(i == 0 ? 1 : 2000);
    EXPECT_EQ(rig.link.take(), Words{kGoo});
  }
  rig.punter.cancel();
  EXPECT_EQ(rig.link.take(), (Words{kBad, kBad, kBad}));
  EXPECT_EQ(rig.punter.end(), TransferEnd::CancelledByUser);
  rig.clock.advance(60000);
  EXPECT_TRUE(rig.link.take().empty());

  // Unanswered, the calls end after the last has had its time.
  Rig silent;
  silent.punter.initiate();
  silent.clock.advance(Punter::kMaxUnanswered * Punter::kHandshakePeriodMs);
  EXPECT_EQ(silent.link.take(), Words(Punter::kMaxUnanswered, kGoo));
  EXPECT_TRUE(silent.punter.isActive());
  silent.clock.advance(Punter::kHandshakePeriodMs);
  EXPECT_EQ(silent.punter.end(), TransferEnd::NoAnswer);
  EXPECT_TRUE(silent.link.take().empty());
  EXPECT_FALSE(silent.clock.untilNext().has_value());

  // The sender's first "ACK", even among the board's text, ends the calls
  // for good; "S/B" waits a moment, in which the line is cleared.
  Rig answered;
  answered.punter.initiate();
  answered.punter.recieve(bytesOf("Ready.\rAC"));
  answered.punter.recieve(bytesOf("K"));
  EXPECT_TRUE(answered.link.take().empty());
  answered.punter.recieve(bytesOf("ACK"));  // the board saying it again meanwhile
  answered.clock.advance(Punter::kAnswerDelayMs - 1);
  EXPECT_TRUE(answered.link.take().empty());
  answered.clock.advance(1);
  EXPECT_EQ(answered.link.take(), Words{kSendBlock});
  EXPECT_EQ(answered.link.discards, 1);
  EXPECT_EQ(answered.punter.bufferedBytes(), 0u);

  // The line going away ends the receive without a word.
  answered.punter.connectionClosed();
  answered.feed(makeBlock(kHeaderSize, 0, {1}));
  answered.clock.advance(60000);
  EXPECT_TRUE(answered.link.take().empty());
  EXPECT_EQ(answered.punter.end(), TransferEnd::ConnectionClosed);
}

TEST(PunterReceive, SaysItsLastWordAgainWhenTheSenderIsSilentUpToTheLimit) {
  struct Case {
    const char* what;
    std::function<void(Rig&)> act;  // from the state that waits for the header-only block
    std::string word;               // the receiver's last word, said again
    bool waitsForWord;              // not for a block: a stray word can come
  };
  // The board's flushing, in every state, is the sender test's; here the limit.
  const std::vector<Case> cases = {
      {"S/B, the sender's block lost", [](Rig&) {}, kSendBlock, false},
      {"BAD, after a bad block", [](Rig& r) { r.feed(makeBlock(3, 0, {})); }, kBad, true},
  };
  for (const Case& c : cases) {
    Rig rig;
    rig.toHeaderBlock();
    c.act(rig);
    rig.link.take();
    // Stray words neither put the resend off nor end the receive.
    rig.clock.advance(Punter::kResendMs - 1000);
    if (c.waitsForWord) rig.punter.recieve(bytesOf("XYZ"));
    rig.clock.advance(999);
    EXPECT_TRUE(rig.link.take().empty()) << c.what;
    for (std::uint32_t i = 0; i < Punter::kMaxUnanswered; ++i) {
      rig.clock.advance(i == 0 ? 1 : Punter::kResendMs);
      EXPECT_EQ(rig.link.take(), Words{c.word}) << c.what << ", resend " << i;
    }
    rig.clock.advance(Punter::kResendMs);
    EXPECT_EQ(rig.punter.end(), TransferEnd::NoAnswer) << c.what;
    EXPECT_TRUE(rig.link.take().empty()) << c.what;
    EXPECT_FALSE(rig.clock.untilNext().has_value()) << c.what;
  }
  // A block arriving slowly is no silence.
  Rig slow;
  slow.toHeaderBlock();
  for (std::uint8_t b : makeBlock(20, 0, {})) {
    slow.punter.recieve(&b, 1);
    slow.clock.advance(Punter::kResendMs - 1);
  }
  EXPECT_EQ(slow.link.take(), Words{kGoo});
}

TEST(PunterReceive, EndsAtTheLimitsWithTheAbort) {
  const ByteBuffer bad = makeBlock(3, 0, {});
  // Bad blocks in a row are asked for again up to the limit.
  Rig rig;
  rig.toHeaderBlock();
  for (std::uint32_t i = 0; i < Punter::kMaxRetries; ++i) {
    rig.feed(bad);
    rig.feed(kAck);
    EXPECT_EQ(rig.link.take(), (Words{kBad, kSendBlock})) << i;
  }
  rig.punter.recieve(bad);
  EXPECT_EQ(rig.link.take(), (Words{kBad, kBad, kBad}));
  EXPECT_EQ(rig.punter.end(), TransferEnd::TooManyErrors);
  EXPECT_FALSE(rig.clock.untilNext().has_value());

  // A file growing past the largest a receive takes.
  Rig large;
  large.toHeaderBlock();
  const ByteBuffer full = makeBlock(255, 1, ByteBuffer(248, 0x55));
  large.feed(makeBlock(255, 0, {}));
  std::size_t blocks = 0;
  for (; large.punter.isActive() && blocks <= transfer_limits::kLargestFile / 248; large.link.writes.clear()) {
    large.feed(kAck);
    large.feed(full);
    ++blocks;
  }
  EXPECT_EQ(blocks, transfer_limits::kLargestFile / 248 + 1);
  EXPECT_EQ(large.punter.end(), TransferEnd::FileTooLarge);
  EXPECT_TRUE(large.punter.data().empty());
}

TEST(PunterReceive, RejectsBlocksThatCannotBe) {
  struct Case {
    const char* what;
    std::function<void(Rig&)> act;
    Words answer;
    std::uint8_t state;
  };
  const std::vector<Case> cases = {
      {"header block announcing 5 bytes", [](Rig& r) { r.feed(makeBlock(5, 0, {})); }, {kBad}, 4},
      {"data block announcing 3 bytes",
       [](Rig& r) {
         r.feed(makeBlock(10, 0, {}));
         r.feed(kAck);
         r.link.take();
         r.feed(makeBlock(3, 1, {1, 2, 3}));
       },
       {kBad}, 5},
      {"damaged checksum",
       [](Rig& r) {
         ByteBuffer block = makeBlock(10, 0, {});
         block[2] ^= 1;
         r.feed(block);
       },
       {kBad}, 4},
      {"final block announcing nothing",
       [](Rig& r) {
         r.feed(makeBlock(10, 0, {}));
         r.feed(kAck);
         r.link.take();
         r.feed(makeBlock(0, 0xFF01, {1, 2, 3}));
       },
       {kGoo}, 6},
      {"noise before the closing SYN",
       [](Rig& r) {
         r.feed(makeBlock(8, 0, {}));
         r.feed(kAck);
         r.feed(makeBlock(0, 0xFF01, {9}));
         r.feed(kAck);
         r.link.take();
         r.feed(ByteBuffer(100000, 'S'));
         r.feed("SY");
         r.feed("N");
       },
       {kSyn}, 7},
  };
  for (const Case& c : cases) {
    Rig rig;
    rig.toHeaderBlock();
    c.act(rig);
    EXPECT_EQ(rig.link.take(), c.answer) << c.what;
    EXPECT_EQ(rig.punter.currentState(), c.state) << c.what;
  }
}

}  // namespace
