// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "EnginePair.h"
#include "TransferTestSupport.h"
#include "transfer/YmodemReceive.h"
#include "transfer/YmodemSend.h"

namespace {

using namespace xmodem;
using Words = std::vector<std::string>;
const std::string kC(1, 'C'), kAckWord(1, kAck), kNakWord(1, kNak), kCanWord(1, kCan);

// The program's send against its own batch receive: each file arrives cut
// to its size, whatever the split and a damaged packet on the way.
TEST(Ymodem, FilesArriveWholeAndNoLongerThanTheirSize) {
  for (std::size_t size : {0, 1, 127, 128, 896, 897, 1024, 1025, 100000})
    for (Split split : {Split::Whole, Split::ByteByByte, Split::Random})
      for (bool damage : {false, true}) {
        const std::string what = "size " + std::to_string(size) + " split " + std::to_string(int(split)) +
                                 (damage ? " damaged" : "");
        const ByteBuffer file = patterned(size, static_cast<unsigned>(size));
        FakeClock clock;
        EnginePair pair(clock, split, 2, 3);
        YmodemSend sender(pair.lineOfA(), clock);
        YmodemReceive receiver(pair.lineOfB(), clock);
        // The sender's first and third writes: block 0 and the first data packet (or EOT).
        pair.tamperA = [&](std::size_t n, ByteBuffer bytes) {
          if (damage && (n == 0 || n == 1) && bytes.size() > 100) bytes[50] ^= 1;
          return bytes;
        };
        std::vector<BatchFile> received;
        pair.onStep = [&] {
          for (BatchFile& f : receiver.takeFiles()) received.push_back(std::move(f));
        };
        sender.initiate(file, "upload.prg", 0);
        receiver.initiate();
        ASSERT_TRUE(pair.run(sender, receiver)) << what;
        EXPECT_EQ(sender.end(), TransferEnd::Completed) << what;
        EXPECT_EQ(receiver.end(), TransferEnd::Completed) << what;
        ASSERT_EQ(received.size(), 1u) << what;
        EXPECT_EQ(received[0].name, "upload.prg") << what;
        EXPECT_EQ(received[0].data, file) << what;
      }
}

struct Rig {
  RecordingLink link;
  FakeClock clock;
  YmodemReceive receiver{link, clock};
  Rig() {
    clock.serve(receiver);
    receiver.initiate();
    link.take();
  }
  Words feed(const ByteBuffer& bytes) {
    receiver.receive(bytes.data(), bytes.size());
    return link.take();
  }
  Words header(const std::string& fields, bool longBlock = false) {
    ByteBuffer data(fields.begin(), fields.end());
    data.resize(longBlock ? 1024 : 128, 0);
    return feed(xmodemPacket(0, data, true));
  }
};

TEST(YmodemReceive, StopsOnHeadersItCannotTakeAndKeepsTheFilesBefore) {
  // A thousand files, then one more.
  Rig many;
  for (std::size_t i = 0; i < YmodemReceive::kMaxFiles; ++i) {
    ASSERT_EQ(many.header(std::string("e\0" "0", 3)), (Words{kAckWord, kC})) << i;
    ASSERT_EQ(many.feed({kEot}), (Words{kAckWord, kC})) << i;
  }
  EXPECT_EQ(many.header(std::string("e\0" "0", 3)), (Words{kCanWord, kCanWord}));
  EXPECT_EQ(many.receiver.end(), TransferEnd::TooManyFiles);
  EXPECT_EQ(many.receiver.takeFiles().size(), YmodemReceive::kMaxFiles);

  struct Case {
    const char* what;
    std::string fields;
    Words answer;
    TransferEnd end;
  };
  const Case cases[] = {
      {"a size past the largest file", std::string("big\0" "99999999999", 15), {kCanWord, kCanWord},
       TransferEnd::FileTooLarge},
      {"a size too large for any number", std::string("big\0" "99999999999999999999999", 27), {kCanWord, kCanWord},
       TransferEnd::FileTooLarge},
      {"a negative size: taken as none", std::string("neg\0" "-1", 6), {kAckWord, kC}, TransferEnd::Running},
      {"a size of words: taken as none", std::string("odd\0" "many", 8), {kAckWord, kC}, TransferEnd::Running},
      {"a name filling a 1k block", std::string(1024, 'n'), {kAckWord, kC}, TransferEnd::Running},
      {"no name: the batch is over", std::string(), {kAckWord}, TransferEnd::Completed},
  };
  for (const Case& c : cases) {
    Rig rig;
    EXPECT_EQ(rig.header(c.fields, c.fields.size() > 128), c.answer) << c.what;
    EXPECT_EQ(rig.receiver.end(), c.end) << c.what;
  }
  // Without a size the file is what came, padding and all.
  Rig unsized;
  unsized.header(std::string("neg\0" "-1", 6));
  unsized.feed(xmodemPacket(1, ByteBuffer(128, 'x'), true));
  unsized.feed({kEot});
  EXPECT_EQ(unsized.receiver.takeFiles().at(0).data, ByteBuffer(128, 'x'));

  // A damaged block 0 is asked for again once the line is quiet, up to the limit.
  Rig damaged;
  ByteBuffer bad = xmodemPacket(0, ByteBuffer(128, 0), true);
  bad[10] ^= 1;
  for (std::uint32_t i = 0; i < YmodemReceive::kMaxRetries; ++i) {
    EXPECT_EQ(damaged.feed(bad), Words{}) << i;
    damaged.clock.advance(YmodemReceive::kQuietMs);
    EXPECT_EQ(damaged.link.take(), Words{kNakWord}) << i;
  }
  EXPECT_EQ(damaged.feed(bad), (Words{kCanWord, kCanWord}));
  EXPECT_EQ(damaged.receiver.end(), TransferEnd::TooManyErrors);

  // Unanswered, the requests run out.
  Rig silent;
  silent.clock.advance(YmodemReceive::kMaxUnanswered * YmodemReceive::kRequestPeriodMs);
  EXPECT_EQ(silent.receiver.end(), TransferEnd::NoAnswer);
  EXPECT_EQ(silent.link.take().back(), kCanWord);
}

}  // namespace
