// SPDX-License-Identifier: GPL-3.0-or-later
// The Transfer menu on the real main window against real peers on
// 127.0.0.1: Debian's sx and rx on the connection the window made, a Punter
// sender of the tests' own, a host that hangs up; and the function keys as
// real X key events (xdotool). The file dialogs are answered through the
// replaceable chooser. The rules one by one are unit-tested without a
// display (TransferControllerTest, TerminalSessionTest).
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/filename.h>
#include <wx/weakref.h>
#include <wx/wx.h>

#include <algorithm>
#include <cctype>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "PunterSender.h"
#include "TransferPeer.h"
#include "app/CommandIds.h"
#include "app/FileChooser.h"
#include "app/MessagePrompt.h"
#include "app/MorlenFrame.h"
#include "gui/GuiTestSupport.h"
#include "gui/LoopbackPeer.h"
#include "settings/AddressBook.h"
#include "settings/Settings.h"

namespace {

using namespace loopback;

constexpr int kTransferMs = 30000;
constexpr int kQuietMs = 300;
constexpr std::size_t kFileSize = 100000;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What the local host's Punter sender says it dropped of the caller's
// words, over every file it sent; the most there is when it says nothing.
std::size_t WordBytesDropped(const std::string& log) {
  static const std::string kTail = " bytes of the caller's dropped";
  if (log.find(kTail) == std::string::npos) return std::numeric_limits<std::size_t>::max();
  std::size_t total = 0;
  for (std::size_t at = log.find(kTail); at != std::string::npos; at = log.find(kTail, at + 1)) {
    std::size_t start = at;
    while (start > 0 && std::isdigit(static_cast<unsigned char>(log[start - 1]))) --start;
    total += std::stoul(log.substr(start, at - start));
  }
  return total;
}
// A busy machine may hold the board's flush past the receive's wait once in
// a while; a receive that did not wait would lose nearly every word.
constexpr std::size_t kRareDroppedBytes = 3 * 3;

// The copy holds the original, then at most one block's padding.
::testing::AssertionResult SameFile(const std::string& original, const std::string& copy) {
  const std::string tail = copy.size() >= original.size() ? copy.substr(original.size()) : "";
  if (copy.compare(0, original.size(), original) != 0 || copy.size() < original.size())
    return ::testing::AssertionFailure() << "differs (" << copy.size() << " bytes for " << original.size() << ")";
  if (tail.size() >= 1024 || tail.find_first_not_of('\x1a') != std::string::npos)
    return ::testing::AssertionFailure() << tail.size() << " bytes after the file are not padding";
  return ::testing::AssertionSuccess();
}

class TransferWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    programSettings() = Settings{};
    programSettings().autoCheckForUpdate = false;
    directory = wxFileName::CreateTempFileName("transfer").ToStdString();
    wxRemoveFile(directory);
    wxMkdir(directory);
    savedChooser = ProgramFileChooser();
    ProgramFileChooser() = [this](wxWindow*, const FileRequest& request) {
      requests.push_back(request);
      if (answers.empty()) return wxString();
      const wxString path = answers.front();
      answers.pop_front();
      return path;
    };
    // Message boxes are answered with `promptAnswer`, or closed.
    savedPrompt = ProgramMessagePrompt();
    ProgramMessagePrompt() = [this](wxWindow*, const MessageRequest& request) {
      prompts.push_back(request);
      const auto chosen = std::find(request.answers.begin(), request.answers.end(), promptAnswer);
      return static_cast<std::size_t>(chosen == request.answers.end() ? request.answers.size() - 1
                                                                       : chosen - request.answers.begin());
    };
    listener = BoundSocket(port, 4);
    ASSERT_GE(listener.get(), 0);
    AddressBookEntry entry;
    entry.name = "test board";
    entry.address = "127.0.0.1";
    entry.port = port;
    programAddressBook().entries = {entry};
    frame = new MorlenFrame;
    alive = frame;
    frame->Show();
    RunEventLoopFor(200);
    peer = Connect();
  }
  void TearDown() override {
    ProgramFileChooser() = savedChooser;
    ProgramMessagePrompt() = savedPrompt;
    if (alive) frame->Destroy();
    RunEventLoopFor(100);
    wxFileName::Rmdir(directory, wxPATH_RMDIR_RECURSIVE);
  }
  Fd Connect() {
    auto* event = new wxCommandEvent(wxEVT_ADDRESS_BOOK_CONNECT);
    event->SetInt(0);
    wxQueueEvent(frame, event);
    RunEventLoopUntil([&] { return Readable(listener.get(), 0); });
    Fd accepted = AcceptOne(listener.get());
    EXPECT_TRUE(RunEventLoopUntil([&] { return Status(0) == "Connected."; })) << Status(0);
    return accepted;
  }
  std::string MakeFile(const char* name, std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    const std::string path = directory + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  // A program with the connection's far end as its standard input and output.
  std::optional<PeerProgram> StartPeer(const std::string& command) {
    return PeerProgram::startOn(peer.get(), {"sh", "-c", "cd '" + directory + "' && exec " + command},
                                directory + "/peer.log");
  }
  void Command(int id) {
    wxCommandEvent event(wxEVT_MENU, id);
    frame->GetEventHandler()->ProcessEvent(event);
  }
  bool Enabled(int id) { return frame->CommandEnabled(id); }
  wxString Status(int field) { return frame->GetStatusBar()->GetStatusText(field); }
  bool WaitForStatus(const wxString& text, int milliseconds = kTransferMs) {
    return RunRealLoopUntil([&] { return Status(0) == text; }, milliseconds);
  }
  void Send(const std::string& bytes) {
    ASSERT_EQ(send(peer.get(), bytes.data(), bytes.size(), 0), ssize_t(bytes.size()));
  }

  // Connects the window to a local host.
  void ConnectTo(std::uint16_t hostPort) {
    ASSERT_NE(hostPort, 0);
    programAddressBook().entries[0].port = hostPort;
    auto* event = new wxCommandEvent(wxEVT_ADDRESS_BOOK_CONNECT);
    event->SetInt(0);
    wxQueueEvent(frame, event);
    ASSERT_TRUE(RunEventLoopUntil([&] { return Status(0) == "Connected."; }, 5000)) << Status(0);
  }

  std::string directory;
  FileChooser savedChooser;
  std::vector<FileRequest> requests;
  std::deque<wxString> answers;
  MessagePrompt savedPrompt;
  std::vector<MessageRequest> prompts;
  wxString promptAnswer;
  Fd listener;
  std::uint16_t port = 0;
  MorlenFrame* frame = nullptr;
  wxWeakRef<MorlenFrame> alive;
  Fd peer;
};

