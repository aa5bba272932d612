// SPDX-License-Identifier: GPL-3.0-or-later
// The Transfer menu's commands without a display: real engines on a
// recording line and fake time, answering dialogs, real files in a
// temporary directory.
#include "transfer/TransferController.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>

#include "MultiPunterSender.h"
#include "PunterSender.h"
#include "TransferTestSupport.h"

namespace {

using namespace xmodem;

class RecordingStatus : public StatusSink {
 public:
  void ShowStatus(StatusField field, const std::string& text) override {
    if (field == StatusField::Message) messages.push_back(text);
  }
  std::string last() const { return messages.empty() ? "" : messages.back(); }
  std::vector<std::string> messages;
};

// Answers each file dialog with the next path queued for it ("" cancels),
// the question about an incomplete receive with `choice`.
class AnsweringDialogs : public TransferDialogs {
 public:
  std::string ChooseFileToSend() override { return next(toSend, opened); }
  std::string ChooseFileToSave(bool) override { return next(toSave, saved); }
  IncompleteChoice AskAboutIncomplete(const std::string& message, bool partialOffered, bool earlierOffered) override {
    questions.push_back(message + (partialOffered ? " [partial]" : "") + (earlierOffered ? " [earlier]" : ""));
    return choice;
  }
  void ShowSaveFailure(const std::string& message) override { failures.push_back(message); }
  std::deque<std::string> toSend, toSave;
  int opened = 0, saved = 0;
  IncompleteChoice choice = IncompleteChoice::Nothing;
  std::vector<std::string> questions, failures;
  std::function<void()> whileOpen;  // what happens while a dialog is open

 private:
  std::string next(std::deque<std::string>& answers, int& count) {
    ++count;
    if (whileOpen) whileOpen();
    if (answers.empty()) return "";
    std::string path = answers.front();
    answers.pop_front();
    return path;
  }
};

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

ByteBuffer operator+(ByteBuffer a, const ByteBuffer& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::string text(const ByteBuffer& bytes) { return std::string(bytes.begin(), bytes.end()); }

class Transfers : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/morlen-transfers-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    clock.fire = [this] { controller.TimeReached(); };
  }
  void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

  void xmodemGets(const ByteBuffer& bytes) { controller.Route().TakeBytes(bytes.data(), bytes.size()); }
  void xmodemGets(std::uint8_t byte) { xmodemGets(ByteBuffer{byte}); }
  // Hands the Punter route bytes and lets the answer go out.
  void punterGets(const ByteBuffer& bytes) {
    controller.Route().TakeBytes(bytes.data(), bytes.size());
    clock.advance(Punter::kAnswerDelayMs);
  }
  // Starts an Xmodem receive and lets its first CRC request go out.
  void startReceive() {
    line.take();
    controller.XmodemReceive();
    clock.advance(Xmodem::kHandshakePeriodMs);
    ASSERT_EQ(line.take(), std::vector<std::string>{"C"});
  }
  // A loaded file is sent in 128-byte CRC blocks, each acknowledged.
  void sendAcknowledged(bool oneK) {
    controller.XmodemSend(oneK);
    xmodemGets(kWantCrc);
    while (controller.Running() && controller.Current()->progressBytes() > 0) xmodemGets(kAck);
    xmodemGets(kAck);  // to the EOT
  }

  // Runs the controller's transfer against `board` (writing on `boardLine`)
  // until both have ended; `step` runs after each delivery.
  void exchange(FileTransfer& board, RecordingLink& boardLine, const std::function<void()>& step = {}) {
    clock.deadline = [&] { return earlier(clock.wakeTime(), board.deadline()); };
    clock.fire = [&] {
      const auto due = [&](std::optional<TransferMs> at) { return at && *at <= clock.now(); };
      if (due(clock.wakeTime())) controller.TimeReached();
      if (board.isActive() && due(board.deadline())) board.timeout();
    };
    for (int guard = 0; guard < 100000 && (controller.Running() || board.isActive()); ++guard) {
      for (const ByteBuffer& w : std::exchange(line.writes, {}))
        if (board.isActive()) board.receive(w.data(), w.size());
      for (const ByteBuffer& w : std::exchange(boardLine.writes, {})) {
        controller.Route().TakeBytes(w.data(), w.size());
        if (step) step();
      }
      if (!line.writes.empty() || !boardLine.writes.empty()) continue;
      const auto wait = clock.untilNext();
      if (!wait) break;
      clock.advance(*wait);
    }
    clock.deadline = nullptr;
    clock.fire = [this] { controller.TimeReached(); };
  }

