// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The small window a manual update check shows while it waits: a moving
// bar and Cancel. Cancel, Escape and closing the window all cancel.
#include <wx/gauge.h>
#include <wx/wx.h>

#include <functional>

namespace qwx {

class wxCheckForUpdatesProgress : public wxDialog {
 public:
  wxCheckForUpdatesProgress(wxWindow* parent, std::function<void()> onCancel);
  // Moves the bar on: the check is alive.
  void Pulse() { bar->Pulse(); }

 private:
  wxGauge* bar;
  std::function<void()> onCancel;
};

}  // namespace qwx
