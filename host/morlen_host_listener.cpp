// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/morlen_host_listener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {
// Callers waiting while one connection is served queue up here.
constexpr int kBacklog = 8;
constexpr int kOn = 1;
}  // namespace

LoopbackListener::~LoopbackListener() {
  if (fd_ >= 0) close(fd_);
}

bool LoopbackListener::Open(std::uint16_t port) {
  fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd_ < 0) {
    error_ = std::string("socket: ") + std::strerror(errno);
    return false;
  }
  // A test that restarts the host on the same port must not wait for the
  // old connections' TIME_WAIT.
  setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &kOn, sizeof kOn);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    error_ = "bind 127.0.0.1:" + std::to_string(port) + ": " + std::strerror(errno);
    return false;
  }
  if (listen(fd_, kBacklog) != 0) {
    error_ = std::string("listen: ") + std::strerror(errno);
    return false;
  }
  socklen_t length = sizeof address;
  if (getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    error_ = std::string("getsockname: ") + std::strerror(errno);
    return false;
  }
  port_ = ntohs(address.sin_port);
  return true;
}

int LoopbackListener::Accept() {
  const int fd = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
  if (fd < 0) return -1;
  // Paced output is meant to arrive in its chunks, not merged by Nagle.
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &kOn, sizeof kOn);
  return fd;
}
