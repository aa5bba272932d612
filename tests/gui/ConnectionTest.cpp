// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's connections to peers the test opens on 127.0.0.1, end
// to end through the real socket and canvas: the host's bytes on the
// screen, a greeting sent during the attempt, a drop and a reconnection, a
// refusal and a cancelled attempt, and real key events through both
// keymaps. The session's rules one by one are unit-tested without a display.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <wx/filename.h>
#include <wx/uiaction.h>
#include <wx/weakref.h>
#include <wx/wx.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "app/CommandIds.h"
#include "app/MorlenFrame.h"
#include "gui/GuiTestSupport.h"
#include "gui/LoopbackPeer.h"
#include "settings/AddressBook.h"
#include "settings/Settings.h"
#include "terminal/ScreenDump.h"

namespace {

using namespace loopback;

constexpr int kQuietMs = 300;
constexpr int kTimerTickMs = 50;

class Connection : public ::testing::Test {
 protected:
  void SetUp() override {
    programSettings() = Settings{};
    programSettings().autoCheckForUpdate = false;
    listener = BoundSocket(port, 4);
    ASSERT_GE(listener.get(), 0);
    programAddressBook().entries = {Entry("127.0.0.1", port, 7)};
    frame = new MorlenFrame;
    alive = frame;
    frame->Show();
    RunEventLoopFor(200);
  }
  void TearDown() override {
    if (alive) frame->Destroy();
    RunEventLoopFor(100);
  }
  static AddressBookEntry Entry(const std::string& address, std::uint16_t entryPort, std::uint8_t foreground = 15) {
    AddressBookEntry entry;
    entry.name = "test board";
    entry.address = address;
    entry.port = entryPort;
    entry.foreground = foreground;
    return entry;
  }
  void RequestConnection(int index) {
    auto* event = new wxCommandEvent(wxEVT_ADDRESS_BOOK_CONNECT);
    event->SetInt(index);
    wxQueueEvent(frame, event);
  }
  // Connects to entry 0 and accepts the terminal on the listener.
  Fd ConnectAndAccept() {
    RequestConnection(0);
    // The attempt runs from the event loop; the kernel completes the handshake.
    RunEventLoopUntil([&] { return Readable(listener.get(), 0); });
    Fd peer = AcceptOne(listener.get());
    EXPECT_TRUE(RunEventLoopUntil([&] { return Status(0) == "Connected."; })) << Status(0);
    return peer;
  }
  void Send(const Fd& peer, const std::string& bytes) {
    ASSERT_EQ(send(peer.get(), bytes.data(), bytes.size(), 0), ssize_t(bytes.size()));
  }
  wxString Status(int field) { return frame->GetStatusBar()->GetStatusText(field); }
  bool Enabled(int id) {
    frame->GetMenuBar()->GetMenu(0)->UpdateUI(frame);
    return frame->GetMenuBar()->IsEnabled(id);
  }
  void Command(int id) {
    wxCommandEvent event(wxEVT_MENU, id);
    frame->GetEventHandler()->ProcessEvent(event);
  }
  std::string Received(const Fd& peer, std::size_t count) { return ReceiveFromClient(peer.get(), count); }
  std::string ScreenBytes() {
    const ByteBuffer& bytes = frame->Canvas()->Terminal().Bytes();
    return std::string(bytes.begin(), bytes.end());
  }

  // An entry whose connection attempt never completes: the host's accept
  // queue is full.
  int StuckEntry() {
    stuck = BoundSocket(stuckPort, kNoBacklog);
    fillers = FillAcceptQueue(stuckPort);
    programAddressBook().entries.push_back(Entry("127.0.0.1", stuckPort));
    return int(programAddressBook().entries.size()) - 1;
  }
  // Runs `act` once from within the attempt's wait, as a user's command would.
  void WhileConnecting(wxTimer& timer, std::function<void()> act) {
    timer.Bind(wxEVT_TIMER, [this, &timer, act](wxTimerEvent&) {
      if (!alive || frame->Session().State() != SessionState::Connecting) return;
      timer.Stop();
      act();
    });
    timer.Start(kTimerTickMs);
  }

