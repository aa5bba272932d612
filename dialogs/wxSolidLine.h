// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A horizontal rule of one colour: as wide as its sizer makes it, as high
// as asked. Never takes the keyboard focus.
#include <wx/wx.h>

namespace qwx {

class wxSolidLine : public wxWindow {
 public:
  wxSolidLine(wxWindow* parent, const wxColour& colour, int height);

  bool AcceptsFocus() const override { return false; }
  bool AcceptsFocusFromKeyboard() const override { return false; }
};

}  // namespace qwx
