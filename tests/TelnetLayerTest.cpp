// SPDX-License-Identifier: GPL-3.0-or-later
// The telnet layer's rules as byte streams from a server: what the board's
// data comes out as, what goes back, what the owner is told. Each stream is
// fed whole and byte by byte.
#include "net/TelnetLayer.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

const std::string IAC = "\xFF", WILL = "\xFB", WONT = "\xFC", DO = "\xFD", DONT = "\xFE", SB = "\xFA",
                  SE = "\xF0", NOP = "\xF1", GA = "\xF9";
const std::string BINARY = "\x00"s, ECHO = "\x01", SGA = "\x03", TTYPE = "\x18", NAWS = "\x1F",
                  LINEMODE = "\x22", NEW_ENVIRON = "\x27", COMPRESS2 = "\x56";

class Peer : public TelnetPeer {
 public:
  void TelnetData(const std::uint8_t* bytes, std::size_t length) override {
    data.append(reinterpret_cast<const char*>(bytes), length);
  }
  void TelnetWrite(const std::uint8_t* bytes, std::size_t length) override {
    written.append(reinterpret_cast<const char*>(bytes), length);
    ++writes;
  }
  void Notice(TelnetNotice notice) override { notices.push_back(notice); }
  std::string data, written;
  int writes = 0;
  std::vector<TelnetNotice> notices;
};