  Fd listener;
  std::uint16_t port = 0;
  MorlenFrame* frame = nullptr;
  wxWeakRef<MorlenFrame> alive;
  Fd stuck;
  std::uint16_t stuckPort = 0;
  std::vector<Fd> fillers;
};

TEST_F(Connection, HostOutputReplacesTheWelcomeScreen) {
  EXPECT_EQ(frame->Canvas()->Terminal().Bytes().size(), 1122u);
  Fd peer = ConnectAndAccept();
  EXPECT_TRUE(Status(0) == "Connected.");
  EXPECT_FALSE(Enabled(command::kConnect));
  EXPECT_TRUE(Enabled(command::kDisconnect));
  // Text starts in the entry's colour. IAC WILL would start a telnet
  // negotiation; here they are two characters.
  Send(peer, "\x8e" "A\x05HELLO\x0d\xff\xfb");
  ASSERT_TRUE(RunEventLoopUntil([&] { return Status(2) == "Active: 11"; })) << Status(2);
  EXPECT_EQ(ScreenBytes(), "\x8e" "A\x05HELLO\x0d\xff\xfb");
  EXPECT_EQ(Status(1), "Rx: 11 | Tx: 0");
  const auto& lines = frame->Canvas()->Screen().Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].cells[0].code, 0xE041);
  EXPECT_EQ(lines[0].cells[0].colour, 7);
  EXPECT_EQ(lines[0].cells[1].code, 0xE048);
  EXPECT_EQ(lines[0].cells[1].colour, 1);
  EXPECT_EQ(lines[1].cells[0].code, 0xE0FF);
  EXPECT_EQ(lines[1].cells[1].code, 0xE0FB);
  EXPECT_FALSE(Readable(peer.get(), kQuietMs)) << "the terminal answered";
}

