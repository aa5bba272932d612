// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/wxAboutDialog.h"

#include <wx/hyperlink.h>
#include <wx/mstream.h>
#include <wx/statbmp.h>

#include <cmath>

#include "dialogs/wxGlyphButton.h"
#include "dialogs/wxSolidLine.h"
#include "settings/ByteBuffer.h"

extern const unsigned char aboutPicturePng[];
extern const std::size_t aboutPicturePng_size;

namespace qwx {

namespace {

const wxColour kBackground(187, 166, 147);
const wxColour kText(59, 52, 46);
const wxColour kTitleRule(135, 120, 107);
const wxColour kReadyText(108, 94, 181);
const wxColour kReadyBackground(53, 40, 121);
const wxColour kReadyHoverText(112, 164, 178);

constexpr int kDialogPoints = 12;
constexpr int kTitlePoints = 16;
constexpr int kCreditsPoints = 10;
constexpr int kSmallPoints = 10;
// "READY." is set as a 16-point C64 font would be: its 8x8 glyphs fill the
// em, so a glyph pixel is a sixteenth of 16 points at 96 pixels per inch.
constexpr double kReadyPoints = 16.0;
constexpr double kPointsPerInch = 72.0;
constexpr double kPixelsPerInch = 96.0;

constexpr double kPictureZoom = 1.35;
constexpr int kTitleRuleHeight = 3;
constexpr int kBottomRuleHeight = 1;
constexpr int kColumnSides = 5;
constexpr int kTitleAbove = 6;
constexpr int kRuleBelow = 4;
constexpr int kTextBorder = 10;
constexpr int kLinkBorder = 5;
constexpr int kSmallPrintBorder = 5;

constexpr const char* kReadyLabel = "READY.";
constexpr const char* kVisitText = "For documentation, to report bugs, and\nto request features please visit:";

int ReadyScale(double displayScale) {
  const double pixels = kReadyPoints * kPixelsPerInch / kPointsPerInch * displayScale / 8.0;
  return std::max(1, static_cast<int>(std::lround(pixels)));
}

wxString Wide(const std::string& text) { return wxString::FromUTF8(text.data(), text.size()); }

wxStaticText* Text(wxWindow* parent, const std::string& text, long style, const wxFont& font) {
  auto* label = new wxStaticText(parent, wxID_ANY, Wide(text), wxDefaultPosition, wxDefaultSize, style);
  label->SetFont(font);
  return label;
}

}  // namespace

wxSize AboutPictureSize(const wxSize& drawing, double displayScale) {
  return wxSize(static_cast<int>(drawing.x * kPictureZoom * displayScale),
                static_cast<int>(drawing.y * kPictureZoom * displayScale));
}

wxImage AboutPicture() {
  wxMemoryInputStream stream(aboutPicturePng, aboutPicturePng_size);
  return wxImage(stream, wxBITMAP_TYPE_ANY);
}

wxAboutDialog::wxAboutDialog(wxWindow* parent, const wxString& title, long style)
    : wxDialog(parent, wxID_ANY, title, wxDefaultPosition, wxDefaultSize, style) {
  // The toolkit's Escape looks for a stock button; "READY." is not one.
  Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
    if (event.GetKeyCode() != WXK_ESCAPE || event.HasAnyModifiers()) {
      event.Skip();
    } else if (IsModal()) {
      EndModal(wxID_CANCEL);
    } else {
      Close();
    }
  });
}

int wxAboutDialog::ShowModal() {
  BuildContent();
  return wxDialog::ShowModal();
}

void wxAboutDialog::BuildContent() {
  DestroyChildren();
  SetBackgroundColour(kBackground);
  SetForegroundColour(kText);
  const wxFont dialogFont{wxFontInfo(kDialogPoints)};
  SetFont(dialogFont);
  const wxFont titleFont(wxFontInfo(kTitlePoints).Bold());
  const wxFont creditsFont(wxFontInfo(kCreditsPoints).Bold());
  const wxFont smallFont(wxFontInfo(kSmallPoints).Italic());

  // The picture and the button are drawn in device pixels: where the
  // desktop itself scales windows up, their bitmaps say so, so that the
  // scale is not applied twice.
  const double deviceScale = GetContentScaleFactor();
  wxImage picture = AboutPicture();
  if (picture.IsOk()) {
    const wxSize size = AboutPictureSize(picture.GetSize(), displayScale);
    picture.Rescale(size.x, size.y, wxIMAGE_QUALITY_BILINEAR);
  }
  const wxBitmap pictureBitmap =
      picture.IsOk() ? wxBitmap(picture, wxBITMAP_SCREEN_DEPTH, deviceScale) : wxBitmap();
  auto* pictureView = new wxStaticBitmap(this, wxID_ANY, pictureBitmap);
  pictureView->SetToolTip(Wide(pictureTooltip));
  // Stretched higher than the drawing, the picture keeps its own black.
  pictureView->SetBackgroundColour(*wxBLACK);

  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(Text(this, titleLine, wxALIGN_CENTRE_HORIZONTAL, titleFont), 0, wxALIGN_CENTRE | wxTOP, kTitleAbove);
  column->Add(new wxSolidLine(this, kTitleRule, kTitleRuleHeight), 0, wxEXPAND | wxBOTTOM, kRuleBelow);
  column->Add(Text(this, description, wxALIGN_CENTRE_HORIZONTAL, dialogFont), 0, wxALIGN_CENTRE | wxALL,
              kTextBorder);
  column->Add(Text(this, credits, wxALIGN_CENTRE_HORIZONTAL, creditsFont), 0, wxALIGN_CENTRE | wxALL, kTextBorder);
  column->Add(Text(this, kVisitText, wxALIGN_CENTRE_HORIZONTAL, dialogFont), 0,
              wxALIGN_CENTRE | wxTOP | wxLEFT | wxRIGHT, kTextBorder);
  column->Add(new wxHyperlinkCtrl(this, wxID_ANY, Wide(link), Wide(link)), 0, wxALIGN_CENTRE | wxALL, kLinkBorder);

  auto* ready = new wxGlyphButton(this, wxID_OK, kReadyLabel, ReadyScale(displayScale), deviceScale,
                                  {kReadyText, kReadyBackground, kReadyHoverText});
  auto* readyArea = new wxBoxSizer(wxVERTICAL);
  readyArea->AddStretchSpacer();
  readyArea->Add(ready, 0, wxALIGN_CENTRE);
  readyArea->AddStretchSpacer();
  column->Add(readyArea, 1, wxEXPAND);

  const wxString toolkit =
      wxString::Format("wxWidgets v%d.%d.%d", wxMAJOR_VERSION, wxMINOR_VERSION, wxRELEASE_NUMBER);
  column->Add(Text(this, toolkit.ToStdString(), 0, smallFont), 0, wxLEFT, kSmallPrintBorder);
  column->Add(new wxSolidLine(this, *wxBLACK, kBottomRuleHeight), 0, wxEXPAND);
  auto* bottom = new wxBoxSizer(wxHORIZONTAL);
  bottom->Add(Text(this, buildDate, 0, smallFont), 0, wxLEFT, kSmallPrintBorder);
  bottom->AddStretchSpacer();
  bottom->Add(Text(this, "\xC2\xA9 " + years, wxALIGN_RIGHT, smallFont), 0, wxRIGHT, kSmallPrintBorder);
  column->Add(bottom, 0, wxEXPAND);

  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(pictureView, 0, wxEXPAND);
  row->Add(column, 1, wxEXPAND | wxLEFT | wxRIGHT, kColumnSides);
  SetSizerAndFit(row);
  ready->SetFocus();
}

}  // namespace qwx