  std::string dir;
  RecordingLink line;
  FakeClock clock;
  RecordingStatus status;
  AnsweringDialogs dialogs;
  bool prompt = false;
  bool connected = true;
  TransferController controller{line, clock, status, dialogs, prompt, [this] { return connected; }};
};

TEST_F(Transfers, XmodemReceiveShowsItsProgressAndEveryWayItEnds) {
  const ByteBuffer first = patterned(128, 1), second = patterned(128, 2);
  startReceive();
  EXPECT_EQ(status.messages, std::vector<std::string>{"Xmodem receive; handshaking"});
  EXPECT_TRUE(controller.Running());
  EXPECT_TRUE(controller.Route().Active());
  EXPECT_EQ(controller.CurrentProtocol()->id, TransferProtocolId::XmodemReceive);
  xmodemGets(xmodemPacket(1, first, true));
  EXPECT_EQ(status.last(), "Xmodem receiving: 128 bytes");
  xmodemGets(xmodemPacket(2, second, true));
  EXPECT_EQ(status.last(), "Xmodem receiving: 256 bytes");
  EXPECT_FALSE(controller.SaveOffered());
  xmodemGets(kEot);
  EXPECT_EQ(status.last(), "Xmodem received 256 bytes");
  EXPECT_FALSE(controller.Running());
  EXPECT_EQ(controller.ReceivedFile(), first + second);
  EXPECT_TRUE(controller.SaveOffered());
  EXPECT_EQ(dialogs.saved, 0);  // "Prompt after Receive" is off

  // Ends that are no file received leave the last one as it was. While the
  // board may still be sending, the line's bytes are kept from the screen
  // until it has been quiet a while.
  struct End {
    const char* name;
    std::function<void()> act;
    std::string text;
    bool quietLine;
  };
  const End ends[] = {
      {"the sender cancels", [&] { xmodemGets(ByteBuffer{kCan, kCan}); }, "Xmodem cancelled by endpoint", true},
      {"a block out of sequence", [&] { xmodemGets(xmodemPacket(3, first, true)); }, "Xmodem receive failed (out of sequence)", true},
      {"too many bad packets",
       [&] {
         ByteBuffer bad = xmodemPacket(1, first, true);
         bad[10] ^= 1;
         while (controller.Running()) {
           xmodemGets(bad);
           clock.advance(Xmodem::kQuietMs);
         }
       },
       "Xmodem receive failed (too many errors)", true},
      {"the user cancels: the sender is told at once",
       [&] {
         line.take();
         controller.Cancel();
         EXPECT_EQ(line.take(), std::vector<std::string>(2, std::string(1, static_cast<char>(kCan))));
       },
       "Xmodem cancelled by user", true},
      {"the sender falls silent", [&] { clock.advance((Xmodem::kMaxUnanswered + 1) * Xmodem::kSilenceMs); },
       "Xmodem receive failed (no answer)", false},
  };
  for (const End& end : ends) {
    prompt = true;
    startReceive();
    xmodemGets(xmodemPacket(1, second, true));
    end.act();
    EXPECT_FALSE(controller.Running()) << end.name;
    EXPECT_EQ(status.last(), end.text + (end.quietLine ? "; discarding the board's data" : "")) << end.name;
    EXPECT_EQ(controller.Route().Active(), end.quietLine) << end.name;
    if (end.quietLine) {
      // What the board still sends starts the wait over.
      clock.advance(TransferController::kQuietLineMs / 2 - 1);
      xmodemGets(xmodemPacket(2, second, true));
      clock.advance(TransferController::kQuietLineMs - 1);
      EXPECT_TRUE(controller.Route().Active()) << end.name;
    }
    EXPECT_EQ(controller.ReceivedFile(), first + second) << end.name;
    EXPECT_EQ(dialogs.saved, 0) << end.name;
    clock.advance(TransferController::kQuietLineMs);
    EXPECT_EQ(status.last(), end.text) << end.name;
    EXPECT_FALSE(controller.Route().Active()) << end.name;
    EXPECT_FALSE(clock.untilNext().has_value()) << end.name << ": a timer still runs";
  }
}

