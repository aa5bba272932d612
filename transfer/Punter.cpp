// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/Punter.h"

#include <algorithm>
#include <cstring>

using namespace punter;

namespace {

// The longest block, for the first reserve.
constexpr std::size_t kLongestBlock = 255;
constexpr std::size_t kTypicalChunk = 4096;

bool startsWith(const std::uint8_t* bytes, const char* word) { return std::memcmp(bytes, word, kWordSize) == 0; }

// Whether `word` is among the buffered bytes. Of the others only what
// could begin it is kept, so that what the board prints meanwhile cannot
// pile up.
bool findWord(ByteBuffer& buffer, std::size_t& start, const char* word) {
  const auto begin = buffer.begin() + static_cast<std::ptrdiff_t>(start);
  if (std::search(begin, buffer.end(), word, word + kWordSize) != buffer.end()) return true;
  if (buffer.size() - start >= kWordSize) start = buffer.size() - (kWordSize - 1);
  return false;
}

std::uint16_t littleEndian(const std::uint8_t* bytes) { return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8); }

}  // namespace

namespace punter {

std::uint16_t additiveChecksum(const std::uint8_t* bytes, std::size_t size) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < size; ++i) sum += bytes[i];
  return static_cast<std::uint16_t>(sum);
}

std::uint16_t cyclicChecksum(const std::uint8_t* bytes, std::size_t size) {
  std::uint16_t value = 0;
  for (std::size_t i = 0; i < size; ++i) {
    value ^= bytes[i];
    value = static_cast<std::uint16_t>(value << 1 | value >> 15);
  }
  return value;
}

bool blockIntact(const std::uint8_t* block, std::size_t size) {
  if (size < kHeaderSize) return false;
  const std::uint8_t* covered = block + kChecksummedFrom;
  const std::size_t count = size - kChecksummedFrom;
  return littleEndian(block) == additiveChecksum(covered, count) &&
         littleEndian(block + 2) == cyclicChecksum(covered, count);
}

}  // namespace punter

Punter::Punter(TransferLink& link, const TransferClock& clock) : link(link), timers(clock) {}

void Punter::initiate(std::uint32_t firstCallMs) {
  active = true;
  ending = TransferEnd::Running;
  retries = 0;
  blocks = 0;
  received.clear();
  buffer.clear();
  buffer.reserve(kLongestBlock + kTypicalChunk);
  bufferStart = 0;
  state = 1;
  expected = Word::Ack;
  nextBlockSize = kHeaderSize;
  last = false;
  calling = true;
  pendingWord = nullptr;
  completeWhenSent = false;
  lastWord = kGoo;
  unanswered = 0;
  resends = 0;
  timers.stopAll();
  timers.startPeriodic(kHandshakeTimer, firstCallMs, kHandshakePeriodMs);
}

void Punter::recieve(const std::uint8_t* bytes, std::size_t size) {
  if (!active || size == 0) return;
  // The sender waits for the word about to go out; nothing it sends before
  // can be an answer to it.
  if (pendingWord != nullptr) return;
  // A block on its way is no silence.
  if (expected == Word::None) timers.start(kResendTimer, kResendMs);
  buffer.insert(buffer.end(), bytes, bytes + size);
  while (active && pendingWord == nullptr && step()) {
  }
  if (!active || pendingWord != nullptr) {
    clearBuffer();
  } else if (bufferStart > 0) {
    // Less than a block is left, so compacting is cheap.
    buffer.erase(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(bufferStart));
    bufferStart = 0;
  }
}

void Punter::cancel() {
  if (active) abort(TransferEnd::CancelledByUser);
}

void Punter::timeout() {
  for (int id; active && (id = timers.takeDue()) >= 0;) timerFired(id);
}

void Punter::timerFired(int id) {
  if (!active) return;
  switch (id) {
    case kHandshakeTimer:
      handshakeTick();
      break;
    case kAnswerTimer:
      sendAnswer();
      break;
    case kResendTimer:
      resend();
      break;
    default:
      break;
  }
}

void Punter::connectionClosed() {
  if (active) finish(TransferEnd::ConnectionClosed);
}

bool Punter::step() {
  if (buffer.size() == bufferStart) return false;
  switch (expected) {
    case Word::Ack:
      return state == 1 ? callStep() : wordStep();
    case Word::Syn:
      return synStep();
    case Word::None:
      return blockStep();
  }
  return false;
}

bool Punter::callStep() {
  // Whatever the board prints before its "ACK" is not part of the exchange.
  if (!findWord(buffer, bufferStart, kAck)) return false;
  clearBuffer();
  if (calling) {
    calling = false;
    timers.stop(kHandshakeTimer);
  }
  advance();
  answer(kSendBlock);
  return false;
}

bool Punter::wordStep() {
  if (buffer.size() - bufferStart < kWordSize) return false;
  const std::uint8_t* word = buffer.data() + bufferStart;
  if (startsWith(word, kAck)) {
    clearBuffer();
    advance();
    answer(kSendBlock);
  } else if (startsWith(word, kGoo)) {
    clearBuffer();
    state = 1;
    expected = Word::Ack;
    answer(kGoo);
  } else if (startsWith(word, kSendBlock)) {
    clearBuffer();
    expected = Word::Ack;
    answer(kGoo);
  } else {
    // No answer: the resend of the last word brings the sender back.
    clearBuffer();
    retry();
  }
  return false;
}

