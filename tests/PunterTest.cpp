#include "transfer/Punter.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>

#include "PunterSender.h"
#include "TransferTestSupport.h"

namespace {

using namespace punter;
using punter_test::makeBlock;
using punter_test::PunterSender;
using Words = std::vector<std::string>;

// The receiver's line: what the sender writes waits here until delivered.
struct Line : TransferLink {
  Words written;
  std::deque<ByteBuffer> toReceiver;
  void write(const std::uint8_t* bytes, std::size_t size) override { written.emplace_back(bytes, bytes + size); }
  void discardPendingInput() override { toReceiver.clear(); }
};

struct Rig {
  RecordingLink link;
  FakeScheduler clock;
  Punter punter{link, clock};
  Rig() { clock.fire = [this](int id) { punter.timerFired(id); }; }
  void feed(const std::string& text) { punter.recieve(bytesOf(text)); }
  void feed(const ByteBuffer& bytes) { punter.recieve(bytes); }
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

TEST(PunterReceive, TakesWholeFilesFromASenderHoweverTheBytesArrive) {
  std::mt19937 random(11);
  std::vector<std::size_t> sizes = {0, 1, 247, 248, 249, 1000, 5000};
  for (int i = 0; i < 5; ++i) sizes.push_back(random() % 30000);
  int run = 0;
  for (std::size_t size : sizes) {
    for (int variant = 0; variant < 12; ++variant) {
      ByteBuffer file(size);
      for (auto& b : file) b = static_cast<std::uint8_t>(random());
      PunterSender sender(file, random);
      const int split = variant % 3;  // whole writes, byte by byte, random pieces
      const bool strayGoo = variant / 3 == 1;
      // Damage the file-type block, the header-only block or a data block once.
      if (variant / 3 >= 2) sender.damageItem = std::vector<int>{0, 2, 3 + static_cast<int>(random() % sender.dataBlocks)}[random() % 3];

      Line line;
      FakeScheduler clock;
      Punter punter(line, clock);
      clock.fire = [&](int id) { punter.timerFired(id); };
      punter.initiate();
      if (strayGoo) line.toReceiver.push_back(bytesOf(kGoo));
      int bads = 0;
      for (int guard = 0; guard < 100000 && punter.isActive(); ++guard) {
        for (const std::string& word : line.written) {
          bads += word == kBad;
          for (ByteBuffer& out : sender.hear(word)) {
            // Split every write into pieces, each delivered on its own.
            std::size_t at = 0;
            while (at < out.size()) {
              const std::size_t piece = split == 0 ? out.size() : split == 1 ? 1 : 1 + random() % 40;
              const std::size_t end = std::min(out.size(), at + piece);
              line.toReceiver.emplace_back(out.begin() + static_cast<std::ptrdiff_t>(at),
                                           out.begin() + static_cast<std::ptrdiff_t>(end));
              at = end;
            }
          }
        }
        line.written.clear();
        if (line.toReceiver.empty()) {
          ASSERT_TRUE(clock.untilNext().has_value()) << "stalled, size " << size << " variant " << variant;
          clock.advance(*clock.untilNext());
        } else {
          const ByteBuffer chunk = line.toReceiver.front();
          line.toReceiver.pop_front();
          punter.recieve(chunk);
        }
      }
      const std::string what = "size " + std::to_string(size) + " variant " + std::to_string(variant);
      EXPECT_EQ(punter.end(), TransferEnd::Completed) << what;
      EXPECT_EQ(line.written, Words{kSyn}) << "the last word answers the closing SYN; " << what;
      sender.hear(kSyn);
      EXPECT_TRUE(sender.done) << what;
      EXPECT_EQ(punter.data(), file) << what;
      EXPECT_EQ(punter.blockCount(), sender.dataBlocks) << what;
      EXPECT_EQ(bads, variant / 3 >= 2 ? 1 : 0) << what;
      EXPECT_FALSE(clock.untilNext().has_value()) << what;
      ++run;
    }
  }
  EXPECT_EQ(run, static_cast<int>(sizes.size()) * 12);
}

TEST(PunterReceive, CallsEveryTwoSecondsUntilTheSenderAnswersOrTheUserCancels) {
  Rig rig;
  rig.punter.initiate();
  rig.clock.advance(1999);
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

  // The sender's first "ACK" ends the calls for good.
  Rig answered;
  answered.punter.initiate();
  answered.feed("AC");
  answered.feed("K");
  EXPECT_EQ(answered.link.take(), Words{kSendBlock});
  EXPECT_EQ(answered.link.discards, 1);
  answered.clock.advance(60000);
  EXPECT_TRUE(answered.link.take().empty());

  // The line going away ends the receive without a word.
  answered.punter.connectionClosed();
  answered.feed(makeBlock(kHeaderSize, 0, {1}));
  EXPECT_TRUE(answered.link.take().empty());
  EXPECT_EQ(answered.punter.end(), TransferEnd::ConnectionClosed);
}

TEST(PunterReceive, RemindsOnceAfterTheLastUnexpectedWord) {
  Rig rig;
  rig.toHeaderBlock();
  rig.feed(makeBlock(20, 0, {}));
  EXPECT_EQ(rig.link.take(), Words{kGoo});
  rig.feed("XYZ");
  rig.clock.advance(3000);
  rig.feed("QQQ");
  rig.clock.advance(4999);
  EXPECT_TRUE(rig.link.take().empty());
  rig.clock.advance(1);
  EXPECT_EQ(rig.link.take(), Words{kGoo});
  rig.clock.advance(30000);
  EXPECT_TRUE(rig.link.take().empty());
  EXPECT_EQ(rig.punter.retryCount(), 2u);

  // "S/B" is answered at once and reminded once; the awaited word drops the reminder.
  rig.feed(kSendBlock);
  EXPECT_EQ(rig.link.take(), Words{kGoo});
  rig.clock.advance(5000);
  EXPECT_EQ(rig.link.take(), Words{kGoo});
  rig.feed("ZZZ");
  rig.clock.advance(1000);
  rig.feed(kAck);
  EXPECT_EQ(rig.link.take(), Words{kSendBlock});
  rig.clock.advance(30000);
  EXPECT_TRUE(rig.link.take().empty());
  EXPECT_EQ(rig.punter.currentState(), 6);
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
