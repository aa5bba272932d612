#pragma once
// Asks the maker's web server whether a newer version exists. Automatic
// (at start-up, on a worker thread, a dialog only when a newer version
// exists, failures silent) or manual (blocking, always a result, with the
// "check automatically" box). The dialog itself stays hidden until it
// shows a result.
#include <wx/thread.h>
#include <wx/wx.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "dialogs/VersionFileFetch.h"

namespace qwx {

// The message box of a failed manual check, replaceable in tests.
using UpdateMessageBox = std::function<void(wxWindow* parent, const wxString& text, const wxString& caption)>;
UpdateMessageBox& UpdateCheckMessageBox();

class wxCheckForUpdates : public wxDialog {
 public:
  wxCheckForUpdates(wxWindow* parent, const std::string& productName, const std::string& currentVersion,
                    bool autoCheck);
  ~wxCheckForUpdates() override;

  // The start-up check: a worker asks the server; a newer version for this
  // system shows its result, anything else shows nothing. The dialog
  // destroys itself once the answer has been handled.
  void StartAutomaticCheck();
  // The "Check for Updates..." command: asks (blocking), shows the result or
  // the failure. Returns the state of the "check automatically" box.
  bool RunManualCheck();

  // One request; true with the answer's bytes in `body`, else lastError set.
  bool fetchVersionFile(std::string& body);
  // Shows the result; returns the check box's state (true without one).
  bool showUpdateResult(const std::string& version, const std::string& link, bool newer, bool offerCheckBox);

  int LastError() const { return lastError; }

 private:
  // What the worker and the dialog share: the worker hands its answer to
  // the dialog only while the dialog still exists, and stops early once it
  // is gone.
  struct AnswerPort {
    std::mutex lock;
    wxEvtHandler* dialog = nullptr;
    bool Closed() {
      std::lock_guard<std::mutex> hold(lock);
      return dialog == nullptr;
    }
  };

  class wxCheckThread : public wxThread {
   public:
    wxCheckThread(std::shared_ptr<AnswerPort> port, VersionFileRequest request);

   private:
    ExitCode Entry() override;
    std::shared_ptr<AnswerPort> port;
    VersionFileRequest request;
  };

  VersionFileRequest Request() const;
  void OnAnswer(wxThreadEvent& event);

  std::string osKey;
  std::string productName;
  std::string currentVersion;
  bool autoCheck;
  int lastError = 0;
  std::string userAgent;
  std::shared_ptr<AnswerPort> port;
};

}  // namespace qwx
