// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small button showing one of the sixteen C64 colours as a swatch; a
// click opens the sixteen colours below it to pick from.
#include <wx/wx.h>
// After wx.h: it needs the toolkit's type traits.
#include <wx/weakref.h>

#include "terminal/Palette.h"

// Sent when the user picks a colour, processed at once through the
// button's handler chain. Id: the button's; integer: the colour index 0-15.
wxDECLARE_EVENT(wxEVT_COLOR16_CHOSEN, wxCommandEvent);

namespace qwx {

class wxColor16ChooserPopup;

class wxColor16ChooserButton : public wxButton {
 public:
  static constexpr int kSwatchWidth = 30;
  static constexpr int kSwatchHeight = 14;
  static constexpr int kColourCount = 16;

  wxColor16ChooserButton(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                         const wxSize& size = wxDefaultSize, long style = 0,
                         const wxValidator& validator = wxDefaultValidator,
                         const wxString& name = wxButtonNameStr);
  ~wxColor16ChooserButton() override;

  // The palette the swatch and the popup read from; not owned.
  void SetPalette(const Palette* colours) { palette = colours; }
  const Palette* GetPalette() const { return palette; }
  // Shows colour n without sending an event. False, and nothing drawn, for
  // an index outside 0-15 or without a palette.
  bool SetColourIndex(int n);
  // The colour shown, which the popup marks.
  int ColourIndex() const { return colourIndex; }
  // Shows colour n and tells the owner (the popup calls this on a pick).
  void choose(int n);
  // The open popup, if any.
  wxColor16ChooserPopup* ShownPopup() const { return popup; }
  // Closes the open popup without a pick: its window goes with it.
  void ClosePopup();

 protected:
  wxSize DoGetBestSize() const override;

 private:
  void OnOpenPopup(wxCommandEvent& event);

  const Palette* palette = nullptr;
  int colourIndex = 0;
  // Watched, not owned: a popup picked from or dismissed goes by itself.
  wxWeakRef<wxColor16ChooserPopup> popup;
};

// The colour as the toolkit wants it.
wxColour PaletteColourOf(const Palette& palette, int index);

}  // namespace qwx
