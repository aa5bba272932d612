// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Asks the maker's web server whether a newer version exists, without ever
// holding up the window: the request runs on libcurl's multi interface,
// moved on by a timer. Automatic (at start-up: a dialog only when a newer
// version exists, failures silent) or manual (behind a small progress
// window with Cancel; always a result, with the "check automatically"
// box). The dialog itself stays hidden until it shows a result, and
// destroys itself once its check is over.
#include <wx/timer.h>
#include <wx/weakref.h>
#include <wx/wx.h>

#include <functional>
#include <memory>
#include <string>

#include "dialogs/VersionFileFetch.h"
#include "dialogs/wxCheckForUpdatesProgress.h"

namespace qwx {

class wxCheckForUpdates : public wxDialog {
 public:
  wxCheckForUpdates(wxWindow* parent, const std::string& productName, const std::string& currentVersion,
                    bool autoCheck);
  ~wxCheckForUpdates() override;

  // The start-up check: a newer version for this system shows its result,
  // anything else shows nothing.
  void StartAutomaticCheck();
  // The "Check for Updates..." command: the result or the failure, each
  // with the "check automatically" box, whose state then goes to
  // `keepAutoCheck`. Cancelled, nothing is shown and nothing kept.
  void StartManualCheck(std::function<void(bool autoCheck)> keepAutoCheck);
  // While a manual check waits, its progress window comes to the front.
  bool RaiseManualCheck();

  // Shows the result; returns the check box's state (true without one).
  bool showUpdateResult(const std::string& version, const std::string& link, bool newer, bool offerCheckBox);

  // Ends a request still running at once, whoever destroys the dialog.
  bool Destroy() override;

  int LastError() const { return lastError; }

 private:
  void Start();
  void OnStep(wxTimerEvent& event);
  void ShowAnswer(const VersionFileAnswer& answer);
  void Cancel();
  void EndRequest();
  bool ShowDialog(const wxString& title, const wxString& message, const std::string& link, bool offerCheckBox);

  std::string productName;
  std::string currentVersion;
  bool autoCheck;
  int lastError = 0;
  std::string userAgent;
  bool manual = false;
  std::function<void(bool)> keepAutoCheck;
  std::unique_ptr<VersionFileFetch> fetch;
  wxTimer stepTimer;
  int steps = 0;
  wxWeakRef<wxCheckForUpdatesProgress> progress;
};

}  // namespace qwx
