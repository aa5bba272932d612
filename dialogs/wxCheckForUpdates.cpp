// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/wxCheckForUpdates.h"

#include <wx/hyperlink.h>

#include "dialogs/UpdateCheck.h"

namespace qwx {

namespace {

constexpr const char* kDialogTitle = "Check For Updates";
constexpr const char* kFailureTitle = "Check for Updates";
constexpr const char* kFailureText = "Unable to check for updates.\n%s";
constexpr const char* kNewerText =
    "A new version of %s has been released!\nPlease visit the Vendorly web site to download v%s.";
constexpr const char* kLatestText = "You already have the latest version:\n%s v%s.";
constexpr const char* kNewerTitle = "Updates are available";
constexpr const char* kLatestTitle = "No updates available";
constexpr const char* kAutoCheckLabel = "&Automatically check for updates";
constexpr const char* kUserAgentFormat = "%s/%s";
// Often enough that an answer is taken up at once; the bar moves on
// every few steps.
constexpr int kStepMs = 20;
constexpr int kStepsPerPulse = 5;
constexpr int kTopSpace = 10;
constexpr int kWrapWidth = 300;
constexpr int kTextBorder = 20;
constexpr int kLinkBorder = 20;
constexpr int kButtonBorder = 10;
constexpr int kCheckBoxBorder = 10;

wxString Wide(const std::string& text) { return wxString::FromUTF8(text.data(), text.size()); }

}  // namespace

wxCheckForUpdates::wxCheckForUpdates(wxWindow* parent, const std::string& productName,
                                     const std::string& currentVersion, bool autoCheck)
    : wxDialog(parent, wxID_ANY, kDialogTitle, wxDefaultPosition, wxDefaultSize, wxCAPTION),
      productName(productName),
      currentVersion(currentVersion),
      autoCheck(autoCheck),
      userAgent(wxString::Format(kUserAgentFormat, Wide(productName), Wide(currentVersion)).utf8_string()),
      stepTimer(this) {
  Bind(wxEVT_TIMER, &wxCheckForUpdates::OnStep, this, stepTimer.GetId());
}

wxCheckForUpdates::~wxCheckForUpdates() { EndRequest(); }

bool wxCheckForUpdates::Destroy() {
  EndRequest();
  return wxDialog::Destroy();
}

void wxCheckForUpdates::StartAutomaticCheck() { Start(); }

void wxCheckForUpdates::StartManualCheck(std::function<void(bool autoCheck)> keep) {
  manual = true;
  keepAutoCheck = std::move(keep);
  progress = new wxCheckForUpdatesProgress(GetParent(), [this] { Cancel(); });
  progress->Show();
  Start();
}

bool wxCheckForUpdates::RaiseManualCheck() {
  if (!progress) return false;
  progress->Raise();
  return true;
}

void wxCheckForUpdates::Start() {
  VersionFileRequest request;
  request.address = versionFileAddress(updateServer(), productName);
  request.userAgent = userAgent;
  fetch = std::make_unique<VersionFileFetch>(request);
  stepTimer.Start(kStepMs);
}

void wxCheckForUpdates::OnStep(wxTimerEvent&) {
  if (!fetch) return;
  if (!fetch->step()) {
    if (progress && ++steps % kStepsPerPulse == 0) progress->Pulse();
    return;
  }
  const VersionFileAnswer answer = fetch->answer();
  EndRequest();
  ShowAnswer(answer);
  Destroy();
}

void wxCheckForUpdates::ShowAnswer(const VersionFileAnswer& answer) {
  lastError = answer.protocolError;
  const UpdateFinding finding = answer.ok ? findUpdate(answer.body, currentVersion, productName) : UpdateFinding{};
  if (!manual) {
    // Failures and "no newer version" pass silently.
    if (finding.newer) showUpdateResult(finding.version, finding.link, true, false);
    return;
  }
  bool box = autoCheck;
  if (!answer.ok) {
    box = ShowDialog(kFailureTitle, wxString::Format(kFailureText, Wide(protocolErrorText(lastError))), "", true);
  } else {
    box = showUpdateResult(finding.version, finding.link, finding.newer, true);
  }
  if (keepAutoCheck) keepAutoCheck(box);
}

void wxCheckForUpdates::Cancel() {
  EndRequest();
  Destroy();
}

void wxCheckForUpdates::EndRequest() {
  stepTimer.Stop();
  fetch.reset();  // closes the connection now
  if (progress) progress->Destroy();
  progress = nullptr;
}

bool wxCheckForUpdates::showUpdateResult(const std::string& version, const std::string& link, bool newer,
                                         bool offerCheckBox) {
  const wxString message = newer ? wxString::Format(kNewerText, Wide(productName), Wide(version))
                                 : wxString::Format(kLatestText, Wide(productName), Wide(currentVersion));
  return ShowDialog(newer ? kNewerTitle : kLatestTitle, message, link, offerCheckBox);
}

bool wxCheckForUpdates::ShowDialog(const wxString& title, const wxString& message, const std::string& link,
                                   bool offerCheckBox) {
  DestroyChildren();
  SetTitle(title);
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->AddSpacer(kTopSpace);
  // Plain text: an ampersand from the server is shown, not taken as a mnemonic.
  auto* text = new wxStaticText(this, wxID_ANY, wxControl::EscapeMnemonics(message), wxDefaultPosition,
                                wxDefaultSize, wxALIGN_CENTRE_HORIZONTAL);
  text->Wrap(kWrapWidth);
  sizer->Add(text, 0, wxALIGN_CENTRE | wxALL, kTextBorder);
  // Shown exactly as the address it opens (a query's ampersands included).
  if (!link.empty()) {
    auto* hyperlink = new wxHyperlinkCtrl(this, wxID_ANY, wxControl::EscapeMnemonics(Wide(link)), Wide(link));
    sizer->Add(hyperlink, 0, wxALIGN_CENTRE | wxALL, kLinkBorder);
  }
  sizer->Add(new wxButton(this, wxID_OK, "OK"), 0, wxALIGN_CENTRE | wxBOTTOM, kButtonBorder);
  wxCheckBox* checkBox = nullptr;
  if (offerCheckBox) {
    checkBox = new wxCheckBox(this, wxID_ANY, kAutoCheckLabel);
    checkBox->SetValue(autoCheck);
    sizer->Add(checkBox, 0, wxALIGN_CENTRE | wxLEFT | wxRIGHT | wxBOTTOM, kCheckBoxBorder);
  }
  SetSizerAndFit(sizer);
  Centre();
  // Escape closes it like OK.
  ShowModal();
  if (!checkBox) return true;
  autoCheck = checkBox->GetValue();
  return autoCheck;
}

}  // namespace qwx
