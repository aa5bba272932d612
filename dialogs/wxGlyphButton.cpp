// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/wxGlyphButton.h"

#include <wx/dcclient.h>

#include "dialogs/GlyphText.h"

namespace qwx {

namespace {

PaletteColour ToPalette(const wxColour& c) { return {c.Red(), c.Green(), c.Blue()}; }

wxBitmap GlyphBitmap(const std::string& label, int scale, double deviceScale, const wxColour& ink,
                     const wxColour& paper) {
  const PixelBuffer pixels = ComposeGlyphText(label, scale, ToPalette(ink), ToPalette(paper));
  // The image copies the pixels (static data false would free them itself).
  wxImage image(pixels.width, pixels.height, const_cast<unsigned char*>(pixels.rgb.data()), true);
  return wxBitmap(image.Copy(), wxBITMAP_SCREEN_DEPTH, deviceScale);
}

}  // namespace

wxGlyphButton::wxGlyphButton(wxWindow* parent, wxWindowID id, const std::string& label, int scale,
                             double deviceScale, const GlyphButtonColours& colours)
    : wxControl(parent, id, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE | wxWANTS_CHARS),
      normal(GlyphBitmap(label, scale, deviceScale, colours.text, colours.background)),
      hover(GlyphBitmap(label, scale, deviceScale, colours.hoverText, colours.background)) {
  SetLabel(label);
  SetBackgroundColour(colours.background);
  SetInitialSize(normal.GetLogicalSize());
  SetCursor(wxCursor(wxCURSOR_HAND));
  Bind(wxEVT_PAINT, &wxGlyphButton::OnPaint, this);
  Bind(wxEVT_ENTER_WINDOW, [this](wxMouseEvent&) { SetHovered(true); });
  Bind(wxEVT_LEAVE_WINDOW, [this](wxMouseEvent&) {
    SetHovered(false);
    pressed = false;
  });
  Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent&) {
    pressed = true;
    SetFocus();
  });
  Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& event) {
    const bool click = pressed && GetClientRect().Contains(event.GetPosition());
    pressed = false;
    if (click) Click();
  });
  Bind(wxEVT_KEY_DOWN, &wxGlyphButton::OnKey, this);
}

void wxGlyphButton::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  dc.DrawBitmap(hovered ? hover : normal, 0, 0);
}

void wxGlyphButton::SetHovered(bool over) {
  if (hovered == over) return;
  hovered = over;
  Refresh();
}

void wxGlyphButton::Click() {
  wxCommandEvent event(wxEVT_BUTTON, GetId());
  event.SetEventObject(this);
  ProcessWindowEvent(event);
}

void wxGlyphButton::OnKey(wxKeyEvent& event) {
  switch (event.GetKeyCode()) {
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
    case WXK_SPACE: Click(); break;
    default: event.Skip(); break;
  }
}

}  // namespace qwx
