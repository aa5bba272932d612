// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The telnet protocol for a board behind a telnet server, between the line
// and the session. It asks for BINARY both ways and SUPPRESS-GO-AHEAD, lets
// the server ECHO, answers TERMINAL-TYPE and the window size (40 x 25), and
// refuses every other option. What the screen and the transfers get is the
// board's data alone: negotiation removed, a doubled 0xFF as one. What the
// program sends goes out with every 0xFF doubled. A direction the server
// keeps out of BINARY carries a CR as CR NUL, as telnet's text mode has it
// (a server whose program's terminal is not yet raw does that). Passive:
// bytes in, bytes out through its peer.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "settings/ByteBuffer.h"

struct telnet_t;
union telnet_event_t;

// What the layer tells its owner beyond the data, after the data of the
// same read.
enum class TelnetNotice {
  ServerEchoes,         // the server took ECHO: it shows typed keys itself
  ServerStopsEchoing,   // it gave ECHO up again
  OverlongNegotiation,  // a subnegotiation ran past the library's buffer; dropped to its end
  Unusable,             // compression never agreed, or the library failed: nothing more is passed on
};

class TelnetPeer {
 public:
  virtual ~TelnetPeer() = default;
  // The board's data from one Receive, in one call.
  virtual void TelnetData(const std::uint8_t* data, std::size_t length) = 0;
  // Bytes for the line: answers, requests and encoded data, one write each.
  virtual void TelnetWrite(const std::uint8_t* data, std::size_t length) = 0;
  virtual void Notice(TelnetNotice notice) = 0;
};

class TelnetLayer {
 public:
  // The terminal type PETSCII boards' telnet servers know a C64 caller by.
  static constexpr const char* kTerminalType = "PETSCII";
  static constexpr std::uint16_t kColumns = 40;
  static constexpr std::uint16_t kRows = 25;

  explicit TelnetLayer(TelnetPeer& peer);
  ~TelnetLayer();
  TelnetLayer(const TelnetLayer&) = delete;
  TelnetLayer& operator=(const TelnetLayer&) = delete;

  // The program's own requests, once the connection stands.
  void Start();
  // Bytes read from the line.
  void Receive(const std::uint8_t* data, std::size_t length);
  // Bytes the program sends (keys, transfer packets): one write.
  void Send(const std::uint8_t* data, std::size_t length);

  bool ServerEchoes() const { return serverEchoes; }

 private:
  struct Free {
    void operator()(telnet_t* telnet) const;
  };
  static void OnEvent(telnet_t* telnet, telnet_event_t* event, void* self);
  void Handle(const telnet_event_t& event);
  void FlushWrites();
  void TakeData(const char* bytes, std::size_t size);

  TelnetPeer& peer;
  std::unique_ptr<telnet_t, Free> telnet;
  ByteBuffer data;    // the board's data of the Receive under way
  ByteBuffer writes;  // what is to go out at the end of the call under way
  bool serverEchoes = false;
  bool serverBinary = false;  // the server sends in BINARY
  bool ownBinary = false;     // the program sends in BINARY
  bool afterCr = false;       // the last data byte in text mode was a CR
  bool typeAgreed = false;
  bool skippingToEnd = false;  // inside a subnegotiation too long to keep
  bool overlong = false;       // one began in the read under way
  bool unusable = false;
};

// True when a raw connection's first two bytes are telnet negotiation.
bool LooksLikeTelnet(std::uint8_t first, std::uint8_t second);