// What the host sends looks on screen exactly as morlen-petscii renders the
// same bytes, on the entry's background: a screenshot of the window,
// compared pixel by pixel.
TEST_F(Connection, ScreenShowsWhatRenderDraws) {
  const std::string seq = std::string(MORLEN_SOURCE_DIR) + "/resources/welcome_screen.seq";
  std::ifstream in(seq, std::ios::binary);
  const std::string stream((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(stream.size(), 1122u);
  programAddressBook().entries[0].background = 6;
  Fd peer = ConnectAndAccept();
  Send(peer, stream);
  ASSERT_TRUE(RunEventLoopUntil([&] { return Status(2) == "Active: 1122"; })) << Status(2);
  RunEventLoopFor(300);  // the repaint

  const wxString dir = wxFileName::CreateTempFileName("shot");
  wxRemoveFile(dir);
  wxMkdir(dir);
  const PetsciiScreen& screen = frame->Canvas()->Screen();
  const wxString commands = wxString::Format(
      "cd '%s' && timeout 20 import -window \"$(timeout 5 xdotool search --name '^Morlen ' | head -1)\" window.png && "
      "'%s/morlen-petscii' render --colour 7 --background 6 --scale 2 '%s' render.png && "
      "python3 '%s/tests/compare_canvas.py' window.png render.png --ignore-cell %d %d 2 > result.txt",
      dir, MORLEN_BINARY_DIR, seq, MORLEN_SOURCE_DIR, int(screen.CursorColumn()), int(screen.CursorRow()));
  const int status = std::system(commands.utf8_str());
  std::ifstream result((dir + "/result.txt").ToStdString());
  std::string line;
  std::getline(result, line);
  EXPECT_EQ(status, 0) << line;
  EXPECT_NE(line.find("differing 0"), std::string::npos) << line;
  wxFileName::Rmdir(dir, wxPATH_RMDIR_RECURSIVE);
}

// A board greets the caller the moment it accepts, while the attempt may
// still be waiting: those bytes must reach the screen all the same.
TEST_F(Connection, GreetingSentOnAcceptIsShown) {
  std::thread board([&] {
    Fd peer = AcceptOne(listener.get());
    const std::string greeting = "\x05WELCOME";
    send(peer.get(), greeting.data(), greeting.size(), 0);
    wxMilliSleep(2000);  // keep the line open
  });
  RequestConnection(0);
  const bool shown = RunEventLoopUntil([&] { return Status(2) == "Active: 8"; }, 5000);
  board.join();
  EXPECT_TRUE(shown) << Status(2);
  EXPECT_EQ(ScreenBytes(), "\x05WELCOME");
}

TEST_F(Connection, DropThenReconnectStartsAFreshScreenBelowTheOldOne) {
  {
    Fd peer = ConnectAndAccept();
    // The board leaves black reversed text on a yellow background behind.
    Send(peer, "ONE\x0d\x12\x90\x02\x9e");
    ASSERT_TRUE(RunEventLoopUntil([&] { return Status(2) == "Active: 8"; }));
  }  // the host hangs up, in order: no drop
  ASSERT_TRUE(RunEventLoopUntil([&] { return Status(0) == "Disconnected by the board"; })) << Status(0);
  EXPECT_TRUE(Enabled(command::kConnect));
  EXPECT_FALSE(Enabled(command::kDisconnect));
  EXPECT_EQ(Status(1), "Rx: 8 | Tx: 0");  // the last counts stay
  EXPECT_EQ(frame->Canvas()->Screen().Background(), 7);

  Fd peer = ConnectAndAccept();
  EXPECT_EQ(Status(1), "Rx: 0 | Tx: 0");
  Send(peer, "TWO");
  ASSERT_TRUE(RunEventLoopUntil([&] { return Status(2) == "Active: 11"; }));
  EXPECT_EQ(ScreenBytes(), "ONE\x0d\x12\x90\x02\x9eTWO");
  // The old screen stays above a separator; the new one, in view, starts
  // in the entry's colours.
  const PetsciiScreen& screen = frame->Canvas()->Screen();
  EXPECT_TRUE(screen.Lines()[1].separator);
  ASSERT_EQ(screen.Top(), 2u);
  ASSERT_EQ(screen.Lines()[2].cells.size(), 3u);
  EXPECT_EQ(screen.Lines()[2].cells[0].code, 0xE154);
  EXPECT_EQ(screen.Lines()[2].cells[0].colour, 7);
  EXPECT_EQ(screen.Background(), 0);
  EXPECT_EQ(frame->Canvas()->ViewStartRow(), 2u);

  // Stash takes both connections' output and replaces, not appends.
  Command(command::kStash);
  EXPECT_EQ(Status(3), "Buffer: 11");
  Send(peer, "!");
  ASSERT_TRUE(RunEventLoopUntil([&] { return Status(2) == "Active: 12"; }));
  Command(command::kStash);
  EXPECT_EQ(Status(3), "Buffer: 12");

  // A line that breaks (here the host resets it) is a drop.
  const linger reset{1, 0};
  ASSERT_EQ(setsockopt(peer.get(), SOL_SOCKET, SO_LINGER, &reset, sizeof reset), 0);
  peer = Fd();
  ASSERT_TRUE(RunEventLoopUntil([&] { return Status(0) == "Disconnected (connection dropped)"; })) << Status(0);
}

TEST_F(Connection, RefusedWhenNothingListens) {
  std::uint16_t closedPort = 0;
  Fd reserved = BoundSocket(closedPort, -1);  // bound, never listening
  programAddressBook().entries.push_back(Entry("127.0.0.1", closedPort));
  RequestConnection(1);
  ASSERT_TRUE(RunEventLoopUntil([&] { return Status(0) == "Connection failed (refused)"; })) << Status(0);
  EXPECT_TRUE(Enabled(command::kConnect));
  EXPECT_EQ(frame->Canvas()->Terminal().Bytes().size(), 1122u);  // the welcome screen stays
}

TEST_F(Connection, DisconnectDuringTheAttemptCancelsIt) {
  const int entry = StuckEntry();
  // The attempt waits inside the connect request's handler; the timer acts
  // from within that wait.
  wxString statusWhileWaiting;
  bool disconnectOffered = false, connectOffered = true;
  wxTimer timer;
  WhileConnecting(timer, [&] {
    statusWhileWaiting = Status(0);
    disconnectOffered = Enabled(command::kDisconnect);
    connectOffered = Enabled(command::kConnect);
    Command(command::kDisconnect);
  });
  RequestConnection(entry);
  ASSERT_TRUE(RunEventLoopUntil([&] { return Status(0) == "Connection cancelled by user"; }, 5000)) << Status(0);
  EXPECT_EQ(statusWhileWaiting, wxString::Format("Connecting to 127.0.0.1:%d", int(stuckPort)));
  EXPECT_TRUE(disconnectOffered);
  EXPECT_FALSE(connectOffered);
  EXPECT_TRUE(Enabled(command::kConnect));
}

// The window cannot go while the attempt waits inside one of its handlers:
// the close cancels the attempt and follows once the attempt has ended.
TEST_F(Connection, CloseDuringTheAttemptWaitsForIt) {
  const int entry = StuckEntry();
  bool closed = true;
  wxTimer timer;
  WhileConnecting(timer, [&] { closed = frame->Close(); });
  RequestConnection(entry);
  ASSERT_TRUE(RunEventLoopUntil([&] { return !alive; }, 5000)) << Status(0);
  EXPECT_FALSE(closed) << "the close did not wait";
}

// Real key events from the display reach the host as the keymaps' bytes.
class Keyboard : public Connection {
 protected:
  void SetUp() override {
    Connection::SetUp();
    peer = ConnectAndAccept();
    frame->Raise();
    frame->Canvas()->SetFocus();
    RunEventLoopFor(200);
  }
  std::string Type(const std::function<void(wxUIActionSimulator&)>& keys, std::size_t expected) {
    wxUIActionSimulator sim;
    keys(sim);
    return Received(peer, expected);
  }
  Fd peer;
};

TEST_F(Keyboard, PositionalMapGivesTheC64Layout) {
  frame->SetKeymap(kPositionalKeyboardMap);
  EXPECT_EQ(Type([](wxUIActionSimulator& s) { s.Char('a'); }, 1), "A");
  EXPECT_EQ(Type([](wxUIActionSimulator& s) { s.Char('2', wxMOD_SHIFT); }, 1), "\"");  // C64 SHIFT+2
  EXPECT_EQ(Type([](wxUIActionSimulator& s) { s.Char(WXK_RETURN); }, 1), "\x0d");
  EXPECT_EQ(Type([](wxUIActionSimulator& s) { s.Char(WXK_BACK); }, 1), "\x14");
  // Tab is CTRL: CTRL+1 is black.
  EXPECT_EQ(Type([](wxUIActionSimulator& s) {
              s.KeyDown(WXK_TAB);
              s.Char('1');
              s.KeyUp(WXK_TAB);
            }, 1),
            "\x90");
  EXPECT_EQ(Status(1), "Rx: 0 | Tx: 5");
}

TEST_F(Keyboard, HybridMapGivesThePrintedCharacter) {
  frame->SetKeymap(kHybridKeyboardMap);
  EXPECT_EQ(Type([](wxUIActionSimulator& s) { s.Char('2', wxMOD_SHIFT); }, 1), "@");  // as printed on a PC key
  EXPECT_EQ(Type([](wxUIActionSimulator& s) { s.Char('8', wxMOD_SHIFT); }, 1), "*");
  EXPECT_EQ(Type([](wxUIActionSimulator& s) { s.Char('z'); }, 1), "Z");
  EXPECT_EQ(Type([](wxUIActionSimulator& s) {
              s.KeyDown(WXK_TAB);
              s.Char('9');
              s.KeyUp(WXK_TAB);
            }, 1),
            "\x12");  // CTRL+9: reverse on
}

TEST_F(Keyboard, CtrlShiftTogglesTheCharsetAndAltPassesThrough) {
  Send(peer, "\x0e" "Ab");
  ASSERT_TRUE(RunEventLoopUntil([&] { return Status(2) == "Active: 3"; }));
  ASSERT_EQ(frame->Canvas()->Screen().LowerCase(), 1);
  wxUIActionSimulator sim;
  sim.KeyDown(WXK_CONTROL);
  sim.KeyDown(WXK_SHIFT);
  sim.KeyUp(WXK_SHIFT);
  sim.KeyUp(WXK_CONTROL);
  ASSERT_TRUE(RunEventLoopUntil([&] { return frame->Canvas()->Screen().LowerCase() == 0; }));
  EXPECT_EQ(frame->Canvas()->Screen().Lines()[0].cells[0].code, 0xE041);
  // Alt with a letter is the menus' business, never the host's.
  sim.Char('q', wxMOD_ALT);
  RunEventLoopFor(100);
  wxUIActionSimulator().Char(WXK_ESCAPE);
  EXPECT_FALSE(Readable(peer.get(), kQuietMs)) << "a key reached the host";
}

TEST_F(Keyboard, NothingIsSentAfterTheUserDisconnects) {
  Command(command::kDisconnect);
  EXPECT_EQ(Status(0), "Disconnected by user");
  EXPECT_TRUE(Enabled(command::kConnect));
  wxUIActionSimulator().Char('a');
  RunEventLoopFor(kQuietMs);
  char byte;
  EXPECT_TRUE(Readable(peer.get(), kPeerTimeoutMs));
  EXPECT_EQ(recv(peer.get(), &byte, 1, 0), 0);  // an orderly end, no key
}

}  // namespace
