// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/morlen_host_punter.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "host/morlen_host_signals.h"
#include "transfer/MultiPunterReceive.h"
#include "transfer/Punter.h"
#include "transfer/PunterSend.h"

using namespace punter;

namespace {
constexpr int kSilenceMs = 60000;
constexpr std::size_t kReadChunk = 256;
constexpr int kSocketSlot = 0;
constexpr int kSignalSlot = 1;
const char* const kReceiverWords[] = {kGoo, kBad, kSendBlock, kSyn};

ByteBuffer MakeBlock(std::uint8_t nextSize, std::uint16_t number, const std::uint8_t* data, std::size_t size) {
  ByteBuffer block;
  buildBlock(block, nextSize, number, data, size);
  return block;
}

ByteBuffer Word(const char* word) { return ByteBuffer(word, word + kWordSize); }

// What the sender sends, one item per "S/B": the file type, "SYN", the
// header-only block, the data blocks (the last marked final), "SYN".
std::vector<ByteBuffer> Items(const ByteBuffer& file, std::uint8_t type = kProgramFile) {
  std::vector<ByteBuffer> items{MakeBlock(kHeaderSize, 0, &type, 1), Word(kSyn)};
  const std::size_t blocks = std::max<std::size_t>(1, (file.size() + kLargestData - 1) / kLargestData);
  auto sizeOf = [&](std::size_t i) { return std::min(kLargestData, file.size() - i * kLargestData); };
  items.push_back(MakeBlock(static_cast<std::uint8_t>(kHeaderSize + sizeOf(0)), 0, nullptr, 0));
  for (std::size_t i = 0; i < blocks; ++i) {
    const bool final = i + 1 == blocks;
    const std::uint8_t next = final ? 0 : static_cast<std::uint8_t>(kHeaderSize + sizeOf(i + 1));
    const std::uint16_t number = static_cast<std::uint16_t>((final ? kFinalBlock << 8 : 0) | ((i + 1) & 0xFF));
    items.push_back(MakeBlock(next, number, file.data() + i * kLargestData, sizeOf(i)));
  }
  items.push_back(Word(kSyn));
  return items;
}

class Line {
 public:
  explicit Line(int fd) : fd_(fd) {}

  // Sends `bytes`, then drops what arrives while they are going out.
  bool Send(const ByteBuffer& bytes) {
    if (send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(bytes.size())) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(kPunterFlushMs));
    std::uint8_t flushed[kReadChunk];
    for (ssize_t n; (n = recv(fd_, flushed, sizeof flushed, MSG_DONTWAIT)) > 0;)
      dropped_ += static_cast<std::size_t>(n);
    heard_.clear();
    return true;
  }

  // Bytes of the caller's dropped so far.
  std::size_t Dropped() const { return dropped_; }

  // The receiver's next word; empty when the line ended (`end` says how).
  std::string NextWord(SessionEnd& end) {
    for (;;) {
      std::size_t at = heard_.size();
      const char* found = nullptr;
      for (const char* word : kReceiverWords) {
        const std::size_t where = heard_.find(word, 0, kWordSize);
        if (where < at) {
          at = where;
          found = word;
        }
      }
      if (found != nullptr) {
        heard_.erase(0, at + kWordSize);
        return found;
      }
      // Only what could begin a word is kept.
      if (heard_.size() >= kWordSize) heard_.erase(0, heard_.size() - (kWordSize - 1));
      if (!Read(end)) return {};
    }
  }

 private:
  bool Read(SessionEnd& end) {
    pollfd slots[2] = {};
    slots[kSocketSlot] = {fd_, POLLIN, 0};
    slots[kSignalSlot] = {HostSignalDescriptor(), POLLIN, 0};
    const int ready = poll(slots, 2, kSilenceMs);
    if (ready < 0 && errno == EINTR) return true;
    if (ready <= 0) {
      end = SessionEnd::CallerHungUp;
      return false;
    }
    if (slots[kSignalSlot].revents & POLLIN) {
      const HostSignal signal = TakeHostSignal();
      if (signal == HostSignal::Drop || signal == HostSignal::Terminate) {
        end = signal == HostSignal::Drop ? SessionEnd::Dropped : SessionEnd::Terminate;
        return false;
      }
    }
    if (!(slots[kSocketSlot].revents & (POLLIN | POLLHUP | POLLERR))) return true;
    char chunk[kReadChunk];
    const ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
    if (n < 0 && errno == EINTR) return true;
    if (n <= 0) {
      end = SessionEnd::CallerHungUp;
      return false;
    }
    heard_.append(chunk, static_cast<std::size_t>(n));
    return true;
  }

