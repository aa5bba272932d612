#include <wx/image.h>
#include <wx/socket.h>
#include <wx/wx.h>

#include "app/MorlenFrame.h"
#include "app/ProductInfo.h"
#include "settings/Configuration.h"
#include "settings/DefaultAddressBook.h"
#include "settings/Settings.h"
#include "terminal/Palette.h"

class MorlenApp : public wxApp {
 public:
  // The toolkit's own command-line parsing never runs: arguments are ignored.
  bool OnInit() override {
    SetAppName(productName);
    SetAppDisplayName(productName);
    SetVendorName(vendorName);
    wxLog::EnableLogging(false);
    wxSetEnv("GDK_BACKEND", "x11");
    wxSetEnv("GTK_OVERLAY_SCROLLING", "0");
    wxImage::AddHandler(new wxPNGHandler);
    wxSocketBase::Initialize();
    LivePalette() = kBuiltInPalette;
    if (!loadConfiguration()) {
      installDefaultAddressBook(programAddressBook());
      saveConfiguration();
    }
    auto* frame = new MorlenFrame;
    frame->Centre(wxBOTH);
    frame->Show();
    return true;
  }

  int OnExit() override {
    saveConfiguration();
    return wxApp::OnExit();
  }
};

wxIMPLEMENT_APP(MorlenApp);
