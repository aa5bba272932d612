// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Edit menu of a window showing a terminal canvas (the main window and
// the buffer windows): the copies of the selection, Select All, the screen
// as a picture on the clipboard or in a PNG file, and the screenshot that
// the address book pastes into an entry.
#include <wx/wx.h>

#include <functional>
#include <vector>

#include "app/CommandTable.h"
#include "terminal/wxPetsciiScrolledCanvas.h"

// The C64 keeps Ctrl with a letter (C= and the letter): the program's own
// letter keys take Ctrl+Shift.
// `canvas` is the window's member, which may be set after the rows are
// made. `pasteRows` come after the copies; `tell` shows a status text (a
// saved picture), or is empty in a window without a status bar.
std::vector<CommandRow> EditRows(wxWindow& window, qwx::wxPetsciiScrolledCanvas* const& canvas,
                                 std::vector<CommandRow> pasteRows, std::function<void(const wxString&)> tell);
