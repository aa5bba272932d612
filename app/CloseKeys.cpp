// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CloseKeys.h"

void InstallCloseKeys(wxTopLevelWindow& window, std::vector<wxAcceleratorEntry> others) {
  others.emplace_back(wxACCEL_NORMAL, WXK_ESCAPE, wxID_CLOSE);
  others.emplace_back(wxACCEL_CTRL, 'W', wxID_CLOSE);
  window.SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(others.size()), others.data()));
  // A close the window may still refuse or ask about, as its close box.
  window.Bind(wxEVT_MENU, [&window](wxCommandEvent&) { window.Close(); }, wxID_CLOSE);
}
