// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/wxSolidLine.h"

#include <wx/dcclient.h>

namespace qwx {

wxSolidLine::wxSolidLine(wxWindow* parent, const wxColour& colour, int height)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE) {
  SetMinSize(wxSize(-1, height));
  SetBackgroundColour(colour);
  Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
    wxPaintDC dc(this);
    dc.SetBackground(wxBrush(GetBackgroundColour()));
    dc.Clear();
  });
}

}  // namespace qwx
