// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Loopback peers for GUI tests: sockets on 127.0.0.1 (and nowhere else)
// that accept, read and fill accept queues while the toolkit's loop runs.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <wx/evtloop.h>
#include <wx/wx.h>

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "gui/GuiTestSupport.h"

namespace loopback {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kPeerTimeoutMs = 3000;
constexpr std::size_t kChunkBytes = 4096;
// A filled accept queue drops every further handshake.
constexpr int kNoBacklog = 0;
constexpr int kQueueFillers = 2;
constexpr int kFillerSettleMs = 200;

// A descriptor closed with its owner.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd(fd) {}
  Fd(Fd&& other) noexcept : fd(other.fd) { other.fd = -1; }
  Fd& operator=(Fd&& other) noexcept {
    std::swap(fd, other.fd);
    return *this;
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd >= 0) close(fd);
  }
  int get() const { return fd; }

 private:
  int fd = -1;
};

inline sockaddr_in LoopbackAddress(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

// A TCP socket bound to a free loopback port; listening when `backlog` >= 0.
inline Fd BoundSocket(std::uint16_t& port, int backlog) {
  Fd fd(socket(AF_INET, SOCK_STREAM, 0));
  sockaddr_in address = LoopbackAddress(0);
  socklen_t size = sizeof address;
  if (bind(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return Fd();
  if (backlog >= 0 && listen(fd.get(), backlog) != 0) return Fd();
  getsockname(fd.get(), reinterpret_cast<sockaddr*>(&address), &size);
  port = ntohs(address.sin_port);
  return fd;
}

inline bool Readable(int fd, int timeoutMs) {
  pollfd entry{fd, POLLIN, 0};
  return poll(&entry, 1, timeoutMs) == 1;
}

inline Fd AcceptOne(int listener) {
  if (!Readable(listener, kPeerTimeoutMs)) return Fd();
  return Fd(accept(listener, nullptr, nullptr));
}

// Reads until `count` bytes came, the peer ended or the time ran out,
// keeping the toolkit's loop going meanwhile.
inline std::string ReceiveFromClient(int fd, std::size_t count) {
  std::string got;
  const auto end = Clock::now() + milliseconds(kPeerTimeoutMs);
  while (got.size() < count && Clock::now() < end) {
    RunEventLoopFor(10);
    char chunk[kChunkBytes];
    const ssize_t n = recv(fd, chunk, sizeof chunk, MSG_DONTWAIT);
    if (n == 0) break;
    if (n > 0) got.append(chunk, static_cast<std::size_t>(n));
  }
  return got;
}

// Non-blocking connections that fill a listener's accept queue.
inline std::vector<Fd> FillAcceptQueue(std::uint16_t port) {
  std::vector<Fd> fillers;
  for (int i = 0; i < kQueueFillers; ++i) {
    Fd fd(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
    const sockaddr_in address = LoopbackAddress(port);
    connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
    fillers.push_back(std::move(fd));
  }
  wxMilliSleep(kFillerSettleMs);
  return fillers;
}

inline long long MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<milliseconds>(Clock::now() - start).count();
}

// Runs `body` from a handler of a running event loop, where the program
// makes its connection attempts.
inline void RunInsideEventLoop(const std::function<void()>& body) {
  wxGUIEventLoop loop;
  wxTheApp->CallAfter([&] {
    body();
    loop.Exit();
  });
  loop.Run();
}

}  // namespace loopback
