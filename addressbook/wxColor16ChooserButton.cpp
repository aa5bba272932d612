// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/wxColor16ChooserButton.h"

#include <wx/dcmemory.h>

#include "addressbook/wxColor16ChooserPopup.h"

wxDEFINE_EVENT(wxEVT_COLOR16_CHOSEN, wxCommandEvent);

namespace qwx {

namespace {
// The plain button's best size leaves room for a label the chooser never has.
constexpr int kBestWidthReduction = 36;
constexpr int kBestHeightReduction = 6;
constexpr int kScreenDepth = -1;
}  // namespace

wxColour PaletteColourOf(const Palette& palette, int index) {
  const PaletteColour& c = palette.at(static_cast<std::size_t>(index));
  return wxColour(c.red, c.green, c.blue, wxALPHA_OPAQUE);
}

wxColor16ChooserButton::wxColor16ChooserButton(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                               const wxSize& size, long style, const wxValidator& validator,
                                               const wxString& name)
    : wxButton(parent, id, wxEmptyString, pos, size, style, validator, name) {
  wxBitmap swatch;
  swatch.Create(kSwatchWidth, kSwatchHeight, kScreenDepth);
  SetBitmap(swatch);
  SetBitmapPosition(wxLEFT);
  Bind(wxEVT_BUTTON, &wxColor16ChooserButton::OnOpenPopup, this, GetId());
}

wxColor16ChooserButton::~wxColor16ChooserButton() { ClosePopup(); }

wxSize wxColor16ChooserButton::DoGetBestSize() const {
  const wxSize plain = wxButton::DoGetBestSize();
  return wxSize(plain.x - kBestWidthReduction, plain.y - kBestHeightReduction);
}

bool wxColor16ChooserButton::SetColourIndex(int n) {
  if (!palette || n < 0 || n >= kColourCount) return false;
  wxBitmap swatch = GetBitmap();
  {
    wxMemoryDC dc(swatch);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(PaletteColourOf(*palette, n), wxBRUSHSTYLE_SOLID));
    dc.DrawRectangle(0, 0, swatch.GetWidth(), swatch.GetHeight());
    dc.SelectObject(wxNullBitmap);
  }
  // The button shows a copy; setting it again shows the new colour.
  SetBitmap(swatch);
  colourIndex = n;
  return true;
}

void wxColor16ChooserButton::choose(int n) {
  if (n < 0 || n >= kColourCount) return;
  SetColourIndex(n);
  wxCommandEvent event(wxEVT_COLOR16_CHOSEN, GetId());
  event.SetEventObject(this);
  event.SetInt(n);
  GetEventHandler()->ProcessEvent(event);
}

void wxColor16ChooserButton::ClosePopup() {
  if (!popup) return;
  wxColor16ChooserPopup* open = popup;
  popup = nullptr;
  open->Dismiss();
  // A popup is a top-level window of its own: it would outlive the button.
  open->Destroy();
}

void wxColor16ChooserButton::OnOpenPopup(wxCommandEvent&) {
  ClosePopup();
  popup = new wxColor16ChooserPopup(this);
  popup->ShowColours();
  const wxSize size = GetSize();
  const wxPoint origin = ClientToScreen(wxPoint(0, 0));
  // The popup's corner goes to the anchor's far corner: below, from the middle.
  popup->Position(origin, wxSize(size.x / 2, size.y));
  popup->Popup();
  // The keyboard starts on the colour shown.
  popup->Highlight(colourIndex);
}

}  // namespace qwx
