#include "app/MorlenApp.h"

#include <wx/image.h>

#include <clocale>
#include <wx/socket.h>

#include "app/MorlenFrame.h"
#include "app/ProductInfo.h"
#include "settings/Configuration.h"
#include "settings/DefaultAddressBook.h"
#include "settings/Settings.h"
#include "terminal/Palette.h"

void PrepareProgram() {
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
  if (!loadConfiguration()) {
    installDefaultAddressBook(programAddressBook());
    saveConfiguration();
  }
}

// The toolkit's own command-line parsing never runs: arguments are ignored.
bool MorlenApp::OnInit() {
  PrepareProgram();
  auto* frame = new MorlenFrame;
  frame->Centre(wxBOTH);
  frame->Show();
  return true;
}

int MorlenApp::OnExit() {
  saveConfiguration();
  return wxApp::OnExit();
}
