// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A Punter sender for the tests, from the exchange a receiver expects; the
// engine's unit tests and the main window's tests against a socket use it.
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "TransferTestSupport.h"
#include "transfer/Punter.h"

namespace punter_test {

using namespace punter;

inline ByteBuffer makeBlock(std::uint8_t nextSize, std::uint16_t number, const ByteBuffer& data) {
  ByteBuffer block(kHeaderSize + data.size(), 0);
  block[kNextSizeAt] = nextSize;
  block[5] = static_cast<std::uint8_t>(number);
  block[6] = static_cast<std::uint8_t>(number >> 8);
  std::copy(data.begin(), data.end(), block.begin() + kHeaderSize);
  const std::uint16_t add = additiveChecksum(block.data() + kChecksummedFrom, block.size() - kChecksummedFrom);
  const std::uint16_t cyc = cyclicChecksum(block.data() + kChecksummedFrom, block.size() - kChecksummedFrom);
  block[0] = static_cast<std::uint8_t>(add);
  block[1] = static_cast<std::uint8_t>(add >> 8);
  block[2] = static_cast<std::uint8_t>(cyc);
  block[3] = static_cast<std::uint8_t>(cyc >> 8);
  return block;
}

// A sender that follows the exchange a receiver expects: "ACK" to the first
// "GOO"; on each "S/B" the next item (the file-type block, "SYN", the
// header-only block, the data blocks, the final "SYN"); "ACK" after each
// "GOO" or "BAD"; "ACK" to the receiver's first "SYN". A word that does not
// fit the exchange (a receiver's resend the sender did not need) is left
// unanswered, as a board's sender does.
class PunterSender {
 public:
  PunterSender(const ByteBuffer& file, std::mt19937& random) {
    items.push_back(makeBlock(kHeaderSize, 0, {1}));  // the file type
    items.push_back(bytesOf(kSyn));
    std::vector<ByteBuffer> pieces;
    std::size_t at = 0;
    do {
      const std::size_t size = std::min<std::size_t>(file.size() - at, 1 + random() % 248);
      pieces.emplace_back(file.begin() + static_cast<std::ptrdiff_t>(at),
                          file.begin() + static_cast<std::ptrdiff_t>(at + size));
      at += size;
    } while (at < file.size());
    items.push_back(makeBlock(static_cast<std::uint8_t>(kHeaderSize + pieces[0].size()), 0, {}));
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      const bool final = i + 1 == pieces.size();
      // The final block announces nothing.
      const std::uint8_t next = final ? 0 : static_cast<std::uint8_t>(kHeaderSize + pieces[i + 1].size());
      const std::uint16_t number = static_cast<std::uint16_t>((final ? 0xFF00 : 0) | ((i + 1) & 0xFF));
      items.push_back(makeBlock(next, number, pieces[i]));
    }
    items.push_back(bytesOf(kSyn));
    dataBlocks = pieces.size();
  }

  // What the sender writes on hearing `word`.
  std::vector<ByteBuffer> hear(const std::string& word) {
    switch (awaiting) {
      case Awaiting::Start:
        if (word != kGoo) return {};
        awaiting = Awaiting::SendBlock;
        return {bytesOf(kAck)};
      case Awaiting::SendBlock: {
        if (word != kSendBlock || next >= items.size()) return {};
        ByteBuffer item = items[next];
        awaiting = item == bytesOf(kSyn) ? Awaiting::SynReply : Awaiting::Verdict;
        if (static_cast<int>(next) == damageItem) {
          item.back() ^= 0x10;  // a byte both checksums cover
          damageItem = -1;
        }
        return {item};
      }
      case Awaiting::Verdict:
        if (word != kGoo && word != kBad) return {};
        next += word == kGoo;
        awaiting = Awaiting::SendBlock;
        return {bytesOf(kAck)};
      case Awaiting::SynReply:
        if (word != kSyn) return {};
        if (next + 1 == items.size()) {
          done = true;
          return {};
        }
        ++next;
        awaiting = Awaiting::SendBlock;
        return {bytesOf(kAck)};
    }
    return {};
  }

  int damageItem = -1;  // the item whose first sending is damaged
  std::size_t dataBlocks = 0;
  bool done = false;

 private:
  enum class Awaiting { Start, SendBlock, Verdict, SynReply };
  std::vector<ByteBuffer> items;
  std::size_t next = 0;
  Awaiting awaiting = Awaiting::Start;
};

}  // namespace punter_test
