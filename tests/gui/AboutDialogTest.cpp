// SPDX-License-Identifier: GPL-3.0-or-later
// The About dialog opened from the real main window: its texts in order,
// the picture and its tooltip, and the "READY." button as another X client
// sees it (the terminal's glyphs, hover colours; a real click closes it).
#include <gtest/gtest.h>
#include <wx/filename.h>
#include <wx/hyperlink.h>
#include <wx/statbmp.h>
#include <wx/uiaction.h>
#include <wx/wx.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/MorlenFrame.h"
#include "app/ProgramValues.h"
#include "dialogs/GlyphText.h"
#include "dialogs/wxAboutDialog.h"
#include "dialogs/wxGlyphButton.h"
#include "gui/GuiTestSupport.h"
#include "settings/Settings.h"

namespace {

// Whether the window's pixels on the X server are `text` in C64 glyphs,
// `ink` on the button's blue.
bool ShowsGlyphs(wxWindow* window, const std::string& text, int scale, PaletteColour ink) {
  const wxRect r = window->GetScreenRect();
  const wxString path = wxFileName::CreateTempFileName("morlen-shot");
  const wxString grab = wxString::Format("import -window root -crop %dx%d+%d+%d png:'%s'", r.width, r.height, r.x,
                                         r.y, path);
  wxImage shown;
  if (std::system(grab.utf8_str()) == 0) shown.LoadFile(path, wxBITMAP_TYPE_PNG);
  wxRemoveFile(path);
  const PixelBuffer want = ComposeGlyphText(text, scale, ink, {53, 40, 121});
  return shown.IsOk() && shown.GetWidth() == want.width && shown.GetHeight() == want.height &&
         std::equal(want.rgb.begin(), want.rgb.end(), shown.GetData());
}

TEST(About, ShowsTheC64StyledDialog) {
  programSettings() = Settings{};
  programSettings().autoCheckForUpdate = false;
  auto* frame = new MorlenFrame;
  frame->Show();
  RunEventLoopFor(200);

  bool seen = false;
  wxTimer watcher;
  watcher.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    qwx::wxAboutDialog* dialog = nullptr;
    for (wxWindow* w : wxTopLevelWindows) {
      if (auto* d = dynamic_cast<qwx::wxAboutDialog*>(w); d && d->IsModal() && d->IsShownOnScreen()) dialog = d;
    }
    if (!dialog) return;
    seen = true;
    watcher.Stop();
    RunEventLoopFor(300);  // the first paint
    EXPECT_EQ(dialog->GetTitle(), "About Morlen");
    EXPECT_EQ(dialog->GetBackgroundColour(), wxColour(187, 166, 147));
    std::vector<std::pair<int, wxString>> texts;  // by height on screen
    wxStaticBitmap* picture = nullptr;
    qwx::wxGlyphButton* ready = nullptr;
    for (wxWindow* child : dialog->GetChildren()) {
      if (auto* t = dynamic_cast<wxStaticText*>(child)) texts.emplace_back(t->GetScreenPosition().y, t->GetLabel());
      if (auto* l = dynamic_cast<wxHyperlinkCtrl*>(child)) {
        EXPECT_EQ(l->GetLabel(), "https://www.vendorly.com/morlen");
        EXPECT_EQ(l->GetURL(), "https://www.vendorly.com/morlen");
      }
      if (auto* p = dynamic_cast<wxStaticBitmap*>(child)) picture = p;
      if (auto* b = dynamic_cast<qwx::wxGlyphButton*>(child)) ready = b;
    }
    std::stable_sort(texts.begin(), texts.end(), [](auto& a, auto& b) { return a.first < b.first; });
    const std::vector<wxString> want = {
        "Morlen v1.0.0",
        "Morlen is a modern interpretation\nof the legendary terminal program\nfor tcp-based PETSCII BBSes.",
        "Programming: the Morlen team at Vendorly\nPETSCII art and C64 glyphs: Vendorly\nTesting: callers of many "
        "boards",
        "For documentation, to report bugs, and\nto request features please visit:",
        wxString::Format("wxWidgets v%d.%d.%d", wxMAJOR_VERSION, wxMINOR_VERSION, wxRELEASE_NUMBER),
        "October 4th, 2021",
        wxString::FromUTF8("\xC2\xA9 2021"),
    };
    std::vector<wxString> got;
    for (auto& t : texts) got.push_back(t.second);
    EXPECT_EQ(got, want);
    if (!picture || !ready) {
      ADD_FAILURE() << "no picture or no READY. button";
      dialog->EndModal(wxID_CANCEL);
      return;
    }
    // The drawing is a whole C64 screen, 320x200, shown 1.35 times as large.
    const double scale = displayScale();
    EXPECT_EQ(picture->GetBitmap().GetLogicalSize(),
              wxSize(static_cast<int>(320 * 1.35 * scale), static_cast<int>(200 * 1.35 * scale)));
    EXPECT_EQ(picture->GetToolTipText(), "\"Night Call\" by Vendorly");
    EXPECT_EQ(wxWindow::FindFocus(), ready);
    EXPECT_GE(ready->GetScreenRect().GetLeft(), picture->GetScreenRect().GetRight());
    const int glyphScale = static_cast<int>(std::lround(16 * 96 / 72.0 * scale / 8));
    EXPECT_TRUE(ShowsGlyphs(ready, "READY.", glyphScale, {108, 94, 181}));
    wxUIActionSimulator sim;
    sim.MouseMove(ready->GetScreenRect().GetPosition() + ready->GetSize() / 2);
    EXPECT_TRUE(RunEventLoopUntil([&] { return ready->Hovered(); }));
    RunEventLoopFor(200);
    EXPECT_TRUE(ShowsGlyphs(ready, "READY.", glyphScale, {112, 164, 178})) << "no hover colour";
    sim.MouseClick();
    EXPECT_TRUE(RunEventLoopUntil([&] { return !dialog->IsModal(); })) << "a click on READY. left it open";
    if (dialog->IsModal()) dialog->EndModal(wxID_CANCEL);
  });
  watcher.Start(30);
  wxCommandEvent about(wxEVT_MENU, wxID_ABOUT);
  frame->ProcessWindowEvent(about);
  EXPECT_TRUE(seen) << "no About dialog came up";
  frame->Destroy();
  RunEventLoopFor(50);
}

}  // namespace
