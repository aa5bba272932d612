// SPDX-License-Identifier: GPL-3.0-or-later
// The terminal session's connection: attempts and their ends, the screen
// between boards, the traffic counters, the transfers' share of the line,
// the session buffer and the line speed's pacing.
#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "SessionTestSupport.h"

namespace {

using namespace session_test;

TEST_F(Session, EveryWayAnAttemptEnds) {
  struct Row {
    ConnectResult result;
    SessionEnd end;
    const char* message;
  };
  const Row rows[] = {
      {ConnectResult::HostNameFailed, SessionEnd::HostNameFailed, "Connection failed (host name)"},
      {ConnectResult::Refused, SessionEnd::Refused, "Connection failed (refused)"},
      {ConnectResult::TimedOut, SessionEnd::TimedOut, "Connection failed (timeout)"},
      {ConnectResult::Cancelled, SessionEnd::Cancelled, "Connection cancelled by user"},
  };
  EXPECT_EQ(session.State(), SessionState::NoClient);
  EXPECT_EQ(session.ActiveSessionText(), "Active: 0");
  for (const Row& row : rows) {
    // The address as the entry holds it, blanks included.
    Start(" board.example ");
    EXPECT_EQ(status.messages.back(), "Connecting to  board.example :6400");
    EXPECT_EQ(session.State(), SessionState::Connecting);
    EXPECT_TRUE(session.HasClient());
    EXPECT_EQ(session.Link(), &link);
    const auto followUp = session.AttemptEnded(row.result);
    EXPECT_FALSE(followUp.keepClient) << row.message;
    EXPECT_FALSE(followUp.closeWindow);
    EXPECT_EQ(session.State(), SessionState::Ended);
    EXPECT_EQ(session.End(), row.end);
    EXPECT_FALSE(session.HasClient());
    EXPECT_EQ(session.Link(), nullptr);
    EXPECT_EQ(status.messages.back(), row.message);
  }
  // Failures leave the welcome screen and everything else as it was.
  EXPECT_TRUE(session.WelcomeShown());
  EXPECT_EQ(screen.clears, 0);
  EXPECT_EQ(status.fields.count(StatusField::Traffic), 0u);
  EXPECT_EQ(status.messages.size(), 8u);

  // Success: the client stays; "Connected." waits for the connection event.
  Start();
  const auto followUp = session.AttemptEnded(ConnectResult::Connected);
  EXPECT_TRUE(followUp.keepClient);
  EXPECT_EQ(session.State(), SessionState::Connected);
  EXPECT_EQ(status.messages.back(), "Connecting to 127.0.0.1:6400");
  EXPECT_TRUE(session.WelcomeShown());
  // At most one client at a time: a second request changes nothing.
  RecordingLink other;
  session.AttemptStarted(other, "elsewhere", 1, 1, 1);
  EXPECT_EQ(session.Link(), &link);
  EXPECT_EQ(status.messages.back(), "Connecting to 127.0.0.1:6400");
  session.ConnectionEstablished();
  EXPECT_EQ(status.messages.back(), "Connected.");
}

TEST_F(Session, FirstConnectionClearsTheWelcomeScreenAndLaterOnesStartAfreshBelowIt) {
  Connect();
  EXPECT_EQ(screen.clears, 1);
  EXPECT_EQ(screen.model.Colour(), kForeground);
  EXPECT_EQ(screen.model.Background(), kBackground);
  EXPECT_FALSE(session.WelcomeShown());
  EXPECT_EQ(Field(StatusField::ActiveSession), "Active: 0");
  EXPECT_EQ(Field(StatusField::Traffic), "Rx: 0 | Tx: 0");
  // IAC WILL would open a telnet negotiation elsewhere; here they are two characters.
  Receive("ONE\r\xff\xfb");
  EXPECT_EQ(screen.shown, "ONE\r\xff\xfb");
  EXPECT_EQ(Active(), "ONE\r\xff\xfb");
  EXPECT_EQ(Field(StatusField::ActiveSession), "Active: 6");
  EXPECT_EQ(link.sent, "");  // nothing answered
  session.BytesSent(2);
  // A read that returns nothing changes nothing.
  Receive("");
  EXPECT_EQ(Field(StatusField::Traffic), "Rx: 6 | Tx: 2");
  // A second connection event of the same connection is no new session.
  session.ConnectionEstablished();
  EXPECT_EQ(Field(StatusField::Traffic), "Rx: 6 | Tx: 2");
  EXPECT_EQ(std::count(status.messages.begin(), status.messages.end(), "Connected."), 1);
  // The board leaves reverse on, black text, the upper case set, a yellow
  // background and half a background pair behind.
  Receive("\x12\x90\x8e\x02\x9e\x02");

  EXPECT_TRUE(session.ConnectionLost());
  EXPECT_EQ(status.messages.back(), "Disconnected (connection dropped)");
  EXPECT_EQ(session.End(), SessionEnd::Dropped);
  EXPECT_FALSE(session.HasClient());
  EXPECT_FALSE(session.ConnectionLost());  // reported once
  EXPECT_FALSE(session.InputWaiting());
  EXPECT_EQ(Field(StatusField::Traffic), "Rx: 12 | Tx: 2");  // the last counts stay

  // The next board's screen starts below the last one's, in its entry's
  // colours, reverse off, in the set the screen started in.
  Connect(3, 11);
  EXPECT_EQ(screen.clears, 1);
  EXPECT_EQ(screen.freshStarts, 1);
  EXPECT_EQ(Field(StatusField::Traffic), "Rx: 0 | Tx: 0");
  EXPECT_EQ(screen.model.Colour(), 3);
  EXPECT_EQ(screen.model.Reverse(), 0);
  EXPECT_EQ(screen.model.LowerCase(), 1);
  ReceiveByteByByte("\x90TWO");  // no half pair is left over: this is black text
  EXPECT_EQ(screen.shown, "ONE\r\xff\xfb\x12\x90\x8e\x02\x9e\x02\x90TWO");
  EXPECT_EQ(Active(), "ONE\r\xff\xfb\x12\x90\x8e\x02\x9e\x02\x90TWO");
  EXPECT_EQ(Field(StatusField::ActiveSession), "Active: 16");
  EXPECT_EQ(Field(StatusField::Traffic), "Rx: 4 | Tx: 0");
  const PetsciiScreen& model = screen.model;
  EXPECT_EQ(model.Background(), 11);
  const auto& lines = model.Lines();
  ASSERT_EQ(model.Top(), 3u);
  EXPECT_EQ(lines[0].cells.size(), 3u);  // the last board's screen, kept as scrollback
  EXPECT_TRUE(lines[2].separator);
  ASSERT_EQ(lines[3].cells.size(), 3u);
  EXPECT_EQ(lines[3].cells[0].code, 0xE154);  // lower case, not reversed
  EXPECT_EQ(lines[3].cells[0].colour, 0);

  // A connection that shows nothing before the next adds no second separator.
  EXPECT_TRUE(session.ConnectionLost());
  Connect(3, 11);
  Receive("\r");
  EXPECT_TRUE(session.ConnectionLost());
  Connect(17, 18);  // stored colours are taken by their low four bits
  EXPECT_EQ(screen.freshStarts, 3);
  EXPECT_EQ(model.Top(), 5u);
  EXPECT_TRUE(lines[4].separator);
  EXPECT_EQ(model.RowCount(), 5u);
  EXPECT_EQ(model.Colour(), 1);
  EXPECT_EQ(model.Background(), 2);
}

// The attempt's wait dispatches events: the connection event and the
// host's greeting may both come before the attempt has returned.
TEST_F(Session, TheBoardIsNamedWhileItsConnectionStands) {
  session.AttemptStarted(link, "127.0.0.1", 6400, kForeground, kBackground, "Night Board");
  EXPECT_EQ(session.ConnectedBoard(), "");
  link.connected = true;
  session.AttemptEnded(ConnectResult::Connected);
  session.ConnectionEstablished();
  EXPECT_EQ(session.ConnectedBoard(), "Night Board");
  ASSERT_TRUE(session.Disconnect());
  EXPECT_EQ(session.ConnectedBoard(), "");
}

TEST_F(Session, EventsDuringTheAttemptAreHandledOnceItHasEnded) {
  for (const bool established : {false, true}) {
    for (const bool input : {false, true}) {
      RecordingStatus status;
      RecordingScreen screen;
      TerminalSession session(status, screen, Bytes("WELCOME"), clock);
      session.AttemptStarted(link, "127.0.0.1", 6400, kForeground, kBackground);
      if (input) {
        EXPECT_FALSE(session.InputWaiting()) << "read during the attempt";
      }
      if (established) session.ConnectionEstablished();
      EXPECT_EQ(screen.clears, 0);
      EXPECT_EQ(status.messages.back(), "Connecting to 127.0.0.1:6400");

      const auto followUp = session.AttemptEnded(ConnectResult::Connected);
      EXPECT_EQ(followUp.readInput, input);
      EXPECT_EQ(screen.clears, established ? 1 : 0);
      // The owner reads what was reported, then the queued connection event comes.
      if (followUp.readInput) {
        ASSERT_TRUE(session.InputWaiting());
        const std::string greeting = "\x05WELCOME";
        session.Received(reinterpret_cast<const std::uint8_t*>(greeting.data()), greeting.size());
      }
      session.ConnectionEstablished();
      EXPECT_EQ(screen.clears, 1);
      EXPECT_EQ(screen.shown, input ? "\x05WELCOME" : "");
      EXPECT_EQ(status.fields[StatusField::Traffic], input ? "Rx: 8 | Tx: 0" : "Rx: 0 | Tx: 0");
      EXPECT_EQ(status.messages.back(), "Connected.");
      EXPECT_EQ(std::count(status.messages.begin(), status.messages.end(), "Connected."), 1);
    }
  }
}

TEST_F(Session, DisconnectCancelAndClose) {
  // Disconnect during the attempt only asks it to give up.
  Start();
  EXPECT_FALSE(session.Disconnect());
  EXPECT_EQ(link.disconnects, 1);
  EXPECT_TRUE(session.HasClient());
  EXPECT_EQ(status.messages.back(), "Connecting to 127.0.0.1:6400");
  EXPECT_FALSE(session.AttemptEnded(ConnectResult::Cancelled).closeWindow);
  EXPECT_EQ(status.messages.back(), "Connection cancelled by user");
  EXPECT_FALSE(session.Disconnect());  // no client: nothing to do
  EXPECT_EQ(link.disconnects, 1);

  // A close during the attempt waits for it, then comes again.
  Start();
  EXPECT_TRUE(session.CloseMustWait(true));
  EXPECT_EQ(link.disconnects, 2);
  const auto followUp = session.AttemptEnded(ConnectResult::Cancelled);
  EXPECT_TRUE(followUp.closeWindow);
  EXPECT_FALSE(followUp.keepClient);
  EXPECT_EQ(status.messages.back(), "Connection cancelled by user");
  EXPECT_FALSE(session.CloseMustWait(true));
  // A close the window cannot refuse ends the attempt's client at once.
  Start();
  EXPECT_FALSE(session.CloseMustWait(false));
  EXPECT_EQ(session.End(), SessionEnd::Closed);
  EXPECT_FALSE(session.HasClient());
  EXPECT_FALSE(session.AttemptEnded(ConnectResult::Cancelled).keepClient);

  // The user's Disconnect of a connection.
  Connect();
  EXPECT_TRUE(session.Disconnect());
  EXPECT_EQ(status.messages.back(), "Disconnected by user");
  EXPECT_EQ(session.End(), SessionEnd::Disconnected);
  EXPECT_EQ(session.Link(), nullptr);
  EXPECT_FALSE(session.Disconnect());

  // Exit: the connection ends without a word, then the window closes.
  Connect();
  const std::size_t messages = status.messages.size();
  session.DisconnectForExit();
  EXPECT_FALSE(link.connected);
  EXPECT_FALSE(session.CloseMustWait(true));
  EXPECT_EQ(session.End(), SessionEnd::Closed);
  EXPECT_EQ(status.messages.size(), messages);
}

TEST_F(Session, ChunksGoToTheFirstActiveTransferElseToTheTerminal) {
  FakeTransfer first, second;
  session.AddTransfer(first);
  session.AddTransfer(second);
  session.AddTransfer(first);  // once is enough
  Connect();
  Receive("AB");
  // One only keeping a cancelled sender's bytes off the screen takes them too.
  second.active = second.discarding = true;
  EXPECT_TRUE(session.TransferRunning());
  Receive("\x01\x02");
  ReceiveByteByByte("CD");
  first.active = true;
  Receive("EF");
  EXPECT_EQ(first.chunks, (std::vector<std::string>{"EF"}));
  EXPECT_EQ(second.chunks, (std::vector<std::string>{"\x01\x02", "C", "D"}));
  // Received by a transfer: counted, but neither stored nor shown.
  EXPECT_EQ(Field(StatusField::Traffic), "Rx: 8 | Tx: 0");
  EXPECT_EQ(Active(), "AB");
  EXPECT_EQ(screen.shown, "AB");
  EXPECT_EQ(Field(StatusField::ActiveSession), "Active: 2");

  // Once no transfer is active the terminal has the next chunk.
  first.active = second.active = false;
  Receive("GH");
  EXPECT_EQ(screen.shown, "ABGH");

  // A dropped connection ends the running transfers at once; a transfer's
  // own text about it follows the connection's.
  second.active = true;
  second.status = &status;
  ASSERT_TRUE(session.ConnectionLost());
  EXPECT_EQ(second.endings, 1);
  EXPECT_EQ(second.endedBy, SessionEnd::Dropped);
  EXPECT_EQ(first.endings, 0);
  EXPECT_FALSE(session.TransferRunning());
  EXPECT_EQ(status.messages.end()[-2], "Disconnected (connection dropped)");
  EXPECT_EQ(status.messages.back(), "transfer stopped");
  // So do the user's Disconnect and closing the window; a removed one hears nothing.
  Connect();
  first.active = true;
  ASSERT_TRUE(session.Disconnect());
  EXPECT_EQ(first.endings, 1);
  EXPECT_EQ(first.endedBy, SessionEnd::Disconnected);
  Connect();
  second.active = true;
  session.RemoveTransfer(first);
  first.active = true;
  EXPECT_FALSE(session.CloseMustWait(true));
  EXPECT_EQ(second.endings, 2);
  EXPECT_EQ(second.endedBy, SessionEnd::Closed);
  EXPECT_EQ(first.endings, 1);
}

// The transfers write on the session's line: to the client while the
// connection stands (counted like keys), never to a client that is gone.
TEST_F(Session, TransferLineReachesTheClientOnlyWhileConnected) {
  TransferLink& line = session.TransferLine();
  link.session = &session;
  const std::uint8_t nak = 0x15;
  line.write(&nak, 1);  // no connection yet
  Start();
  line.write(&nak, 1);
  line.discardPendingInput();
  EXPECT_EQ(link.sent, "");
  EXPECT_EQ(link.discards, 0);
  link.connected = true;
  session.AttemptEnded(ConnectResult::Connected);
  session.ConnectionEstablished();
  const std::string packet = "\x01\x01\xfe";
  line.write(reinterpret_cast<const std::uint8_t*>(packet.data()), packet.size());
  line.discardPendingInput();
  EXPECT_EQ(Press(C64KeyPress(c64key::kA, c64modifier::kNone)), KeyOutcome::Consumed);
  EXPECT_EQ(link.sent, packet + "A");
  EXPECT_EQ(link.discards, 1);
  EXPECT_EQ(Field(StatusField::Traffic), "Rx: 0 | Tx: 4");
  for (const bool drop : {true, false}) {
    if (drop) {
      ASSERT_TRUE(session.ConnectionLost());
    } else {
      Connect();
      ASSERT_TRUE(session.Disconnect());
    }
    // The owner deletes the client now: nothing may reach it any more.
    link.sent.clear();
    line.write(&nak, 1);
    line.discardPendingInput();
    EXPECT_EQ(link.sent, "");
    EXPECT_EQ(link.discards, 1);
  }
}

// Whatever the chunks, the session buffer holds the latest bytes up to its
// ceiling and knows whether older ones went.
TEST(SessionRecord, KeepsTheLatestBytesUpToItsCeiling) {
  std::mt19937 random(30);
  for (const std::size_t ceiling : {std::size_t{1}, std::size_t{16}, std::size_t{1000}}) {
    SCOPED_TRACE(ceiling);
    SessionRecord record(ByteBuffer(ceiling + 3, 'w'), ceiling);
    std::string all(ceiling + 3, 'w');
    for (int step = 0; step < 300; ++step) {
      const std::size_t length = std::uniform_int_distribution<std::size_t>(0, 2 * ceiling + 1)(random);
      std::string chunk(length, '\0');
      for (char& c : chunk) c = static_cast<char>(random());
      record.Append(reinterpret_cast<const std::uint8_t*>(chunk.data()), chunk.size());
      all += chunk;
      const std::string kept = all.substr(all.size() - std::min(all.size(), ceiling));
      ASSERT_EQ(record.Size(), kept.size());
      EXPECT_TRUE(record.Trimmed());
      // Looked at now and then, so that dropped bytes also pile up in front.
      if (step % 7 == 0) {
        ASSERT_EQ(std::string(record.Bytes().begin(), record.Bytes().end()), kept);
      }
    }
    record.Clear();
    EXPECT_EQ(RecordSizeText(record.Size(), record.Trimmed(), ceiling), "0");
  }
  EXPECT_EQ(RecordSizeText(5, true), "last 64 MiB");
}

// At its ceiling (16 bytes here) the session buffer holds the latest bytes
// and the status bar says so; the screen still gets every byte.
TEST_F(Session, TheSessionBufferKeepsItsLatestBytes) {
  TerminalSession small{status, screen, Bytes("WELCOME"), clock, 16};
  small.AttemptStarted(link, "127.0.0.1", 6400, kForeground, kBackground);
  link.connected = true;
  small.AttemptEnded(ConnectResult::Connected);
  for (const char* chunk : {"0123456789", "ABCDEFGHIJ"}) {
    ASSERT_TRUE(small.InputWaiting());
    small.Received(reinterpret_cast<const std::uint8_t*>(chunk), 10);
  }
  EXPECT_EQ(std::string(small.ActiveSession().begin(), small.ActiveSession().end()), "456789ABCDEFGHIJ");
  EXPECT_EQ(Field(StatusField::ActiveSession), "Active: last 16 bytes");
  EXPECT_EQ(screen.shown, "0123456789ABCDEFGHIJ");
}

// A board that closes the line in order has not dropped it, unless a
// transfer was still running over it.
TEST_F(Session, ABoardClosingInOrderIsNoDropUnlessATransferRuns) {
  FakeTransfer transfer;
  session.AddTransfer(transfer);
  for (const auto& [how, transferring, end] : {std::tuple{LineLoss::ClosedByBoard, false, SessionEnd::ClosedByBoard},
                                               std::tuple{LineLoss::ClosedByBoard, true, SessionEnd::Dropped},
                                               std::tuple{LineLoss::Broken, false, SessionEnd::Dropped}}) {
    Connect();
    transfer.active = transferring;
    ASSERT_TRUE(session.ConnectionLost(how));
    EXPECT_EQ(session.End(), end);
    EXPECT_EQ(status.messages.back(),
              end == SessionEnd::Dropped ? "Disconnected (connection dropped)" : "Disconnected by the board");
    EXPECT_EQ(transfer.endings, transferring ? 1 : 0);
    transfer.endings = 0;
  }
}

// A board with `bytes` waiting in the socket, read as the main window
// reads: on an input event at most ReadAllowance bytes (and its 4096-byte
// buffer), again at once while the socket holds more (the toolkit reports
// input after every read), and whenever PaceTick or SetLineSpeed asks.
struct PacedBoard {
  PacedBoard(std::uint32_t speed, std::uint64_t bytes) : inSocket(bytes) {
    session.AddTransfer(transfer);
    session.AttemptStarted(link, "127.0.0.1", 6400, 1, 0);
    session.AttemptEnded(ConnectResult::Connected);
    session.ConnectionEstablished();
    session.SetLineSpeed(speed);
    InputEvent();
  }
  void InputEvent() {
    while (inSocket > 0 && session.InputWaiting()) {
      std::string chunk(std::min<std::uint64_t>({inSocket, 4096, session.ReadAllowance()}), ' ');
      for (char& c : chunk) c = static_cast<char>('A' + read++ % 26);
      session.Received(reinterpret_cast<const std::uint8_t*>(chunk.data()), chunk.size());
      ++reads;
      inSocket -= chunk.size();
      largestQueue = std::max(largestQueue, session.QueuedBytes());
    }
  }
  void Tick() {
    const std::size_t before = screen.shown.size();
    if (session.PaceTick()) InputEvent();
    largestStep = std::max(largestStep, screen.shown.size() - before);
  }
  std::uint64_t Transferred() const {
    std::uint64_t n = 0;
    for (const std::string& chunk : transfer.chunks) n += chunk.size();
    return n;
  }

