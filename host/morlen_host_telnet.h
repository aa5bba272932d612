// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The host's side of telnet (--telnet), so that the terminal's telnet
// option can be tried without a telnet server: it offers ECHO,
// SUPPRESS-GO-AHEAD and BINARY both ways, asks for the caller's terminal
// type and window size, doubles every 0xFF it sends and undoubles what it
// receives.
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/ByteBuffer.h"

struct telnet_t;
union telnet_event_t;

class HostTelnet {
 public:
  HostTelnet();
  ~HostTelnet();
  HostTelnet(const HostTelnet&) = delete;
  HostTelnet& operator=(const HostTelnet&) = delete;

  // The opening offers and requests, appended to `out`.
  void Open(ByteBuffer& out);
  // The caller's bytes: returns its data; answers are appended to `out`.
  const ByteBuffer& Decode(const std::uint8_t* bytes, std::size_t size, ByteBuffer& out);
  // What the board sends, encoded, appended to `out`.
  void Encode(const std::uint8_t* bytes, std::size_t size, ByteBuffer& out);

  // What the caller said about itself; empty until it did.
  const std::string& TerminalType() const { return terminalType; }
  const std::string& WindowSize() const { return windowSize; }

 private:
  static void OnEvent(telnet_t* telnet, telnet_event_t* event, void* self);
  void Handle(const telnet_event_t& event);

  telnet_t* telnet;
  ByteBuffer data;
  ByteBuffer* out = nullptr;
  std::string terminalType;
  std::string windowSize;
};
