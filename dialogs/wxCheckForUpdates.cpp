#include "dialogs/wxCheckForUpdates.h"

#include <wx/hyperlink.h>
#include <wx/utils.h>

#include <vector>

#include "dialogs/UpdateCheck.h"

namespace qwx {

namespace {

constexpr const char* kDialogTitle = "Check For Updates";
constexpr const char* kFailureCaption = "Check for Updates";
constexpr const char* kFailureText = "Unable to check for updates.\n%s";
constexpr const char* kNewerText =
    "A new version of %s has been released!\nPlease visit the Vendorly web site to download v%s.";
constexpr const char* kLatestText = "You already have the latest version:\n%s v%s.";
constexpr const char* kNewerTitle = "Updates are available";
constexpr const char* kLatestTitle = "No updates available";
constexpr const char* kAutoCheckLabel = "&Automatically check for updates";
constexpr int kTopSpace = 10;
constexpr int kWrapWidth = 300;
constexpr int kTextBorder = 20;
constexpr int kLinkBorder = 20;
constexpr int kButtonBorder = 10;
constexpr int kCheckBoxBorder = 10;

wxString Wide(const std::string& text) { return wxString::FromUTF8(text.data(), text.size()); }

}  // namespace

UpdateMessageBox& UpdateCheckMessageBox() {
  static UpdateMessageBox show = [](wxWindow* parent, const wxString& text, const wxString& caption) {
    wxMessageBox(text, caption, wxOK | wxCENTRE, parent);
  };
  return show;
}

wxCheckForUpdates::wxCheckThread::wxCheckThread(std::shared_ptr<AnswerPort> port, VersionFileRequest request)
    : wxThread(wxTHREAD_DETACHED), port(std::move(port)), request(std::move(request)) {}

wxThread::ExitCode wxCheckForUpdates::wxCheckThread::Entry() {
  // Stops early when the program is ending or the dialog has gone.
  request.cancelled = [this] { return TestDestroy() || port->Closed(); };
  VersionFileAnswer answer = ::fetchVersionFile(request);
  std::lock_guard<std::mutex> hold(port->lock);
  if (port->dialog) {
    auto* event = new wxThreadEvent(wxEVT_THREAD);
    event->SetInt(answer.ok ? 1 : 0);
    event->SetPayload(std::move(answer.body));
    wxQueueEvent(port->dialog, event);
  }
  return nullptr;
}

wxCheckForUpdates::wxCheckForUpdates(wxWindow* parent, const std::string& productName,
                                     const std::string& currentVersion, bool autoCheck)
    : wxDialog(parent, wxID_ANY, kDialogTitle, wxDefaultPosition, wxDefaultSize, wxCAPTION),
      osKey(kUpdateOsKey),
      productName(productName),
      currentVersion(currentVersion),
      autoCheck(autoCheck),
      userAgent(wxString::Format("%s/%s (%s)", Wide(productName), Wide(currentVersion), wxGetOsDescription())
                    .utf8_string()),
      port(std::make_shared<AnswerPort>()) {
  port->dialog = this;
  Bind(wxEVT_THREAD, &wxCheckForUpdates::OnAnswer, this);
}

wxCheckForUpdates::~wxCheckForUpdates() {
  std::lock_guard<std::mutex> hold(port->lock);
  port->dialog = nullptr;
}

VersionFileRequest wxCheckForUpdates::Request() const {
  VersionFileRequest request;
  request.address = versionFileAddress(updateServer(), productName);
  request.userAgent = userAgent;
  return request;
}

void wxCheckForUpdates::StartAutomaticCheck() {
  auto* thread = new wxCheckThread(port, Request());
  if (thread->Create() != wxTHREAD_NO_ERROR) {
    delete thread;
    return;
  }
  thread->Run();
}

bool wxCheckForUpdates::fetchVersionFile(std::string& body) {
  const VersionFileAnswer answer = ::fetchVersionFile(Request());
  lastError = answer.protocolError;
  if (answer.ok) body = answer.body;
  return answer.ok;
}

bool wxCheckForUpdates::RunManualCheck() {
  std::string body;
  bool fetched = false;
  {
    wxBusyCursor busy;
    fetched = fetchVersionFile(body);
  }
  if (!fetched) {
    UpdateCheckMessageBox()(GetParent(), wxString::Format(kFailureText, Wide(protocolErrorText(lastError))),
                            kFailureCaption);
    return autoCheck;
  }
  for (const VersionRecord& record : parseVersions(body)) {
    if (record.os != osKey) continue;
    return showUpdateResult(record.version, updateLink(record.url, productName),
                            isOlderVersion(currentVersion, record.version), true);
  }
  return showUpdateResult("", "", false, true);
}

void wxCheckForUpdates::OnAnswer(wxThreadEvent& event) {
  if (event.GetInt() != 0) {
    for (const VersionRecord& record : parseVersions(event.GetPayload<std::string>())) {
      if (record.os == osKey && isOlderVersion(currentVersion, record.version))
        showUpdateResult(record.version, updateLink(record.url, productName), true, false);
    }
  }
  Destroy();
}

bool wxCheckForUpdates::showUpdateResult(const std::string& version, const std::string& link, bool newer,
                                         bool offerCheckBox) {
  DestroyChildren();
  SetTitle(newer ? kNewerTitle : kLatestTitle);
  const wxString message = newer ? wxString::Format(kNewerText, Wide(productName), Wide(version))
                                 : wxString::Format(kLatestText, Wide(productName), Wide(currentVersion));
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->AddSpacer(kTopSpace);
  auto* text = new wxStaticText(this, wxID_ANY, message, wxDefaultPosition, wxDefaultSize, wxALIGN_CENTRE_HORIZONTAL);
  text->Wrap(kWrapWidth);
  sizer->Add(text, 0, wxALIGN_CENTRE | wxALL, kTextBorder);
  if (!link.empty())
    sizer->Add(new wxHyperlinkCtrl(this, wxID_ANY, Wide(link), Wide(link)), 0, wxALIGN_CENTRE | wxALL, kLinkBorder);
  sizer->Add(new wxButton(this, wxID_OK, "OK"), 0, wxALIGN_CENTRE | wxBOTTOM, kButtonBorder);
  wxCheckBox* checkBox = nullptr;
  if (offerCheckBox) {
    checkBox = new wxCheckBox(this, wxID_ANY, kAutoCheckLabel);
    checkBox->SetValue(autoCheck);
    sizer->Add(checkBox, 0, wxALIGN_CENTRE | wxLEFT | wxRIGHT | wxBOTTOM, kCheckBoxBorder);
  }
  SetSizerAndFit(sizer);
  Centre();
  ShowModal();
  if (!checkBox) return true;
  autoCheck = checkBox->GetValue();
  return autoCheck;
}

}  // namespace qwx
