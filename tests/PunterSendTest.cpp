// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/PunterSend.h"

#include <gtest/gtest.h>

#include "EnginePair.h"
#include "TransferTestSupport.h"

namespace {

using namespace punter;
using Words = std::vector<std::string>;

// The sender against the program's own Punter receive on a line that
// delivers in pieces, damages a block or loses a word of either side.
TEST(PunterSend, ReachesTheProgramsOwnReceiveWholeHoweverTheLineCarriesIt) {
  enum class Trouble { None, DamagedBlock, LostItem, LostWord };
  std::mt19937 random(28);
  std::vector<std::size_t> sizes = {0, 1, 247, 248, 249, 496, 5000};
  for (int i = 0; i < 3; ++i) sizes.push_back(random() % 30000);
  for (std::size_t size : sizes)
    for (Split split : {Split::Whole, Split::ByteByByte, Split::Random})
      for (Trouble trouble : {Trouble::None, Trouble::DamagedBlock, Trouble::LostItem, Trouble::LostWord}) {
        const std::string what = "size " + std::to_string(size) + " split " + std::to_string(int(split)) +
                                 " trouble " + std::to_string(int(trouble));
        const ByteBuffer file = patterned(size, static_cast<unsigned>(size));
        FakeClock clock;
        EnginePair pair(clock, split, 5, static_cast<unsigned>(size));
        PunterSend sender(pair.lineOfA(), clock);
        Punter receiver(pair.lineOfB(), clock);
        // The sender writes ACK, the file type, ACK, SYN, ACK, the header-only
        // block, ACK, the first data block...; the receiver GOO, S/B, GOO, S/B...
        pair.tamperA = [&](std::size_t n, ByteBuffer bytes) {
          if (n == 5 && trouble == Trouble::DamagedBlock) bytes.back() ^= 0x40;
          if (n == 7 && trouble == Trouble::LostItem) bytes.clear();
          return bytes;
        };
        pair.tamperB = [&](std::size_t n, ByteBuffer bytes) {
          return n == 3 && trouble == Trouble::LostWord ? ByteBuffer() : bytes;
        };
        sender.initiate(file, kProgramFile);
        receiver.initiate();
        ASSERT_TRUE(pair.run(sender, receiver)) << what;
        EXPECT_EQ(receiver.end(), TransferEnd::Completed) << what;
        EXPECT_EQ(sender.end(), TransferEnd::Completed) << what;
        EXPECT_EQ(receiver.data(), file) << what;
        EXPECT_EQ(receiver.blockCount(), std::max<std::size_t>(1, (size + kLargestData - 1) / kLargestData)) << what;
        EXPECT_EQ(receiver.resendCount() + sender.resendCount(), trouble == Trouble::LostItem || trouble == Trouble::LostWord ? 1u : 0u) << what;
      }
}

// Hands the sender a receiver's word and lets the answer go out.
struct Rig {
  RecordingLink link;
  FakeClock clock;
  PunterSend sender{link, clock};
  Rig() { clock.serve(sender); }
  std::vector<std::string> hear(const char* word) {
    sender.receive(reinterpret_cast<const std::uint8_t*>(word), kWordSize);
    clock.advance(PunterSend::kAnswerDelayMs);
    return link.take();
  }
};

TEST(PunterSend, SendsTheItemsOfTheExchangeInOrderWithTheFileTypeOfItsName) {
  EXPECT_EQ(punterFileTypeOf("NOTES.SEQ"), kSequentialFile);
  EXPECT_EQ(punterFileTypeOf("notes.Seq"), kSequentialFile);
  EXPECT_EQ(punterFileTypeOf("GAME"), kProgramFile);
  EXPECT_EQ(punterFileTypeOf("seq"), kProgramFile);

  Rig rig;
  const ByteBuffer file = patterned(600, 1);
  rig.sender.initiate(file, kSequentialFile);
  EXPECT_EQ(rig.hear(kSyn), Words{}) << "nothing before the receiver's call";
  EXPECT_EQ(rig.hear(kGoo), Words{kAck});
  // Each item on "S/B"; the receiver's verdict answered with "ACK".
  std::vector<ByteBuffer> items;
  for (int guard = 0; guard < 20; ++guard) {
    const std::vector<std::string> item = rig.hear(kSendBlock);
    ASSERT_EQ(item.size(), 1u);
    items.emplace_back(item[0].begin(), item[0].end());
    if (item[0] == kSyn && items.size() > 2) break;
    EXPECT_EQ(rig.hear(item[0] == kSyn ? kSyn : kGoo), Words{kAck});
  }
  // The file type, "SYN", the header-only block, 248 + 248 + 104 bytes, "SYN".
  ASSERT_EQ(items.size(), 7u);
  const std::size_t sizes[] = {8, 3, 7, 255, 255, 111, 3};
  const std::uint8_t nextSizes[] = {7, 0, 255, 255, 111, 0, 0};
  const std::uint16_t numbers[] = {0, 0, 0, 1, 2, 0xFF03, 0};
  ByteBuffer data;
  for (std::size_t i = 0; i < items.size(); ++i) {
    ASSERT_EQ(items[i].size(), sizes[i]) << i;
    if (sizes[i] == kWordSize) continue;
    EXPECT_TRUE(blockIntact(items[i].data(), items[i].size())) << i;
    EXPECT_EQ(items[i][kNextSizeAt], nextSizes[i]) << i;
    EXPECT_EQ(items[i][5] | items[i][6] << 8, numbers[i]) << i;
    if (i >= 3) data.insert(data.end(), items[i].begin() + kHeaderSize, items[i].end());
  }
  EXPECT_EQ(items[0][kHeaderSize], kSequentialFile);
  EXPECT_EQ(data, file);
  // The closing "SYN" is answered with "S/B", and the send is complete.
  EXPECT_EQ(rig.hear(kSyn), Words{kSendBlock});
  EXPECT_EQ(rig.sender.end(), TransferEnd::Completed);
  EXPECT_FALSE(rig.clock.untilNext().has_value());
}

TEST(PunterSend, SendsABadBlockAgainAndEndsAtTheLimits) {
  struct Case {
    const char* what;
    std::function<void(Rig&)> act;  // from the first data block sent
    TransferEnd end;
    Words last;  // the sender's last writes
  };
  const Case cases[] = {
      {"a block bad every time",
       [](Rig& r) {
         for (std::uint32_t i = 0; i < PunterSend::kMaxRetries; ++i) {
           EXPECT_EQ(r.hear(kBad), Words{kAck}) << i;
           EXPECT_EQ(r.hear(kSendBlock).at(0).size(), 255u) << "the same block again";
         }
         r.hear(kBad);
       },
       TransferEnd::TooManyErrors, {}},
      {"a silent receiver",
       [](Rig& r) {
         for (std::uint32_t i = 0; i < PunterSend::kMaxUnanswered; ++i) {
           r.clock.advance(PunterSend::kResendMs);
           EXPECT_EQ(r.link.take().size(), 1u) << "the block again, " << i;
         }
         r.clock.advance(PunterSend::kResendMs);
       },
       TransferEnd::NoAnswer, {}},
      {"the user's cancel", [](Rig& r) { r.sender.cancel(); }, TransferEnd::CancelledByUser, {}},
  };
  for (const Case& c : cases) {
    Rig rig;
    rig.sender.initiate(patterned(1000, 2), kProgramFile);
    for (const char* word : {kGoo, kSendBlock, kGoo, kSendBlock, kSyn, kSendBlock, kGoo}) rig.hear(word);
    ASSERT_EQ(rig.hear(kSendBlock).at(0).size(), 255u);
    c.act(rig);
    EXPECT_EQ(rig.sender.end(), c.end) << c.what;
    EXPECT_EQ(rig.link.take(), c.last) << c.what;
    EXPECT_FALSE(rig.clock.untilNext().has_value()) << c.what;
  }
}

}  // namespace
