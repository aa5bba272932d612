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
constexpr int kSocketSlot = 0;
constexpr int kSignalSlot = 1;
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
    : fd_(fd),
      pacing_(pacing),
      recorder_(recorder),
      chunkLeft_(pacing.chunkBytes),
      nextChunk_(Clock::now()) {}

HostSession::~HostSession() {
  if (fd_ >= 0) close(fd_);
}

void HostSession::Queue(const ByteBuffer& bytes) { queue_.insert(queue_.end(), bytes.begin(), bytes.end()); }

SessionEnd HostSession::Serve(HostResponder* responder) { return Run(responder, true); }

SessionEnd HostSession::Flush() { return Run(nullptr, false); }

int HostSession::Release() {
  const int fd = fd_;
  fd_ = -1;
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
    pollfd slots[2] = {};
    slots[kSocketSlot].fd = fd_;
    slots[kSocketSlot].events = static_cast<short>((reading ? POLLIN : 0) | (writeNow ? POLLOUT : 0));
    slots[kSignalSlot].fd = HostSignalDescriptor();
    slots[kSignalSlot].events = POLLIN;
    if (poll(slots, 2, timeout) < 0) {
      if (errno == EINTR) continue;
      return SessionEnd::CallerHungUp;
    }
    if (slots[kSignalSlot].revents & POLLIN) {
      const HostSignal signal = TakeHostSignal();
      if (signal == HostSignal::Drop) return SessionEnd::Dropped;
      if (signal == HostSignal::Terminate) return SessionEnd::Terminate;
    }
    const short events = slots[kSocketSlot].revents;
    if (reading && (events & (POLLIN | POLLHUP | POLLERR))) {
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
    if ((events & POLLOUT) && !WriteSome()) return SessionEnd::CallerHungUp;
  }
}

HostSession::ReadResult HostSession::ReadAvailable(HostResponder* responder) {
  std::uint8_t buffer[kReadChunk];
  for (;;) {
    const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
    if (n > 0) {
      if (recorder_ != nullptr) recorder_->Write(buffer, static_cast<std::size_t>(n));
      if (responder != nullptr) Queue(responder->Receive(buffer, static_cast<std::size_t>(n)));
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
  const ssize_t n = send(fd_, queue_.data() + queueOffset_, size, MSG_NOSIGNAL);
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
  shutdown(fd_, SHUT_WR);
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
  fd_ = -1;
}
