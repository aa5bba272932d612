#pragma once
// The sixteen colours below a chooser button, two rows of eight swatches
// named by tool tips. A pick goes to the button; a press outside closes
// the popup without one.
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

  // Colours the swatches from the button's palette as it is now.
  void ShowColours();
  wxButton* Swatch(int index) const { return swatches.at(static_cast<std::size_t>(index)); }

  bool Show(bool show = true) override;
  void Popup(wxWindow* focus = nullptr) override;
  bool ProcessLeftDown(wxMouseEvent& event) override;

 protected:
  void OnDismiss() override;

 private:
  void OnSwatchClicked(wxCommandEvent& event);

  wxColor16ChooserButton* chooser = nullptr;
  std::array<wxButton*, 16> swatches{};
};

}  // namespace qwx
