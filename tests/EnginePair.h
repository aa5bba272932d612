// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Two engines talking on fake time: what one writes reaches the other
// `latency` ms later, whole, byte by byte or in random pieces; a test may
// damage or lose single writes on the way. Each side's pending input can be
// dropped (discardPendingInput), as a socket's.
#include <deque>
#include <functional>
#include <random>

#include "TransferTestSupport.h"
#include "transfer/FileTransfer.h"

enum class Split { Whole, ByteByByte, Random };

class EnginePair {
 public:
  // What happens to the `n`th write (from 0) of one side on its way: the
  // bytes that arrive (none: lost).
  using Tamper = std::function<ByteBuffer(std::size_t n, ByteBuffer bytes)>;

  EnginePair(FakeClock& clock, Split split, std::uint64_t latencyMs, unsigned seed)
      : clock(clock), split(split), latency(latencyMs), random(seed), toA(*this, 0), toB(*this, 1) {}

  // The line side A writes on (it reaches B), and B's.
  TransferLink& lineOfA() { return toB; }
  TransferLink& lineOfB() { return toA; }

  // Runs both until neither is active or nothing is left to happen; false
  // when it stalled with one still active.
  bool run(FileTransfer& a, FileTransfer& b) {
    engines[0] = &a;
    engines[1] = &b;
    clock.deadline = [this] {
      std::optional<TransferMs> next = earlier(engines[0]->deadline(), engines[1]->deadline());
      if (!flight.empty()) next = earlier(next, flight.front().due);
      return next;
    };
    clock.fire = [this] {
      for (FileTransfer* engine : engines) {
        const std::optional<TransferMs> due = engine->deadline();
        if (engine->isActive() && due && *due <= clock.now()) engine->timeout();
      }
      deliverDue();
      if (onStep) onStep();
    };
    for (int guard = 0; guard < 5000000 && (a.isActive() || b.isActive()); ++guard) {
      deliverDue();
      const std::optional<std::uint64_t> wait = clock.untilNext();
      if (!wait) return false;
      clock.advance(*wait);
    }
    return !a.isActive() && !b.isActive();
  }

  Tamper tamperA, tamperB;  // A's writes, B's writes
  // Called after each delivery and each time a deadline was served.
  std::function<void()> onStep;
  std::size_t writesOfA = 0, writesOfB = 0;

 private:
  struct Piece {
    TransferMs due;
    int to;  // 0: A, 1: B
    ByteBuffer bytes;
  };
  class Wire : public TransferLink {
   public:
    Wire(EnginePair& pair, int to) : pair(pair), to(to) {}
    void write(const std::uint8_t* bytes, std::size_t size) override { pair.send(to, ByteBuffer(bytes, bytes + size)); }
    void discardPendingInput() override { pair.dropArrived(1 - to); }

   private:
    EnginePair& pair;
    int to;
  };

  void send(int to, ByteBuffer bytes) {
    const bool fromA = to == 1;
    std::size_t& count = fromA ? writesOfA : writesOfB;
    const Tamper& tamper = fromA ? tamperA : tamperB;
    if (tamper) bytes = tamper(count, std::move(bytes));
    ++count;
    for (std::size_t at = 0; at < bytes.size();) {
      const std::size_t piece = split == Split::Whole ? bytes.size() : split == Split::ByteByByte ? 1 : 1 + random() % 300;
      const std::size_t end = std::min(bytes.size(), at + piece);
      flight.push_back(Piece{clock.now() + latency, to, ByteBuffer(bytes.begin() + at, bytes.begin() + end)});
      at = end;
    }
  }
  void dropArrived(int side) {
    for (auto it = flight.begin(); it != flight.end();)
      it = it->to == side && it->due <= clock.now() ? flight.erase(it) : it + 1;
  }
  void deliverDue() {
    while (!flight.empty() && flight.front().due <= clock.now()) {
      const Piece piece = std::move(flight.front());
      flight.pop_front();
      if (engines[piece.to]->isActive()) engines[piece.to]->receive(piece.bytes.data(), piece.bytes.size());
      if (onStep) onStep();
    }
  }

  FakeClock& clock;
  Split split;
  std::uint64_t latency;
  std::mt19937 random;
  Wire toA, toB;
  FileTransfer* engines[2] = {nullptr, nullptr};
  std::deque<Piece> flight;
};
