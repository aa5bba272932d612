// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The About dialog in the look of a C64 start-up screen: a PETSCII picture
// on the left; on the right the name and version, a description, credits,
// the web site, a "READY." button that closes it and small print (toolkit
// version, build date, years). The caller fills the texts, then shows it.
#include <wx/wx.h>

#include <string>

namespace qwx {

class wxAboutDialog : public wxDialog {
 public:
  wxAboutDialog(wxWindow* parent, const wxString& title, long style);

  // Builds the content, focuses "READY." and runs the dialog.
  int ShowModal() override;

  std::string titleLine;
  std::string description;
  std::string credits;
  std::string link;
  std::string buildDate;
  std::string years;
  std::string pictureTooltip;
  double displayScale = 1.0;

 private:
  void BuildContent();
};

// The About picture's size at a display scale: 1.35 times the drawing's,
// times the scale, in whole pixels.
wxSize AboutPictureSize(const wxSize& drawing, double displayScale);
// The decoded picture as stored in the program.
wxImage AboutPicture();

}  // namespace qwx
