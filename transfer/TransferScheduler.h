#pragma once
// The clock a transfer engine waits on. An engine names its timers with
// small ids of its own; the owner runs them and, when one is due, calls the
// engine's timerFired(id). Tests drive it with fake time.
#include <cstdint>

class TransferScheduler {
 public:
  enum class Repeat : std::uint8_t { Once, Periodic };

  virtual ~TransferScheduler() = default;
  // Starts timer `id`, or starts it over when it is running: due after
  // `periodMs` milliseconds and, when periodic, every `periodMs` after that.
  virtual void start(int id, std::uint32_t periodMs, Repeat repeat) = 0;
  // Stops timer `id`; nothing happens when it is not running.
  virtual void stop(int id) = 0;
};
