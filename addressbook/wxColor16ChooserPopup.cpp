// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/wxColor16ChooserPopup.h"

#include "addressbook/wxColor16ChooserButton.h"

namespace qwx {

namespace {
constexpr int kSwatchBorder = 2;
constexpr int kRowBorder = 5;
constexpr int kPanelBorder = 4;
constexpr int kColourCount = wxColor16ChooserButton::kColourCount;
// The marks, drawn over the swatch's colour in black or white, whichever
// stands out: a frame round the highlight, a dot on the button's colour.
constexpr int kMarkWidth = 20;
constexpr int kMarkHeight = 14;
constexpr int kFrameThickness = 2;
constexpr int kDotSize = 6;
constexpr int kBrightLuma = 128;

bool Bright(const wxColour& c) { return (299 * c.Red() + 587 * c.Green() + 114 * c.Blue()) / 1000 >= kBrightLuma; }

wxBitmap Marks(const wxColour& under, bool dot, bool frame) {
  wxImage image(kMarkWidth, kMarkHeight);
  image.InitAlpha();
  const unsigned char ink = Bright(under) ? 0 : 255;
  for (int y = 0; y < kMarkHeight; ++y) {
    for (int x = 0; x < kMarkWidth; ++x) {
      const bool onFrame = x < kFrameThickness || y < kFrameThickness || x >= kMarkWidth - kFrameThickness ||
                           y >= kMarkHeight - kFrameThickness;
      const bool onDot = 2 * x >= kMarkWidth - kDotSize && 2 * x < kMarkWidth + kDotSize &&
                         2 * y >= kMarkHeight - kDotSize && 2 * y < kMarkHeight + kDotSize;
      image.SetRGB(x, y, ink, ink, ink);
      image.SetAlpha(x, y, (frame && onFrame) || (dot && onDot) ? wxALPHA_OPAQUE : wxALPHA_TRANSPARENT);
    }
  }
  return wxBitmap(image);
}
}  // namespace

wxColor16ChooserPopup::wxColor16ChooserPopup(wxColor16ChooserButton* parent)
    : wxPopupTransientWindow(parent, wxBORDER_NONE), chooser(parent) {
  SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_ACTIVEBORDER));
  auto* popupSizer = new wxBoxSizer(wxVERTICAL);
  auto* panel = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL);
  panel->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_3DLIGHT));
  auto* box = new wxStaticBox(panel, wxID_ANY, kBoxLabel);
  auto* boxSizer = new wxStaticBoxSizer(box, wxVERTICAL);
  for (int first = 0; first < kColourCount; first += kSwatchesPerRow) {
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

  for (int i = 0; i < kColourCount; ++i)
    Bind(wxEVT_BUTTON, &wxColor16ChooserPopup::OnSwatchClicked, this, kFirstSwatchId + i);
  Bind(wxEVT_CHAR_HOOK, &wxColor16ChooserPopup::OnKey, this);
}

void wxColor16ChooserPopup::ShowColours() {
  if (const Palette* palette = chooser->GetPalette()) {
    for (int i = 0; i < kColourCount; ++i)
      swatches[static_cast<std::size_t>(i)]->SetBackgroundColour(PaletteColourOf(*palette, i));
  }
  for (int i = 0; i < kColourCount; ++i) DrawMarks(i);
  Refresh(true);
}

void wxColor16ChooserPopup::DrawMarks(int index) {
  wxButton* swatch = Swatch(index);
  swatch->SetBitmap(Marks(swatch->GetBackgroundColour(), index == chooser->ColourIndex(), index == highlighted));
}

void wxColor16ChooserPopup::Highlight(int index) {
  if (index < 0 || index >= kColourCount) return;
  const int previous = highlighted;
  highlighted = index;
  DrawMarks(previous);
  DrawMarks(highlighted);
  Swatch(highlighted)->SetFocus();
}

bool wxColor16ChooserPopup::Show(bool show) { return wxPopupTransientWindow::Show(show); }

bool wxColor16ChooserPopup::ProcessLeftDown(wxMouseEvent& event) {
  // A press anywhere inside, between the swatches too, keeps the popup open.
  if (wxRect(GetPosition(), GetSize()).Contains(wxGetMousePosition())) return true;
  return wxPopupTransientWindow::ProcessLeftDown(event);
}

void wxColor16ChooserPopup::OnDismiss() {
  // Dismissed without a pick: nothing else will use this popup. It goes
  // once the event that dismissed it is over.
  wxTheApp->ScheduleForDestruction(this);
}

void wxColor16ChooserPopup::OnKey(wxKeyEvent& event) {
  switch (event.GetKeyCode()) {
    case WXK_LEFT: Highlight(highlighted - 1); break;
    case WXK_RIGHT: Highlight(highlighted + 1); break;
    case WXK_UP: Highlight(highlighted - kSwatchesPerRow); break;
    case WXK_DOWN: Highlight(highlighted + kSwatchesPerRow); break;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
    case WXK_SPACE: Pick(highlighted); break;
    case WXK_ESCAPE: DismissAndNotify(); break;
    default: event.Skip(); break;
  }
}

void wxColor16ChooserPopup::OnSwatchClicked(wxCommandEvent& event) { Pick(event.GetId() - kFirstSwatchId); }

void wxColor16ChooserPopup::Pick(int index) {
  chooser->choose(index);
  Dismiss();
  // Not now: the pick's own event is still being handled by a swatch.
  wxTheApp->ScheduleForDestruction(this);
}

}  // namespace qwx