// The end texts are the protocols' common ones (above); a Punter receive
// says at once that it waits for the board.
TEST_F(Transfers, PunterReceiveSaysAtOnceThatItWaits) {
  controller.PunterReceive();
  EXPECT_EQ(status.messages, std::vector<std::string>{"Punter receive: waiting for the board"});
  controller.Cancel();
  EXPECT_EQ(status.last(), "Punter cancelled by user; discarding the board's data");
  clock.advance(TransferController::kQuietLineMs);
  EXPECT_FALSE(controller.Route().Active());
  EXPECT_FALSE(clock.untilNext().has_value());
}

TEST_F(Transfers, SendAsksForAFileWhenNoneIsLoadedAndEmptiesItOnceSent) {
  const std::string path = dir + "/upload.prg", unreadable = dir + "/missing";
  const std::string contents = text(patterned(300, 3));
  writeFile(path, contents);

  // Dialog cancelled: nothing starts.
  controller.XmodemSend(false);
  EXPECT_EQ(dialogs.opened, 1);
  EXPECT_EQ(status.last(), "Xmodem send; no file loaded");
  EXPECT_EQ(controller.Current(), nullptr);
  // A file that cannot be read is not reported as loaded.
  dialogs.toSend = {unreadable};
  controller.XmodemSend(false);
  EXPECT_EQ(status.messages.end()[-2], "Could not read " + unreadable);
  EXPECT_EQ(status.last(), "Xmodem send; no file loaded");
  // The file chosen is sent in the same command.
  dialogs.toSend = {path};
  controller.XmodemSend(false);
  EXPECT_EQ(status.messages.end()[-2], "Loaded " + path);
  EXPECT_EQ(status.last(), "Xmodem send; handshaking");
  EXPECT_EQ(controller.LoadedPath(), path);
  xmodemGets(kWantCrc);
  EXPECT_EQ(status.last(), "Xmodem sending: 300 bytes left");
  xmodemGets(kAck);
  EXPECT_EQ(status.last(), "Xmodem sending: 172 bytes left");
  // A cancel goes out at once; the file stays loaded.
  controller.Cancel();
  EXPECT_FALSE(controller.Running());
  EXPECT_EQ(status.last(), "Xmodem cancelled by user; discarding the board's data");
  EXPECT_EQ(line.take().back(), std::string(1, static_cast<char>(kCan)));
  EXPECT_EQ(text(controller.FileToSend()), contents);

  // Sent whole (no dialog this time): the loaded file goes.
  sendAcknowledged(true);
  EXPECT_EQ(dialogs.opened, 3);
  EXPECT_EQ(status.last(), "Xmodem sent 300 bytes");
  EXPECT_TRUE(controller.FileToSend().empty());
  std::string wire;
  for (const std::string& write : line.take()) wire += write;
  EXPECT_NE(wire.find(contents.substr(0, 128)), std::string::npos);
  EXPECT_NE(wire.find(contents.substr(256)), std::string::npos);

  // The receiver cancels: the file stays for another try.
  dialogs.toSend = {path};
  controller.XmodemSend(true);
  xmodemGets(kWantCrc);
  xmodemGets(ByteBuffer{kCan, kCan});
  EXPECT_EQ(status.last(), "Xmodem cancelled by endpoint; discarding the board's data");
  EXPECT_EQ(text(controller.FileToSend()), contents);

  // The connection ends while the dialog is open: no send starts.
  controller.LoadFile();  // a cancelled dialog keeps what was loaded
  EXPECT_EQ(text(controller.FileToSend()), contents);
  sendAcknowledged(false);
  dialogs.toSend = {path};
  dialogs.whileOpen = [&] {
    connected = false;
    status.ShowStatus(StatusField::Message, "Disconnected (connection dropped)");
  };
  controller.XmodemSend(false);
  EXPECT_FALSE(controller.Running());
  EXPECT_EQ(status.last(), "Xmodem send; not connected");
  EXPECT_EQ(text(controller.FileToSend()), contents);
}

