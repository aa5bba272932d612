// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SettingsAutosave.h"

#include <chrono>

#include "app/SaveReport.h"

namespace {
std::uint64_t NowMs() {
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
          .count());
}
}  // namespace

SettingsAutosave::SettingsAutosave(wxWindow& window) : window(window), schedule(programSettings()) {
  window.Bind(wxEVT_IDLE, &SettingsAutosave::OnIdle, this);
  timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Look(); });
}

SettingsAutosave::~SettingsAutosave() {
  timer.Stop();
  window.Unbind(wxEVT_IDLE, &SettingsAutosave::OnIdle, this);
}

void SettingsAutosave::OnIdle(wxIdleEvent& event) {
  Look();
  event.Skip();
}

void SettingsAutosave::Look() {
  const SettingsSaveSchedule::Step step = schedule.Look(programSettings(), NowMs());
  if (step.saveNow) SaveConfigurationTelling(&window, false);
  if (step.lookAgainMs) timer.StartOnce(static_cast<int>(*step.lookAgainMs));
}
