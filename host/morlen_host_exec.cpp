// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/morlen_host_exec.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "host/morlen_host_signals.h"

namespace {
constexpr const char* kShell = "/bin/sh";
// The shell's own status for a command it could not run.
constexpr int kCannotRun = 127;
// How long a stopped program gets to go before it is killed.
constexpr std::chrono::milliseconds kGracePeriod{2000};
constexpr int kWaitForever = -1;

[[noreturn]] void RunInChild(int fd, const std::string& command) {
  // Its own process group, so that a drop reaches everything the shell started.
  setpgid(0, 0);
  RestoreDefaultSignals();
  if (dup2(fd, STDIN_FILENO) < 0 || dup2(fd, STDOUT_FILENO) < 0) _exit(kCannotRun);
  if (fd > STDOUT_FILENO) close(fd);
  execl(kShell, "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
  _exit(kCannotRun);
}

// True once the child has been reaped.
bool Reap(pid_t child, int& status) {
  for (;;) {
    const pid_t pid = waitpid(child, &status, WNOHANG);
    if (pid == child) return true;
    if (pid < 0 && errno == EINTR) continue;
    return pid < 0;  // ECHILD: someone reaped it already
  }
}

// Waits for a signal to arrive or the timeout (ms) to pass; returns it or None.
HostSignal WaitForSignal(int timeout) {
  pollfd slot{HostSignalDescriptor(), POLLIN, 0};
  if (poll(&slot, 1, timeout) <= 0) return HostSignal::None;
  return TakeHostSignal();
}

void Stop(pid_t child, int& status) {
  kill(-child, SIGTERM);
  const auto deadline = std::chrono::steady_clock::now() + kGracePeriod;
  while (!Reap(child, status)) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      kill(-child, SIGKILL);
      while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
      }
      return;
    }
    WaitForSignal(static_cast<int>(left.count()));
  }
}

void Report(const std::string& command, int status) {
  if (WIFEXITED(status))
    std::fprintf(stderr, "morlen-host: '%s' exited with status %d\n", command.c_str(), WEXITSTATUS(status));
  else if (WIFSIGNALED(status))
    std::fprintf(stderr, "morlen-host: '%s' ended by signal %d\n", command.c_str(), WTERMSIG(status));
}
}  // namespace

SessionEnd RunOnConnection(int fd, const std::string& command) {
  const pid_t child = fork();
  if (child < 0) {
    std::fprintf(stderr, "morlen-host: fork: %s\n", std::strerror(errno));
    return SessionEnd::CallerHungUp;
  }
  if (child == 0) RunInChild(fd, command);
  // Also from this side, so that a kill of the group cannot come before the child made it.
  setpgid(child, child);

  int status = 0;
  SessionEnd end = SessionEnd::CallerHungUp;
  while (!Reap(child, status)) {
    const HostSignal signal = WaitForSignal(kWaitForever);
    if (signal == HostSignal::Drop || signal == HostSignal::Terminate) {
      end = signal == HostSignal::Drop ? SessionEnd::Dropped : SessionEnd::Terminate;
      Stop(child, status);
      break;
    }
  }
  // Whatever the shell left running in the background would keep the line busy.
  kill(-child, SIGTERM);
  Report(command, status);
  return end;
}