TEST_F(Transfers, PunterReceiveFromASenderThenPromptsToSave) {
  std::mt19937 random(5);
  const ByteBuffer file = patterned(3000, 4);
  punter_test::PunterSender sender(file, random);
  const std::string saveAs = dir + "/download.seq";
  prompt = true;
  dialogs.toSave = {saveAs};

  controller.PunterReceive();
  EXPECT_TRUE(controller.Route().Active());
  EXPECT_EQ(controller.CurrentProtocol()->id, TransferProtocolId::PunterReceive);
  std::size_t progress = 0;
  for (int guard = 0; guard < 10000 && controller.Running(); ++guard) {
    std::vector<std::string> words = line.take();
    if (words.empty()) {
      ASSERT_TRUE(clock.untilNext().has_value());
      clock.advance(*clock.untilNext());
      continue;
    }
    for (const std::string& word : words)
      for (const ByteBuffer& answer : sender.hear(word)) {
        controller.Route().TakeBytes(answer.data(), answer.size());
        progress += status.last().rfind("Punter receiving: ", 0) == 0;
      }
  }
  EXPECT_EQ(line.take(), std::vector<std::string>{punter::kSyn});  // the closing word answered
  EXPECT_GT(progress, sender.dataBlocks);
  EXPECT_EQ(status.messages.end()[-2], "Punter received 3000 bytes");
  EXPECT_EQ(status.last(), "Saved " + saveAs);
  EXPECT_EQ(readFile(saveAs), text(file));
  EXPECT_EQ(controller.ReceivedFile(), file);
}

// "Save File..." writes the last file received and replaces the file
// chosen whole or not at all (its permissions are AtomicFileWriteTest's).
TEST_F(Transfers, SaveWritesTheLastReceiveWholeOrNotAtAll) {
  const std::string target = dir + "/saved";
  dialogs.toSave = {target};
  EXPECT_FALSE(controller.SaveOffered());
  controller.SaveFile();
  EXPECT_EQ(dialogs.saved, 0);  // nothing received yet: nothing to save
  EXPECT_EQ(status.last(), "No file received");

  const ByteBuffer data = patterned(128, 6);
  startReceive();
  xmodemGets(xmodemPacket(1, data, true));
  xmodemGets(kEot);
  // A later send leaves the received file to be saved, not its own bytes.
  const std::string upload = dir + "/upload";
  writeFile(upload, "UPLOAD");
  dialogs.toSend = {upload};
  sendAcknowledged(false);
  ASSERT_EQ(status.last(), "Xmodem sent 6 bytes");
  controller.SaveFile();
  EXPECT_EQ(readFile(target), text(data));
  EXPECT_EQ(status.last(), "Saved " + target);

  // A write that fails half-way keeps the file that was there, and says why.
  writeFile(target, "OLD CONTENTS");
  bool failedOnce = false;
  controller.saveSteps.write = [&](int fd, const void* bytes, std::size_t size) -> ssize_t {
    if (failedOnce) return ::write(fd, bytes, size);
    failedOnce = true;
    ::write(fd, bytes, size / 2);
    errno = ENOSPC;
    return -1;
  };
  const std::string nowhere = dir + "/missing/saved";
  dialogs.toSave = {target, nowhere};
  controller.SaveFile();
  controller.SaveFile();
  EXPECT_EQ(readFile(target), "OLD CONTENTS");
  EXPECT_EQ(dialogs.failures, (std::vector<std::string>{saveFailureText(target, ENOSPC), saveFailureText(nowhere, ENOENT)}));
  EXPECT_EQ(status.last(), dialogs.failures.back());
  // A cancelled dialog writes nothing.
  controller.SaveFile();
  EXPECT_EQ(readFile(target), "OLD CONTENTS");
  EXPECT_EQ(dialogs.failures.size(), 2u);
}

