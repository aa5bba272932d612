#pragma once
// A toolkit timer that calls a function at each tick and counts its ticks.
#include <wx/timer.h>

#include <cstdint>
#include <functional>

class Timer : public wxTimer {
 public:
  Timer();

  void setCallback(std::function<void()> callback) { onTick = std::move(callback); }
  std::uint32_t ticks() const { return tickCount; }
  void Notify() override;

 private:
  std::function<void()> onTick;
  std::uint32_t tickCount = 0;
};
