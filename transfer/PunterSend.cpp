// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/PunterSend.h"

#include <algorithm>
#include <cctype>
#include <cstring>

using namespace punter;

namespace {

const char* const kReceiverWords[] = {kGoo, kBad, kSendBlock, kSyn};
constexpr const char* kSequentialExtension = ".seq";
// Block numbers count on below the final block's mark.
constexpr std::uint32_t kNumberWrap = 0xFF00;

bool is(const char* word, const char* other) { return std::memcmp(word, other, kWordSize) == 0; }

}  // namespace

namespace punter {

void buildBlock(ByteBuffer& block, std::uint8_t nextSize, std::uint16_t number, const std::uint8_t* data,
                std::size_t size) {
  block.assign(kHeaderSize, 0);
  block[kNextSizeAt] = nextSize;
  block[5] = static_cast<std::uint8_t>(number);
  block[kFinalMarkAt] = static_cast<std::uint8_t>(number >> 8);
  block.insert(block.end(), data, data + size);
  const std::uint8_t* covered = block.data() + kChecksummedFrom;
  const std::size_t count = block.size() - kChecksummedFrom;
  const std::uint16_t additive = additiveChecksum(covered, count);
  const std::uint16_t cyclic = cyclicChecksum(covered, count);
  block[0] = static_cast<std::uint8_t>(additive);
  block[1] = static_cast<std::uint8_t>(additive >> 8);
  block[2] = static_cast<std::uint8_t>(cyclic);
  block[3] = static_cast<std::uint8_t>(cyclic >> 8);
}

}  // namespace punter

std::uint8_t punterFileTypeOf(const std::string& name) {
  const std::size_t length = std::strlen(kSequentialExtension);
  if (name.size() < length) return kProgramFile;
  std::string ending = name.substr(name.size() - length);
  for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ending == kSequentialExtension ? kSequentialFile : kProgramFile;
}

PunterSend::PunterSend(TransferLink& link, const TransferClock& clock) : link(link), timers(clock) {}

void PunterSend::initiate(ByteBuffer bytes, std::uint8_t type) {
  file = std::move(bytes);
  fileType = type;
  dataBlocks = std::max<std::size_t>(1, (file.size() + kLargestData - 1) / kLargestData);
  next = 0;
  awaiting = Awaiting::Call;
  heardBytes.clear();
  pending = completeWhenSent = false;
  active = true;
  retries = unanswered = resends = 0;
  ending = TransferEnd::Running;
  timers.stopAll();
  // Waiting for the receiver's first call is counted like a silence.
  timers.start(kResendTimer, kResendMs);
}

void PunterSend::receive(const std::uint8_t* bytes, std::size_t size) {
  // The receiver waits for what is about to go out; nothing it says before
  // can be an answer to it.
  if (!active || pending) return;
  for (std::size_t i = 0; i < size; ++i) {
    heardBytes.push_back(bytes[i]);
    if (heardBytes.size() < kWordSize) continue;
    const char* said = reinterpret_cast<const char*>(heardBytes.data());
    const auto word = std::find_if(std::begin(kReceiverWords), std::end(kReceiverWords),
                                   [&](const char* w) { return is(said, w); });
    if (word == std::end(kReceiverWords)) {
      heardBytes.erase(heardBytes.begin());
      continue;
    }
    heardBytes.clear();
    heard(*word);
    // What follows the word in this read is older than the answer to it.
    if (pending || !active) return;
  }
}

