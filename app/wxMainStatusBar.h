// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's status bar. New texts are drawn with the window's next
// paint: the toolkit's own bar repaints the whole window at once on every
// new text, and with three fields set per socket read a flood of received
// bytes spent most of its time repainting while key presses waited behind
// it. The fields take the widths their longest texts need and wrap into
// rows where the window is too narrow for one (statusbar::LayOut). A field
// whose text is cut shows it whole in a tooltip under the pointer.
#include <wx/statusbr.h>

#include "app/StatusBarLayout.h"

namespace qwx {

class wxMainStatusBar : public wxStatusBar {
 public:
  wxMainStatusBar(wxWindow* parent, wxWindowID id, long style, const wxString& name);

  void SetFieldNeeds(const statusbar::FieldNeeds& fieldNeeds) { needs = fieldNeeds; }
  // The rows the fields take in a bar `width` pixels wide.
  int RowsFor(int width) const;
  // The rows the bar's height is made for (its best size).
  void SetRows(int count);
  int Rows() const { return rows; }
  bool GetFieldRect(int i, wxRect& rect) const override;

 protected:
  void DoUpdateStatusText(int number) override;
  wxSize DoGetBestSize() const override;

 private:
  // The field under a point of the bar, -1 for none.
  int FieldAt(const wxPoint& point) const;
  void OnMotion(wxMouseEvent& event);

  statusbar::FieldNeeds needs;
  int rows = 1;
  wxString toolTip;
};

}  // namespace qwx
