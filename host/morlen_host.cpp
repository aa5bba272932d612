// SPDX-License-Identifier: GPL-3.0-or-later
// morlen-host: a PETSCII board on 127.0.0.1, for tests and for trying the
// terminal without a network. See kHostUsage for the options.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "settings/FileHelpers.h"
#include "host/morlen_host_config.h"
#include "host/morlen_host_demo.h"
#include "host/morlen_host_demo_pages.h"
#include "host/morlen_host_exec.h"
#include "host/morlen_host_listener.h"
#include "host/morlen_host_options.h"
#include "host/morlen_host_punter.h"
#include "host/morlen_host_recorder.h"
#include "host/morlen_host_session.h"
#include "host/morlen_host_signals.h"
#include "host/morlen_host_telnet.h"

namespace {
constexpr int kCannotRun = 1;
constexpr int kUsageError = 2;
constexpr int kWaitForever = -1;
constexpr int kListenerSlot = 0;
constexpr int kSignalSlot = 1;

void Say(const std::string& message) { std::fprintf(stderr, "morlen-host: %s\n", message.c_str()); }

struct Host {
  const HostOptions& options;
  const ByteBuffer& script;
  const ByteBuffer& punterFile;
  const std::vector<HostFile>& batch;
  const DemoPages& pages;
  ByteRecorder& recorder;
};

// What a caller said about its terminal, for the log.
void SayTerminal(const std::string& type, const std::string& size) {
  if (!type.empty()) Say("caller's terminal: " + type + (size.empty() ? "" : ", " + size));
}

// A telnet server in front of --stdio passes the caller's terminal type
// on as TERM, and its window size as the terminal's (when it has come yet).
void SayTerminalOfStandardInput() {
  const char* type = std::getenv("TERM");
  winsize size{};
  const bool sized = ioctl(STDIN_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0;
  SayTerminal(type ? type : "", sized ? std::to_string(size.ws_col) + "x" + std::to_string(size.ws_row) : "");
}

// Serves one caller on readFd and writeFd (one socket, or standard input
// and output); the result says why the line ended.
SessionEnd ServeCaller(const Host& host, int readFd, int writeFd) {
  SessionPacing pacing;
  pacing.delayMs = host.options.delayMs;
  pacing.chunkBytes = host.options.chunkBytes;
  pacing.dropAfterBytes = host.options.dropAfterBytes;
  HostSession session(readFd, writeFd, pacing, host.recorder.IsOpen() ? &host.recorder : nullptr);
  HostTelnet telnet;
  if (host.options.telnet) session.UseTelnet(telnet);

  if (!host.options.execCommand.empty() || !host.options.punterPath.empty() || !host.batch.empty()) {
    session.Queue(host.script);
    SessionEnd end = session.Flush();
    if (end != SessionEnd::Sent) {
      session.Close(end != SessionEnd::Terminate);
      return end;
    }
    const int line = session.Release();
    if (!host.batch.empty()) {
      end = SendWithMultiPunter(line, host.batch);
    } else {
      end = host.options.punterPath.empty() ? RunOnConnection(line, host.options.execCommand)
                                            : SendWithPunter(line, host.punterFile);
    }
    // Shut both ways: a program the shell left behind may still hold the socket.
    shutdown(line, SHUT_RDWR);
    close(line);
    return end;
  }
  SessionEnd end;
  if (!host.options.scriptPath.empty()) {
    session.Queue(host.script);
    end = session.Serve(nullptr);
  } else {
    DemoBoard board(host.pages);
    session.Queue(board.Welcome());
    end = session.Serve(&board);
  }
  // A stopping host does not wait for the caller to hang up.
  session.Close(end != SessionEnd::Terminate && !host.options.stdio);
  if (host.options.telnet) SayTerminal(telnet.TerminalType(), telnet.WindowSize());
  return end;
}

// --stdio: the one caller is on standard input and output. A terminal there
// (a telnet server's) passes every byte as it is: no echo, no line editing,
// no translation.
int ServeStandardInput(const Host& host) {
  termios mode{};
  if (tcgetattr(STDIN_FILENO, &mode) == 0) {
    cfmakeraw(&mode);
    tcsetattr(STDIN_FILENO, TCSANOW, &mode);
  }
  for (const int fd : {STDIN_FILENO, STDOUT_FILENO}) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  SayTerminalOfStandardInput();
  const SessionEnd end = ServeCaller(host, STDIN_FILENO, STDOUT_FILENO);
  Say(std::string("line closed: ") + SessionEndText(end));
  return 0;
}

// Accepts and serves callers one at a time until a stop signal, or after
// the first with --once.
void AcceptCallers(const Host& host, LoopbackListener& listener) {
  for (;;) {
    pollfd slots[2] = {};
    slots[kListenerSlot] = {listener.Descriptor(), POLLIN, 0};
    slots[kSignalSlot] = {HostSignalDescriptor(), POLLIN, 0};
    if (poll(slots, 2, kWaitForever) < 0) continue;  // EINTR: the signal is in the pipe
    if (slots[kSignalSlot].revents & POLLIN) {
      // A drop request with nobody connected has nothing to drop; it must
      // not cut off the next caller either.
      if (TakeHostSignal() == HostSignal::Terminate) return;
      continue;
    }
    const int fd = listener.Accept();
    if (fd < 0) continue;
    Say("caller connected");
    const SessionEnd end = ServeCaller(host, fd, fd);
    Say(std::string("line closed: ") + SessionEndText(end));
    if (end == SessionEnd::Terminate || host.options.once) return;
  }
}

// A file the host serves, read whole; false, said, when it cannot be.
bool LoadServedFile(const std::string& path, ByteBuffer& bytes) {
  LoadedFile file;
  if (!readWholeFile(path, file)) {
    Say("cannot read " + path);
    return false;
  }
  bytes = std::move(file.bytes);
  return true;
}

int Run(const HostOptions& options) {
  ByteBuffer script, punterFile;
  if (!options.scriptPath.empty() && !LoadServedFile(options.scriptPath, script)) return kCannotRun;
  if (!options.punterPath.empty() && !LoadServedFile(options.punterPath, punterFile)) return kCannotRun;
  std::vector<HostFile> batch;
  for (const std::string& path : options.multiPunterPaths) {
    ByteBuffer bytes;
    if (!LoadServedFile(path, bytes)) return kCannotRun;
    batch.push_back(HostFile{path.substr(path.rfind('/') + 1), std::move(bytes)});
  }
  DemoPages pages;
  try {
    pages = BuildDemoPages();
  } catch (const std::logic_error& e) {
    Say(std::string("demo page does not fit: ") + e.what());
    return kCannotRun;
  }
  ByteRecorder recorder;
  std::string error;
  if (!options.recordPath.empty() && !recorder.Open(options.recordPath, error)) {
    Say(error);
    return kCannotRun;
  }
  if (!InstallHostSignals()) {
    Say("cannot set up signal handling");
    return kCannotRun;
  }
  if (options.stdio) return ServeStandardInput(Host{options, script, punterFile, batch, pages, recorder});
  LoopbackListener listener;
  if (!listener.Open(options.port)) {
    Say(listener.Error());
    return kCannotRun;
  }
  if (!options.configDirectory.empty() &&
      !WriteHostConfiguration(options.configDirectory, listener.Port(), options.telnet, pages.title, error)) {
    Say(error);
    return kCannotRun;
  }
  std::printf("port %u\n", static_cast<unsigned>(listener.Port()));
  std::fflush(stdout);
  AcceptCallers(Host{options, script, punterFile, batch, pages, recorder}, listener);
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  HostOptions options;
  try {
    options = ParseHostOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const HostUsageError& e) {
    Say(e.message + " (try --help)");
    return kUsageError;
  }
  if (options.help) {
    std::fputs(kHostUsage, stdout);
    return 0;
  }
  if (options.version) {
    std::printf("morlen-host %s\n", kHostVersion);
    return 0;
  }
  return Run(options);
}