// After a receive that did not complete, "Save File..." says that no
// complete file is there; the part is saved only when asked for, as a
// part, and the complete file before it stays to be had.
TEST_F(Transfers, SaveAfterAReceiveThatStoppedSavesAPartOnlyWhenAskedFor) {
  using Choice = TransferDialogs::IncompleteChoice;
  const ByteBuffer earlier = patterned(256, 8), part = patterned(128, 9);
  const std::string stopped = "The last Xmodem receive stopped after 128 bytes: no complete file is there.";
  const std::string earlierToo = " The complete file received before it (256 bytes) can still be saved.";
  struct Case {
    bool earlierReceive, userCancels;  // else the line drops after one block
    Choice choice;
    std::string question;  // empty: "Save File..." is not offered
    ByteBuffer saved;
  };
  const Case cases[] = {
      {false, false, Choice::Nothing, stopped + " [partial]", {}},
      {false, false, Choice::SavePartial, stopped + " [partial]", part},
      {true, false, Choice::SaveEarlier, stopped + earlierToo + " [partial] [earlier]", earlier},
      {true, true, Choice::SaveEarlier,
       "The last Xmodem receive stopped before any data arrived: no complete file is there." + earlierToo +
           " [earlier]",
       earlier},
      {false, true, Choice::SavePartial, "", {}},
  };
  int index = 0;
  for (const Case& c : cases) {
    TransferController transfers{line, clock, status, dialogs, prompt, [] { return true; }};
    clock.fire = [&] { transfers.TimeReached(); };
    // Receives `data` in 128-byte blocks, with the end of file or without.
    auto receive = [&](const ByteBuffer& data, bool complete) {
      transfers.XmodemReceive();
      clock.advance(Xmodem::kHandshakePeriodMs);
      for (std::size_t at = 0; at < data.size(); at += 128) {
        const auto from = data.begin() + static_cast<std::ptrdiff_t>(at);
        const auto number = static_cast<std::uint8_t>(at / 128 + 1);
        const ByteBuffer packet = xmodemPacket(number, ByteBuffer(from, from + 128), true);
        transfers.Route().TakeBytes(packet.data(), packet.size());
      }
      if (complete) transfers.Route().TakeBytes(&kEot, 1);
    };
    if (c.earlierReceive) receive(earlier, true);
    receive(part, false);
    c.userCancels ? transfers.Cancel() : transfers.Route().ConnectionEnded(SessionEnd::Dropped);
    const std::string what = std::to_string(++index), target = dir + "/" + what;
    EXPECT_EQ(transfers.SaveOffered(), !c.question.empty()) << what;
    dialogs.questions.clear();
    dialogs.toSave = {target};
    dialogs.choice = c.choice;
    transfers.SaveFile();
    EXPECT_EQ(dialogs.questions, c.question.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.question})
        << what;
    EXPECT_EQ(readFile(target), text(c.saved)) << what;
    if (c.saved == part) {
      EXPECT_EQ(status.last(), "Saved partial file " + target);
    }
    clock.advance(TransferController::kQuietLineMs);
  }
  clock.fire = [this] { controller.TimeReached(); };
}

TEST_F(Transfers, AConnectionThatEndsStopsTheTransferAtOnce) {
  struct Case {
    bool punter;
    SessionEnd how;
    const char* text;
  };
  const Case cases[] = {
      {false, SessionEnd::Dropped, "Xmodem stopped (connection dropped)"},
      {true, SessionEnd::Dropped, "Punter stopped (connection dropped)"},
      {false, SessionEnd::Disconnected, "Xmodem stopped (disconnected by user)"},
      {true, SessionEnd::Closed, "Punter stopped (connection closed)"},
  };
  for (const Case& c : cases) {
    if (c.punter) {
      controller.PunterReceive();
    } else {
      startReceive();
      xmodemGets(xmodemPacket(1, patterned(128, 7), true));
    }
    TransferEngine& route = controller.Route();
    ASSERT_TRUE(route.Active());
    line.take();
    route.ConnectionEnded(c.how);
    EXPECT_FALSE(controller.Running()) << c.text;
    EXPECT_EQ(status.last(), c.text);
    // Nothing more goes out: no timer is left to write.
    clock.advance(60000);
    EXPECT_TRUE(line.take().empty()) << c.text;
    EXPECT_TRUE(controller.ReceivedFile().empty());
  }
}

