// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/wxMainStatusBar.h"

#include <algorithm>

namespace qwx {

namespace {
// The bar leaves this many pixels either side of a field's text.
constexpr int kTextMargin = 2;
}  // namespace

wxMainStatusBar::wxMainStatusBar(wxWindow* parent, wxWindowID id, long style, const wxString& name)
    // The toolkit's own tooltips take the fields for one row; this bar shows its own.
    : wxStatusBar(parent, id, style & ~wxSTB_SHOW_TIPS, name) {
  Bind(wxEVT_MOTION, &wxMainStatusBar::OnMotion, this);
}

int wxMainStatusBar::RowsFor(int width) const { return statusbar::LayOut(width - 2 * GetBorderX(), needs).rows; }

void wxMainStatusBar::SetRows(int count) {
  rows = std::max(count, 1);
  InvalidateBestSize();
}

bool wxMainStatusBar::GetFieldRect(int i, wxRect& rect) const {
  if (i < 0 || i >= statusbar::kFieldCount || i >= GetFieldsCount()) return false;
  const wxSize client = GetClientSize();
  const statusbar::Layout layout = statusbar::LayOut(client.x - 2 * GetBorderX(), needs);
  const int rowHeight = std::max(client.y - 2 * GetBorderY(), 0) / layout.rows;
  const statusbar::FieldPlace& place = layout.fields[static_cast<std::size_t>(i)];
  rect = wxRect(GetBorderX() + place.x, GetBorderY() + place.row * rowHeight, place.width, rowHeight);
  return true;
}

void wxMainStatusBar::DoUpdateStatusText(int number) {
  wxRect field;
  if (GetFieldRect(number, field)) Refresh(true, &field);
}

int wxMainStatusBar::FieldAt(const wxPoint& point) const {
  for (int i = 0; i < GetFieldsCount(); ++i) {
    wxRect field;
    if (GetFieldRect(i, field) && field.Contains(point)) return i;
  }
  return -1;
}

void wxMainStatusBar::OnMotion(wxMouseEvent& event) {
  event.Skip();
  const int field = FieldAt(event.GetPosition());
  wxString tip;
  wxRect rect;
  if (field >= 0 && GetFieldRect(field, rect)) {
    const wxString text = GetStatusText(field);
    if (GetTextExtent(text).x > rect.width - 2 * kTextMargin) tip = text;
  }
  if (tip == toolTip) return;
  toolTip = tip;
  if (tip.empty())
    UnsetToolTip();
  else
    SetToolTip(tip);
}

wxSize wxMainStatusBar::DoGetBestSize() const {
  wxSize size = wxStatusBar::DoGetBestSize();
  const int rowHeight = size.y - 2 * GetBorderY();
  size.y = rows * rowHeight + 2 * GetBorderY();
  return size;
}

}  // namespace qwx
