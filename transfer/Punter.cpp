#include "transfer/Punter.h"

#include <algorithm>
#include <cstring>

using namespace punter;

namespace {

// The longest block, for the first reserve.
constexpr std::size_t kLongestBlock = 255;
constexpr std::size_t kTypicalChunk = 4096;

bool startsWith(const std::uint8_t* bytes, const char* word) { return std::memcmp(bytes, word, kWordSize) == 0; }

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

Punter::Punter(TransferLink& link, TransferScheduler& scheduler) : link(link), scheduler(scheduler) {}

void Punter::initiate() {
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
  scheduler.start(kHandshakeTimer, kHandshakePeriodMs, TransferScheduler::Repeat::Periodic);
}

void Punter::recieve(const std::uint8_t* bytes, std::size_t size) {
  if (!active || size == 0) return;
  buffer.insert(buffer.end(), bytes, bytes + size);
  while (active && step()) {
  }
  if (!active) {
    clearBuffer();
  } else if (bufferStart > 0) {
    // Less than a block is left, so compacting is cheap.
    buffer.erase(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(bufferStart));
    bufferStart = 0;
  }
}

void Punter::cancel() {
  if (!active) return;
  for (int i = 0; i < 3; ++i) writeWord(kBad);
  received.clear();
  finish(TransferEnd::CancelledByUser);
}

void Punter::timerFired(int id) {
  if (!active) return;
  if (id == kHandshakeTimer) {
    if (state == 1) {
      writeWord(kGoo);
    } else {
      scheduler.stop(kHandshakeTimer);
    }
  } else if (id == kGooTimer) {
    writeWord(kGoo);
  }
}

void Punter::connectionClosed() {
  if (active) finish(TransferEnd::ConnectionClosed);
}

bool Punter::step() {
  if (buffer.size() == bufferStart) return false;
  switch (expected) {
    case Word::Ack:
      return wordStep();
    case Word::Syn:
      return synStep();
    case Word::None:
      return blockStep();
  }
  return false;
}

bool Punter::wordStep() {
  if (buffer.size() - bufferStart < kWordSize) return false;
  const std::uint8_t* word = buffer.data() + bufferStart;
  if (startsWith(word, kAck)) {
    advance();
    clearBuffer();
    link.discardPendingInput();
    answer(kSendBlock);
  } else if (startsWith(word, kGoo)) {
    clearBuffer();
    answer(kGoo);
    state = 1;
    expected = Word::Ack;
  } else if (startsWith(word, kSendBlock)) {
    clearBuffer();
    answer(kGoo);
    expected = Word::Ack;
    scheduler.start(kGooTimer, kGooDelayMs, TransferScheduler::Repeat::Once);
  } else {
    // One reminder, however many stray words come: it goes out a while
    // after the last of them.
    ++retries;
    clearBuffer();
    scheduler.start(kGooTimer, kGooDelayMs, TransferScheduler::Repeat::Once);
  }
  return false;
}

bool Punter::synStep() {
  const auto begin = buffer.begin() + static_cast<std::ptrdiff_t>(bufferStart);
  const auto found = std::search(begin, buffer.end(), kSyn, kSyn + kWordSize);
  if (found == buffer.end()) {
    // Bytes before the word are not part of it; keep only what could be
    // its beginning, so that noise cannot pile up.
    const std::size_t available = buffer.size() - bufferStart;
    if (available >= kWordSize) bufferStart = buffer.size() - (kWordSize - 1);
    return false;
  }
  clearBuffer();
  link.discardPendingInput();
  if (state == 7) {
    answer(kSyn);
    finish(TransferEnd::Completed);
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
      received.insert(received.end(), block + kHeaderSize, block + need);
      ++blocks;
      retries = 0;
      last = final;
      if (!final) nextBlockSize = nextSize;
      break;
    }
    default:
      return false;
  }
  bufferStart += need;
  answer(kGoo);
  expected = Word::Ack;
  return true;
}

void Punter::advance() {
  switch (state) {
    case 1:
      scheduler.stop(kHandshakeTimer);
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
  ++retries;
  clearBuffer();
  answer(kBad);
  expected = Word::Ack;
  state = backTo;
}

void Punter::answer(const char* word) {
  scheduler.stop(kGooTimer);
  writeWord(word);
}

void Punter::writeWord(const char* word) { link.write(reinterpret_cast<const std::uint8_t*>(word), kWordSize); }

void Punter::clearBuffer() {
  buffer.clear();
  bufferStart = 0;
}

void Punter::finish(TransferEnd how) {
  active = false;
  ending = how;
  scheduler.stop(kHandshakeTimer);
  scheduler.stop(kGooTimer);
}
