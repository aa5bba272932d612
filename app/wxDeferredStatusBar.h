#pragma once
// A status bar whose new texts are drawn with the window's next paint.
// The toolkit's own repaints the whole window at once on every new text:
// with three fields set per socket read, a flood of received bytes spent
// most of its time repainting, and key presses waited behind it.
#include <wx/statusbr.h>

namespace qwx {

class wxDeferredStatusBar : public wxStatusBar {
 public:
  using wxStatusBar::wxStatusBar;

 protected:
  void DoUpdateStatusText(int number) override {
    wxRect field;
    if (GetFieldRect(number, field)) Refresh(true, &field);
  }
};

}  // namespace qwx
