#include "addressbook/wxColor16ChooserPopup.h"

#include <wx/tooltip.h>

#include "addressbook/wxColor16ChooserButton.h"

namespace qwx {

namespace {
constexpr int kSwatchBorder = 2;
constexpr int kRowBorder = 5;
constexpr int kPanelBorder = 4;
// The colour names are the help here: show them at once.
constexpr long kToolTipDelayMs = 1;
}  // namespace

wxColor16ChooserPopup::wxColor16ChooserPopup(wxColor16ChooserButton* parent)
    : wxPopupTransientWindow(parent, wxBORDER_NONE), chooser(parent) {
  SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_ACTIVEBORDER));
  auto* popupSizer = new wxBoxSizer(wxVERTICAL);
  auto* panel = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL);
  panel->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_3DLIGHT));
  auto* box = new wxStaticBox(panel, wxID_ANY, kBoxLabel);
  auto* boxSizer = new wxStaticBoxSizer(box, wxVERTICAL);
  for (int first = 0; first < wxColor16ChooserButton::kColourCount; first += kSwatchesPerRow) {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    for (int i = first; i < first + kSwatchesPerRow; ++i) {
      auto* swatch = new wxButton(box, kFirstSwatchId + i, wxEmptyString, wxDefaultPosition,
                                  wxSize(kSwatchWidth, kSwatchHeight), wxBORDER_NONE);
      swatches[static_cast<std::size_t>(i)] = swatch;
      swatch->SetToolTip(wxString(ColourName(i), wxConvLibc));
      row->Add(swatch, 0, wxALL | wxALIGN_CENTRE, kSwatchBorder);
    }
    boxSizer->Add(row, 0, 0, kRowBorder);
  }
  panel->SetSizer(boxSizer);
  popupSizer->Add(panel, 0, wxALL, kPanelBorder);
  SetSizer(popupSizer);
  panel->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_3DLIGHT));
  Fit();

  for (int i = 0; i < wxColor16ChooserButton::kColourCount; ++i)
    Bind(wxEVT_BUTTON, &wxColor16ChooserPopup::OnSwatchClicked, this, kFirstSwatchId + i);
}

void wxColor16ChooserPopup::ShowColours() {
  if (const Palette* palette = chooser->GetPalette()) {
    for (int i = 0; i < wxColor16ChooserButton::kColourCount; ++i)
      swatches[static_cast<std::size_t>(i)]->SetBackgroundColour(PaletteColourOf(*palette, i));
  }
  Refresh(true);
}

bool wxColor16ChooserPopup::Show(bool show) { return wxPopupTransientWindow::Show(show); }

void wxColor16ChooserPopup::Popup(wxWindow*) {
  wxToolTip::SetDelay(kToolTipDelayMs);
  wxPopupTransientWindow::Popup(nullptr);
}

bool wxColor16ChooserPopup::ProcessLeftDown(wxMouseEvent& event) {
  // A press anywhere inside, between the swatches too, keeps the popup open.
  if (wxRect(GetPosition(), GetSize()).Contains(wxGetMousePosition())) return true;
  return wxPopupTransientWindow::ProcessLeftDown(event);
}

void wxColor16ChooserPopup::OnDismiss() {
  // Dismissed without a pick: nothing else will use this popup.
  Destroy();
}

void wxColor16ChooserPopup::OnSwatchClicked(wxCommandEvent& event) {
  chooser->choose(event.GetId() - kFirstSwatchId);
  Dismiss();
  Destroy();
}

}  // namespace qwx
