#pragma once
// Helpers for GUI tests: let the event loop run queued events and paints.
#include <wx/wx.h>

#include <chrono>
#include <functional>

// Processes pending events for about `milliseconds`.
inline void RunEventLoopFor(int milliseconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < end) {
    wxTheApp->ProcessPendingEvents();
    while (wxTheApp->Pending()) wxTheApp->Dispatch();
    wxTheApp->Yield(true);
    wxMilliSleep(5);
  }
}

// Runs the loop until `done` holds or `milliseconds` pass; returns `done()`.
inline bool RunEventLoopUntil(const std::function<bool()>& done, int milliseconds = 3000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (!done() && std::chrono::steady_clock::now() < end) RunEventLoopFor(10);
  return done();
}
