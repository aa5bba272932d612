// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Escape and Ctrl+W close a window, as the desktop's own windows do.
#include <wx/wx.h>

#include <vector>

// Sets the window's accelerator table to `others` and the two close keys.
void InstallCloseKeys(wxTopLevelWindow& window, std::vector<wxAcceleratorEntry> others = {});
