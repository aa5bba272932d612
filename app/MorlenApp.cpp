#include <wx/wx.h>

// Smallest window that proves the toolkit build; the terminal window replaces it.
class MorlenApp : public wxApp {
 public:
  bool OnInit() override {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "Morlen v1.0.0/Vendorly");
    frame->Show();
    return true;
  }
};

wxIMPLEMENT_APP(MorlenApp);
