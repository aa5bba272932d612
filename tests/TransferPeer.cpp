// SPDX-License-Identifier: GPL-3.0-or-later
#include "TransferPeer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cmath>
#include <ctime>

namespace {

constexpr std::size_t kReadSize = 4096;  // what the terminal reads per socket event

// Small writes sent at once; urgent data (a telnet server's IAC DM) in line, as the terminal has it.
void sendAtOnce(int fd) {
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  setsockopt(fd, SOL_SOCKET, SO_OOBINLINE, &on, sizeof on);
}

}  // namespace

bool loopbackPair(int& a, int& b) {
  const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener < 0) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  const bool listening = bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                         listen(listener, 1) == 0 &&
                         getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) == 0;
  a = listening ? socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0) : -1;
  const bool connected = a >= 0 && connect(a, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  b = connected ? accept4(listener, nullptr, nullptr, SOCK_CLOEXEC) : -1;
  close(listener);
  if (b < 0) {
    if (a >= 0) close(a);
    return false;
  }
  sendAtOnce(a);
  sendAtOnce(b);
  return true;
}

int connectLoopback(std::uint16_t port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    sendAtOnce(fd);
    return fd;
  }
  if (fd >= 0) close(fd);
  return -1;
}

std::optional<PeerProgram> PeerProgram::start(const std::vector<std::string>& argv, const std::string& stderrPath) {
  int ours = -1, theirs = -1;
  if (!loopbackPair(ours, theirs)) return std::nullopt;
  std::optional<PeerProgram> program = startOn(theirs, argv, stderrPath);
  close(theirs);
  if (!program) {
    close(ours);
    return std::nullopt;
  }
  program->fd = ours;
  return program;
}

std::optional<PeerProgram> PeerProgram::startOn(int connection, const std::vector<std::string>& argv,
                                                const std::string& stderrPath) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const pid_t pid = fork();
  if (pid < 0) return std::nullopt;
  if (pid == 0) {
    const int err = open(stderrPath.empty() ? "/dev/null" : stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(connection, STDIN_FILENO);
    dup2(connection, STDOUT_FILENO);
    if (err >= 0) dup2(err, STDERR_FILENO);
    execvp(args[0], args.data());
    _exit(127);
  }
  return PeerProgram(pid, -1);
}

PeerProgram::PeerProgram(PeerProgram&& other) noexcept : pid(other.pid), fd(other.fd), status(other.status) {
  other.pid = -1;
  other.fd = -1;
}

PeerProgram::~PeerProgram() {
  if (pid > 0) {
    kill(pid, SIGTERM);
    finish();
  }
}

int PeerProgram::finish() {
  if (fd >= 0) {
    close(fd);
    fd = -1;
  }
  if (pid > 0) {
    int raw = 0;
    while (waitpid(pid, &raw, 0) < 0 && errno == EINTR) {
    }
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    pid = -1;
  }
  return status;
}

void SocketLink::write(const std::uint8_t* bytes, std::size_t size) {
  if (dropCrcRequests && size == 1 && bytes[0] == xmodem::kWantCrc) return;
  while (size > 0 && !broken) {
    const ssize_t sent = send(fd, bytes, size, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) {
      broken = true;
      return;
    }
    bytes += sent;
    size -= static_cast<std::size_t>(sent);
  }
}

void SocketLink::discardPendingInput() {
  std::uint8_t sink[kReadSize];
  while (recv(fd, sink, sizeof sink, MSG_DONTWAIT) > 0) {
  }
}

TransferMs RealTimeClock::now() const {
  return static_cast<TransferMs>(std::chrono::duration<double, std::milli>(Clock::now() - start).count() * speedUp);
}

RealTimeClock::Clock::time_point RealTimeClock::realTime(TransferMs when) const {
  return start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(when / speedUp));
}

PeerRunResult runTransfer(FileTransfer& engine, int fd, const RealTimeClock& clock, std::chrono::seconds limit,
                          std::size_t damageEvery, bool sending, TelnetLayer* telnet) {
  using Clock = RealTimeClock::Clock;
  const Clock::time_point start = Clock::now();
  const Clock::time_point deadline = start + limit;
  std::uint8_t buffer[kReadSize];
  std::size_t arrived = 0;
  PeerRunResult result;
  while (engine.isActive()) {
    const Clock::time_point now = Clock::now();
    if (now >= deadline) {
      result.timedOut = true;
      break;
    }
    Clock::time_point wake = deadline;
    if (const auto due = engine.deadline()) wake = std::min(wake, clock.realTime(*due));
    // To the nanosecond: engines on a sped-up clock wait for microseconds.
    const auto wait = std::max<std::int64_t>(0, std::chrono::duration_cast<std::chrono::nanoseconds>(wake - now).count());
    const timespec timeout{static_cast<time_t>(wait / 1000000000), static_cast<long>(wait % 1000000000)};
    pollfd poller{fd, POLLIN, 0};
    const int ready = ppoll(&poller, 1, &timeout, nullptr);
    if (ready > 0) {
      const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
      if (got > 0) {
        for (ssize_t i = 0; damageEvery > 0 && i < got; ++i) {
          if (++arrived % damageEvery == 0) buffer[i] ^= 0x20;
        }
        if (telnet)
          telnet->Receive(buffer, static_cast<std::size_t>(got));
        else
          engine.receive(buffer, static_cast<std::size_t>(got));
      } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
        engine.connectionClosed();
      }
    }
    if (engine.isActive()) {
      const std::optional<TransferMs> due = engine.deadline();
      if (due && *due <= clock.now()) engine.timeout();
    }
    if (sending && result.dataSeconds == 0 && engine.isActive() && engine.progressBytes() == 0) {
      result.dataSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    }
  }
  result.end = engine.end();
  result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return result;
}
