// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Saves the settings soon after they change, whatever changed them (the
// menus, a dialog's box): the window's idle time looks at them, one timer
// waits for a burst of changes to settle (see SettingsSaveSchedule). A
// failed save is told like every other.
#include <wx/wx.h>

#include "settings/SettingsSaveSchedule.h"

class SettingsAutosave {
 public:
  explicit SettingsAutosave(wxWindow& window);
  ~SettingsAutosave();

 private:
  void Look();
  void OnIdle(wxIdleEvent& event);

  wxWindow& window;
  SettingsSaveSchedule schedule;
  wxTimer timer;
};
