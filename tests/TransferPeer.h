// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs a transfer engine against a real transfer program: the program's
// standard input and output are one end of a TCP connection on 127.0.0.1,
// the engine has the other end, a poll loop and real time, as it would in
// the terminal. Used by the interoperability tests and the benchmarks.
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "net/TelnetLayer.h"
#include "transfer/FileTransfer.h"
#include "transfer/TransferClock.h"
#include "transfer/TransferEnd.h"
#include "transfer/TransferLink.h"
#include "transfer/Xmodem.h"

// A program started with a loopback connection as its standard input and
// output. Stderr goes to `stderrPath` (or is dropped when empty).
class PeerProgram {
 public:
  // The program talks over a fresh connection; `ourEnd` is the other end.
  static std::optional<PeerProgram> start(const std::vector<std::string>& argv, const std::string& stderrPath);
  // The program talks over `connection`, an end of an existing one.
  static std::optional<PeerProgram> startOn(int connection, const std::vector<std::string>& argv,
                                            const std::string& stderrPath);
  PeerProgram(PeerProgram&& other) noexcept;
  PeerProgram& operator=(PeerProgram&&) = delete;
  ~PeerProgram();

  int ourEnd() const { return fd; }
  // Closes our end (once) and waits for the program; its exit status, or
  // -1 when it did not exit normally.
  int finish();

 private:
  PeerProgram(pid_t pid, int fd) : pid(pid), fd(fd) {}
  pid_t pid = -1;
  int fd = -1;
  int status = -1;
};

// A connected pair of loopback TCP sockets, both with small writes sent at once.
bool loopbackPair(int& a, int& b);

// A connection to 127.0.0.1:port, small writes sent at once; -1 on failure.
int connectLoopback(std::uint16_t port);

class SocketLink : public TransferLink {
 public:
  explicit SocketLink(int fd) : fd(fd) {}
  void write(const std::uint8_t* bytes, std::size_t size) override;
  void discardPendingInput() override;

  // Stands for a sender that only knows checksum mode: it never sees "C".
  bool dropCrcRequests = false;
  bool broken = false;  // a write failed

 private:
  int fd;
};

// The telnet layer between a socket and an engine, as the terminal puts it
// for a telnet entry: the engine writes through it, and runTransfer hands
// received bytes to it, which passes the data on to the engine.
class TelnetSocketLink : public TransferLink, public TelnetPeer {
 public:
  explicit TelnetSocketLink(int fd) : socket(fd) {}
  void attach(FileTransfer& engine) { transfer = &engine; }
  TelnetLayer& layer() { return telnet; }
  void write(const std::uint8_t* bytes, std::size_t size) override { telnet.Send(bytes, size); }
  void discardPendingInput() override { socket.discardPendingInput(); }
  void TelnetData(const std::uint8_t* data, std::size_t length) override {
    if (transfer) transfer->receive(data, length);
  }
  void TelnetWrite(const std::uint8_t* data, std::size_t length) override { socket.write(data, length); }
  void Notice(TelnetNotice) override {}

 private:
  SocketLink socket;
  TelnetLayer telnet{*this};
  FileTransfer* transfer = nullptr;
};

// Real time for the engines, `speedUp` times faster, so that tests need
// not wait out the protocol's seconds.
class RealTimeClock : public TransferClock {
 public:
  using Clock = std::chrono::steady_clock;
  explicit RealTimeClock(double speedUp) : speedUp(speedUp), start(Clock::now()) {}
  TransferMs now() const override;
  // When the engine's moment `when` comes in real time.
  Clock::time_point realTime(TransferMs when) const;

 private:
  double speedUp;
  Clock::time_point start;
};

struct PeerRunResult {
  TransferEnd end = TransferEnd::Running;
  double seconds = 0;  // from the start of the engine to its end
  double dataSeconds = 0;  // a send: until the last block was acknowledged
  bool timedOut = false;
};

// Drives `engine` (already started) over `fd` until it ends, the line
// closes or `limit` passes. Reads at most 4096 bytes at a time, as the
// terminal does. With `damageEvery`, every so many received bytes one is
// damaged on its way to the engine, as by a noisy line. `dataSeconds` is
// taken when a send has nothing left to send. With `telnet`, what is read
// goes to that layer instead, which feeds the engine.
PeerRunResult runTransfer(FileTransfer& engine, int fd, const RealTimeClock& clock, std::chrono::seconds limit,
                          std::size_t damageEvery = 0, bool sending = false, TelnetLayer* telnet = nullptr);