void PunterSend::heard(const char* word) {
  unanswered = 0;
  switch (awaiting) {
    case Awaiting::Call:
      if (!is(word, kGoo)) return;
      awaiting = Awaiting::SendBlock;
      answerWord(kAck);
      return;
    case Awaiting::SendBlock:
      if (is(word, kSendBlock)) {
        awaiting = isSyn(next) ? Awaiting::SynReply : Awaiting::Verdict;
        answerItem();
      } else {
        // The receiver says its last word again: the "ACK" to it was lost.
        answerWord(kAck);
      }
      return;
    case Awaiting::Verdict:
      if (is(word, kGoo)) {
        ++next;
        retries = 0;
      } else if (is(word, kBad)) {
        if (retries >= kMaxRetries) {
          finish(TransferEnd::TooManyErrors);
          return;
        }
        ++retries;
      } else if (is(word, kSendBlock)) {
        // The block did not arrive.
        answerItem();
        return;
      } else {
        return;
      }
      awaiting = Awaiting::SendBlock;
      answerWord(kAck);
      return;
    case Awaiting::SynReply:
      if (is(word, kSendBlock)) {
        answerItem();
      } else if (is(word, kSyn) && next + 1 == itemCount()) {
        // The last word of the exchange.
        answerWord(kSendBlock, true);
      } else if (is(word, kSyn)) {
        ++next;
        awaiting = Awaiting::SendBlock;
        answerWord(kAck);
      }
      return;
  }
}

void PunterSend::answerWord(const char* word, bool thenComplete) {
  out.assign(word, word + kWordSize);
  queue(thenComplete);
}

void PunterSend::answerItem() {
  buildItem(next);
  queue(false);
}

void PunterSend::queue(bool thenComplete) {
  completeWhenSent = thenComplete;
  pending = true;
  timers.stop(kResendTimer);
  timers.start(kAnswerTimer, kAnswerDelayMs);
}

void PunterSend::buildItem(std::size_t item) {
  auto sizeOf = [&](std::size_t block) { return std::min(kLargestData, file.size() - block * kLargestData); };
  if (isSyn(item)) {
    out.assign(kSyn, kSyn + kWordSize);
  } else if (item == 0) {
    buildBlock(out, kHeaderSize, 0, &fileType, 1);
  } else if (item + 1 == kFirstData) {
    buildBlock(out, static_cast<std::uint8_t>(kHeaderSize + sizeOf(0)), 0, nullptr, 0);
  } else {
    const std::size_t block = item - kFirstData;
    const bool final = block + 1 == dataBlocks;
    const std::uint8_t nextSize = final ? 0 : static_cast<std::uint8_t>(kHeaderSize + sizeOf(block + 1));
    const auto count = static_cast<std::uint32_t>((block + 1) % kNumberWrap);
    const auto number = static_cast<std::uint16_t>(final ? (kFinalBlock << 8 | (count & 0xFF)) : count);
    buildBlock(out, nextSize, number, file.data() + block * kLargestData, sizeOf(block));
  }
}

void PunterSend::timeout() {
  for (int id; active && (id = timers.takeDue()) >= 0;) {
    if (id == kAnswerTimer) sendPending();
    if (id == kResendTimer) resend();
  }
}

void PunterSend::sendPending() {
  if (!pending) return;
  pending = false;
  write();
  if (completeWhenSent) {
    finish(TransferEnd::Completed);
    return;
  }
  timers.start(kResendTimer, kResendMs);
}

void PunterSend::resend() {
  if (pending) return;
  if (unanswered >= kMaxUnanswered) {
    finish(TransferEnd::NoAnswer);
    return;
  }
  ++unanswered;
  timers.start(kResendTimer, kResendMs);
  if (awaiting == Awaiting::Call) return;  // nothing said yet
  ++resends;
  write();
}

void PunterSend::write() {
  // As a C64 does before it speaks: what is waiting on the line is stale.
  heardBytes.clear();
  link.discardPendingInput();
  link.write(out.data(), out.size());
}

void PunterSend::cancel() {
  if (active) finish(TransferEnd::CancelledByUser);
}

void PunterSend::connectionClosed() {
  if (!active) return;
  // The receiver's closing "SYN" said it has the whole file; a board that
  // hangs up before the last "S/B" goes out has nothing more to hear.
  finish(pending && completeWhenSent ? TransferEnd::Completed : TransferEnd::ConnectionClosed);
}

std::size_t PunterSend::progressBytes() const {
  const std::size_t sent = next > kFirstData ? (next - kFirstData) * kLargestData : 0;
  return file.size() - std::min(file.size(), sent);
}

void PunterSend::finish(TransferEnd how) {
  active = false;
  pending = false;
  ending = how;
  timers.stopAll();
}
