// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/morlen_host_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace {
int pipeEnds[2] = {-1, -1};
constexpr int kReadEnd = 0;
constexpr int kWriteEnd = 1;
constexpr int kHandledSignals[] = {SIGUSR1, SIGTERM, SIGINT, SIGCHLD};

void OnSignal(int number) {
  const int savedErrno = errno;
  const unsigned char byte = static_cast<unsigned char>(number);
  // A full pipe already holds enough wake-ups; losing this one is harmless
  // for every signal but a repeated Drop, and nobody sends 64 KiB of those.
  [[maybe_unused]] const ssize_t written = write(pipeEnds[kWriteEnd], &byte, 1);
  errno = savedErrno;
}
}  // namespace

bool InstallHostSignals() {
  if (pipe2(pipeEnds, O_NONBLOCK | O_CLOEXEC) != 0) return false;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a blocking call interrupted by a signal returns, and the
  // loops look at the pipe again.
  action.sa_flags = SA_NOCLDSTOP;
  for (int number : kHandledSignals) sigaction(number, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
  return true;
}

int HostSignalDescriptor() { return pipeEnds[kReadEnd]; }

HostSignal TakeHostSignal() {
  unsigned char byte = 0;
  for (;;) {
    const ssize_t n = read(pipeEnds[kReadEnd], &byte, 1);
    if (n == 1) break;
    if (n < 0 && errno == EINTR) continue;
    return HostSignal::None;
  }
  switch (byte) {
    case SIGUSR1: return HostSignal::Drop;
    case SIGCHLD: return HostSignal::Child;
    default: return HostSignal::Terminate;
  }
}

void RestoreDefaultSignals() {
  for (int number : kHandledSignals) std::signal(number, SIG_DFL);
  std::signal(SIGPIPE, SIG_DFL);
}