  int fd_;
  std::string heard_;
  std::size_t dropped_ = 0;
};

SessionEnd Report(SessionEnd end, const Line& line) {
  std::fprintf(stderr, "morlen-host: punter: %s, %zu bytes of the caller's dropped\n",
               end == SessionEnd::BoardFinished ? "file sent" : "transfer stopped", line.Dropped());
  return end;
}

// Sends one file; BoardFinished once the receiver has answered the closing "SYN".
SessionEnd SendFile(Line& line, const ByteBuffer& file, std::uint8_t type = kProgramFile) {
  const std::vector<ByteBuffer> items = Items(file, type);
  enum class Awaiting { Start, SendBlock, Verdict, SynReply } awaiting = Awaiting::Start;
  std::size_t next = 0;
  SessionEnd end = SessionEnd::CallerHungUp;
  // A word that does not fit the exchange is left unanswered.
  for (;;) {
    const std::string word = line.NextWord(end);
    if (word.empty()) return end;
    bool sent = true;
    switch (awaiting) {
      case Awaiting::Start:
        if (word != kGoo) continue;
        sent = line.Send(Word(kAck));
        awaiting = Awaiting::SendBlock;
        break;
      case Awaiting::SendBlock:
        if (word != kSendBlock) continue;
        sent = line.Send(items[next]);
        awaiting = items[next] == Word(kSyn) ? Awaiting::SynReply : Awaiting::Verdict;
        break;
      case Awaiting::Verdict:
        if (word != kGoo && word != kBad) continue;
        if (word == kGoo) ++next;
        sent = line.Send(Word(kAck));
        awaiting = Awaiting::SendBlock;
        break;
      case Awaiting::SynReply:
        if (word != kSyn) continue;
        if (next + 1 == items.size()) return SessionEnd::BoardFinished;
        ++next;
        sent = line.Send(Word(kAck));
        awaiting = Awaiting::SendBlock;
        break;
    }
    if (!sent) return SessionEnd::CallerHungUp;
  }
}

// A file name as a C64 board keeps it: letters unshifted (capitals).
ByteBuffer PetsciiName(const std::string& name) {
  ByteBuffer petscii;
  for (const char c : name) petscii.push_back(static_cast<std::uint8_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c));
  return petscii;
}
}  // namespace

SessionEnd SendWithPunter(int fd, const ByteBuffer& file) {
  Line line(fd);
  return Report(SendFile(line, file), line);
}

SessionEnd SendWithMultiPunter(int fd, const std::vector<HostFile>& files) {
  using namespace multi_punter;
  Line line(fd);
  for (const HostFile& file : files) {
    const std::uint8_t type = punterFileTypeOf(file.name);
    ByteBuffer announcement(kLeadInRun, kLeadIn);
    const ByteBuffer name = PetsciiName(file.name);
    announcement.insert(announcement.end(), name.begin(), name.end());
    announcement.push_back(',');
    announcement.push_back(type == punter::kSequentialFile ? 'S' : 'P');
    announcement.push_back(kReturn);
    if (!line.Send(announcement)) return Report(SessionEnd::CallerHungUp, line);
    const SessionEnd end = SendFile(line, file.bytes, type);
    if (end != SessionEnd::BoardFinished) return Report(end, line);
  }
  ByteBuffer batchEnd(kLeadInRun, kLeadIn);
  batchEnd.insert(batchEnd.end(), kLeadInRun, kBatchEnd);
  batchEnd.push_back(kReturn);
  return Report(line.Send(batchEnd) ? SessionEnd::BoardFinished : SessionEnd::CallerHungUp, line);
}
