// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/MultiPunterReceive.h"

using namespace multi_punter;

namespace {
constexpr char kTypeSeparator = ',';
constexpr std::uint32_t kAckBytes = 'A' << 16 | 'C' << 8 | 'K';
constexpr std::uint32_t kWordBytes = 0xFFFFFF;

// A letter in either case, ASCII or PETSCII: "ACK" after one is part of a
// word the board prints ("BACK"), not the sender's answer.
bool isLetter(std::uint8_t b) {
  const auto lower = static_cast<std::uint8_t>(b | 0x20);
  return (lower >= 'a' && lower <= 'z') || (b >= 0xC1 && b <= 0xDA);
}
}

MultiPunterReceive::MultiPunterReceive(TransferLink& link, const TransferClock& clock)
    : link(link), timers(clock), file(link, clock) {}

void MultiPunterReceive::initiate() {
  active = true;
  ending = TransferEnd::Running;
  batch.clear();
  scan = Scan::LeadIn;
  run = 0;
  header.clear();
  waitForAnnouncement();
}

void MultiPunterReceive::waitForAnnouncement() {
  lastBytes = 0;
  calls = 0;
  timers.startPeriodic(kCallTimer, kCallPeriodMs, kCallPeriodMs);
}

void MultiPunterReceive::receive(const std::uint8_t* bytes, std::size_t size) {
  if (!active || size == 0) return;
  if (batch.inFile()) {
    fileMoved(batch.receive(bytes, size));
    return;
  }
  scanHeader(bytes, size);
}

void MultiPunterReceive::scanHeader(const std::uint8_t* bytes, std::size_t size) {
  for (std::size_t i = 0; i < size && active && !batch.inFile(); ++i) {
    const std::uint8_t b = bytes[i];
    switch (scan) {
      case Scan::LeadIn:
        // Only after a call, and not as part of a longer word.
        lastBytes = lastBytes << 8 | b;
        if ((lastBytes & kWordBytes) == kAckBytes && calls > 0 && !isLetter(static_cast<std::uint8_t>(lastBytes >> 24))) {
          startUnannounced();
          break;
        }
        // What the board prints between files is not part of the batch.
        if (b == kLeadIn) {
          ++run;
        } else if (run >= kShortestRun && b == kBatchEnd) {
          scan = Scan::BatchEnd;
        } else if (run >= kShortestRun) {
          scan = Scan::Header;
          header.assign(1, static_cast<char>(b));
        } else {
          run = 0;
        }
        break;
      case Scan::Header:
        if (b == kReturn) {
          startFile();
        } else if (header.size() == kLongestHeader) {
          finish(TransferEnd::HeaderTooLong);
        } else {
          header.push_back(static_cast<char>(b));
        }
        break;
      case Scan::BatchEnd:
        if (b == kReturn) {
          finish(TransferEnd::Completed);
        } else if (b != kBatchEnd) {
          scan = Scan::LeadIn;
          run = 0;
        }
        break;
    }
  }
  // What came after the announcement in the same read is older than the
  // "GOO" that starts the file.
}

void MultiPunterReceive::startFile() {
  if (batch.full()) {
    finish(TransferEnd::TooManyFiles);
    return;
  }
  // NAME,S or NAME,P; a name may hold commas of its own.
  const std::size_t comma = header.rfind(kTypeSeparator);
  const bool typed = comma != std::string::npos && header.size() - comma == 2;
  batch.start(typed ? header.substr(0, comma) : header);
  type = typed ? header.back() : 0;
  header.clear();
  scan = Scan::LeadIn;
  run = 0;
  timers.stop(kCallTimer);
  // The sender waits for the call: the first one goes out after the short wait.
  file.initiate(Punter::kAnswerDelayMs);
}

void MultiPunterReceive::startUnannounced() {
  if (batch.full()) {
    finish(TransferEnd::TooManyFiles);
    return;
  }
  batch.start({});
  type = 0;
  scan = Scan::LeadIn;
  run = 0;
  timers.stop(kCallTimer);
  file.initiate();
  file.recieve(reinterpret_cast<const std::uint8_t*>(punter::kAck), punter::kWordSize);
}

void MultiPunterReceive::fileMoved(std::optional<TransferEnd> fileEnd) {
  if (!fileEnd) return;
  if (*fileEnd != TransferEnd::Completed) {
    // The batch stops with the file; the files before it are kept.
    finish(*fileEnd);
    return;
  }
  waitForAnnouncement();
}

std::optional<TransferMs> MultiPunterReceive::deadline() const {
  if (!active) return std::nullopt;
  return batch.inFile() ? batch.deadline() : timers.next();
}

void MultiPunterReceive::timeout() {
  if (!active) return;
  if (batch.inFile()) {
    fileMoved(batch.timeout());
    return;
  }
  for (int id; active && !batch.inFile() && (id = timers.takeDue()) >= 0;) {
    if (id != kCallTimer) continue;
    if (calls == kMaxUnanswered) {
      finish(TransferEnd::NoAnswer);
    } else {
      ++calls;
      lastBytes = 0;
      link.write(reinterpret_cast<const std::uint8_t*>(punter::kGoo), punter::kWordSize);
    }
  }
}

void MultiPunterReceive::cancel() {
  if (!active) return;
  // Between files the sender waits for a call that will not come.
  batch.cancel();
  finish(TransferEnd::CancelledByUser);
}

void MultiPunterReceive::connectionClosed() {
  if (!active) return;
  batch.connectionClosed();
  finish(TransferEnd::ConnectionClosed);
}

void MultiPunterReceive::finish(TransferEnd how) {
  active = false;
  ending = how;
  timers.stopAll();
  header.clear();
  header.shrink_to_fit();
}
