#pragma once
// An engine's timers on the toolkit's event loop: one toolkit timer per id,
// made when the engine first starts it. Xmodem runs on Timer, Punter on
// GooTimer; `fire` is called with the id at each tick (it forwards to the
// engine's timerFired).
#include <functional>
#include <map>
#include <memory>
#include <utility>

#include "transfer/GooTimer.h"
#include "transfer/Timer.h"
#include "transfer/TransferScheduler.h"

template <class TimerType>
class TransferTimers : public TransferScheduler {
 public:
  explicit TransferTimers(std::function<void(int id)> fire) : fire(std::move(fire)) {}

  void start(int id, std::uint32_t periodMs, Repeat repeat) override {
    std::unique_ptr<TimerType>& timer = timers[id];
    if (!timer) {
      timer = std::make_unique<TimerType>();
      timer->setCallback([this, id] { this->fire(id); });
    }
    timer->Start(static_cast<int>(periodMs), repeat == Repeat::Once ? wxTIMER_ONE_SHOT : wxTIMER_CONTINUOUS);
  }

  void stop(int id) override {
    const auto found = timers.find(id);
    if (found != timers.end()) found->second->Stop();
  }

  bool isRunning(int id) const {
    const auto found = timers.find(id);
    return found != timers.end() && found->second->IsRunning();
  }

 private:
  std::function<void(int id)> fire;
  std::map<int, std::unique_ptr<TimerType>> timers;
};

using XmodemTimers = TransferTimers<Timer>;
using PunterTimers = TransferTimers<GooTimer>;
