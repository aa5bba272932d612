// SPDX-License-Identifier: GPL-3.0-or-later
// The terminal session's keys and its telnet line: which keys reach the
// board, local echo, the telnet layer between the board and the screen,
// and the hint a raw line gets when a telnet server answers.
#include <string>
#include <vector>

#include "SessionTestSupport.h"

namespace {

using namespace session_test;

TEST_F(Session, KeysGoToTheHostOnlyWhenConnectedWithoutAltOrTransfer) {
  const C64KeyPress letterA(c64key::kA, c64modifier::kNone);
  bool asked = false;
  // No client: the toolkit keeps the key, the keymap is not even asked.
  EXPECT_EQ(Press(letterA, false, &asked), KeyOutcome::PassOn);
  EXPECT_FALSE(asked);
  // While connecting the key is the terminal's, but nothing goes out yet.
  Start();
  EXPECT_EQ(Press(letterA), KeyOutcome::Consumed);
  EXPECT_EQ(link.sent, "");
  link.connected = true;
  session.AttemptEnded(ConnectResult::Connected);
  session.ConnectionEstablished();

  EXPECT_EQ(Press(letterA), KeyOutcome::Consumed);
  EXPECT_EQ(Press(C64KeyPress(c64key::kDigit2, c64modifier::kShift)), KeyOutcome::Consumed);
  EXPECT_EQ(Press(C64KeyPress(c64key::kAt, c64modifier::kCtrl)), KeyOutcome::Consumed);  // a zero byte
  EXPECT_EQ(link.sent, std::string("A\"\0", 3));
  // C= + SHIFT switches the character set and sends nothing; so do keys without a byte.
  EXPECT_EQ(Press(kCharsetToggle), KeyOutcome::Consumed);
  EXPECT_EQ(screen.toggles, 1);
  EXPECT_EQ(Press(C64KeyPress(c64key::kCommodore, c64modifier::kCommodore)), KeyOutcome::Consumed);
  EXPECT_EQ(Press(kNoKeyPress), KeyOutcome::PassOn);
  asked = false;
  EXPECT_EQ(Press(letterA, true, &asked), KeyOutcome::PassOn);  // Alt: the menus' key
  EXPECT_FALSE(asked);
  EXPECT_EQ(link.sent.size(), 3u);
  EXPECT_EQ(screen.shown, "");  // no local echo

  FakeTransfer transfer;
  session.AddTransfer(transfer);
  transfer.active = true;
  asked = false;
  EXPECT_EQ(Press(letterA, false, &asked), KeyOutcome::PassOn);
  EXPECT_FALSE(asked);
  // Once only a cancelled sender's bytes are kept away, keys go out again.
  transfer.discarding = true;
  EXPECT_EQ(Press(letterA), KeyOutcome::Consumed);
  transfer.active = false;
  EXPECT_EQ(Press(letterA), KeyOutcome::Consumed);
  EXPECT_EQ(link.sent.size(), 5u);

  ASSERT_TRUE(session.Disconnect());
  EXPECT_EQ(Press(letterA), KeyOutcome::PassOn);
  EXPECT_EQ(link.sent.size(), 5u);
}


// A telnet entry: the session sees the board's data only; what it and the
// transfers send goes out encoded; the counters count the line.
TEST_F(Session, ATelnetLineIsDecodedOnTheWayInAndEncodedOnTheWayOut) {
  link.session = &session;
  FakeTransfer transfer;
  session.AddTransfer(transfer);
  Connect(kForeground, kBackground, LineOptions{true, false});
  EXPECT_EQ(link.sent, std::string("\xFF\xFB\x00\xFF\xFD\x00\xFF\xFD\x03", 9));  // the opening requests
  link.sent.clear();
  Receive("\xFF\xFD\x18" "A\xFF\xFF");  // DO TERMINAL-TYPE, then A and pi
  EXPECT_EQ(screen.shown, "A\xFF");
  EXPECT_EQ(Active(), "A\xFF");
  EXPECT_EQ(link.sent, "\xFF\xFB\x18");
  EXPECT_EQ(Field(StatusField::Traffic), "Rx: 6 | Tx: 12");
  transfer.active = true;
  ReceiveByteByByte("\x01\xFF\xFF\x02");
  EXPECT_EQ(transfer.chunks, (std::vector<std::string>{"\x01", "\xFF", "\x02"}));
  link.sent.clear();
  const std::string packet = "\x02\xFF";
  session.TransferLine().write(reinterpret_cast<const std::uint8_t*>(packet.data()), packet.size());
  EXPECT_EQ(link.sent, "\x02\xFF\xFF");

  // A server that starts compression nobody agreed to is hung up on.
  Receive("B\xFF\xFA\x56\xFF\xF0xyz");
  EXPECT_EQ(transfer.chunks.back(), "B");
  EXPECT_FALSE(session.HasClient());
  EXPECT_EQ(session.End(), SessionEnd::BrokenTelnet);
  EXPECT_EQ(link.disconnects, 1);
  EXPECT_EQ(transfer.endedBy, SessionEnd::BrokenTelnet);
  EXPECT_EQ(status.messages.back(), "Disconnected: the board's telnet server broke the protocol");
}

TEST_F(Session, LocalEchoShowsKeysSentUnlessTheTelnetServerEchoes) {
  const std::string connected = "Connected.";
  struct Case {
    const char* what;
    LineOptions line;
    std::string serverSays;
    std::string echoed;
    std::string message;
  };
  const Case cases[] = {
      {"raw", {false, false}, "", "", connected},
      {"raw with local echo", {false, true}, "", "A", connected},
      {"telnet with local echo", {true, true}, "", "A", connected},
      {"the server's ECHO wins", {true, true}, "\xFF\xFB\x01",
       "", "The board echoes typed keys itself (telnet): local echo is off"},
      {"no disagreement without local echo", {true, false}, "\xFF\xFB\x01", "", connected},
      {"until the server gives it up", {true, true}, "\xFF\xFB\x01\xFF\xFC\x01",
       "A", "The board no longer echoes typed keys (telnet): local echo is on"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Connect(kForeground, kBackground, c.line);
    ReceiveByteByByte(c.serverSays);
    const std::size_t shown = screen.shown.size(), stored = Active().size();
    EXPECT_EQ(Press(C64KeyPress(c64key::kA, c64modifier::kNone)), KeyOutcome::Consumed);
    EXPECT_EQ(screen.shown.substr(shown), c.echoed);
    EXPECT_EQ(Active().substr(stored), c.echoed);
    EXPECT_EQ(link.sent.back(), 'A');
    EXPECT_EQ(status.messages.back(), c.message);
    ASSERT_TRUE(session.Disconnect());
  }
}

TEST_F(Session, ARawLineOpeningWithTelnetNegotiationGetsAHintAndNothingElse) {
  const std::string hint = "This board looks like a telnet board: the entry's Telnet option would fit";
  struct Case {
    std::vector<std::string> reads;
    bool hinted;
  };
  const Case cases[] = {
      {{"\xFF\xFD\x18\xFF\xFB\x01"}, true},
      {{"\xFF", "\xFA", "\x18\x01"}, true},
      {{"\xFF", "\xFE\x01"}, true},
      {{"\xFF\xFF"}, false},              // pi twice
      {{"\xFF\x41"}, false},
      {{"HI", "\xFF\xFB\x01"}, false},   // not the first bytes
  };
  for (const Case& c : cases) {
    Connect();
    link.sent.clear();
    std::string all;
    const std::size_t shown = screen.shown.size();
    for (const std::string& read : c.reads) {
      Receive(read);
      all += read;
    }
    EXPECT_EQ(status.messages.back(), c.hinted ? hint : "Connected.") << all;
    EXPECT_EQ(screen.shown.substr(shown), all);
    EXPECT_EQ(link.sent, "");
    ASSERT_TRUE(session.Disconnect());
  }
}

}  // namespace
