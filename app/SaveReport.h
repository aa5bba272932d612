// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Telling the user that a save failed: a message box (through the
// program's replaceable message prompt) naming the file and the reason.
// Every save of the program ends here when it fails.
#include <wx/wx.h>

#include <string>
#include <string_view>

// `text` is the byte-string message (saveFailureText and the like).
void TellSaveFailure(wxWindow* parent, const std::string& text);

// Replaces the file at `path` with `bytes` (see replaceFileAtomically);
// on failure tells the user. True when the file was saved.
bool SaveFileTelling(wxWindow* parent, const std::string& path, std::string_view bytes);

// Saves the configuration and tells the user when the write failed. A save
// left undone by design (no place for the file, a file start-up guards) is
// told only when `askedFor`: the status bar said so at start, but the user
// who commits an edit must not believe it kept. True when saved.
bool SaveConfigurationTelling(wxWindow* parent, bool askedFor);
