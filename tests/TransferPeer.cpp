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
#include <cmath>

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

void RealTimeScheduler::start(int id, std::uint32_t periodMs, Repeat repeat) {
  const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(periodMs / speedUp));
  timers[id] = Running{Clock::now() + period, period, repeat == Repeat::Periodic};
}

void RealTimeScheduler::stop(int id) { timers.erase(id); }

std::optional<RealTimeScheduler::Clock::time_point> RealTimeScheduler::nextDue() const {
  std::optional<Clock::time_point> next;
  for (const auto& entry : timers) {
    if (!next || entry.second.due < *next) next = entry.second.due;
  }
  return next;
}

PeerRunResult runXmodem(Xmodem& xmodem, int fd, RealTimeScheduler& scheduler, std::chrono::seconds limit,
                        std::size_t damageEvery, TelnetLayer* telnet) {
  using Clock = RealTimeScheduler::Clock;
  const Clock::time_point start = Clock::now();
  const Clock::time_point deadline = start + limit;
  std::uint8_t buffer[kReadSize];
  std::size_t arrived = 0;
  PeerRunResult result;
  while (xmodem.isActive()) {
    const Clock::time_point now = Clock::now();
    if (now >= deadline) {
      result.timedOut = true;
      break;
    }
    Clock::time_point wake = deadline;
    if (const auto due = scheduler.nextDue()) wake = std::min(wake, *due);
    const auto wait = std::chrono::duration_cast<std::chrono::microseconds>(wake - now).count();
    pollfd poller{fd, POLLIN, 0};
    const int ready = poll(&poller, 1, wait <= 0 ? 0 : static_cast<int>(std::ceil(wait / 1000.0)));
    if (ready > 0) {
      const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
      if (got > 0) {
        for (ssize_t i = 0; damageEvery > 0 && i < got; ++i) {
          if (++arrived % damageEvery == 0) buffer[i] ^= 0x20;
        }
        if (telnet)
          telnet->Receive(buffer, static_cast<std::size_t>(got));
        else
          xmodem.process(buffer, static_cast<std::size_t>(got));
      } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
        xmodem.connectionClosed();
      }
    }
    scheduler.fireDue([&](int id) { xmodem.timerFired(id); });
    if (result.dataSeconds == 0 && xmodem.isSending() && xmodem.bytesLeftToSend() == 0) {
      result.dataSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    }
  }
  result.end = xmodem.end();
  result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return result;
}
