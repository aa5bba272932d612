// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A Multi-Punter sender for the tests, from the facts of a batch: before
// each file a run of sixteen 0x09, the name, a comma, the type and RETURN,
// then the file with the program's own Punter send once the receiver calls;
// after the last file sixteen 0x09, sixteen 0x04 and RETURN.
#include <string>
#include <utility>
#include <vector>

#include "transfer/MultiPunterReceive.h"
#include "transfer/PunterSend.h"

class MultiPunterSender : public FileTransfer {
 public:
  // A pause before each announcement, as a board takes.
  static constexpr std::uint32_t kAnnounceMs = 100;

  MultiPunterSender(TransferLink& link, const TransferClock& clock, std::vector<BatchFile> files)
      : link(link), clock(clock), files(std::move(files)), punter(link, clock) {}

  void start() { announceAt = clock.now() + kAnnounceMs; }
  void receive(const std::uint8_t* bytes, std::size_t size) override {
    if (!inFile) return;
    punter.receive(bytes, size);
    moved();
  }
  std::optional<TransferMs> deadline() const override {
    if (!active) return std::nullopt;
    return inFile ? punter.deadline() : std::optional<TransferMs>(announceAt);
  }
  void timeout() override {
    if (inFile) {
      punter.timeout();
      moved();
    } else if (active && clock.now() >= announceAt) {
      announce();
    }
  }
  void cancel() override { active = false; }
  void connectionClosed() override { active = false; }
  bool isActive() const override { return active; }
  TransferEnd end() const override { return ending; }
  std::size_t progressBytes() const override { return 0; }
  std::size_t sent() const { return next; }

 private:
  void announce() {
    using namespace multi_punter;
    ByteBuffer words(kLeadInRun, kLeadIn);
    if (next == files.size()) {
      words.insert(words.end(), kLeadInRun, kBatchEnd);
      words.push_back(kReturn);
      link.write(words.data(), words.size());
      active = false;
      ending = TransferEnd::Completed;
      return;
    }
    const BatchFile& file = files[next];
    words.insert(words.end(), file.name.begin(), file.name.end());
    const std::string type = punterFileTypeOf(file.name) == punter::kSequentialFile ? ",S" : ",P";
    words.insert(words.end(), type.begin(), type.end());
    words.push_back(kReturn);
    link.write(words.data(), words.size());
    punter.initiate(file.data, punterFileTypeOf(file.name));
    inFile = true;
  }
  void moved() {
    if (punter.isActive()) return;
    inFile = false;
    if (punter.end() != TransferEnd::Completed) {
      active = false;
      ending = punter.end();
      return;
    }
    ++next;
    announceAt = clock.now() + kAnnounceMs;
  }

  TransferLink& link;
  const TransferClock& clock;
  std::vector<BatchFile> files;
  PunterSend punter;
  std::size_t next = 0;
  bool inFile = false;
  bool active = true;
  TransferMs announceAt = 0;
  TransferEnd ending = TransferEnd::Running;
};