  FakePaceClock clock;
  RecordingStatus status;
  RecordingScreen screen;
  RecordingLink link;
  FakeTransfer transfer;
  TerminalSession session{status, screen, ByteBuffer(), clock};
  std::uint64_t inSocket, read = 0;
  int reads = 0;
  std::size_t largestQueue = 0, largestStep = 0;
};

// Ten seconds of a board at a line speed, ticked as the toolkit's timer
// would: rate, carried fractions, Off, a change of speed, a transfer
// starting, and the socket left unread while two seconds' worth wait,
// read again about once a second.
TEST(SessionPace, ShowsTheBoardAtTheLineSpeed) {
  constexpr long kNever = -1, kRun = 10000;  // ms
  constexpr std::uint64_t kFlood = 50000000;
  struct Row {
    const char* what;
    std::uint32_t speed;
    std::uint64_t boardBytes;
    int late[2];                     // ms each tick comes late, alternately (negative: early)
    long stallAt, stallMs;           // no tick in between
    long changeAt;                   // SetLineSpeed(changeTo) then
    std::uint32_t changeTo;
    long transferAt;                 // a transfer becomes active then
    std::uint64_t shown, tolerance;  // bytes on the screen after the run
    std::size_t largestStep;         // the most one tick shows; 0: not checked
    int mostReads;                   // 0: not checked
  };
  const Row rows[] = {
      {"300 bps", 300, kFlood, {0, 0}, kNever, 0, kNever, 0, kNever, 300, 3, 1, 0},
      {"a flood at 1200 bps", 1200, kFlood, {0, 0}, kNever, 0, kNever, 0, kNever, 1200, 12, 2, 12},
      {"2400 bps, ticks early and late", 2400, kFlood, {-6, 6}, kNever, 0, kNever, 0, kNever, 2400, 24, 4, 0},
      {"115200 bps", 115200, kFlood, {1, -1}, kNever, 0, kNever, 0, kNever, 115200, 1152, 192, 0},
      // 250 ms of the 3 s are made up, two bytes a tick at most.
      {"a stall at 1200 bps", 1200, kFlood, {0, 0}, 2000, 3000, kNever, 0, kNever, 870, 12, 2, 0},
      {"Off", kLineSpeedOff, 100000, {0, 0}, kNever, 0, kNever, 0, kNever, 100000, 0, 0, 0},
      {"1200 then 9600 bps", 1200, kFlood, {0, 0}, kNever, 0, 5000, 9600, kNever, 600 + 4800, 54, 16, 0},
      {"1200 bps then Off", 1200, 20000, {0, 0}, kNever, 0, 2000, kLineSpeedOff, kNever, 20000, 0, 0, 0},
      // Three seconds' worth read (two at once, one a second later), all
      // shown once the transfer starts.
      {"a transfer starts", 1200, 20000, {0, 0}, kNever, 0, kNever, 0, 1500, 360, 3, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    PacedBoard board(row.speed, row.boardBytes);
    const long interval = static_cast<long>(LinePacer::kTickInterval.count());
    long t = 0, nextTick = interval + row.late[0];
    int ticks = 0;
    bool changed = row.changeAt == kNever, transferred = row.transferAt == kNever;
    while (t < kRun) {
      t = std::min({board.clock.running ? nextTick : kRun, changed ? kRun : row.changeAt,
                    transferred ? kRun : row.transferAt, kRun});
      board.clock.now = PaceClock::Clock::time_point{} + std::chrono::milliseconds(t);
      if (!changed && t == row.changeAt) {
        changed = true;
        if (board.session.SetLineSpeed(row.changeTo)) board.InputEvent();
        if (row.changeTo == kLineSpeedOff) {
          EXPECT_EQ(board.session.QueuedBytes(), 0u) << "Off shows the queue at once";
        }
      } else if (!transferred && t == row.transferAt) {
        transferred = true;
        board.transfer.active = true;
        board.InputEvent();  // the socket has more for it at once
      } else if (board.clock.running && t == nextTick) {
        board.Tick();
        nextTick = t + interval + row.late[++ticks % 2];
        if (nextTick > row.stallAt && nextTick < row.stallAt + row.stallMs) nextTick = row.stallAt + row.stallMs;
      }
      if (board.Transferred() > 0) {
        ASSERT_EQ(board.session.QueuedBytes(), 0u) << "queued bytes are shown first";
      }
    }
    EXPECT_NEAR(static_cast<double>(board.screen.shown.size()), static_cast<double>(row.shown),
                static_cast<double>(row.tolerance));
    if (row.largestStep > 0) {
      EXPECT_LE(board.largestStep, row.largestStep);
    }
    if (row.mostReads > 0) {
      EXPECT_LE(board.reads, row.mostReads);
    }
    // Memory stays flat: never more than two seconds' worth waits.
    const std::uint32_t speed = changed && row.changeAt != kNever ? row.changeTo : row.speed;
    EXPECT_LE(board.largestQueue, LinePacer(std::max(row.speed, row.changeTo)).BytesIn(TerminalSession::kMostQueued));
    // Everything read is on the screen, still queued or the transfer's.
    EXPECT_EQ(board.read, board.screen.shown.size() + board.session.QueuedBytes() + board.Transferred());
    EXPECT_EQ(board.clock.interval.count() == 0, row.speed == kLineSpeedOff) << "ticks only while paced";
    if (row.transferAt != kNever) {
      EXPECT_EQ(board.inSocket, 0u) << "the transfer takes the rest at full speed";
    }
    // The speed in force is named beside the traffic while it is not Off.
    const std::string traffic = board.status.fields[StatusField::Traffic];
    EXPECT_EQ(traffic.substr(traffic.rfind('|')),
              speed == kLineSpeedOff ? "| Tx: 0" : "| " + std::to_string(speed) + " bps");
  }
}

}  // namespace
