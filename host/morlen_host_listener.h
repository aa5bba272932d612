// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The listening socket. It is bound to 127.0.0.1 and nothing else: the host
// is for local tests and trials, and no option widens it.
#include <cstdint>
#include <string>

class LoopbackListener {
 public:
  LoopbackListener() = default;
  ~LoopbackListener();
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;

  // Binds and listens; port 0 lets the system choose. False with error()
  // set when that fails.
  bool Open(std::uint16_t port);
  // The port actually bound.
  std::uint16_t Port() const { return port_; }
  int Descriptor() const { return fd_; }
  // A pending connection as a non-blocking socket, -1 when none is ready.
  int Accept();
  const std::string& Error() const { return error_; }

 private:
  int fd_ = -1;
  std::uint16_t port_ = 0;
  std::string error_;
};