TEST_F(TransferWindow, ReceivesFromSxWithCrcAnd1kBlocksThenShowsTheBoardAgain) {
  const std::string original = ReadFile(MakeFile("original", kFileSize, 1));
  programSettings().dialogOnReceived = true;
  const char* senders[] = {"sx -X original", "sx -X -k original"};
  for (const char* sender : senders) {
    SCOPED_TRACE(sender);
    std::optional<PeerProgram> sx = StartPeer(sender);
    ASSERT_TRUE(sx);
    const wxString saveAs = wxString(directory) + "/received " + sender;
    answers = {saveAs};
    requests.clear();
    ASSERT_TRUE(Enabled(command::kXmodemReceive));
    Command(command::kXmodemReceive);
    EXPECT_EQ(Status(0), "Xmodem receive; handshaking");
    // While it runs: nothing else starts, the keys are not the board's.
    EXPECT_TRUE(Enabled(command::kCancelTransfer));
    for (int id : {command::kXmodemReceive, command::kPunterReceive, command::kXmodemSend,
                   command::kXmodem1kSend, command::kLoadFileToSend})
      EXPECT_FALSE(Enabled(id)) << id;

    // "Prompt after Receive" is on: the save dialog follows the last packet.
    ASSERT_TRUE(WaitForStatus("Saved " + saveAs)) << Status(0);
    EXPECT_EQ(sx->finish(), 0);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].save);
    EXPECT_EQ(requests[0].title, "Save Received As");
    EXPECT_EQ(requests[0].wildcard, "All files (*)|*");
    EXPECT_TRUE(SameFile(original, ReadFile(saveAs.ToStdString())));
    const ByteBuffer& kept = frame->Transfers().ReceivedFile();
    EXPECT_TRUE(SameFile(original, std::string(kept.begin(), kept.end())));
    EXPECT_FALSE(Enabled(command::kCancelTransfer));
    EXPECT_TRUE(Enabled(command::kSaveReceivedFile));
  }
  // Nothing of the transfers reached the screen; what the board sends now does.
  EXPECT_EQ(Status(2), "Active: 0");
  Send("\x05READY.");
  ASSERT_TRUE(RunEventLoopUntil([&] { return Status(2) == "Active: 7"; })) << Status(2);
}

