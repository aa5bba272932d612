// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers for GUI tests: let the event loop run queued events and paints.
#include <wx/evtloop.h>
#include <wx/wx.h>

#include <chrono>
#include <functional>
#include <set>
#include <vector>

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

// Runs a real event loop until `done` holds or `milliseconds` pass: unlike
// RunEventLoopUntil it never sleeps between events, so a transfer's
// packets are answered as fast as the program can.
inline bool RunRealLoopUntil(const std::function<bool()>& done, int milliseconds) {
  constexpr int kCheckEveryMs = 10;
  if (done()) return true;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  wxGUIEventLoop loop;
  wxTimer check;
  check.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    // Only this loop, never one the program runs inside it.
    if (wxEventLoopBase::GetActive() == &loop && (done() || std::chrono::steady_clock::now() >= end)) loop.Exit();
  });
  check.Start(kCheckEveryMs);
  loop.Run();
  check.Stop();
  return done();
}

// The mnemonic faults of one menu's labels: a label without a mnemonic, or
// a mnemonic an earlier label has. "&&" is an ampersand, not a mnemonic.
inline std::vector<wxString> MnemonicFaults(const std::vector<wxString>& labels) {
  std::vector<wxString> faults;
  std::set<wxUniChar> seen;
  for (const wxString& label : labels) {
    const wxString text = label.BeforeFirst('\t');
    wxUniChar mnemonic = 0;
    for (size_t i = 0; i + 1 < text.length() && mnemonic == 0; ++i) {
      if (text[i] != '&') continue;
      if (text[i + 1] != '&') mnemonic = wxTolower(text[i + 1]);
      ++i;
    }
    if (mnemonic == 0) faults.push_back("no mnemonic: " + label);
    else if (!seen.insert(mnemonic).second) faults.push_back("repeated mnemonic: " + label);
  }
  return faults;
}