// A batch saves each file into the download folder as it completes and
// names it in the status bar; one that stops keeps the files before it.
TEST_F(Transfers, ABatchSavesEachFileIntoTheDownloadFolderAsItCompletes) {
  const std::string folder = dir + "/downloads";
  controller.downloadFolder = [&] { return folder; };
  const std::vector<BatchFile> files = {{"GAME.PRG", patterned(600, 1)}, {"NOTES.SEQ", patterned(300, 2)}};
  struct Case {
    const char* what;
    std::function<void()> step;  // after each chunk from the board
    std::string end;
    std::vector<std::string> saved;
  };
  const Case cases[] = {
      {"whole", {}, "Multi-Punter received 2 files into " + folder, {"GAME.PRG", "NOTES.SEQ"}},
      {"cancelled in the second file",
       [&] {
         if (status.last().rfind("Multi-Punter receiving NOTES.SEQ (file 2): ", 0) == 0) controller.Cancel();
       },
       "Multi-Punter cancelled by user; 1 file saved; discarding the board's data", {"GAME.PRG"}},
      {"the disk full", [&] { controller.batchSteps.write = [](int, const void*, std::size_t) -> ssize_t {
         errno = ENOSPC;
         return -1;
       }; },
       "Multi-Punter receive stopped (could not save " + folder + "/GAME.PRG: No space left on device)"
       "; discarding the board's data", {}},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(folder);
    status.messages.clear();
    if (c.step && c.saved.empty()) c.step();
    RecordingLink boardLine;
    MultiPunterSender board(boardLine, clock, files);
    board.start();
    controller.Start(TransferProtocolId::MultiPunterReceive);
    EXPECT_EQ(status.last(), "Multi-Punter receive: waiting for the board") << c.what;
    exchange(board, boardLine, c.saved.empty() ? std::function<void()>() : c.step);
    for (const std::string& shown : {c.end, std::string("Multi-Punter receiving GAME.PRG (file 1): 248 bytes")})
      EXPECT_NE(std::find(status.messages.begin(), status.messages.end(), shown), status.messages.end()) << c.what;
    std::vector<std::string> saved;
    if (std::filesystem::exists(folder))
      for (const auto& entry : std::filesystem::directory_iterator(folder)) saved.push_back(entry.path().filename());
    std::sort(saved.begin(), saved.end());
    EXPECT_EQ(saved, c.saved) << c.what;
    for (std::size_t i = 0; i < saved.size(); ++i) EXPECT_EQ(readFile(folder + "/" + saved[i]), text(files[i].data));
    controller.batchSteps = FileWriteSteps();
    clock.advance(TransferController::kQuietLineMs);
  }
  EXPECT_EQ(dialogs.failures, (std::vector<std::string>{"Could not save " + folder + "/GAME.PRG: No space left on device"}));
  EXPECT_FALSE(controller.SaveOffered()) << "a batch leaves nothing for Save File";
}

TEST_F(Transfers, PunterSendAsksForAFileThenSaysHowMuchIsLeftAndThatItWentThrough) {
  const std::string path = dir + "/upload.prg";
  writeFile(path, text(patterned(600, 3)));
  dialogs.toSend = {path};
  controller.Start(TransferProtocolId::PunterSend);
  EXPECT_EQ(status.last(), "Punter send: waiting for the board");
  RecordingLink boardLine;
  Punter board(boardLine, clock);
  board.initiate();
  exchange(board, boardLine);
  EXPECT_EQ(board.data(), patterned(600, 3));
  EXPECT_NE(std::find(status.messages.begin(), status.messages.end(), "Punter sending: 352 bytes left"),
            status.messages.end());
  EXPECT_EQ(status.last(), "Punter sent 600 bytes");
  EXPECT_TRUE(controller.FileToSend().empty());
}

}  // namespace
