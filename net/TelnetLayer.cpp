// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/TelnetLayer.h"

#include <libtelnet.h>

#include <cstring>
#include <string_view>

namespace {
// What the program does with each option it meets: it offers or accepts
// (WILL/DO) or refuses (WONT/DONT), first for its own side, then for the
// server's. Options not listed are refused both ways by the library.
const telnet_telopt_t kOptions[] = {
    {TELNET_TELOPT_BINARY, TELNET_WILL, TELNET_DO},
    {TELNET_TELOPT_SGA, TELNET_WILL, TELNET_DO},
    {TELNET_TELOPT_ECHO, TELNET_WONT, TELNET_DO},
    {TELNET_TELOPT_TTYPE, TELNET_WILL, TELNET_DONT},
    {TELNET_TELOPT_NAWS, TELNET_WILL, TELNET_DONT},
    {-1, 0, 0},
};

// The library tells a subnegotiation too long for its buffer only by this
// warning; it then hands the rest of it on as data.
constexpr std::string_view kOverflowWarning = "subnegotiation buffer size limit";
// One read's worth, the most the data of a Receive usually holds.
constexpr std::size_t kReserved = 4096;
constexpr std::uint8_t kCr = 0x0D;

struct ByteSpan {
  ByteSpan(const char* chars, std::size_t size)
      : first(reinterpret_cast<const std::uint8_t*>(chars)), last(first + size) {}
  const std::uint8_t* begin() const { return first; }
  const std::uint8_t* end() const { return last; }
  const std::uint8_t* first;
  const std::uint8_t* last;
};

const char* AsChars(const std::uint8_t* bytes) { return reinterpret_cast<const char*>(bytes); }
const std::uint8_t* AsBytes(const char* chars) { return reinterpret_cast<const std::uint8_t*>(chars); }

void Append(ByteBuffer& buffer, const char* chars, std::size_t size) {
  buffer.insert(buffer.end(), AsBytes(chars), AsBytes(chars) + size);
}
}  // namespace

void TelnetLayer::Free::operator()(telnet_t* t) const { telnet_free(t); }

TelnetLayer::TelnetLayer(TelnetPeer& peer) : peer(peer), telnet(telnet_init(kOptions, &OnEvent, 0, this)) {
  data.reserve(kReserved);
  writes.reserve(kReserved);
}

TelnetLayer::~TelnetLayer() = default;

void TelnetLayer::Start() {
  telnet_negotiate(telnet.get(), TELNET_WILL, TELNET_TELOPT_BINARY);
  telnet_negotiate(telnet.get(), TELNET_DO, TELNET_TELOPT_BINARY);
  telnet_negotiate(telnet.get(), TELNET_DO, TELNET_TELOPT_SGA);
  FlushWrites();
}

void TelnetLayer::Receive(const std::uint8_t* bytes, std::size_t length) {
  if (unusable || length == 0) return;
  data.clear();
  const bool echoed = serverEchoes;
  overlong = false;
  telnet_recv(telnet.get(), AsChars(bytes), length);
  // Answers first; the data may well make the program send. The data in
  // one piece: a doubled 0xFF must not reach a transfer as a chunk of its
  // own. Then what changed, once per read however often the server
  // changed its mind, after the data that came before it.
  FlushWrites();
  if (!data.empty()) peer.TelnetData(data.data(), data.size());
  if (serverEchoes != echoed) peer.Notice(serverEchoes ? TelnetNotice::ServerEchoes : TelnetNotice::ServerStopsEchoing);
  if (overlong) peer.Notice(TelnetNotice::OverlongNegotiation);
  if (unusable) peer.Notice(TelnetNotice::Unusable);
}

void TelnetLayer::Send(const std::uint8_t* bytes, std::size_t length) {
  if (unusable || length == 0) return;
  if (ownBinary) {
    telnet_send(telnet.get(), AsChars(bytes), length);
  } else {
    // Text mode: a CR alone goes as CR NUL, or the server takes the next byte for part of it.
    static const char kNul = '\0';
    const std::uint8_t* start = bytes;
    for (const std::uint8_t* b = bytes; b != bytes + length; ++b) {
      if (*b != kCr) continue;
      telnet_send(telnet.get(), AsChars(start), static_cast<std::size_t>(b + 1 - start));
      telnet_send(telnet.get(), &kNul, 1);
      start = b + 1;
    }
    telnet_send(telnet.get(), AsChars(start), static_cast<std::size_t>(bytes + length - start));
  }
  FlushWrites();
}