bool Punter::synStep() {
  if (!findWord(buffer, bufferStart, kSyn)) return false;
  clearBuffer();
  if (state == 7) {
    answer(kSyn, true);
    return false;
  }
  advance();
  answer(kSyn);
  return false;
}

bool Punter::blockStep() {
  const std::size_t need = state == 2 ? kFileTypeBlockSize : state == 5 ? kHeaderSize : nextBlockSize;
  if (buffer.size() - bufferStart < need) return false;
  const std::uint8_t* block = buffer.data() + bufferStart;
  const bool intact = blockIntact(block, need);
  const std::uint8_t nextSize = block[kNextSizeAt];
  switch (state) {
    case 2:  // the file type, not used
      if (!intact) {
        badBlock(1);
        return false;
      }
      break;
    case 5:  // header only: announces the first data block
      if (!intact || nextSize < kHeaderSize) {
        badBlock(4);
        return false;
      }
      nextBlockSize = nextSize;
      break;
    case 6: {
      const bool final = block[kFinalMarkAt] == kFinalBlock;
      // The final block announces nothing; any other must announce a size
      // that can hold a header.
      if (!intact || (!final && nextSize < kHeaderSize)) {
        badBlock(5);
        return false;
      }
      if (received.size() + (need - kHeaderSize) > transfer_limits::kLargestFile) {
        abort(TransferEnd::FileTooLarge);
        return false;
      }
      received.insert(received.end(), block + kHeaderSize, block + need);
      ++blocks;
      last = final;
      if (!final) nextBlockSize = nextSize;
      break;
    }
    default:
      return false;
  }
  retries = 0;
  bufferStart += need;
  expected = Word::Ack;
  answer(kGoo);
  return true;
}

void Punter::advance() {
  switch (state) {
    case 1:
      state = 2;
      expected = Word::None;
      break;
    case 2:
      state = 3;
      expected = Word::Syn;
      break;
    case 3:
      state = 4;
      expected = Word::Ack;
      break;
    case 4:
      state = 5;
      expected = Word::None;
      break;
    case 5:
      state = 6;
      expected = Word::None;
      break;
    case 6:
      if (last) {
        state = 7;
        expected = Word::Syn;
      } else {
        expected = Word::None;
      }
      break;
    default:
      break;
  }
}

void Punter::badBlock(std::uint8_t backTo) {
  // One state back: the sender's "ACK" advances it again, "S/B" follows and
  // the same block comes anew.
  if (!retry()) return;
  clearBuffer();
  expected = Word::Ack;
  state = backTo;
  answer(kBad);
}

bool Punter::retry() {
  if (retries >= kMaxRetries) {
    abort(TransferEnd::TooManyErrors);
    return false;
  }
  ++retries;
  return true;
}

void Punter::answer(const char* word, bool thenComplete) {
  pendingWord = word;
  completeWhenSent = thenComplete;
  unanswered = 0;
  timers.stop(kResendTimer);
  timers.start(kAnswerTimer, kAnswerDelayMs);
}

void Punter::sendAnswer() {
  if (pendingWord == nullptr) return;
  const char* word = std::exchange(pendingWord, nullptr);
  // As a C64 does before it speaks: what is waiting on the line is stale.
  clearBuffer();
  link.discardPendingInput();
  writeWord(word);
  lastWord = word;
  if (completeWhenSent) {
    finish(TransferEnd::Completed);
    return;
  }
  timers.start(kResendTimer, kResendMs);
}

void Punter::handshakeTick() {
  if (!calling || state != 1) {
    timers.stop(kHandshakeTimer);
    return;
  }
  if (unanswered >= kMaxUnanswered) {
    finish(TransferEnd::NoAnswer);
    return;
  }
  ++unanswered;
  writeWord(kGoo);
}

void Punter::resend() {
  if (pendingWord != nullptr || lastWord == nullptr) return;
  if (unanswered >= kMaxUnanswered) {
    finish(TransferEnd::NoAnswer);
    return;
  }
  ++unanswered;
  ++resends;
  // Part of a block that stopped coming will come again whole.
  clearBuffer();
  link.discardPendingInput();
  writeWord(lastWord);
  timers.start(kResendTimer, kResendMs);
}

void Punter::writeWord(const char* word) { link.write(reinterpret_cast<const std::uint8_t*>(word), kWordSize); }

void Punter::abort(TransferEnd how) {
  for (int i = 0; i < 3; ++i) writeWord(kBad);
  received.clear();
  finish(how);
}

void Punter::clearBuffer() {
  buffer.clear();
  bufferStart = 0;
}

void Punter::finish(TransferEnd how) {
  active = false;
  ending = how;
  pendingWord = nullptr;
  timers.stop(kHandshakeTimer);
  timers.stop(kAnswerTimer);
  timers.stop(kResendTimer);
}