TEST_F(TransferWindow, SendsToRxWithBothBlockSizesAskingForTheFileEachTime) {
  const std::string path = MakeFile("upload", kFileSize, 2);
  const std::string original = ReadFile(path);
  struct Send {
    int id;
    const char* copy;
  };
  for (const Send& s : {Send{command::kXmodemSend, "copy128"}, Send{command::kXmodem1kSend, "copy1k"}}) {
    SCOPED_TRACE(s.copy);
    std::optional<PeerProgram> rx = StartPeer(std::string("rx -X -c ") + s.copy);
    ASSERT_TRUE(rx);
    // A completed send empties the loaded file: each send asks for one first.
    answers = {path};
    requests.clear();
    Command(s.id);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_FALSE(requests[0].save);
    EXPECT_EQ(requests[0].title, "Choose a file to send");
    EXPECT_EQ(requests[0].wildcard, "All files (*)|*");
    EXPECT_TRUE(Status(0) == "Xmodem send; handshaking" || Status(0).StartsWith("Xmodem sending: ")) << Status(0);
    ASSERT_TRUE(WaitForStatus(wxString::Format("Xmodem sent %d bytes", int(kFileSize)))) << Status(0);
    EXPECT_EQ(rx->finish(), 0);
    EXPECT_TRUE(SameFile(original, ReadFile(directory + "/" + s.copy)));
    EXPECT_TRUE(frame->Transfers().FileToSend().empty());
  }
  // Every packet went out through the client and was counted.
  const wxString traffic = Status(1);
  const long sent = std::stol(traffic.AfterLast(' ').ToStdString());
  EXPECT_GT(sent, long(2 * kFileSize)) << traffic;
}

// A Punter sender written from the exchange a receiver expects, on the
// board's end of the connection, in a thread of its own.
TEST_F(TransferWindow, PunterReceiveFromASenderThenSaveFile) {
  std::mt19937 random(3);
  std::string file = ReadFile(MakeFile("punter", 20000, 3));
  punter_test::PunterSender sender(ByteBuffer(file.begin(), file.end()), random);
  std::atomic<bool> stop{false};
  std::thread board([&] {
    std::string heard;
    while (!stop && !sender.done) {
      if (!Readable(peer.get(), 50)) continue;
      char chunk[64];
      const ssize_t n = recv(peer.get(), chunk, sizeof chunk, 0);
      if (n <= 0) return;
      heard.append(chunk, std::size_t(n));
      for (; heard.size() >= punter::kWordSize; heard.erase(0, punter::kWordSize))
        for (const ByteBuffer& answer : sender.hear(heard.substr(0, punter::kWordSize)))
          send(peer.get(), answer.data(), answer.size(), 0);
    }
  });
  EXPECT_FALSE(Enabled(command::kSaveReceivedFile));
  Command(command::kPunterReceive);
  const bool done = WaitForStatus("Punter received 20000 bytes");
  stop = true;
  board.join();
  ASSERT_TRUE(done) << Status(0);
  EXPECT_TRUE(sender.done);

  const wxString saveAs = wxString(directory) + "/saved.prg";
  answers = {saveAs};
  ASSERT_TRUE(Enabled(command::kSaveReceivedFile));
  Command(command::kSaveReceivedFile);
  EXPECT_EQ(Status(0), "Saved " + saveAs);
  EXPECT_EQ(ReadFile(saveAs.ToStdString()), file);
}

// The host hangs up in the middle of a receive, or the user disconnects
// during one: the transfer ends at once and says why, and the window is
// ready for the next connection.
TEST_F(TransferWindow, ConnectionEndingDuringATransferStopsIt) {
  Command(command::kXmodemReceive);
  ASSERT_TRUE(RunEventLoopUntil([&] { return Readable(peer.get(), 0); }, 5000));  // the first C
  Send(std::string("\x01\x01\xfe") + std::string(60, 'x'));  // half a packet
  RunEventLoopFor(50);
  peer = Fd();
  ASSERT_TRUE(WaitForStatus("Xmodem stopped (connection dropped)", 5000)) << Status(0);
  EXPECT_FALSE(Enabled(command::kCancelTransfer));
  EXPECT_TRUE(Enabled(command::kConnect));
  EXPECT_FALSE(Enabled(command::kSaveReceivedFile));
  // The handshake timer is stopped with the transfer; another period passes quietly.
  RunEventLoopFor(2500);
  EXPECT_EQ(Status(0), "Xmodem stopped (connection dropped)");

  peer = Connect();
  Command(command::kPunterReceive);
  ASSERT_TRUE(frame->Transfers().Running());
  Command(command::kDisconnect);
  EXPECT_EQ(Status(0), "Punter stopped (disconnected by user)");
  EXPECT_FALSE(frame->Transfers().Running());
  RunEventLoopFor(2500);  // past the next "GOO" the receive would have sent
  char byte;
  EXPECT_EQ(recv(peer.get(), &byte, 1, MSG_DONTWAIT), 0) << "something after the orderly end";
}