void Feed(TelnetLayer& layer, const std::string& bytes) {
  layer.Receive(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

std::string Repeat(const std::string& part, std::size_t times) {
  std::string all;
  for (std::size_t i = 0; i < times; ++i) all += part;
  return all;
}

TEST(TelnetLayer, OpensByAskingForBinaryBothWaysAndSuppressGoAhead) {
  Peer peer;
  TelnetLayer layer(peer);
  layer.Start();
  EXPECT_EQ(peer.written, IAC + WILL + BINARY + IAC + DO + BINARY + IAC + DO + SGA);
  EXPECT_EQ(peer.writes, 1);
}

TEST(TelnetLayer, ServerStreams) {
  using N = TelnetNotice;
  const std::string typeIs = IAC + SB + TTYPE + "\x00"s + TelnetLayer::kTerminalType + IAC + SE;
  const std::string windowSize = IAC + SB + NAWS + "\x00\x28\x00\x19"s + IAC + SE;
  const std::string longText = Repeat("A", 70000);
  struct Case {
    const char* what;
    std::string in;
    std::string data;     // what the screen or a transfer gets
    std::string answers;  // what goes back after the opening requests
    std::vector<TelnetNotice> notices;  // fed whole: told once per read
  };
  const Case cases[] = {
      {"data passes unchanged", "HELLO\x0d\x93\x00\x01"s, "HELLO\x0d\x93\x00\x01"s, "", {}},
      {"a doubled 0xFF is one", IAC + IAC + "A" + IAC + IAC + IAC + IAC, "\xFF" "A\xFF\xFF", "", {}},
      {"text mode: CR NUL is a CR alone", "A\r\0B\r\nC\0\r"s + IAC + NOP + "\0"s, "A\rB\r\nC\0\r"s, "", {}},
      {"binary: CR NUL is data", IAC + WILL + BINARY + "A\r\0"s, "A\r\0"s, "", {}},
      {"and text mode again", IAC + WILL + BINARY + IAC + WONT + BINARY + "\r\0"s, "\r", IAC + DONT + BINARY, {}},
      {"commands between data vanish", "A" + IAC + NOP + "B" + IAC + GA + "C", "ABC", "", {}},
      {"the server's ECHO is taken", IAC + WILL + ECHO + "X", "X", IAC + DO + ECHO, {N::ServerEchoes}},
      {"and given up: no change in one read", IAC + WILL + ECHO + IAC + WONT + ECHO, "",
       IAC + DO + ECHO + IAC + DONT + ECHO, {}},
      {"answers to our requests need no answer", IAC + WILL + BINARY + IAC + DO + BINARY + IAC + WILL + SGA, "",
       "", {}},
      {"suppress-go-ahead our way too", IAC + DO + SGA, "", IAC + WILL + SGA, {}},
      {"terminal type, for every request", IAC + DO + TTYPE + IAC + SB + TTYPE + "\x01" + IAC + SE + "A" + IAC +
       SB + TTYPE + "\x01" + IAC + SE, "A", IAC + WILL + TTYPE + typeIs + typeIs, {}},
      {"no terminal type unless agreed", IAC + SB + TTYPE + "\x01" + IAC + SE, "", "", {}},
      {"window size 40 x 25", IAC + DO + NAWS, "", IAC + WILL + NAWS + windowSize, {}},
      {"every other option refused", IAC + DO + ECHO + IAC + WILL + LINEMODE + IAC + DO + NEW_ENVIRON + IAC +
       WILL + "\xC8", "", IAC + WONT + ECHO + IAC + DONT + LINEMODE + IAC + WONT + NEW_ENVIRON + IAC + DONT +
       "\xC8", {}},
      {"an unasked subnegotiation vanishes", "A" + IAC + SB + NEW_ENVIRON + "\x01\x00USER" + IAC + IAC + IAC + SE +
       "B", "AB", "", {}},
      {"an overlong subnegotiation is dropped to its end", "A" + IAC + SB + TTYPE + longText + IAC + SE + "B", "AB",
       "", {N::OverlongNegotiation}},
      {"one that never ends drops the rest", "A" + IAC + SB + TTYPE + longText + IAC + IAC + "B", "A", "",
       {N::OverlongNegotiation}},
      {"compression never agreed ends the layer", "A" + IAC + SB + COMPRESS2 + IAC + SE + "xyz" + IAC + DO + NAWS,
       "A", "", {N::Unusable}},
      {"a flood is answered in kind, no more", Repeat(IAC + DO + "\xC8", 5000), "",
       Repeat(IAC + WONT + "\xC8", 5000), {}},
  };
  for (const Case& c : cases) {
    for (const bool byteByByte : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (byteByByte ? ", byte by byte" : ", whole"));
      Peer peer;
      TelnetLayer layer(peer);
      layer.Start();
      peer.written.clear();
      peer.writes = 0;
      if (byteByByte) {
        for (const char b : c.in) Feed(layer, std::string(1, b));
      } else {
        Feed(layer, c.in);
        // One read: its data in one piece, its answers in one write.
        EXPECT_LE(peer.writes, 1);
      }
      EXPECT_EQ(peer.data, c.data);
      EXPECT_EQ(peer.written, c.answers);
      if (!byteByByte) {
        EXPECT_EQ(peer.notices, c.notices);
      }
      EXPECT_EQ(layer.ServerEchoes(), c.notices == std::vector<TelnetNotice>{N::ServerEchoes});
    }
  }
}

TEST(TelnetLayer, SendsEveryFFDoubledInOneWriteAndACrInTextModeAsCrNul) {
  const std::string packet = "\x02\x01\xFE" + Repeat("\xFF", 1024) + "\x0d\x00\x0d"s;
  const std::string doubled = "\x02\x01\xFE" + Repeat("\xFF", 2048);
  for (const bool binary : {true, false}) {
    SCOPED_TRACE(binary ? "binary" : "text mode");
    Peer peer;
    TelnetLayer layer(peer);
    layer.Start();
    if (binary) Feed(layer, IAC + DO + BINARY);
    peer.written.clear();
    peer.writes = 0;
    layer.Send(reinterpret_cast<const std::uint8_t*>(packet.data()), packet.size());
    EXPECT_EQ(peer.written, doubled + (binary ? "\x0d\x00\x0d"s : "\x0d\x00\x00\x0d\x00"s));
    EXPECT_EQ(peer.writes, 1);
  }
}

TEST(TelnetLayer, ASubnegotiationThatNeverEndsKeepsMemoryBounded) {
  // Under the sanitizers the allocator's figures are not the heap's.
  if (mallinfo2().uordblks == 0) GTEST_SKIP() << "no heap figures";
  Peer peer;
  TelnetLayer layer(peer);
  const std::string chunk = Repeat("A", 4096);
  Feed(layer, IAC + SB + TTYPE);
  const std::size_t before = mallinfo2().uordblks;
  for (int i = 0; i < 256; ++i) Feed(layer, chunk);  // 1 MiB
  EXPECT_LT(mallinfo2().uordblks - before, 64u * 1024u);
  EXPECT_EQ(peer.data, "");
}

}  // namespace
