// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A button whose label is drawn in the terminal's C64 glyphs on a plain
// background, exactly as large as its text. Its text takes another colour
// while the pointer is over it. A click, Return or Space sends the usual
// button event with the button's identifier.
#include <wx/wx.h>

#include <string>

namespace qwx {

struct GlyphButtonColours {
  wxColour text;
  wxColour background;
  wxColour hoverText;
};

class wxGlyphButton : public wxControl {
 public:
  // `scale`: device pixels per glyph pixel; `deviceScale`: device pixels
  // per window coordinate (more than 1 where the desktop scales windows).
  wxGlyphButton(wxWindow* parent, wxWindowID id, const std::string& label, int scale, double deviceScale,
                const GlyphButtonColours& colours);

  bool Hovered() const { return hovered; }

 protected:
  wxSize DoGetBestSize() const override { return normal.GetLogicalSize(); }

 private:
  void OnPaint(wxPaintEvent& event);
  void SetHovered(bool over);
  void Click();
  void OnKey(wxKeyEvent& event);

  wxBitmap normal;
  wxBitmap hover;
  bool hovered = false;
  bool pressed = false;  // the left button went down over this window
};

}  // namespace qwx
