// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sixteen colours below a chooser button, two rows of eight swatches
// named by tool tips, the button's colour marked. A click or Return or
// Space on the highlighted swatch picks; the arrows move the highlight;
// Escape or a press outside closes the popup without a pick.
#include <wx/popupwin.h>
#include <wx/wx.h>

#include <array>

namespace qwx {

class wxColor16ChooserButton;

class wxColor16ChooserPopup : public wxPopupTransientWindow {
 public:
  static constexpr int kFirstSwatchId = 1000;
  static constexpr int kSwatchesPerRow = 8;
  static constexpr int kSwatchWidth = 32;
  static constexpr int kSwatchHeight = 24;
  static constexpr const char* kBoxLabel = "palette: Colodore";

  explicit wxColor16ChooserPopup(wxColor16ChooserButton* parent);

  // Colours the swatches from the button's palette as it is now and marks
  // the button's colour.
  void ShowColours();
  // Moves the keyboard's highlight (and the focus) to swatch `index`.
  void Highlight(int index);
  int Highlighted() const { return highlighted; }
  wxButton* Swatch(int index) const { return swatches.at(static_cast<std::size_t>(index)); }

  bool Show(bool show = true) override;
  bool ProcessLeftDown(wxMouseEvent& event) override;

 protected:
  void OnDismiss() override;

 private:
  void OnSwatchClicked(wxCommandEvent& event);
  void OnKey(wxKeyEvent& event);
  void Pick(int index);
  // The marks on swatch `index`: a dot for the button's colour, a frame
  // for the highlight.
  void DrawMarks(int index);

  wxColor16ChooserButton* chooser = nullptr;
  std::array<wxButton*, 16> swatches{};
  int highlighted = 0;
};

}  // namespace qwx
