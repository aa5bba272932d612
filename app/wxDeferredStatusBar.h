#pragma once
// The main window's status bar. A changed field is repainted with the
// window's next paint, not at once: a transfer changes its texts after
// every packet, far more often than a screen can show them, and a paint
// per change would cost more than the transfer itself.
#include <wx/statusbr.h>

namespace qwx {

class wxDeferredStatusBar : public wxStatusBar {
 public:
  wxDeferredStatusBar(wxWindow* parent, wxWindowID id, long style, const wxString& name)
      : wxStatusBar(parent, id, style, name) {}

 protected:
  void DoUpdateStatusText(int number) override;
};

}  // namespace qwx
