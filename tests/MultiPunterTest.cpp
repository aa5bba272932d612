// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/MultiPunterReceive.h"

#include <gtest/gtest.h>

#include "EnginePair.h"
#include "MultiPunterSender.h"
#include "TransferTestSupport.h"

namespace {

using namespace multi_punter;

std::vector<BatchFile> batchOf(const std::vector<std::pair<std::string, std::size_t>>& files) {
  std::vector<BatchFile> batch;
  unsigned seed = 0;
  for (const auto& [name, size] : files) batch.push_back(BatchFile{name, patterned(size, ++seed)});
  return batch;
}

struct Batch {
  FakeClock clock;
  EnginePair pair;
  MultiPunterSender sender;
  MultiPunterReceive receiver;
  Batch(const std::vector<BatchFile>& files, Split split)
      : pair(clock, split, 5, 7), sender(pair.lineOfA(), clock, files), receiver(pair.lineOfB(), clock) {
    sender.start();
    receiver.initiate();
  }
};

// The board's text before each announcement: nothing of it starts a file.
const ByteBuffer kBoardText = bytesOf("\r\x09\x09\x09 NEXT FILE\x04\rS/B\x09\x09\x09\x09\x09\x09\x09\r");

TEST(MultiPunterReceive, TakesEachFileOfABatchUnderItsNameHoweverTheLineCarriesIt) {
  const std::vector<BatchFile> files =
      batchOf({{"GAME.PRG", 3000}, {"NOTES.SEQ", 5}, {"EMPTY", 0}, {"A,B", 600}, {"LAST", 249}});
  for (Split split : {Split::Whole, Split::ByteByByte, Split::Random}) {
    Batch batch(files, split);
    batch.pair.tamperA = [](std::size_t, ByteBuffer bytes) {
      const bool announcement =
          bytes.size() > kLeadInRun && std::all_of(bytes.begin(), bytes.begin() + kLeadInRun, [](std::uint8_t b) { return b == kLeadIn; });
      if (announcement) bytes.insert(bytes.begin(), kBoardText.begin(), kBoardText.end());
      return bytes;
    };
    std::vector<BatchFile> received;
    // Files are handed over one by one, as each completes.
    batch.pair.onStep = [&] {
      for (BatchFile& f : batch.receiver.takeFiles()) received.push_back(std::move(f));
    };
    ASSERT_TRUE(batch.pair.run(batch.sender, batch.receiver)) << int(split);
    EXPECT_EQ(batch.receiver.end(), TransferEnd::Completed) << int(split);
    EXPECT_EQ(batch.receiver.filesDone(), files.size());
    ASSERT_EQ(received.size(), files.size()) << int(split);
    for (std::size_t i = 0; i < files.size(); ++i) {
      EXPECT_EQ(received[i].name, files[i].name) << i;
      EXPECT_EQ(received[i].data, files[i].data) << i;
    }
  }
}

// A receive started after the board announced its first file (the
// announcement went to the screen) calls the sender and takes the file
// under no name; the next is announced as ever.
TEST(MultiPunterReceive, CallsASenderWhoseAnnouncementWasMissed) {
  const std::vector<BatchFile> files = batchOf({{"MISSED", 500}, {"SEEN", 10}});
  Batch batch(files, Split::Random);
  batch.pair.tamperA = [](std::size_t n, ByteBuffer bytes) { return n == 0 ? ByteBuffer() : bytes; };
  ASSERT_TRUE(batch.pair.run(batch.sender, batch.receiver));
  const std::vector<BatchFile> received = batch.receiver.takeFiles();
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0].name, "");
  EXPECT_EQ(received[0].data, files[0].data);
  EXPECT_EQ(received[1].name, "SEEN");

  // What the board prints after a call is no answer, whatever words it holds.
  RecordingLink link;
  FakeClock clock;
  MultiPunterReceive receiver(link, clock);
  clock.serve(receiver);
  receiver.initiate();
  clock.advance(MultiPunterReceive::kCallPeriodMs);
  const ByteBuffer text = bytesOf("PRESS RETURN TO GO BACK\r");
  receiver.receive(text.data(), text.size());
  clock.advance(Punter::kAnswerDelayMs);
  EXPECT_EQ(link.take(), std::vector<std::string>{punter::kGoo});
}

TEST(MultiPunterReceive, StopsOnBadInputKeepingTheFilesThatCompleted) {
  // A thousand files is the most a batch takes.
  Batch many(batchOf(std::vector<std::pair<std::string, std::size_t>>(MultiPunterReceive::kMaxFiles + 1, {"E", 0})),
             Split::Whole);
  many.pair.run(many.sender, many.receiver);
  EXPECT_EQ(many.receiver.end(), TransferEnd::TooManyFiles);
  EXPECT_EQ(many.receiver.takeFiles().size(), MultiPunterReceive::kMaxFiles);

  struct Case {
    const char* what;
    ByteBuffer bytes;  // from the board at once
    std::uint64_t waitMs;
    TransferEnd end;
  };
  ByteBuffer endless(kLeadInRun, kLeadIn);
  endless.insert(endless.end(), 10000, 'N');
  ByteBuffer atLimit(kLeadInRun, kLeadIn);
  atLimit.insert(atLimit.end(), kLongestHeader, 'N');
  atLimit.push_back(kReturn);
  ByteBuffer none(kLeadInRun, kLeadIn);
  none.insert(none.end(), kLeadInRun, kBatchEnd);
  none.push_back(kReturn);
  const Case cases[] = {
      {"an announcement that never ends", endless, 0, TransferEnd::HeaderTooLong},
      {"the longest announcement", atLimit, 0, TransferEnd::Running},
      {"a batch of no files", none, 0, TransferEnd::Completed},
      {"a board that says nothing", {}, (MultiPunterReceive::kMaxUnanswered + 1) * MultiPunterReceive::kCallPeriodMs,
       TransferEnd::NoAnswer},
  };
  for (const Case& c : cases) {
    RecordingLink link;
    FakeClock clock;
    MultiPunterReceive receiver(link, clock);
    clock.serve(receiver);
    receiver.initiate();
    receiver.receive(c.bytes.data(), c.bytes.size());
    clock.advance(c.waitMs);
    EXPECT_EQ(receiver.end(), c.end) << c.what;
    EXPECT_TRUE(receiver.takeFiles().empty()) << c.what;
  }
}

}  // namespace
