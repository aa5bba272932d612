// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One caller's connection: sends what is queued (paced, and cut off after a
// byte budget when asked), records what arrives and passes it to the board.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "settings/ByteBuffer.h"
#include "host/morlen_host_recorder.h"
#include "host/morlen_host_telnet.h"

// What a board answers to the caller's key presses.
class HostResponder {
 public:
  virtual ~HostResponder() = default;
  // The bytes the caller sent, in order; returns the bytes to send back.
  virtual ByteBuffer Receive(const std::uint8_t* data, std::size_t size) = 0;
  // True once the board is done: the line closes after what it has sent.
  virtual bool Finished() const = 0;
};

struct SessionPacing {
  std::uint64_t delayMs = 0;  // between chunks; 0 sends everything as fast as the line takes it
  std::uint64_t chunkBytes = 1;
  std::optional<std::uint64_t> dropAfterBytes;
};

enum class SessionEnd {
  CallerHungUp,
  Dropped,          // SIGUSR1
  ByteBudgetSpent,  // --drop-after-bytes
  BoardFinished,
  Sent,       // Flush: everything queued has gone out
  Terminate,  // SIGTERM or SIGINT
};
const char* SessionEndText(SessionEnd end);

class HostSession {
 public:
  // Takes over fd, a non-blocking connected socket; the recorder may be null.
  HostSession(int fd, const SessionPacing& pacing, ByteRecorder* recorder);
  // A caller on two descriptors (standard input and output, which may be one
  // terminal), taken over as they are.
  HostSession(int readFd, int writeFd, const SessionPacing& pacing, ByteRecorder* recorder);
  ~HostSession();
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  // The line speaks telnet from now on: its opening goes first. Call it
  // before anything is queued.
  void UseTelnet(HostTelnet& telnet);
  void Queue(const ByteBuffer& bytes);
  // Sends, records and answers until the caller hangs up, the board
  // finishes, the budget is spent or a signal ends the connection. With no
  // responder the caller's bytes are only recorded.
  SessionEnd Serve(HostResponder* responder);
  // Sends what is queued without reading anything, so that the caller's
  // bytes stay in the socket for whoever takes the line over.
  SessionEnd Flush();
  // Hands the socket on (blocking again); the session no longer closes it.
  int Release();
  // Ends the line politely: our side is shut first, so the caller gets all
  // that was sent and then the end. With waitForCaller the caller's last
  // bytes are still recorded for a short while, until it closes too; that
  // also spares it a reset, which closing on unread bytes would send.
  void Close(bool waitForCaller);

 private:
  using Clock = std::chrono::steady_clock;
  SessionEnd Run(HostResponder* responder, bool reading);
  bool BudgetSpent() const;
  enum class ReadResult { Open, Ended, Broken };
  // Reads everything there is; Ended once the caller has shut its side.
  ReadResult ReadAvailable(HostResponder* responder);
  // False when the caller has gone.
  bool WriteSome();

  int fd_;
  int writeFd_;
  HostTelnet* telnet_ = nullptr;
  SessionPacing pacing_;
  ByteRecorder* recorder_;
  ByteBuffer queue_;
  std::size_t queueOffset_ = 0;
  std::uint64_t sent_ = 0;
  std::uint64_t chunkLeft_ = 0;
  Clock::time_point nextChunk_;
};
