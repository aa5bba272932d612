// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/morlen_host_session.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "host/morlen_host_signals.h"

namespace {
constexpr std::size_t kReadChunk = 4096;
// How long Close waits for the caller to hang up after our end is shut.
constexpr std::chrono::milliseconds kLinger{2000};
constexpr int kWaitForever = -1;
constexpr int kReadSlot = 0;
constexpr int kWriteSlot = 1;
constexpr int kSignalSlot = 2;
}  // namespace

const char* SessionEndText(SessionEnd end) {
  switch (end) {
    case SessionEnd::CallerHungUp: return "caller hung up";
    case SessionEnd::Dropped: return "dropped on request";
    case SessionEnd::ByteBudgetSpent: return "dropped after the byte budget";
    case SessionEnd::BoardFinished: return "board said goodbye";
    case SessionEnd::Sent: return "everything sent";
    case SessionEnd::Terminate: return "host stopping";
  }
  return "";
}

HostSession::HostSession(int fd, const SessionPacing& pacing, ByteRecorder* recorder)
    : HostSession(fd, fd, pacing, recorder) {}

HostSession::HostSession(int readFd, int writeFd, const SessionPacing& pacing, ByteRecorder* recorder)
    : fd_(readFd),
      writeFd_(writeFd),
      pacing_(pacing),
      recorder_(recorder),
      chunkLeft_(pacing.chunkBytes),
      nextChunk_(Clock::now()) {}

HostSession::~HostSession() {
  if (fd_ >= 0) close(fd_);
  if (writeFd_ != fd_ && writeFd_ >= 0) close(writeFd_);
}

void HostSession::UseTelnet(HostTelnet& telnet) {
  telnet_ = &telnet;
  telnet.Open(queue_);
}

void HostSession::Queue(const ByteBuffer& bytes) {
  if (telnet_ != nullptr)
    telnet_->Encode(bytes.data(), bytes.size(), queue_);
  else
    queue_.insert(queue_.end(), bytes.begin(), bytes.end());
}

SessionEnd HostSession::Serve(HostResponder* responder) { return Run(responder, true); }

SessionEnd HostSession::Flush() { return Run(nullptr, false); }

int HostSession::Release() {
  const int fd = fd_;
  fd_ = writeFd_ = -1;
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

bool HostSession::BudgetSpent() const { return pacing_.dropAfterBytes && sent_ >= *pacing_.dropAfterBytes; }

SessionEnd HostSession::Run(HostResponder* responder, bool reading) {
  bool callerDone = false;
  for (;;) {
    if (BudgetSpent()) return SessionEnd::ByteBudgetSpent;
    const bool queued = queueOffset_ < queue_.size();
    if (!queued && !reading) return callerDone ? SessionEnd::CallerHungUp : SessionEnd::Sent;
    if (!queued && responder != nullptr && responder->Finished()) return SessionEnd::BoardFinished;

    int timeout = kWaitForever;
    bool writeNow = queued;
    if (queued && pacing_.delayMs > 0) {
      const auto wait = std::chrono::ceil<std::chrono::milliseconds>(nextChunk_ - Clock::now());
      if (wait.count() > 0) {
        writeNow = false;
        timeout = static_cast<int>(wait.count());
      }
    }
    pollfd slots[3] = {};
    slots[kReadSlot].fd = fd_;
    slots[kReadSlot].events = reading ? POLLIN : 0;
    slots[kWriteSlot].fd = writeFd_;
    slots[kWriteSlot].events = writeNow ? POLLOUT : 0;
    slots[kSignalSlot].fd = HostSignalDescriptor();
    slots[kSignalSlot].events = POLLIN;
    if (poll(slots, 3, timeout) < 0) {
      if (errno == EINTR) continue;
      return SessionEnd::CallerHungUp;
    }
    if (slots[kSignalSlot].revents & POLLIN) {
      const HostSignal signal = TakeHostSignal();
      if (signal == HostSignal::Drop) return SessionEnd::Dropped;
      if (signal == HostSignal::Terminate) return SessionEnd::Terminate;
    }
    const short events = slots[kReadSlot].revents | slots[kWriteSlot].revents;
    if (reading && (slots[kReadSlot].revents & (POLLIN | POLLHUP | POLLERR))) {
      const ReadResult result = ReadAvailable(responder);
      if (result == ReadResult::Broken) return SessionEnd::CallerHungUp;
      if (result == ReadResult::Ended) {
        // A caller that only shut its sending side still gets what is
        // queued, the answer to its last keys included.
        reading = false;
        callerDone = true;
      }
    } else if (events & (POLLHUP | POLLERR)) {
      return SessionEnd::CallerHungUp;
    }
    if ((slots[kWriteSlot].revents & POLLOUT) && !WriteSome()) return SessionEnd::CallerHungUp;
  }
}

HostSession::ReadResult HostSession::ReadAvailable(HostResponder* responder) {
  std::uint8_t buffer[kReadChunk];
  for (;;) {
    // read and write rather than recv and send: the caller may be a terminal.
    const ssize_t n = read(fd_, buffer, sizeof buffer);
    if (n > 0) {
      const std::uint8_t* data = buffer;
      std::size_t size = static_cast<std::size_t>(n);
      if (telnet_ != nullptr) {
        // The caller's data alone; the answers to its negotiation go out first.
        const ByteBuffer& decoded = telnet_->Decode(buffer, size, queue_);
        data = decoded.data();
        size = decoded.size();
        if (size == 0) continue;
      }
      if (recorder_ != nullptr) recorder_->Write(data, size);
      if (responder != nullptr) Queue(responder->Receive(data, size));
      continue;
    }
    if (n == 0) return ReadResult::Ended;
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return ReadResult::Open;
    return ReadResult::Broken;
  }
}

bool HostSession::WriteSome() {
  std::size_t size = queue_.size() - queueOffset_;
  if (pacing_.delayMs > 0) size = std::min<std::uint64_t>(size, chunkLeft_);
  if (pacing_.dropAfterBytes) size = std::min<std::uint64_t>(size, *pacing_.dropAfterBytes - sent_);
  const ssize_t n = write(writeFd_, queue_.data() + queueOffset_, size);
  if (n < 0) return errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK;
  sent_ += static_cast<std::uint64_t>(n);
  queueOffset_ += static_cast<std::size_t>(n);
  if (queueOffset_ == queue_.size()) {
    queue_.clear();
    queueOffset_ = 0;
  }
  if (pacing_.delayMs > 0) {
    chunkLeft_ -= static_cast<std::uint64_t>(n);
    if (chunkLeft_ == 0) {
      chunkLeft_ = pacing_.chunkBytes;
      nextChunk_ = Clock::now() + std::chrono::milliseconds(pacing_.delayMs);
    }
  }
  return true;
}

void HostSession::Close(bool waitForCaller) {
  if (fd_ < 0) return;
  shutdown(writeFd_, SHUT_WR);
  const Clock::time_point deadline = Clock::now() + (waitForCaller ? kLinger : Clock::duration::zero());
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) break;
    pollfd slot{fd_, POLLIN, 0};
    // Any signal cuts the wait short; it stays in the signal pipe for the
    // accept loop, which acts on it.
    if (poll(&slot, 1, static_cast<int>(left.count())) <= 0) break;
    if (ReadAvailable(nullptr) != ReadResult::Open) break;
  }
  close(fd_);
  if (writeFd_ != fd_) close(writeFd_);
  fd_ = writeFd_ = -1;
}