// morlen-host on 127.0.0.1 with its own standard output read for the port.
class LocalHost {
 public:
  // The host's messages go to `log`, or nowhere.
  explicit LocalHost(const std::vector<std::string>& options, const std::string& log = "/dev/null") {
    int out[2];
    if (pipe(out) != 0) return;
    pid = fork();
    if (pid == 0) {
      dup2(out[1], STDOUT_FILENO);
      close(out[0]);
      const int quiet = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (quiet >= 0) dup2(quiet, STDERR_FILENO);
      std::vector<std::string> args{MORLEN_BINARY_DIR "/morlen-host", "--port", "0", "--once"};
      args.insert(args.end(), options.begin(), options.end());
      std::vector<char*> argv;
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(out[1]);
    FILE* lines = fdopen(out[0], "r");
    unsigned number = 0;
    if (lines && std::fscanf(lines, "port %u", &number) == 1) port = static_cast<std::uint16_t>(number);
    if (lines) std::fclose(lines);
  }
  ~LocalHost() {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
  }
  std::uint16_t port = 0;

 private:
  pid_t pid = -1;
};

// The local host runs a real sender that first prints noise, then one that
// hangs up in the middle of a block. The window takes the first file whole
// and saves it, stops the second at once saying why, keeps the first (in
// memory and on disk) and connects again as ever.
TEST_F(TransferWindow, HostSendingNoiseOrHangingUpMidTransfer) {
  Command(command::kDisconnect);
  peer = Fd();
  const std::string first = MakeFile("first", 20000, 5), second = MakeFile("second", 20000, 6);
  auto connectTo = [&](const LocalHost& host) { ConnectTo(host.port); };
  // Noise once the receive has asked for the first time (the first C is
  // read away), then the sender, which starts at the next C.
  programSettings().dialogOnReceived = true;
  const wxString savedAs = wxString(directory) + "/first.saved";
  answers = {savedAs};
  {
    LocalHost noisy({"--exec", "head -c 1 >/dev/null; printf '\r\nNO CARRIER\r\n+++\377\200'; exec sx -X '" +
                                   first + "' 2>/dev/null"});
    connectTo(noisy);
    Command(command::kXmodemReceive);
    // The save dialog runs with the last packet's progress; the host hangs up after it.
    ASSERT_TRUE(RunRealLoopUntil([&] { return !requests.empty(); }, kTransferMs)) << Status(0);
  }
  const std::string saved = ReadFile(savedAs.ToStdString());
  ASSERT_TRUE(SameFile(ReadFile(first), saved));
  const ByteBuffer kept = frame->Transfers().ReceivedFile();

  // The sender's output stops after 3000 bytes (packet 23 of 133 bytes
  // cut short) and the host hangs up.
  LocalHost dropping({"--exec", "sx -X '" + second + "' 2>/dev/null | { dd bs=1 count=3000 2>/dev/null; kill 0; }"});
  connectTo(dropping);
  requests.clear();
  Command(command::kXmodemReceive);
  ASSERT_TRUE(WaitForStatus("Xmodem stopped (connection dropped)")) << Status(0);
  EXPECT_TRUE(Status(1).StartsWith("Rx: 3000 |")) << Status(1);
  EXPECT_TRUE(requests.empty()) << "a partial file was offered for saving";
  EXPECT_FALSE(Enabled(command::kCancelTransfer));
  EXPECT_EQ(frame->Transfers().ReceivedFile(), kept);
  EXPECT_EQ(ReadFile(savedAs.ToStdString()), saved);
  // "Save File..." says the last receive did not complete and still offers the first file.
  const wxString again = wxString(directory) + "/first.again";
  answers = {again};
  promptAnswer = "Save Earlier File...";
  ASSERT_TRUE(Enabled(command::kSaveReceivedFile));
  Command(command::kSaveReceivedFile);
  ASSERT_EQ(prompts.size(), 1u);
  EXPECT_TRUE(prompts[0].message.StartsWith("The last Xmodem receive stopped after 2816 bytes")) << prompts[0].message;
  EXPECT_EQ(prompts[0].answers, (std::vector<wxString>{"Save Partial File...", "Save Earlier File...", "Cancel"}));
  EXPECT_EQ(Status(0), "Saved " + again);
  EXPECT_EQ(ReadFile(again.ToStdString()), saved);

  // The window goes on: connected again, the board's text is on the screen.
  const std::string greeting = directory + "/greeting.seq";
  std::ofstream(greeting) << "READY.";
  LocalHost board({"--script", greeting});
  ASSERT_TRUE(Enabled(command::kConnect));
  connectTo(board);
  EXPECT_TRUE(RunEventLoopUntil([&] { return Status(2) == "Active: 6"; })) << Status(2);
}

// The local host's Punter sender drops what arrives while its own word is
// still going out, as a C64 board does. The receive waits a moment before
// each word, so the board loses none, short of the board's own flush being
// held up on a busy machine: the file arrives whole, a word is said again
// only for each one the board dropped, and the board then ends the call in
// order.
TEST_F(TransferWindow, PunterFromABoardThatFlushesItsInputAfterEachWord) {
  Command(command::kDisconnect);
  peer = Fd();
  const std::string path = MakeFile("board-file", 6000, 7);
  const std::string log = directory + "/host.log";
  {
    LocalHost board({"--punter", path}, log);
    ConnectTo(board.port);
    programSettings().dialogOnReceived = true;
    const wxString saveAs = wxString(directory) + "/from-board.prg";
    answers = {saveAs};
    Command(command::kPunterReceive);
    EXPECT_EQ(Status(0), "Punter receive: waiting for the board");
    ASSERT_TRUE(WaitForStatus("Disconnected by the board")) << Status(0);
    EXPECT_EQ(ReadFile(saveAs.ToStdString()), ReadFile(path));
  }
  const std::size_t dropped = WordBytesDropped(ReadFile(log));
  EXPECT_LE(dropped, kRareDroppedBytes) << ReadFile(log);
  // One call, then per item (file type, SYN, header, 25 blocks, SYN) "S/B"
  // and the answer; a dropped word said once more.
  EXPECT_TRUE(Status(1).EndsWith("| Tx: " + std::to_string(3 * (1 + 2 * 29) + dropped))) << Status(1);
}

// The download folder chosen by its command, then a batch from Debian's sb
// behind the local host's program hand-over saved into it. (Every protocol
// runs through the same commands; the engines against sb, rb and the
// program's own Punter receive are transfer_interop.test.sh's.)
TEST_F(TransferWindow, YmodemBatchFromSbIntoTheChosenFolder) {
  Command(command::kDisconnect);
  peer = Fd();
  const std::string first = MakeFile("first.prg", 5000, 8), second = MakeFile("second", 1025, 9);
  const wxString folder = wxString(directory) + "/chosen";
  answers = {folder};
  Command(command::kDownloadFolder);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_TRUE(requests[0].folder);
  EXPECT_EQ(Status(0), "Download folder: " + folder);
  EXPECT_EQ(programSettings().downloadFolder, folder.ToStdString());
  {
    // The board stays on the line a while, so that the end text can be read.
    LocalHost board({"--exec", "sb -k '" + first + "' '" + second + "' 2>/dev/null; sleep 3"});
    ConnectTo(board.port);
    Command(command::kYmodemReceive);
    ASSERT_TRUE(WaitForStatus("Ymodem received 2 files into " + folder)) << Status(0);
    Command(command::kDisconnect);
  }
  EXPECT_EQ(ReadFile(folder.ToStdString() + "/first.prg"), ReadFile(first));
  EXPECT_EQ(ReadFile(folder.ToStdString() + "/second"), ReadFile(second));
}

TEST_F(TransferWindow, MultiPunterBatchFromABoardThatFlushesItsInputAfterEachWord) {
  Command(command::kDisconnect);
  peer = Fd();
  const std::string game = MakeFile("game", 1000, 10), notes = MakeFile("notes.seq", 5, 11);
  programSettings().downloadFolder = directory + "/batch";
  const std::string log = directory + "/host.log";
  // The board prints a line, then starts the batch a second later.
  const std::string greeting = directory + "/greeting.seq";
  std::ofstream(greeting) << "\r\r";
  {
    LocalHost board({"--script", greeting, "--delay-ms", "1000", "--chunk-bytes", "1", "--multi-punter", game,
                     "--multi-punter", notes},
                    log);
    ConnectTo(board.port);
    Command(command::kMultiPunterReceive);
    EXPECT_EQ(Status(0), "Multi-Punter receive: waiting for the board");
    // The board hangs up once the batch is over.
    ASSERT_TRUE(WaitForStatus("Disconnected by the board")) << Status(0);
  }
  EXPECT_EQ(ReadFile(directory + "/batch/GAME"), ReadFile(game));
  EXPECT_EQ(ReadFile(directory + "/batch/NOTES.SEQ"), ReadFile(notes));
  EXPECT_LE(WordBytesDropped(ReadFile(log)), kRareDroppedBytes) << ReadFile(log);
}

// Real key events from the X server: a function key whose command is
// enabled runs it; otherwise it is the C64's function key.
class FunctionKeys : public TransferWindow {
 protected:
  void Press(const char* key) {
    // The main window's title names the board while connected.
    const std::string command = "timeout 5 xdotool search --onlyvisible --name '^Morlen ' "
                                "windowfocus --sync key " + std::string(key);
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }
  std::string FromBoardsEnd(std::size_t count) { return ReceiveFromClient(peer.get(), count); }
};

TEST_F(FunctionKeys, RunTheirCommandsWhileOfferedAndReachTheBoardOtherwise) {
  // The menus show the keys this test presses.
  const struct {
    int id;
    int key;
  } accelerators[] = {{command::kConnect, WXK_F7}, {command::kPunterReceive, WXK_F3},
                      {command::kXmodemSend, WXK_F1}, {command::kViewBuffer, WXK_F4}};
  for (const auto& a : accelerators) {
    std::unique_ptr<wxAcceleratorEntry> entry(frame->GetMenuBar()->FindItem(a.id)->GetAccel());
    ASSERT_TRUE(entry) << a.id;
    EXPECT_EQ(entry->GetKeyCode(), a.key);
    EXPECT_EQ(entry->GetFlags(), wxACCEL_NORMAL);
  }
  // "&Connect..." is not offered while connected: F7 is the C64's F7. F2
  // and F4 (nothing to view yet) have no command at all.
  Press("F7 F2 F4");
  EXPECT_EQ(FromBoardsEnd(3), "\x88\x89\x8a");
  EXPECT_EQ(Status(1), "Rx: 0 | Tx: 3");

  // With something in the buffer, F4 opens the viewer.
  Send("\x05HELLO");
  ASSERT_TRUE(RunEventLoopUntil([&] { return Status(2) == "Active: 6"; }));
  Command(command::kStash);
  Press("F4");
  ASSERT_TRUE(RunEventLoopUntil([] { return wxWindow::FindWindowByLabel("View Buffer") != nullptr; }));
  wxWindow::FindWindowByLabel("View Buffer")->Close();
  RunEventLoopFor(100);

  // F1 with no file loaded asks for one, then sends it.
  const std::string path = MakeFile("upload", 5000, 4);
  answers = {path};
  Press("F1");
  ASSERT_TRUE(RunEventLoopUntil([&] { return !requests.empty(); }));
  EXPECT_EQ(requests[0].title, "Choose a file to send");
  EXPECT_EQ(Status(0), "Xmodem send; handshaking");
  std::optional<PeerProgram> rx = StartPeer("rx -X -c copy");
  ASSERT_TRUE(rx);
  ASSERT_TRUE(WaitForStatus("Xmodem sent 5000 bytes")) << Status(0);
  EXPECT_EQ(rx->finish(), 0);
  EXPECT_TRUE(SameFile(ReadFile(path), ReadFile(directory + "/copy")));

  // F3 starts a Punter receive, which calls the sender every two seconds;
  // meanwhile no key reaches the board.
  Press("F3");
  ASSERT_TRUE(RunEventLoopUntil([&] { return frame->Transfers().Running(); }));
  Press("a F7");
  EXPECT_EQ(FromBoardsEnd(3), "GOO");
  Command(command::kCancelTransfer);
  EXPECT_EQ(Status(0), "Punter cancelled by user; discarding the board's data");
  EXPECT_EQ(FromBoardsEnd(9), "BADBADBAD");
  EXPECT_FALSE(Readable(peer.get(), kQuietMs)) << "a key reached the board during the transfer";
}

}  // namespace
