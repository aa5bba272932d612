// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/morlen_host_telnet.h"

#include <libtelnet.h>

namespace {
const telnet_telopt_t kOptions[] = {
    {TELNET_TELOPT_ECHO, TELNET_WILL, TELNET_DONT},
    {TELNET_TELOPT_SGA, TELNET_WILL, TELNET_DO},
    {TELNET_TELOPT_BINARY, TELNET_WILL, TELNET_DO},
    {TELNET_TELOPT_TTYPE, TELNET_WONT, TELNET_DO},
    {TELNET_TELOPT_NAWS, TELNET_WONT, TELNET_DO},
    {-1, 0, 0},
};
constexpr std::size_t kWindowSizeBytes = 4;
constexpr int kByteBits = 8;

void Append(ByteBuffer& buffer, const char* bytes, std::size_t size) {
  const auto* first = reinterpret_cast<const std::uint8_t*>(bytes);
  buffer.insert(buffer.end(), first, first + size);
}

unsigned Word(const char* bytes) {
  return static_cast<unsigned>(static_cast<unsigned char>(bytes[0])) << kByteBits |
         static_cast<unsigned char>(bytes[1]);
}
}  // namespace

HostTelnet::HostTelnet() : telnet(telnet_init(kOptions, &OnEvent, 0, this)) {}

HostTelnet::~HostTelnet() { telnet_free(telnet); }

void HostTelnet::Open(ByteBuffer& target) {
  out = &target;
  telnet_negotiate(telnet, TELNET_WILL, TELNET_TELOPT_ECHO);
  telnet_negotiate(telnet, TELNET_WILL, TELNET_TELOPT_SGA);
  telnet_negotiate(telnet, TELNET_WILL, TELNET_TELOPT_BINARY);
  telnet_negotiate(telnet, TELNET_DO, TELNET_TELOPT_BINARY);
  telnet_negotiate(telnet, TELNET_DO, TELNET_TELOPT_TTYPE);
  telnet_negotiate(telnet, TELNET_DO, TELNET_TELOPT_NAWS);
}

const ByteBuffer& HostTelnet::Decode(const std::uint8_t* bytes, std::size_t size, ByteBuffer& target) {
  out = &target;
  data.clear();
  telnet_recv(telnet, reinterpret_cast<const char*>(bytes), size);
  return data;
}

void HostTelnet::Encode(const std::uint8_t* bytes, std::size_t size, ByteBuffer& target) {
  out = &target;
  telnet_send(telnet, reinterpret_cast<const char*>(bytes), size);
}

void HostTelnet::OnEvent(telnet_t*, telnet_event_t* event, void* self) {
  static_cast<HostTelnet*>(self)->Handle(*event);
}

void HostTelnet::Handle(const telnet_event_t& event) {
  switch (event.type) {
    case TELNET_EV_DATA: Append(data, event.data.buffer, event.data.size); break;
    case TELNET_EV_SEND: Append(*out, event.data.buffer, event.data.size); break;
    case TELNET_EV_WILL:
      if (event.neg.telopt == TELNET_TELOPT_TTYPE) telnet_ttype_send(telnet);
      break;
    case TELNET_EV_TTYPE:
      if (event.ttype.cmd == TELNET_TTYPE_IS) terminalType = event.ttype.name;
      break;
    case TELNET_EV_SUBNEGOTIATION:
      if (event.sub.telopt == TELNET_TELOPT_NAWS && event.sub.size == kWindowSizeBytes)
        windowSize = std::to_string(Word(event.sub.buffer)) + "x" + std::to_string(Word(event.sub.buffer + 2));
      break;
    default: break;
  }
}