void TelnetLayer::TakeData(const char* chars, std::size_t size) {
  if (skippingToEnd || unusable) return;
  if (serverBinary) {
    Append(data, chars, size);
    return;
  }
  for (const std::uint8_t b : ByteSpan(chars, size)) {
    // Text mode: CR NUL stands for a CR alone.
    if (!(b == 0 && afterCr)) data.push_back(b);
    afterCr = b == kCr;
  }
}

void TelnetLayer::FlushWrites() {
  if (writes.empty()) return;
  peer.TelnetWrite(writes.data(), writes.size());
  writes.clear();
}

void TelnetLayer::OnEvent(telnet_t*, telnet_event_t* event, void* self) {
  auto* layer = static_cast<TelnetLayer*>(self);
  // The common case first: data, where a doubled 0xFF comes as an event of
  // its own, so that dense 0xFF data is mostly these.
  if (event->type == TELNET_EV_DATA && layer->serverBinary && !layer->skippingToEnd && !layer->unusable) {
    if (event->data.size == 1)
      layer->data.push_back(static_cast<std::uint8_t>(event->data.buffer[0]));
    else
      Append(layer->data, event->data.buffer, event->data.size);
    return;
  }
  layer->Handle(*event);
}

void TelnetLayer::Handle(const telnet_event_t& event) {
  switch (event.type) {
    case TELNET_EV_DATA: TakeData(event.data.buffer, event.data.size); break;
    case TELNET_EV_SEND: Append(writes, event.data.buffer, event.data.size); break;
    case TELNET_EV_IAC:
      if (event.iac.cmd == TELNET_SE) skippingToEnd = false;
      break;
    case TELNET_EV_WILL:
    case TELNET_EV_WONT: {
      const bool on = event.type == TELNET_EV_WILL;
      if (event.neg.telopt == TELNET_TELOPT_ECHO) serverEchoes = on;
      if (event.neg.telopt == TELNET_TELOPT_BINARY) serverBinary = on;
      afterCr = false;
      break;
    }
    case TELNET_EV_DO:
      if (event.neg.telopt == TELNET_TELOPT_BINARY) ownBinary = true;
      if (event.neg.telopt == TELNET_TELOPT_TTYPE) typeAgreed = true;
      if (event.neg.telopt == TELNET_TELOPT_NAWS) {
        const char size[] = {0, static_cast<char>(kColumns), 0, static_cast<char>(kRows)};
        telnet_subnegotiation(telnet.get(), TELNET_TELOPT_NAWS, size, sizeof size);
      }
      break;
    case TELNET_EV_DONT:
      if (event.neg.telopt == TELNET_TELOPT_BINARY) ownBinary = false;
      if (event.neg.telopt == TELNET_TELOPT_TTYPE) typeAgreed = false;
      break;
    case TELNET_EV_TTYPE:
      // The one type, for every request: the server then knows it has heard them all.
      if (typeAgreed && event.ttype.cmd == TELNET_TTYPE_SEND) telnet_ttype_is(telnet.get(), kTerminalType);
      break;
    case TELNET_EV_COMPRESS:
      // Never asked for: what would follow is compressed and not for the screen.
      if (event.compress.state != 0) unusable = true;
      break;
    case TELNET_EV_ERROR: unusable = true; break;
    case TELNET_EV_WARNING:
      if (std::strncmp(event.error.msg, kOverflowWarning.data(), kOverflowWarning.size()) == 0)
        skippingToEnd = overlong = true;
      break;
    default: break;
  }
}

bool LooksLikeTelnet(std::uint8_t first, std::uint8_t second) {
  return first == TELNET_IAC && (second == TELNET_SB || (second >= TELNET_WILL && second <= TELNET_DONT));
}
