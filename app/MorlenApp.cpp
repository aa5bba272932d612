// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MorlenApp.h"

#include <wx/image.h>

#include <clocale>
#include <ctime>
#include <string>
#include <wx/socket.h>

#include "app/LocaleText.h"
#include "app/MorlenFrame.h"
#include "app/ProductInfo.h"
#include "app/SaveReport.h"
#include "settings/Configuration.h"
#include "settings/ConfigurationStartUp.h"
#include "terminal/Palette.h"

std::string PrepareProgram() {
  // Texts cross between the toolkit and the program's byte strings through
  // the locale's multibyte conversion: take the user's, not the "C" one.
  std::setlocale(LC_CTYPE, "");
  wxTheApp->SetAppName(productName);
  wxTheApp->SetAppDisplayName(productName);
  wxTheApp->SetVendorName(vendorName);
  wxLog::EnableLogging(false);
  wxSetEnv("GDK_BACKEND", "x11");
  wxSetEnv("GTK_OVERLAY_SCROLLING", "0");
  if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
  wxSocketBase::Initialize();
  LivePalette() = kBuiltInPalette;
  return startUpConfiguration(std::time(nullptr));
}

// The toolkit's own command-line parsing never runs: arguments are ignored.
bool MorlenApp::OnInit() {
  const std::string notice = PrepareProgram();
  auto* frame = new MorlenFrame;
  // Said once, in the message field, until the next message replaces it.
  if (!notice.empty()) frame->SetStatusText(FromByteString(notice));
  frame->Centre(wxBOTH);
  frame->Show();
  return true;
}

void SaveAtExit() {
  // The windows have gone: a failure is told in a box of its own.
  SaveConfigurationTelling(nullptr, false);
}

int MorlenApp::OnExit() {
  SaveAtExit();
  return wxApp::OnExit();
}
