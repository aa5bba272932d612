#pragma once
// A toolkit timer that calls a function at each tick.
#include <wx/timer.h>

#include <functional>

class GooTimer : public wxTimer {
 public:
  GooTimer();

  void setCallback(std::function<void()> callback) { onTick = std::move(callback); }
  void Notify() override;

 private:
  std::function<void()> onTick;
};
